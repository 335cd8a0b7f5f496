#pragma once

#include "records/DisplayEntry.h"

#include <QCoreApplication>
#include <QString>

// The texts of the confirmation shown before a LAN update: which displays, the side effects to
// expect, how long the batch takes at least, and the question. Built from the rows alone, so the
// same texts can be checked without a window. Every text that came from a display is escaped:
// the dialog shows rich text.
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
        RolloutPolicy rollout;  // the policy the batch will run with
    };

    struct Texts
    {
        int listedRows = 0;
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
    static QString notesFor(const DisplayEntry &row, bool *note1, bool *note2, bool *note3);
    // The policy in force, one plain line ("Rollout: one display of each model first; stop after 3
    // failures"); empty when both rules are off.
    static QString rolloutText(const RolloutPolicy &policy);
    // Minutes of the duration sentence: half a minute or more counts as a whole one.
    static int roundedMinutes(int seconds);
};
