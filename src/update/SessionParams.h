#pragma once

#include <QtGlobal>

// What the queue hands an update session besides the display and its files. The time-outs and
// pauses carry the values a real display needs; tests shorten them instead of waiting minutes.
struct SessionParams
{
    static constexpr int MinWritingCeilingSecs = 30 * 60;

    // A write is only given up well past what the release says it takes.
    static int writingCeilingFor(int expectedUpdateSecs)
    {
        return qMax(MinWritingCeilingSecs, 3 * qMax(0, expectedUpdateSecs));
    }

    int timerIntervalMs = 0;          // delay of the first tick; the queue passes 0
    int seriesCode = 0;
    bool needPowerPrep = false;

    int stepTimeoutSecs = 60;         // one request of the web sequences, the whole upload included
    int retryPauseMs = 10000;         // pause before a request is sent again after a network error
    int waitMs = 10000;               // the stamped sequence's mode-change and update-execute waits
    int legacyWritingWaitMs = 20000;  // a legacy display still writing its image
    int legacyTimeoutSecs = 0;        // 0: the series table's per-slot legacy time-outs
    int tcpStepTimeoutSecs = 30;      // one control request of the TCP-assisted sequence
    int tcpStartTimeoutSecs = 120;    // the start request, and later any stall in update progress
    int updateStartWaitMs = 60000;    // how long progress may stay at "not yet running" after a start
    // How long a display that accepted the update may write while it keeps answering the result
    // poll; see writingCeilingFor.
    int writingCeilingSecs = MinWritingCeilingSecs;
    int tickMs = 1000;

    quint16 webPort = 80;
    quint16 controlPort = 7142;
};
