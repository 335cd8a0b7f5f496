#pragma once

#include "catalogue/FirmwareRelease.h"
#include "records/DisplayEntry.h"

#include <QCoreApplication>
#include <QString>

// Rows that must not be queued for a LAN update, decided before any session is made: a series
// without a LAN sequence, or a release with more files than a session carries. Half a firmware
// set sent to a display is worse than none, so such a row is refused whole, never cut down.
class QueueRefusal
{
    Q_DECLARE_TR_FUNCTIONS(QueueRefusal)

public:
    enum class Reason {
        None,
        NoLanSequence,
        TooManyFiles,
    };

    static Reason check(const DisplayEntry &row, const FirmwareRelease &release);
    static bool hasLanSequence(int seriesCode);
    // The files a session would send: the unpacked files, or the package itself.
    static int fileCount(const FirmwareRelease &release);

    // The reason alone, translated, as the confirmation before an update lists it.
    static QString reasonText(Reason reason, const FirmwareRelease &release);
    // The row's status text, translated.
    static QString rowText(Reason reason, const FirmwareRelease &release);
    // The log line after "Display #" n, in English like every log line.
    static QString logText(Reason reason, const DisplayEntry &row, const FirmwareRelease &release);
};
