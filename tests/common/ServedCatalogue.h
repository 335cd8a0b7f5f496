#pragma once

#include "common/TestFiles.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

// The firmware server's folder for tests that run quillonctl as a program against simulated
// displays: one plain package per release, "<model>.bin", and the catalogue file offering them.
namespace ServedCatalogue {

struct Release
{
    QString model;
    QString seriesName;
    bool powerSaveToNormal = false;
};

// The bytes served as "<name>": different for every name, so no two packages share a checksum.
inline QByteArray package(const QString &name)
{
    constexpr int Size = 40000;
    QByteArray data;
    while (data.size() < Size)
        data += QCryptographicHash::hash(name.toUtf8() + QByteArray::number(data.size()), QCryptographicHash::Sha256);
    data.truncate(Size);
    return data;
}

// Writes each release's package and "pd_firmware_releases.json" into serverRoot; urlOf gives a
// file's address on the server. Every release offers version, by LAN and USB, in one component.
inline bool write(const QString &serverRoot, const std::function<QUrl(const QString &)> &urlOf,
                  const QString &version, const QList<Release> &releases)
{
    QJsonArray firmware;
    for (const Release &release : releases) {
        const QString packageName = release.model + QStringLiteral(".bin");
        const QByteArray bytes = package(packageName);
        if (!TestFiles::writeFile(serverRoot + QLatin1Char('/') + packageName, bytes))
            return false;
        firmware.append(QJsonObject {
                { "version", version },
                { "seriesName", release.seriesName },
                { "updateViaHTTP", 1 },
                { "updateViaUSB", 1 },
                { "updateViaHTTPDurationSecs", 5 },
                { "numPACComponents", 1 },
                { "needPowerSaveModeToNormal", release.powerSaveToNormal ? 1 : 0 },
                { "models", QJsonArray { release.model } },
                { "changes", QJsonObject { { "version", version }, { "changeList", "Fixes" } } },
                { "downloadLoc", urlOf(packageName).toString() },
                { "fileChecksum", QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()) },
                { "fileSize", bytes.size() },
        });
    }
    const QJsonObject doc { { "info", QJsonObject { { "databaseVersion", 7 }, { "latestAppBuildWindows", 250930 } } },
                            { "firmware", firmware } };
    return TestFiles::writeFile(serverRoot + QStringLiteral("/pd_firmware_releases.json"), QJsonDocument(doc).toJson());
}

}
