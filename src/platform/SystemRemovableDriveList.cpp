#include "platform/SystemRemovableDriveList.h"

#include "platform/FatVolumeType.h"
#include "platform/Platform.h"

#include <QDir>
#include <QStorageInfo>

QList<RemovableDrive> SystemRemovableDriveList::drives() const
{
    QList<RemovableDrive> list;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &volume : volumes) {
        if (!volume.isValid() || !volume.isReady() || volume.isReadOnly())
            continue;
        if (!Platform::isRemovableDrive(volume.rootPath()))
            continue;
        list.append(describe(volume));
    }
    return list;
}

RemovableDrive SystemRemovableDriveList::describe(const QStorageInfo &volume)
{
    RemovableDrive drive;
    drive.rootPath = volume.rootPath();
    drive.displayName = volume.displayName();
    drive.bytesTotal = volume.bytesTotal();
    drive.fileSystemType = QString::fromLatin1(volume.fileSystemType());
#ifndef Q_OS_WIN
    if (drive.fileSystemType.compare(QLatin1String("vfat"), Qt::CaseInsensitive) == 0
        || drive.fileSystemType.compare(QLatin1String("msdos"), Qt::CaseInsensitive) == 0) {
        const QString fat = FatVolumeType::forDevice(QString::fromLocal8Bit(volume.device()));
        // Unknown stays "vfat", which no release accepts: better unlisted than a wrong guess.
        if (!fat.isEmpty())
            drive.fileSystemType = fat;
    } else if (drive.fileSystemType.compare(QLatin1String("exfat"), Qt::CaseInsensitive) == 0) {
        drive.fileSystemType = QStringLiteral("exFAT");
    } else if (drive.fileSystemType.compare(QLatin1String("ntfs3"), Qt::CaseInsensitive) == 0
               || drive.fileSystemType.compare(QLatin1String("ntfs"), Qt::CaseInsensitive) == 0) {
        // ntfs-3g mounts show as "fuseblk", which exFAT through FUSE shares: left unnamed.
        drive.fileSystemType = QStringLiteral("NTFS");
    }
#endif
    return drive;
}
