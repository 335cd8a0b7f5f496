#pragma once

#include <QElapsedTimer>

// Once a display has accepted the update it writes its firmware, and a large component can stay
// at one percentage for minutes. From then on the session polls as long as the display answers;
// only this ceiling on the whole write ends it.
class WritingClock
{
public:
    // The first call starts the clock; later ones leave it running.
    void accepted()
    {
        if (!m_since.isValid())
            m_since.start();
    }

    void reset() { m_since.invalidate(); }
    bool running() const { return m_since.isValid(); }

    bool pastCeiling(int ceilingSecs) const
    {
        return m_since.isValid() && m_since.elapsed() / 1000 >= ceilingSecs;
    }

private:
    QElapsedTimer m_since;
};
