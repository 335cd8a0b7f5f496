#include "app/CommandAvailability.h"

#include "records/AppBuild.h"
#include "records/DisplayTableState.h"

CommandAvailability CommandAvailability::evaluate(const DisplayTableState &state, int currentRow)
{
    bool requestsInFlight = false;
    int queued = 0;
    int inUpdate = 0;
    int checked = 0;
    int commErrors = 0;
    bool powerNeeded = false;
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
    a.deselectAll = checked > 0;
    // A queued session reads its files later, a download writes under a temporary name beside its
    // file, and the catalogue download beside the catalogue copy: the clearing would take them.
    a.clearDownloads = state.activeDownloads == 0 && !state.anyDownloadPending() && state.activeUpdates == 0
            && inUpdate == 0 && !state.databaseDownloadInFlight && !state.batchRunning;
    return a;
}
