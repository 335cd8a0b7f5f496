#pragma once

#include <QString>

// Who a running program is, in a form another program can check later: the process id alone is
// reused by the system, so it travels with the process's start mark (on Linux the boot and the
// start tick, which a reboot or a new process with the same id never repeats) and the host.
struct ProcessIdentity
{
    qint64 pid = 0;
    QString startMark;
    QString host;
    QString userName;

    static ProcessIdentity current();
    // The start mark of a process now running, empty when there is none with that id.
    static QString startMarkOf(qint64 pid);
    // True when the process this identity names still runs on this host. An identity of another
    // host cannot be checked from here and counts as running.
    bool isRunning() const;
};
