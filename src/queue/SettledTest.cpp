#include "queue/SettledTest.h"

#include <algorithm>

bool SettledTest::isFinal(int componentStatus, int sessionStatus, int seriesCode)
{
    switch (componentStatus) {
    case 0:
    case 2:
    case -5:
        return false;
    case -4:
        return seriesCode == 1 || seriesCode == 2 || sessionStatus == 4;
    default:
        return true;
    }
}

bool SettledTest::hasSettled(int sessionStatus, const ComponentStatuses &componentStatus, int seriesCode)
{
    if (sessionStatus == 2)
        return false;
    const bool anyFinal = std::any_of(componentStatus.cbegin(), componentStatus.cend(), [&](int status) {
        return isFinal(status, sessionStatus, seriesCode);
    });
    if (anyFinal)
        return true;
    // A session that ended with a result while its components never moved (none enabled, or it
    // failed before the first one began) would otherwise hold its lane for ever. Idle and queued
    // session codes are not results: a session just started may not have said "running" yet.
    const bool result = sessionStatus >= 3 || (sessionStatus < 0 && sessionStatus != -5);
    return result
            && std::all_of(componentStatus.cbegin(), componentStatus.cend(), [](int status) { return status == 0; });
}
