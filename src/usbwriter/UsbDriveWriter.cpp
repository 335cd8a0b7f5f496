#include "usbwriter/UsbDriveWriter.h"

#include "download/FileChecksum.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// Old firmware in the root would be offered by the display next to the new one.
const QStringList FirmwareFilters = { QStringLiteral("*.hex"), QStringLiteral("*.bin"),
                                      QStringLiteral("*.pac"), QStringLiteral("*.jbc") };

void removeFiles(const QString &folder, const QStringList &filters)
{
    QDir dir(folder);
    const QStringList names = dir.entryList(filters, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        QFile::remove(dir.filePath(name));
}

// A copy pushed to the device is read back from it: large reads keep the drive streaming
// (measured on a virtio disk: 1 MB reads take a third of the time of 256 kB ones). Reads of a
// copy still in the page cache go through FileChecksum, tuned for that.
QString md5OfDeviceFile(const QString &path)
{
    constexpr qint64 DeviceReadBlockSize = 1024 * 1024;
    return FileChecksum::md5Hex(path, DeviceReadBlockSize);
}

bool isInside(const QString &folder, const QString &root)
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalFolder.isEmpty() || canonicalRoot.isEmpty())
        return false;
    const QString prefix = canonicalRoot.endsWith(QLatin1Char('/')) ? canonicalRoot : canonicalRoot + QLatin1Char('/');
    return canonicalFolder.startsWith(prefix);
}

// The folders of relative that already exist on the drive, from the root down, each checked to
// lie on the drive: a stick can hold a link named like the firmware folder that leads anywhere.
// Checked before anything on the drive is deleted.
bool targetStaysOnDrive(const QString &rootPath, const QString &relative)
{
    QString path = rootPath;
    for (const QString &part : relative.split(QLatin1Char('/'))) {
        path = QDir(path).filePath(part);
        const QFileInfo folder(path);
        if (!folder.exists() && !folder.isSymLink())
            return true;
        if (!isInside(path, rootPath))
            return false;
    }
    return true;
}

// Walks down from the root one folder at a time, making what is missing. A folder on the stick may
// be a link to anywhere, so each existing one must lie inside the drive before anything is made in
// it or emptied.
int makeTargetFolder(const QString &rootPath, const QString &relative, QString &target)
{
    target = rootPath;
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        target = QDir(target).filePath(part);
        const QFileInfo folder(target);
        if (folder.exists() || folder.isSymLink()) {
            if (!isInside(target, rootPath))
                return UsbDriveWriter::TargetOffDrive;
            if (!folder.isDir())
                return UsbDriveWriter::TargetFolderFailed;
        } else if (!QDir().mkdir(target)) {
            return UsbDriveWriter::TargetFolderFailed;
        }
    }
    return UsbDriveWriter::Copied;
}

} // namespace

UsbDriveWriter::UsbDriveWriter(int instance, const QString &sourceFolder, const UsbCopyPlan &plan, QObject *parent)
    : QObject(parent)
    , m_instance(instance)
    , m_sourceFolder(sourceFolder)
    , m_plan(plan)
{
}

QString UsbDriveWriter::resultText(int result)
{
    switch (result) {
    case Copied:
        return tr("Copied firmware file(s) to USB drive.");
    case TargetFolderFailed:
        return tr("Error: Unable to create the firmware folder on the USB drive.");
    case InvalidDrive:
        return tr("Error: Invalid drive selected.");
    case UnsafeName:
        return tr("Error: The firmware release names a folder or file that is not a plain name on the "
                  "USB drive. Nothing was copied.");
    case CopyFailed:
        return tr("Error: Unable to copy file(s).");
    case VerifyFailed:
        return tr("Error: Copied file(s) failed verification.");
    case SourceMissing:
        return tr("Error: Source file(s) missing.");
    case DeleteFailed:
        return tr("Error: Unable to delete existing files.");
    case NotEnoughSpace:
        return tr("Error: Not enough free space on USB drive.");
    case TargetOffDrive:
        return tr("Error: The firmware folder on the USB drive is a link to a place outside the drive. "
                  "Nothing was deleted or copied.");
    case DuplicateTarget:
        return tr("Error: The firmware release would copy several files to the same name on the USB "
                  "drive. Nothing was copied.");
    default:
        return tr("Error: Unable to copy file(s).");
    }
}

