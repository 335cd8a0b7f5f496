#pragma once

#include "catalogue/FirmwareRelease.h"
#include "usbwriter/UsbCopyItem.h"

#include <QList>
#include <QString>

// What a release puts on a USB drive: the folder under the drive root and the files, with the
// catalogue's names checked before anything on the drive is touched. The names come from the
// firmware server, so a release whose names could reach outside the drive's firmware folder,
// or that would copy two files onto one name, is refused as a whole.
class UsbCopyPlan
{
public:
    enum Status : int {
        Ready = 0,
        UnsafeName = -2,       // a folder or file name that is not a plain name on the drive
        DuplicateTarget = -8,  // several files would land on one name and overwrite each other
    };

    static UsbCopyPlan fromRelease(const FirmwareRelease &release);

    int status() const { return m_status; }
    // The folder under the drive root, sub-folders separated by "/"; empty for the root itself.
    QString targetFolder() const { return m_targetFolder; }
    const QList<UsbCopyItem> &items() const { return m_items; }
    // The sum of the catalogue's file sizes.
    qint64 listedBytes() const;

    // A folder below the drive root: plain names separated by "/" or "\", no "." or "..", no
    // drive letter, no leading separator. Empty counts as plain (the root itself).
    static bool isPlainRelativeFolder(const QString &folder);

private:
    int m_status = Ready;
    QString m_targetFolder;
    QList<UsbCopyItem> m_items;
};
