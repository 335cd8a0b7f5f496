#pragma once

#include "fwserver/FwServer.h"

#include <QDir>
#include <QHostAddress>
#include <QTemporaryDir>

// A firmware cache folder and a firmware server on loopback serving the folder beside it, both in
// one temporary folder: start() once per test case, reset() before every test.
class ServedCache
{
public:
    QString cache;       // "<temporary>/cache/Firmware"
    QString serverRoot;  // "<temporary>/server", served under "/firmwareupdates/"
    FwServer *server = nullptr;

    bool start(QObject *parent)
    {
        if (!m_base.isValid())
            return false;
        cache = m_base.filePath(QStringLiteral("cache/Firmware"));
        serverRoot = m_base.filePath(QStringLiteral("server"));
        server = new FwServer(parent);
        server->setRoot(serverRoot);
        server->setBasePath(QStringLiteral("/firmwareupdates/"));
        return server->listen(QHostAddress::LocalHost);
    }

    // A path in the temporary folder, beside the cache's "cache/Firmware".
    QString filePath(const QString &relative) const { return m_base.filePath(relative); }

    // Both folders empty and the server well-behaved again.
    bool reset()
    {
        QDir(m_base.path()).removeRecursively();
        server->setBehaviour(FwBehaviour());
        return QDir().mkpath(cache) && QDir().mkpath(serverRoot);
    }

private:
    QTemporaryDir m_base;
};
