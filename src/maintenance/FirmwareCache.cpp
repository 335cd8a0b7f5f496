#include "maintenance/FirmwareCache.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList FirmwareCache::firmwareFilePatterns()
{
    return { QStringLiteral("*.zip"), QStringLiteral("*.hex"), QStringLiteral("*.bin"), QStringLiteral("*.pac"),
             QStringLiteral("*.jbc") };
}

QStringList FirmwareCache::firmwareFiles(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(firmwareFilePatterns(), QDir::Files, QDir::Name);
}

int FirmwareCache::clearFirmwareFiles(const QString &folder)
{
    const QStringList names = firmwareFiles(folder);
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
