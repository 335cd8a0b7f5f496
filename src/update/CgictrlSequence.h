#pragma once

#include "update/StepSequence.h"

// The cgictrl step sequence (series 3-6): standby, delete old files, wait for the display to be
// ready, upload the package, follow its file check, switch to update mode, update and poll.
class CgictrlSequence : public StepSequence
{
public:
    CgictrlSequence(SessionHost &host, const SeriesCode::SeriesRow &row);
};
