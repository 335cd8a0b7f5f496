#pragma once

struct DisplayTableState;

// Which of the main window's commands may run now, computed from the table state alone so the
// rules can be read and tested in one place. The window only copies these into its widgets.
struct CommandAvailability
{
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

    // currentRow is an index into state.displayEntries, or -1 when no row is current.
    static CommandAvailability evaluate(const DisplayTableState &state, int currentRow);
};
