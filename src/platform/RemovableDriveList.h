#pragma once

#include "platform/RemovableDrive.h"

#include <QList>

// The removable drives a firmware USB drive can be made on. The dialog takes one of these, so
// a test can hand it folders standing in for drives.
class RemovableDriveList
{
public:
    virtual ~RemovableDriveList() = default;

    // Writable, ready volumes on removable drives, asked afresh on every call.
    virtual QList<RemovableDrive> drives() const = 0;
};
