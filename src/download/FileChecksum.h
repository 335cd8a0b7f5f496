#pragma once

#include <QString>

// MD5 of whole files, as the catalogue writes it: 32 lowercase hexadecimal characters.
class FileChecksum
{
public:
    // Large enough that system calls cost little, small enough that a block is still in the
    // processor cache when the hash reads it back (measured: 256 kB beats both 64 kB and 4 MB).
    // A file read back from a device wants larger reads.
    static constexpr qint64 DefaultReadBlockSize = 256 * 1024;

    // Empty when the file cannot be opened or read to its end.
    static QString md5Hex(const QString &path, qint64 readBlockSize = DefaultReadBlockSize);
};
