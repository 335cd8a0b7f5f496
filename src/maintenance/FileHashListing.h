#pragma once

#include <QString>

// The cached firmware files with their MD5 and size, as the HTML the information panel shows:
// exactly the values a catalogue author enters as fileChecksum and fileSize.
class FileHashListing
{
public:
    // One "file: <b>name</b> fileChecksum=<b>md5</b> size=<b>bytes</b><br>" line per file, the
    // "*.zip" files first, then "*.pac", "*.hex", "*.jbc" and "*.bin". Empty for a missing or
    // empty folder.
    static QString html(const QString &folder);
};