int UsbDriveWriter::write(const QString &rootPath)
{
    m_progressTotal = int(qMax<qsizetype>(1, m_plan.items().size() * 200));
    m_message.clear();
    const int result = run(rootPath);
    emit statusChanged(m_instance, result);
    return result;
}

int UsbDriveWriter::run(const QString &rootPath)
{
    QStorageInfo volume(rootPath);
    if (rootPath.isEmpty() || !QFileInfo(rootPath).isDir() || !volume.isValid() || !volume.isReady())
        return InvalidDrive;
    // Refused before anything on the drive is deleted.
    if (m_plan.status() != UsbCopyPlan::Ready)
        return m_plan.status();
    if (!m_plan.targetFolder().isEmpty() && !targetStaysOnDrive(rootPath, m_plan.targetFolder()))
        return TargetOffDrive;

    removeFiles(rootPath, FirmwareFilters);

    QString target = rootPath;
    if (!m_plan.targetFolder().isEmpty()) {
        const int made = makeTargetFolder(rootPath, m_plan.targetFolder(), target);
        if (made != Copied)
            return made;
        removeFiles(target, { QStringLiteral("*.*") });
    }

    qint64 needed = 0;
    for (const UsbCopyItem &item : m_plan.items()) {
        const QFileInfo source(m_sourceFolder + QLatin1Char('/') + item.sourceName);
        if (!source.exists())
            return SourceMissing;
        needed += source.size();
        const QString targetPath = target + QLatin1Char('/') + item.targetName;
        const QFileInfo existing(targetPath);
        if ((existing.exists() || existing.isSymLink()) && !QFile::remove(targetPath))
            return DeleteFailed;
    }

    volume.refresh();
    if (volume.bytesAvailable() < needed)
        return NotEnoughSpace;

    int progress = 0;
    for (const UsbCopyItem &item : m_plan.items()) {
        const QString source = m_sourceFolder + QLatin1Char('/') + item.sourceName;
        const QString targetPath = target + QLatin1Char('/') + item.targetName;
        report(progress, tr("Copying '%1'", "1=file name").arg(item.targetName));
        if (!QFileInfo::exists(source))
            return SourceMissing;
        if (!copyFile(source, targetPath, progress)) {
            // A part of a firmware file left on the stick could be offered to the display.
            QFile::remove(targetPath);
            return CopyFailed;
        }
        progress += 100;
        report(progress, tr("Verifying '%1'", "1=file name").arg(item.targetName));
        const auto digest = [&] { return m_flushToDevice ? md5OfDeviceFile(targetPath) : FileChecksum::md5Hex(targetPath); };
        if (!item.fileChecksum.isEmpty() && digest() != item.fileChecksum) {
            QFile::remove(targetPath);
            return VerifyFailed;
        }
        progress += 100;
    }
    report(m_progressTotal, tr("Copied firmware file(s) to USB drive."));
    return Copied;
}

bool UsbDriveWriter::copyFile(const QString &sourcePath, const QString &targetPath, int progressStart)
{
    QFile source(sourcePath);
    QFile target(targetPath);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const qint64 size = source.size();
    QByteArray block(BlockSize, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 count = source.read(block.data(), BlockSize);
        if (count < 0)
            return false;
        if (count == 0)
            break;
        if (target.write(block.constData(), count) != count)
            return false;
        copied += count;
        if (size > 0)
            report(progressStart + int(copied * 100 / size), m_message);
    }
    if (copied != size)
        return false;
    if (m_flushToDevice && !Platform::flushToDevice(target))
        return false;
    target.close();
    return target.error() == QFileDevice::NoError;
}

void UsbDriveWriter::report(int value, const QString &message)
{
    m_message = message;
    emit progressChanged(m_instance, qMin(value, m_progressTotal), m_progressTotal, message);
    pumpEvents();
}

void UsbDriveWriter::pumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 100);
}
