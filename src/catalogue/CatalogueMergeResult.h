#pragma once

#include "catalogue/FirmwareDatabase.h"

#include <QString>

// What the start-up merge decided: the database to hold and what to tell the user.
struct CatalogueMergeResult
{
    FirmwareDatabase database;
    bool serverCopyUsed = false;
    bool localFileWritten = false;
    QString statusText;          // "Downloaded ..." or "... local file ...", shown for statusTimeoutMs
    int statusTimeoutMs = 0;
    QString errorText;           // set when the download failed; shown after statusText, no time-out
};
