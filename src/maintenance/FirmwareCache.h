#pragma once

#include <QString>
#include <QStringList>

// The downloaded firmware files in the flat cache folder: which names count as firmware, and
// removing them. The catalogue copy "pd_firmware_releases.json" is never one of them.
class FirmwareCache
{
public:
    // "*.zip" packages and the "*.hex", "*.bin", "*.pac", "*.jbc" firmware files.
    static QStringList firmwareFilePatterns();

    // Plain files directly in folder whose names match a pattern (case-insensitive, as on the
    // Windows file system), sorted by name. Sub-folders are never listed or entered.
    static QStringList firmwareFiles(const QString &folder);

    // Deletes every firmware file and every leftover of an unfinished write (UnfinishedFiles);
    // a file that cannot be deleted is skipped. The names in inUse belong to running jobs: they
    // stay, and so do their unfinished writes ("<name>.XXXXXX"). Returns how many files there were
    // to delete, deleted or not.
    static int clearFirmwareFiles(const QString &folder, const QStringList &inUse = {});

    // The status bar text after clearing: "No Files to clear" or "Files cleared".
    static QString clearedText(int found);

    // Opens the folder in the desktop's file manager. For a missing folder nothing is started and
    // the result is false: the caller shows missingFolderTitle() / missingFolderText() and then
    // opens the file manager at its default place (Platform::showInFileManager with no path).
    static bool showFolder(const QString &folder);
    static QString missingFolderTitle();
    static QString missingFolderText();
};
