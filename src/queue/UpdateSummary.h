#pragma once

#include "catalogue/FirmwareRelease.h"
#include "queue/QueueRefusal.h"
#include "records/DisplayEntry.h"

#include <QCoreApplication>
#include <QString>

class FirmwareDatabase;

// The texts of the confirmation shown before a LAN update: which displays, from which version to
// which, the side effects to expect, how long the batch takes at least, and the question. A ticked
// row the queue would refuse is listed apart with its reason and left out of the time, so what the
// user confirms is what runs. Built from the rows and the catalogue, so the same texts can be
// checked without a window. Every text that came from a display is escaped: the dialog shows
// rich text.
class UpdateSummary
{
    Q_DECLARE_TR_FUNCTIONS(UpdateSummary)

public:
    struct Options
    {
        int updateLimit = 5;
        bool showAssetTag = false;
        QString headerColour;   // "#rrggbb"
        QString note1IconPath;  // image shown beside note 1
        // The catalogue the queue will read; without it only the series decides a refusal.
        const FirmwareDatabase *database = nullptr;
        RolloutPolicy rollout;  // the policy the batch will run with
        // The window asks; a command line that runs only when told (--yes) has nothing to ask.
        bool askToProceed = true;
    };

    struct Texts
    {
        int listedRows = 0;     // rows to be updated, numbered in the table
        int refusedRows = 0;    // ticked rows the queue would refuse, listed apart
        int estimateSecs = 0;
        QString header;
        QString table;
        QString message;
    };

    static Texts build(const DisplayEntryList &rows, const Options &options);

    // A row is listed when it is checked and its firmware is downloaded and verified.
    static bool isListed(const DisplayEntry &row);
    // Series 1 and 2 in Auto Power Save or Auto Standby: switched "Off" before queueing.
    static bool needsPowerSaveChange(const DisplayEntry &row);
    // Why the queue would refuse the row, judged as the queue will; release is the row's release
    // when the catalogue has one.
    static QueueRefusal::Reason refusal(const DisplayEntry &row, const Options &options, FirmwareRelease *release);
    static QString notesFor(const DisplayEntry &row, bool *note1, bool *note2, bool *note3);
    // The policy in force, one plain line ("Rollout: one display of each model first; stop after 3
    // failures"); empty when both rules are off.
    static QString rolloutText(const RolloutPolicy &policy);
};
