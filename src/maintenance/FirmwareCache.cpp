#include "maintenance/FirmwareCache.h"

#include "download/UnfinishedFiles.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList FirmwareCache::firmwareFilePatterns()
{
    QStringList patterns;
    for (const QString &suffix : UnfinishedFiles::firmwareSuffixes())
        patterns.append(QLatin1Char('*') + suffix);
    return patterns;
}

QStringList FirmwareCache::firmwareFiles(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(firmwareFilePatterns(), QDir::Files, QDir::Name);
}

int FirmwareCache::clearFirmwareFiles(const QString &folder)
{
    // What a download or an unpack stopped half-way left behind goes too.
    const QStringList names = firmwareFiles(folder) + UnfinishedFiles::list(folder);
    const QDir dir(folder);
    for (const QString &name : names)
        QFile::remove(dir.filePath(name));
    return int(names.size());
}

QString FirmwareCache::clearedText(int found)
{
    return found == 0 ? QCoreApplication::translate("Tessel", "No Files to clear")
                      : QCoreApplication::translate("Tessel", "Files cleared");
}

bool FirmwareCache::showFolder(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo::exists(folder))
        return false;
    Platform::showInFileManager(folder);
    return true;
}

QString FirmwareCache::missingFolderTitle()
{
    return QCoreApplication::translate("Tessel", "Open File Location");
}

QString FirmwareCache::missingFolderText()
{
    return QCoreApplication::translate("Tessel", "File does not exist");
}
