#pragma once

#include <memory>

class SessionHost;
class UpdateSequence;

// The sequence the series table names for a series code; null when the series has none.
std::unique_ptr<UpdateSequence> makeUpdateSequence(int seriesCode, SessionHost &host);
