#pragma once

#include "catalogue/FirmwareRelease.h"
#include "common/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>

// A firmware cache folder, a folder standing in for a drive root, and a folder beside that
// root whose files no catalogue may reach. Each test states the files it needs.
class UsbDriveFixture
{
public:
    UsbDriveFixture()
        : cache(dir.filePath(QStringLiteral("cache")))
        , drive(dir.filePath(QStringLiteral("drive")))
        , beside(dir.filePath(QStringLiteral("beside")))
    {
        QDir().mkpath(cache);
        QDir().mkpath(drive);
        QDir().mkpath(beside);
        TestFiles::writeFile(beside + QStringLiteral("/keep.bin"), "must survive");
    }

    bool isValid() const { return dir.isValid(); }

    static QString md5(const QByteArray &data)
    {
        return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
    }

    // A firmware file in the cache, listed among the release's unpacked files.
    UnpackedFileEntry addUnpacked(FirmwareRelease &release, const QString &name, const QByteArray &data)
    {
        TestFiles::writeFile(cache + QLatin1Char('/') + name, data);
        const UnpackedFileEntry entry { name, qint32(data.size()), md5(data) };
        release.unpackedFileInfo.append(entry);
        return entry;
    }

    // A release whose package is itself the firmware file.
    FirmwareRelease packageRelease(const QString &name, const QByteArray &data)
    {
        TestFiles::writeFile(cache + QLatin1Char('/') + name, data);
        FirmwareRelease release;
        release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/") + name;
        release.fileSize = qint32(data.size());
        release.fileChecksum = md5(data);
        release.updateViaUSB = 7;
        return release;
    }

    QByteArray onDrive(const QString &relative) const
    {
        return TestFiles::readFile(drive + QLatin1Char('/') + relative);
    }

    QTemporaryDir dir;
    const QString cache;
    const QString drive;
    const QString beside;
};
