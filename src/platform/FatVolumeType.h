#pragma once

#include <QByteArray>
#include <QString>

// Linux mounts every FAT volume as "vfat"; whether a stick is FAT16 or FAT32 decides whether a
// release accepts it, so the type is read from the volume itself.
class FatVolumeType
{
public:
    // "FAT12", "FAT16" or "FAT32" from the first sector of a FAT volume, by its cluster count as
    // the FAT format defines it; empty for anything that is not a sound FAT boot sector.
    static QString fromBootSector(const QByteArray &sector);

    // The FAT type udev recorded for a device ("E:ID_FS_VERSION=FAT32" in its data file), so a
    // user who may not read the raw device still gets an answer; empty when it is not there.
    static QString fromUdevData(const QByteArray &data);

    // For a device node ("/dev/sdb1") or a volume image: udev's record first, then the boot sector.
    // sysClassBlock and udevDataFolder are "/sys/class/block" and "/run/udev/data" on a live system.
    static QString forDevice(const QString &devicePath,
                             const QString &sysClassBlock = QStringLiteral("/sys/class/block"),
                             const QString &udevDataFolder = QStringLiteral("/run/udev/data"));
};
