#pragma once

#include "records/DisplayEntry.h"

#include <array>

// Whether a session has ended for good, so the queue can release it and free its lane.
class SettledTest
{
public:
    using ComponentStatuses = std::array<int, DisplayEntry::ComponentSlots>;

    // componentStatus holds the status of every component slot (0 for unused ones).
    static bool hasSettled(int sessionStatus, const ComponentStatuses &componentStatus, int seriesCode);

    // A component status that ends that component: not idle, not running, not a retry under way;
    // a failed retry (-4) only where nothing else follows it.
    static bool isFinal(int componentStatus, int sessionStatus, int seriesCode);
};
