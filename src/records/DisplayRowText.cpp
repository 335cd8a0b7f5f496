#include "records/DisplayRowText.h"

#include "records/AppBuild.h"
#include "records/SeriesCode.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isUpToDateOrNewForLan(const DisplayEntry &entry)
{
    return entry.firmwareStatus == FirmwareStatus::UpToDate || entry.firmwareStatus == FirmwareStatus::NewForLan;
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

}

QString DisplayRowText::powerText(const DisplayEntry &entry)
{
    switch (entry.powerState) {
    case 1:
        return tr("Power On");
    case 2:
        return tr("Standby");
    case 3:
        return tr("Suspend");
    default:
        // Beside the "?" icon: a technician reads a word, not a bare symbol.
        return tr("Unknown", "power state");
    }
}

// A null result means the state has no text of its own.
QString DisplayRowText::availabilityText(const DisplayEntry &entry)
{
    const auto newVersionAvailable = [&entry] {
        return tr("New version %1 available", "1=new version number").arg(entry.latestVersion);
    };
    const auto downloading = [&entry] {
        return tr("%1% Downloading", "1=download percentage").arg(entry.downloadPercent);
    };

    // Until the display has told its version after an update, neither the catalogue's version
    // nor "Up-to-date" is known to be true.
    if (entry.verifyOutcome == VerifyOutcome::Checking)
        return checkingText();

    switch (entry.firmwareStatus) {
    case FirmwareStatus::NoVersionInfo:
        return tr("Version info not available from the display");
    case FirmwareStatus::NoneForModel:
        return tr("None available for this model", "no FW available");
    case FirmwareStatus::NotComparable:
        return tr("Unable to compare versions", "fw version comparison failed");
    case FirmwareStatus::UpToDate:
        if (!entry.selected)
            return tr("Up-to-date");
        switch (entry.downloadState) {
        case 0:
            return tr("Available");
        case 1:
            return tr("Download error");
        case 2:
            return downloading();
        case 3:
            return tr("Downloaded");
        default:
            return newVersionAvailable();
        }
    case FirmwareStatus::NewForUsbOnly:
        return newVersionAvailable();
    case FirmwareStatus::NewForLan:
        switch (entry.downloadState) {
        case 0:
            return newVersionAvailable();
        case 1:
            return tr("Download error");
        case 2:
            return downloading();
        case 3:
            return tr("New version %1 downloaded").arg(entry.latestVersion);
        default:
            return QString();
        }
    default:
        return tr("Unknown", "unable to check fw version");
    }
}

