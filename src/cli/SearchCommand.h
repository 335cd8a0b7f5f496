#pragma once

#include <QCoreApplication>

class CtlSession;
class InterruptHook;
struct CtlOptions;

// "quillonctl search": the catalogue, the search and the evaluation the window runs, then the
// display list on standard output.
class SearchCommand
{
    Q_DECLARE_TR_FUNCTIONS(SearchCommand)

public:
    static int run(CtlSession &session, const CtlOptions &options, InterruptHook &hook);
};
