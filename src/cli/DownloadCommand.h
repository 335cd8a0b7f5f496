#pragma once

#include <QCoreApplication>

class CtlSession;
class InterruptHook;
struct CtlOptions;

// "quillonctl download": the offline download of the named models' packages into the cache
// folder, as the offline download dialog runs it.
class DownloadCommand
{
    Q_DECLARE_TR_FUNCTIONS(DownloadCommand)

public:
    static int run(CtlSession &session, const CtlOptions &options, InterruptHook &hook);
};
