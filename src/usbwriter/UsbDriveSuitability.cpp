#include "usbwriter/UsbDriveSuitability.h"

namespace {

struct FormatBit
{
    const char *name;
    int bit;
};

constexpr FormatBit Formats[] = { { "FAT16", 1 }, { "FAT32", 2 }, { "NTFS", 4 } };

} // namespace

bool UsbDriveSuitability::isSuitable(const QString &fileSystemType, int updateViaUSB)
{
    for (const FormatBit &format : Formats) {
        if ((updateViaUSB & format.bit) && fileSystemType.compare(QLatin1String(format.name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString UsbDriveSuitability::sizeText(qint64 bytesTotal)
{
    constexpr qint64 GB = qint64(1) << 30;
    constexpr qint64 MB = qint64(1) << 20;
    if (bytesTotal >= GB)
        return QStringLiteral("%1 GB").arg(bytesTotal / GB);
    return QStringLiteral("%1 MB").arg(bytesTotal / MB);
}

QString UsbDriveSuitability::entryText(const RemovableDrive &drive)
{
    return QStringLiteral("%2 (%1) [%3 %4]").arg(drive.displayName, drive.rootPath, sizeText(drive.bytesTotal),
                                                 drive.fileSystemType);
}
