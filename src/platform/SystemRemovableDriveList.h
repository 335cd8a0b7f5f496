#pragma once

#include "platform/RemovableDriveList.h"

class QStorageInfo;

// The machine's own removable volumes: on Windows the drives GetDriveTypeW calls removable,
// elsewhere mounted volumes whose block device the kernel flags as removable.
class SystemRemovableDriveList : public RemovableDriveList
{
public:
    QList<RemovableDrive> drives() const override;

    // The entry for one mounted volume, with a FAT volume named by its FAT type.
    static RemovableDrive describe(const QStorageInfo &volume);
};
