#pragma once

#include <QString>

// MD5 of whole files, as the catalogue writes it: 32 lowercase hexadecimal characters.
class FileChecksum
{
public:
    // Empty when the file cannot be opened or read to its end.
    static QString md5Hex(const QString &path);
};
