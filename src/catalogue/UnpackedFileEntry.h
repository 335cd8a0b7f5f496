#pragma once

#include <QString>

// One firmware file inside a release's package: its name inside the archive (and in the cache
// folder), its size and its MD5 as lowercase hexadecimal.
struct UnpackedFileEntry
{
    QString fileName;
    qint32 fileSize = 0;
    QString fileChecksum;
};
