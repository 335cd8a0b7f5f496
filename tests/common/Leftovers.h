#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <unistd.h>

// What a finished piece of work may have left behind in this process: open files, sockets still
// talking to a peer, timers still running. Read from the kernel's tables where the objects
// themselves cannot be asked.
namespace Leftovers {

// Kernel socket states (include/net/tcp_states.h) as /proc/net/tcp prints them.
inline const QList<QByteArray> &establishedOnly()
{
    static const QList<QByteArray> states { "01" };
    return states;
}

// Every state in which our end is still open: established, still connecting, or told by the
// peer that it closed while we never did (CLOSE_WAIT). FIN_WAIT and TIME_WAIT are ends we closed.
inline const QList<QByteArray> &stillOpen()
{
    static const QList<QByteArray> states { "01", "02", "08" };
    return states;
}

// The address as /proc/net/* prints it: its network-order bytes read as one host-order number.
inline QByteArray procAddress(const QHostAddress &address, quint16 port)
{
    const quint32 ip = address.toIPv4Address();
    return QByteArray::number(qToBigEndian(ip), 16).toUpper().rightJustified(8, '0') + ':'
            + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
}

// Counts this process's open descriptors that point at a path inside the folder.
inline int openFilesIn(const QString &folder)
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget().startsWith(folder))
            ++count;
    }
    return count;
}

// TCP connections from this machine to the address on any of the ports, in one of the states,
// from the kernel's table (when both ends live in this process, the client's side is the one
// whose remote end matches). -1 when the table cannot be read.
inline int connectionsTo(const QHostAddress &address, const QList<quint16> &ports,
                         const QList<QByteArray> &states = establishedOnly())
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return -1;
    QList<QByteArray> remotes;
    for (const quint16 port : ports)
        remotes << procAddress(address, port);
    int count = 0;
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 4 || !states.contains(fields.at(3)))
            continue;
        if (remotes.contains(fields.at(2)))
            ++count;
    }
    return count;
}

// The rows of /proc/net/udp for sockets bound to exactly address:port, split into their fields
// (the inode is field 9). False when the table cannot be read.
inline bool udpRowsOn(const QHostAddress &address, quint16 port, QList<QList<QByteArray>> &rows)
{
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = procAddress(address, port);
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 9 && fields.at(1) == local)
            rows.append(fields);
    }
    return true;
}

// UDP sockets of this machine bound to exactly address:port. -1 when the table cannot be read.
inline int udpSocketsOn(const QHostAddress &address, quint16 port)
{
    QList<QList<QByteArray>> rows;
    return udpRowsOn(address, port, rows) ? int(rows.size()) : -1;
}

// UDP sockets of this process bound to exactly address:port: the table's rows whose inode is one
// of this process's socket descriptors. -1 when the table cannot be read.
inline int ownUdpSocketsOn(const QHostAddress &address, quint16 port)
{
    QList<QList<QByteArray>> rows;
    if (!udpRowsOn(address, port, rows))
        return -1;
    QList<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        // Qt makes a link target absolute; the kernel's is "socket:[inode]".
        char target[64] = {};
        const ssize_t length = ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof target - 1);
        const QByteArray link(target, length > 0 ? int(length) : 0);
        if (link.startsWith("socket:[") && link.endsWith(']'))
            inodes << link.mid(8).chopped(1);
    }
    return int(std::count_if(rows.cbegin(), rows.cend(),
                             [&inodes](const QList<QByteArray> &row) { return inodes.contains(row.at(9)); }));
}

// Running QTimers among the object and its descendants.
inline int activeTimersUnder(const QObject *root)
{
    int count = 0;
    if (const auto *timer = qobject_cast<const QTimer *>(root); timer && timer->isActive())
        ++count;
    for (const QTimer *timer : root->findChildren<QTimer *>()) {
        if (timer->isActive())
            ++count;
    }
    return count;
}

} // namespace Leftovers
