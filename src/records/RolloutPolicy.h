#pragma once

#include <QtGlobal>

// How a LAN update batch guards against a firmware that fails: one display of each model first,
// and a number of failures after which nothing more is started. Both off is the plain queue.
struct RolloutPolicy
{
    static constexpr int MaxFailuresLimit = 99;

    bool firstPerModel = false;
    int maxFailures = 0;   // 0: never stop

    bool isActive() const { return firstPerModel || maxFailures > 0; }

    // A stored or typed count outside 0..99: below is "never", above is the most offered.
    static int boundedMaxFailures(int value) { return qBound(0, value, MaxFailuresLimit); }

    friend bool operator==(const RolloutPolicy &a, const RolloutPolicy &b)
    {
        return a.firstPerModel == b.firstPerModel && a.maxFailures == b.maxFailures;
    }
    friend bool operator!=(const RolloutPolicy &a, const RolloutPolicy &b) { return !(a == b); }
};
