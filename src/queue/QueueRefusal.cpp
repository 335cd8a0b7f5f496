#include "queue/QueueRefusal.h"

bool QueueRefusal::hasLanSequence(int seriesCode)
{
    switch (seriesCode) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 9: case 10: case 11:
        return true;
    default:
        return false;
    }
}

int QueueRefusal::fileCount(const FirmwareRelease &release)
{
    return release.unpackedFileInfo.isEmpty() ? 1 : int(release.unpackedFileInfo.size());
}

QueueRefusal::Reason QueueRefusal::check(const DisplayEntry &row, const FirmwareRelease &release)
{
    if (!hasLanSequence(row.catalogueSeries))
        return Reason::NoLanSequence;
    if (fileCount(release) > DisplayEntry::ComponentSlots)
        return Reason::TooManyFiles;
    return Reason::None;
}

QString QueueRefusal::reasonText(Reason reason, const FirmwareRelease &release)
{
    switch (reason) {
    case Reason::NoLanSequence:
        return tr("This model cannot be updated via LAN. Use a USB drive.");
    case Reason::TooManyFiles:
        return tr("The firmware has %1 files, more than the %2 a LAN update can send.", "1=number of files 2=maximum")
                .arg(fileCount(release))
                .arg(DisplayEntry::ComponentSlots);
    case Reason::None:
        break;
    }
    return QString();
}

QString QueueRefusal::rowText(Reason reason, const FirmwareRelease &release)
{
    switch (reason) {
    case Reason::NoLanSequence:
        return tr("Not queued: this model cannot be updated via LAN. Use a USB drive.");
    case Reason::TooManyFiles:
        return tr("Not queued: the firmware has %1 files, more than the %2 a LAN update can send.",
                  "1=number of files 2=maximum")
                .arg(fileCount(release))
                .arg(DisplayEntry::ComponentSlots);
    case Reason::None:
        break;
    }
    return QString();
}

QString QueueRefusal::logText(Reason reason, const DisplayEntry &row, const FirmwareRelease &release)
{
    switch (reason) {
    case Reason::NoLanSequence:
        return QStringLiteral("Not queued: no LAN update sequence for series %1. Model: %2")
                .arg(row.catalogueSeries)
                .arg(row.modelName);
    case Reason::TooManyFiles:
        return QStringLiteral("Not queued: firmware has %1 files, a LAN update sends at most %2. Model: %3")
                .arg(fileCount(release))
                .arg(DisplayEntry::ComponentSlots)
                .arg(row.modelName);
    case Reason::None:
        break;
    }
    return QString();
}
