#include "usbwriter/UsbCopyPlan.h"

#include "download/CacheFileName.h"

#include <QRegularExpression>
#include <QSet>

namespace {

// Long enough for any firmware folder, short enough to stay clear of the 260-character path
// limit of the drive letters the stick will be read through.
constexpr int MaxFolderLength = 200;

} // namespace

bool UsbCopyPlan::isPlainRelativeFolder(const QString &folder)
{
    if (folder.isEmpty())
        return true;
    if (folder.size() > MaxFolderLength)
        return false;
    const QStringList parts = folder.split(QRegularExpression(QStringLiteral("[/\\\\]")));
    for (const QString &part : parts) {
        if (!CacheFileName::isPlain(part))
            return false;
    }
    return true;
}

UsbCopyPlan UsbCopyPlan::fromRelease(const FirmwareRelease &release)
{
    UsbCopyPlan plan;
    if (release.unpackedFileInfo.isEmpty()) {
        plan.m_items.append({ CacheFileName::fromDownloadLocation(release.downloadLoc), QString(),
                              release.fileSize, release.fileChecksum });
    } else {
        for (const UnpackedFileEntry &entry : release.unpackedFileInfo)
            plan.m_items.append({ entry.fileName, QString(), entry.fileSize, entry.fileChecksum });
    }

    const QString destination = release.destinationUSBFileName;
    bool plain = isPlainRelativeFolder(release.baseUSBFolderName)
        && (destination.isEmpty() || CacheFileName::isPlain(destination));
    QSet<QString> targets;
    bool duplicate = false;
    for (UsbCopyItem &item : plan.m_items) {
        item.targetName = destination.isEmpty() ? item.sourceName : destination;
        plain = plain && CacheFileName::isPlain(item.sourceName) && CacheFileName::isPlain(item.targetName);
        // FAT and NTFS see "FW.BIN" and "fw.bin" as one file.
        const QString key = item.targetName.toCaseFolded();
        duplicate = duplicate || targets.contains(key);
        targets.insert(key);
    }
    plan.m_targetFolder = release.baseUSBFolderName;
    plan.m_targetFolder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!plain)
        plan.m_status = UnsafeName;
    else if (duplicate)
        plan.m_status = DuplicateTarget;
    return plan;
}

qint64 UsbCopyPlan::listedBytes() const
{
    qint64 sum = 0;
    for (const UsbCopyItem &item : m_items)
        sum += item.fileSize;
    return sum;
}
