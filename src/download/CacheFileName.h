#pragma once

#include <QString>

// Names that a catalogue puts into the flat firmware cache folder. A name is used only when it
// is a plain file name, so that no catalogue entry can reach outside that folder.
class CacheFileName
{
public:
    // False for "", ".", "..", names holding a path separator or a drive letter, and names that
    // Windows would not store as given (reserved characters and device names, trailing dot or space).
    static bool isPlain(const QString &name);
    // The package file name: everything after the last "/" of a download location.
    static QString fromDownloadLocation(const QString &downloadLoc);
};
