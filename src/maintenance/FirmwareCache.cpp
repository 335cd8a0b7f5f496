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

int FirmwareCache::clearFirmwareFiles(const QString &folder, const QStringList &inUse)
{
    // Suffix of an unfinished write: "." and six letters or digits.
    constexpr int UnfinishedSuffixLength = 7;
    const auto owned = [&inUse](const QString &name) {
        return inUse.contains(name, Qt::CaseInsensitive)
                || (UnfinishedFiles::isUnfinished(name)
                    && inUse.contains(name.left(name.size() - UnfinishedSuffixLength), Qt::CaseInsensitive));
    };
    // What a download or an unpack stopped half-way left behind goes too.
    const QStringList names = firmwareFiles(folder) + UnfinishedFiles::list(folder);
    const QDir dir(folder);
    int found = 0;
    for (const QString &name : names) {
        if (owned(name))
            continue;
        ++found;
        QFile::remove(dir.filePath(name));
    }
    return found;
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
