#pragma once

#include <QCoreApplication>

class CtlEngine;
class InterruptHook;
struct CtlOptions;

// "quillonctl download": the offline download of the named models' packages into the cache
// folder, as the offline download dialog runs it.
class DownloadCommand
{
    Q_DECLARE_TR_FUNCTIONS(DownloadCommand)

public:
    static int run(CtlEngine &engine, const CtlOptions &options, InterruptHook &hook);
};
