#include "app/CommandAvailability.h"

#include "records/AddressText.h"
#include "records/AppBuild.h"
#include "records/DisplayTableState.h"

namespace {

// Why a ticked row keeps the LAN update off, in the order the enabling rule below checks it;
// empty when it does not.
QString blockerText(const DisplayEntry &row)
{
    // Written only for a row that blocks: the rules run over every row on each refresh.
    const auto display = [&row] { return AddressText::of(row.address); };
    if (row.commStatus == 2) {
        return CommandAvailability::tr("%1: the address for firmware updates cannot be reached — untick it to update the others",
                                       "1=display address").arg(display());
    }
    if (row.commStatus != 0) {
        return CommandAvailability::tr("%1: the display does not answer — untick it to update the others",
                                       "1=display address").arg(display());
    }
    if (row.needPowerOnToUpdate && row.powerState != 1) {
        return CommandAvailability::tr("%1: the display must be powered on to update its firmware — power it on or untick it to update the others",
                                       "1=display address").arg(display());
    }
    return QString();
}

}

QString CommandAvailability::blockerSummary(const QStringList &blockers)
{
    if (blockers.size() <= 1)
        return blockers.value(0);
    return tr("%1 (and %n more ticked display(s), listed in the button's tool tip)", "1=first blocking display's text",
              int(blockers.size() - 1))
            .arg(blockers.first());
}

CommandAvailability CommandAvailability::evaluate(const DisplayTableState &state, int currentRow)
{
    bool requestsInFlight = false;
    int queued = 0;
    int inUpdate = 0;
    int checked = 0;
    int commErrors = 0;
    bool powerNeeded = false;
    QStringList blockers;
    for (const DisplayEntry &row : state.displayEntries) {
        if (row.controlRequest)
            requestsInFlight = true;
        if (row.updateStatus == 1)
            ++queued;
        if (row.updateStatus != 0)
            ++inUpdate;
        if (!row.selected)
            continue;
        ++checked;
        if (row.commStatus != 0)
            ++commErrors;
        if (row.needPowerOnToUpdate && row.powerState != 1)
            powerNeeded = true;
        const QString blocker = blockerText(row);
        if (!blocker.isEmpty())
            blockers << blocker;
    }

    const bool haveRows = !state.displayEntries.isEmpty();
    const DisplayEntry *current = state.isValidRow(currentRow) ? &state.displayEntries.at(currentRow)
                                                               : nullptr;
    const bool calm = !requestsInFlight && !state.searching;

    CommandAvailability a;
    a.busyCursor = state.searching || state.pendingControlRequests > 0 || state.activeDownloads > 0
            || state.anyDownloadPending();

    // A confirmed batch counts as running before its first session starts.
    const bool idle = calm && state.activeDownloads == 0 && state.activeUpdates == 0 && !state.batchRunning
            && !state.databaseDownloadInFlight;
    a.search = idle;
    a.targetedSearch = idle && !state.targetAddresses.isEmpty();
    a.cancelQueuedUpdates = queued > 0;

    a.updateViaLan = !state.databaseDownloadInFlight && commErrors == 0 && !powerNeeded
            && state.activeDownloads < 1 && state.activeUpdates < 1 && !state.batchRunning && state.databaseLoaded
            && checked > 0 && haveRows && calm;

    const bool refreshable = state.databaseLoaded && haveRows && calm;
    a.refreshAll = refreshable;
    a.refreshSelected = refreshable && current && !current->updateSession;

    a.usbDrive = current && current->updateViaUSB && current->requiresAppBuild <= AppBuild::Number
            && state.activeUpdates < 1 && state.databaseLoaded && state.activeDownloads == 0 && calm
            && haveRows;

    a.catalogueTools = state.databaseLoaded && state.activeDownloads == 0 && calm
            && state.activeUpdates < 1;
    a.lanUpdateBlockers = blockers;
    a.deselectAll = checked > 0;
    // A queued session reads its files later, a download writes under a temporary name beside its
    // file, and the catalogue download beside the catalogue copy: the clearing would take them.
    a.clearDownloads = state.activeDownloads == 0 && !state.anyDownloadPending() && state.activeUpdates == 0
            && inUpdate == 0 && !state.databaseDownloadInFlight && !state.batchRunning;
    return a;
}
