#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

struct DisplayTableState;

// Which of the main window's commands may run now, computed from the table state alone so the
// rules can be read and tested in one place. The window only copies these into its widgets.
struct CommandAvailability
{
    Q_DECLARE_TR_FUNCTIONS(CommandAvailability)

public:
    bool busyCursor = false;
    // The search button, "Broadcast search" and "Configure Targeted search...".
    bool search = false;
    bool targetedSearch = false;
    bool cancelQueuedUpdates = false;
    bool updateViaLan = false;
    bool refreshAll = false;
    bool refreshSelected = false;
    bool usbDrive = false;
    // "Create firmware USB drive by model..." and "Download firmware for offline use...".
    bool catalogueTools = false;
    bool deselectAll = false;
    // "Clear downloaded firmware files": never while a job may be writing or reading one.
    bool clearDownloads = false;

    // The ticked rows that keep "Update firmware via LAN" off, one text each in table order,
    // naming the display and what to do ("127.0.82.1: ... — untick it to update the others").
    // Empty when no ticked row blocks it (the command may still be off for other reasons).
    QStringList lanUpdateBlockers;
    // One line for the status bar: the first blocker, and how many more the tool tip lists.
    static QString blockerSummary(const QStringList &blockers);

    // currentRow is an index into state.displayEntries, or -1 when no row is current.
    static CommandAvailability evaluate(const DisplayTableState &state, int currentRow);
};
