#pragma once

#include <QString>

// One mounted volume on a removable drive, as the USB drive dialog lists it.
struct RemovableDrive
{
    QString rootPath;       // where the volume is mounted ("E:/", "/media/tech/STICK")
    QString displayName;    // the volume label, or the root path when it has none
    qint64 bytesTotal = 0;
    // The file system by the name Windows gives it ("FAT16", "FAT32", "NTFS", "exFAT"); a FAT
    // volume is named by its own FAT type, never by the Linux driver name "vfat".
    QString fileSystemType;
};
