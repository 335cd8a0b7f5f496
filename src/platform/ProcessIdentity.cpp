#include "platform/ProcessIdentity.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

QString ProcessIdentity::startMarkOf(qint64 pid)
{
    if (pid <= 0)
        return {};
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return {};
    QString mark;
    DWORD exitCode = 0;
    FILETIME created, exited, kernel, user;
    if (GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE
        && GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        const quint64 ticks = (quint64(created.dwHighDateTime) << 32) | created.dwLowDateTime;
        mark = QString::number(ticks);
    }
    CloseHandle(process);
    return mark;
#else
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    // The command name in brackets may hold spaces and brackets itself: count fields after the last one.
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // Field 22 of the whole line (start time in clock ticks) is the 20th after the name.
    if (fields.size() < 20 || fields.at(0) == "Z")
        return {};
    QFile boot(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    const QByteArray bootId = boot.open(QIODevice::ReadOnly) ? boot.readAll().trimmed() : QByteArray();
    return QString::fromLatin1(bootId + ':' + fields.at(19));
#endif
}

ProcessIdentity ProcessIdentity::current()
{
    ProcessIdentity identity;
    identity.pid = QCoreApplication::applicationPid();
    identity.startMark = startMarkOf(identity.pid);
    identity.host = QSysInfo::machineHostName();
    identity.userName = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return identity;
}

bool ProcessIdentity::isRunning() const
{
    if (pid <= 0)
        return false;
    if (host != QSysInfo::machineHostName())
        return true;
    const QString now = startMarkOf(pid);
    return !now.isEmpty() && now == startMark;
}