QString DisplayRowText::statusText(const DisplayEntry &entry, bool legacySupport, const StatusTextLookup &lookup)
{
    if (entry.requiresAppBuild > AppBuild::Number)
        return tr("Need newer application build %1.").arg(entry.requiresAppBuild);
    if (entry.lockStatus == 1 && entry.selected)
        return tr("Error: Display is currently locked.");
    // Ticked or not: an unticked row must not look healthy while its update cannot run.
    if (entry.commStatus == 2)
        return tr("Error: Firmware update IP address is unreachable.");
    if ((entry.powerState == 2 || entry.powerState == 3) && entry.needPowerOnToReadInfo
        && (entry.commStatus == 1 || entry.firmwareStatus == FirmwareStatus::NoVersionInfo))
        return tr("Power On required to report display information.");
    if (entry.commStatus == 1)
        return tr("Unable to communicate with display.");
    if (entry.needPowerOnToUpdate && entry.updateStatus == 0 && entry.powerState != 1 && entry.selected)
        return tr("Power state must be \"On\" to update firmware.");
    if (entry.selected && entry.updateStatus == 0 && SeriesCode::powerSaveMustBeSwitchedOff(entry.catalogueSeries, entry.powerSaveMode))
        return tr("Power Save Mode will be changed to \"Off\"");
    if (entry.selected && entry.updateStatus == 0
        && SeriesCode::powerSaveMustBeSwitchedToNormal(entry.needPowerSaveModeToNormal, entry.powerSaveModeVcp))
        return tr("Power Save Mode will be changed to \"Normal\"");

    if (entry.verifyOutcome == VerifyOutcome::Checking)
        return checkingText();
    if (entry.updateStatus == 0) {
        // What the check after the update found says more than the session's "complete".
        if (VerifyOutcome::isFailure(entry.verifyOutcome) && !entry.updateNote.isEmpty())
            return entry.updateNote;
        switch (entry.resultStatus) {
        case 0:
            if (!entry.updateNote.isEmpty())
                return entry.updateNote;
            if (entry.legacyModel && !legacySupport && isUpToDateOrNewForLan(entry))
                return tr("Firmware updates on legacy models is disabled. See Application settings.");
            if (entry.firmwareStatus == FirmwareStatus::NewForUsbOnly)
                return tr("Update via USB only");
            return QString(QLatin1String(""));
        case 3: {
            const QString success = entry.manualPowerCycle == 2
                    ? tr("Success. Please manually cycle the display's AC power.")
                    : tr("Success");
            // The check of the installed version follows the result.
            if (entry.updateNote.isEmpty())
                return success;
            if (success.endsWith(QLatin1Char('.')))
                return success + QLatin1Char(' ') + entry.updateNote;
            // A Japanese sentence ends in its own full stop, and takes no space after it.
            if (success.endsWith(QChar(0x3002)))
                return success + entry.updateNote;
            return tr("%1. %2", "1=update result such as \"Success\" 2=what the version check found").arg(success, entry.updateNote);
        }
        default: {
            const QString status = lookup ? lookup(entry.resultStatus)
                    : QCoreApplication::translate("UpdateStatusText", "Status: %1", "1=number (for unknown status type)").arg(entry.resultStatus);
            // A time-out while the display still answered says that it may still be writing.
            if (entry.updateNote.isEmpty())
                return status;
            return status + QLatin1Char(' ') + entry.updateNote;
        }
        }
    }
    if (entry.updateStatus == 2)
        return progressText(entry, entry.updateTimer.isValid() ? entry.updateTimer.elapsed() : 0);
    // A queued row with a note is one the rollout policy holds until its model's first display passed.
    if (entry.updateStatus == 1 && !entry.updateNote.isEmpty())
        return entry.updateNote;
    return lookup ? lookup(entry.updateStatus)
                      : QCoreApplication::translate("UpdateStatusText", "Status: %1", "1=number (for unknown status type)").arg(entry.updateStatus);
}

QString DisplayRowText::checkingText()
{
    return tr("Checking the version…", "after an update, while the display's firmware version is read back");
}

QString DisplayRowText::progressText(const DisplayEntry &entry, qint64 elapsedMs)
{
    // The count comes from the catalogue; a package never has more components than the row holds.
    const int components = std::clamp<int>(entry.componentCount, 0, DisplayEntry::ComponentSlots);
    const int total = 100 * components;
    int done = 0;
    QStringList completed;
    for (int i = 0; i < components; ++i) {
        const qint32 progress = entry.componentProgress[i];
        if (progress > 0)
            done += progress;
        if (i < 4 && progress >= 100)
            completed << QStringLiteral("FW%1").arg(i + 1);
    }

    if (total < 1)
        return entry.uploading ? tr("Uploading") : tr("Updating");

    QString remaining;
    if (entry.updateDurationSecs > 0) {
        const qint64 left = entry.updateDurationSecs - elapsedMs / 1000;
        const qint64 minutes = left / 60;
        const qint64 seconds = std::llabs(left - 60 * minutes);
        remaining = tr("Estimated time remaining: %1:%2", "1=min 2=sec").arg(twoDigits(minutes), twoDigits(seconds));
    }

    // The parts are joined by one space each, whichever of them are there.
    QStringList parts;
    if (entry.uploading && entry.uploadPercent >= 0) {
        parts << tr("Uploading %1%", "1=upload percent complete").arg(entry.uploadPercent);
    } else {
        const QString percent = QString::number(qint64(done) * 100 / total);
        parts << (entry.uploading ? tr("Uploading %1%", "1=upload percent complete").arg(percent)
                                  : tr("Updating %1%", "1=update percent complete").arg(percent));
        if (!completed.isEmpty())
            parts << tr("Completed: %1", "1=finished firmware files, such as \"FW1 FW2\"").arg(completed.join(QLatin1Char(' ')));
    }
    if (!remaining.isEmpty())
        parts << remaining;
    return parts.join(QLatin1Char(' '));
}
