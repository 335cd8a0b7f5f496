#pragma once

#include "update/StepSequence.h"

// The pjctrl stamped sequence (series 10): like the cgictrl steps without the delete and mode
// change, with a pause after standby and after the update request while the display switches.
class StampedSequence : public StepSequence
{
public:
    StampedSequence(SessionHost &host, const SeriesCode::SeriesRow &row);

    static constexpr int MaxStateCheckRetries = 3;
};
