#pragma once

#include "records/DisplayEntry.h"

#include <QCoreApplication>
#include <QString>

// How long the displays still need, modelled as updateLimit lanes that each run one session at a
// time. The queue uses it for the time left while a batch runs, the confirmation for a whole batch
// before it starts; both must give the same figure for the same rows.
class LaneEstimate
{
    Q_DECLARE_TR_FUNCTIONS(LaneEstimate)

public:
    enum class Mode {
        Remaining,  // running rows keep what is left of their duration, queued rows are added
        WholeBatch, // every listed row counts as queued with its full duration
    };

    // Seconds, never below 0. A limit below 1 counts as one lane.
    static int seconds(const DisplayEntryList &rows, int updateLimit, Mode mode);

    // "mm:ss" with at least two minute digits ("100:00" past 99 minutes).
    static QString minutesSeconds(int seconds);
};
