#pragma once

#include <QtGlobal>

// Tests shorten the product's and the simulator's time-outs to keep runs quick. A slow build (the
// sanitizers) or a busy machine can stall a test for seconds, long enough for a simulated display
// to give up on a client that is merely late. ctest hands every test the same factor it applies to
// the test's own time limit (QUILLON_TEST_TIME_SCALE); those give-up time-outs are multiplied by it,
// the pacing (ticks, pauses) is not.
namespace TestTimeScale {

inline int factor()
{
    bool ok = false;
    const int f = qEnvironmentVariableIntValue("QUILLON_TEST_TIME_SCALE", &ok);
    return ok ? qBound(1, f, 20) : 1;
}

inline int scaled(int value)
{
    return value * factor();
}

} // namespace TestTimeScale
