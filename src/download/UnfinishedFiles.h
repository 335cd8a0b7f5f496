#pragma once

#include <QString>
#include <QStringList>

// Files the program was still writing when it was stopped hard (killed, a power cut). A package
// download, an unpacked firmware file and the catalogue copy are each written under a temporary
// name "<name>.XXXXXX" beside the name they are meant to get, and renamed only when complete.
// Where the system can keep such a file nameless nothing is left behind; elsewhere these
// leftovers are never firmware and are removed at the next start and by clearing the cache.
class UnfinishedFiles
{
public:
    // The name suffixes of cached firmware files: ".zip" packages and the ".hex", ".bin", ".pac"
    // and ".jbc" firmware files.
    static QStringList firmwareSuffixes();

    // True for "<name>.XXXXXX" (six letters or digits) where name has a firmware suffix or is the
    // catalogue copy "pd_firmware_releases.json".
    static bool isUnfinished(const QString &fileName);

    // The plain files directly in folder that are leftovers, sorted by name.
    static QStringList list(const QString &folder);

    // Removes the leftovers; returns how many were removed.
    static int remove(const QString &folder);

    // A temporary name for a file that is to become path, in the form isUnfinished knows, that
    // no file has; empty when the folder takes no files. The caller writes there and renames.
    static QString temporaryPathFor(const QString &path);
};
