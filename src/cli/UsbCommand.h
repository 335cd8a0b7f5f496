#pragma once

#include <QCoreApplication>

class CtlSession;
class InterruptHook;
struct CtlOptions;

// "quillonctl usb": the drive creation of the USB drive dialog for one model on a mounted drive
// root: the release chosen as the model search chooses it, the package downloaded when missing,
// the drive's file system checked against the release, then copy and verify.
class UsbCommand
{
    Q_DECLARE_TR_FUNCTIONS(UsbCommand)

public:
    static int run(CtlSession &session, const CtlOptions &options, InterruptHook &hook);
};
