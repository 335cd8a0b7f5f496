#pragma once

#include <QCoreApplication>

class CtlEngine;
class InterruptHook;
struct CtlOptions;

// "quillonctl search": the catalogue, the search and the evaluation the window runs, then the
// display list on standard output.
class SearchCommand
{
    Q_DECLARE_TR_FUNCTIONS(SearchCommand)

public:
    static int run(CtlEngine &engine, const CtlOptions &options, InterruptHook &hook);
};
