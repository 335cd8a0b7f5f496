#pragma once

#include "platform/RemovableDrive.h"

#include <QString>

// Which removable drives a release can be copied to, and how each is named in the drive list.
class UsbDriveSuitability
{
public:
    // The release's updateViaUSB bits: 1 FAT16, 2 FAT32, 4 NTFS; the type is compared ignoring case.
    static bool isSuitable(const QString &fileSystemType, int updateViaUSB);
    // Whole GB (2^30) from 1 GB up, else whole MB: a stick sold as 16 GB shows 14 or 15 GB.
    static QString sizeText(qint64 bytesTotal);
    // "<root> (<name>) [<size> <file system>]".
    static QString entryText(const RemovableDrive &drive);
};
