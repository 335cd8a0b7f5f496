#include "catalogue/FirmwareStatusEvaluator.h"

#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareVersions.h"
#include "records/SeriesCode.h"
#include "records/AppBuild.h"

namespace {

// The manual power-cycle value for a release, or -1 to leave the row's value as it is.
int manualPowerCycleFor(const FirmwareRelease &release, const QString &installed)
{
    switch (release.manualPowerCycleRequired) {
    case 0:
    case 1:
    case 2:
        return release.manualPowerCycleRequired;
    case 3: {
        int error = 0;
        const int order = FirmwareVersions::compareVersions(
            release.manualPowerCycleRequiredIfVersionBefore, installed, &error);
        if (error != 0)
            return 0;
        return order > 0 ? 2 : 1;
    }
    default:
        return -1;
    }
}

}

FirmwareStatusEvaluator::FirmwareStatusEvaluator(const FirmwareDatabase &database, bool legacySupport)
    : m_database(database)
    , m_legacySupport(legacySupport)
{
}

void FirmwareStatusEvaluator::setLegacySupport(bool on)
{
    m_legacySupport = on;
}

bool FirmwareStatusEvaluator::legacySupport() const
{
    return m_legacySupport;
}

void FirmwareStatusEvaluator::setLinearLookup(bool on)
{
    m_linearLookup = on;
}

void FirmwareStatusEvaluator::evaluateFirmwareStatus(DisplayEntryList &rows, bool autoSelect,
                                                     const std::function<void(int)> &rowEvaluated) const
{
    for (int i = 0; i < rows.size(); ++i) {
        evaluateRow(rows[i], autoSelect);
        if (rowEvaluated)
            rowEvaluated(i);
    }
}

void FirmwareStatusEvaluator::evaluateRow(DisplayEntry &row, bool autoSelect) const
{
    row.firmwareStatus = FirmwareStatus::NotEvaluated;
    const int index = m_linearLookup
        ? m_database.findReleaseIndexLinear(row.modelName, row.serialNumber)
        : m_database.findReleaseIndex(row.modelName, row.serialNumber);
    if (index < 0) {
        // Only the status: the rest of the row keeps what an earlier match wrote.
        row.firmwareStatus = FirmwareStatus::NoneForModel;
        return;
    }
    const FirmwareRelease &release = m_database.releases().at(index);
    const QString &installed = row.currentFirmware;

    const int powerCycle = manualPowerCycleFor(release, installed);
    if (powerCycle >= 0)
        row.manualPowerCycle = powerCycle;

    row.legacyModel = release.legacyModel;
    row.requiresAppBuild = release.requiresAppBuild;
    row.updateViaHTTP = release.updateViaHTTP;
    if (!release.updateViaHTTPMinimumFirmwareVersion.isEmpty() && !installed.isEmpty()) {
        int error = 0;
        const int order = FirmwareVersions::compareVersions(
            installed, release.updateViaHTTPMinimumFirmwareVersion, &error);
        if (error != 0 || order < 0)
            row.updateViaHTTP = 0;
    }
    row.updateViaUSB = release.updateViaUSB;
    row.updateDurationSecs = release.updateViaHTTPDurationSecs;
    row.componentCount = release.numPACComponents;
    row.needPowerSaveModeToNormal = release.needPowerSaveModeToNormal;
    row.useIP2 = release.useIP2;
    row.needPowerOnToUpdate = release.needPowerOnToUpdateViaHTTP;
    row.needPowerOnToReadInfo = release.needPowerOnToReadInfo;
    row.latestVersion = release.changes.version;
    row.catalogueSeries = SeriesCode::seriesCodeForName(release.seriesName);

    // Lists gathered while the display ran an older version would describe changes it now has
    // (after an update the panel listed them "from R1.100 to 1.100").
    row.changeLists.clear();
    if (installed.isEmpty()) {
        row.firmwareStatus = FirmwareStatus::NoVersionInfo;
    } else {
        int error = 0;
        const int order = FirmwareVersions::compareVersions(installed, row.latestVersion, &error);
        if (error != 0) {
            row.firmwareStatus = FirmwareStatus::NotComparable;
        } else if (order >= 0) {
            row.firmwareStatus = FirmwareStatus::UpToDate;
        } else {
            // The release's own flag decides the status; the row's may have been cleared by the
            // minimum-version rule, which the panel explains separately.
            if (release.updateViaHTTP != 0) {
                row.firmwareStatus = FirmwareStatus::NewForLan;
                if (autoSelect && release.requiresAppBuild <= AppBuild::Number
                    && (release.legacyModel == 0 || m_legacySupport))
                    row.selected = true;
            } else {
                row.firmwareStatus = FirmwareStatus::NewForUsbOnly;
            }
            row.changeLists = FirmwareVersions::changeListsSince(release, installed);
        }
    }

    const bool updatable = row.firmwareStatus == FirmwareStatus::NotComparable
        || row.firmwareStatus == FirmwareStatus::UpToDate
        || row.firmwareStatus == FirmwareStatus::NewForLan;
    if (updatable && row.useIP2 != 0 && (row.updateAddress.isNull() || row.ip2Check != 0))
        row.commStatus = 2;
}
