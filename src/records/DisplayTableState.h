#pragma once

#include "records/DisplayEntry.h"

#include <QHostAddress>
#include <QList>
#include <QString>

// What the main window knows about the table and about the work running on it: the rows and the
// counters and flags from which the enabled commands are computed. The search, download and
// update parts change it and then ask the window to redraw; none of them needs a widget for it.
struct DisplayTableState
{
    DisplayEntryList displayEntries;

    // Targeted search: the parsed addresses and the text as the user typed it.
    QList<QHostAddress> targetAddresses;
    QString targetText;

    bool searching = false;
    bool searchAttempted = false;
    bool selectionRefreshPending = false;
    int foundCount = 0;

    bool databaseLoaded = false;
    bool databaseDownloadInFlight = false;

    int pendingControlRequests = 0;
    bool refreshPending = false;
    bool powerRequestPending = false;
    bool powerSaveChangePending = false;

    int activeDownloads = 0;
    int activeUpdates = 0;
    bool usbDownloadPending = false;
    bool updateDownloadPending = false;
    bool modelDownloadPending = false;
    bool cancelRequested = false;

    // A confirmed LAN update batch runs from its confirmation until its last session settles,
    // also while the power-save change and the queue's first tick are still to come.
    bool batchRunning = false;

    bool cautionsAccepted = false;
    bool legacySupport = false;
    int updateLimit = 5;

    bool anyDownloadPending() const
    {
        return usbDownloadPending || updateDownloadPending || modelDownloadPending;
    }

    // The row whose main address is address, or -1. Addresses compare the same whether or not
    // they came in IPv6-mapped form.
    int rowForAddress(const QHostAddress &address) const
    {
        for (int row = 0; row < displayEntries.size(); ++row) {
            if (displayEntries.at(row).address.isEqual(address, QHostAddress::TolerantConversion))
                return row;
        }
        return -1;
    }

    bool isValidRow(int row) const { return row >= 0 && row < displayEntries.size(); }

    // Unchecks every checked row that has no update session; a row being updated keeps its check
    // so the queue still finds it. Returns the rows that changed.
    QList<int> uncheckIdleRows()
    {
        QList<int> changed;
        for (int row = 0; row < displayEntries.size(); ++row) {
            DisplayEntry &entry = displayEntries[row];
            if (entry.updateSession || !entry.selected)
                continue;
            entry.selected = false;
            changed.append(row);
        }
        return changed;
    }
};
