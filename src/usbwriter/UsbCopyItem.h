#pragma once

#include <QString>

// One firmware file to put on the drive: its name in the cache folder, its name on the drive,
// and what the catalogue says of it (size 0 and an empty checksum mean "not given").
struct UsbCopyItem
{
    QString sourceName;
    QString targetName;
    qint64 fileSize = 0;
    QString fileChecksum;
};
