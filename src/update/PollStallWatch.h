#pragma once

#include <QByteArray>
#include <QElapsedTimer>

// Every poll restarts the step clock, so a display that keeps answering "in progress" with the
// very same reply would hold a session in "Running" for ever. This watch tells how long the poll
// replies of one step have stayed the same.
class PollStallWatch
{
public:
    void replied(int step, const QByteArray &body)
    {
        if (step != m_step || body != m_body || !m_since.isValid()) {
            m_step = step;
            m_body = body;
            m_since.start();
        }
    }

    void reset() { m_since.invalidate(); }
    int step() const { return m_step; }

    bool stalled(int timeoutSecs) const
    {
        return m_since.isValid() && m_since.elapsed() / 1000 > timeoutSecs;
    }

private:
    int m_step = -1;
    QByteArray m_body;
    QElapsedTimer m_since;
};
