#pragma once

#include "fwserver/FwServer.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

// A throw-away profile served by the local firmware server: settings and cache folder below home,
// the server on at with its files below serverRoot, and QUILLON_FIRMWARE_URL naming it. Set up
// before any window or engine is made: they read all of it when they start.
namespace ServedProfile {

inline bool start(const QTemporaryDir &home, FwServer &server, const QString &serverRoot, const QHostAddress &at)
{
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));

    server.setRoot(serverRoot);
    server.setBasePath(QStringLiteral("/firmwareupdates/"));
    if (!server.listen(at))
        return false;
    qputenv("QUILLON_FIRMWARE_URL", server.url(QString()).toString().toUtf8());
    return true;
}

}
