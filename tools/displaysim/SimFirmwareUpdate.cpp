#include "SimFirmwareUpdate.h"

void SimFirmwareUpdate::reset()
{
    m_phase = Phase::Idle;
    m_checkPoll = 0;
    m_codes.clear();
    m_order.clear();
    m_position = 0;
    m_startReadsLeft = 0;
    m_held.invalidate();
}

int SimFirmwareUpdate::componentCount() const
{
    return qBound(1, m_config.components, 6);
}

void SimFirmwareUpdate::receivePackage()
{
    reset();
    m_phase = Phase::Checking;
}

SimFirmwareUpdate::Check SimFirmwareUpdate::pollCheck()
{
    Check c;
    const int n = componentCount();
    if (m_phase == Phase::Idle)
        return c;
    c.upload = 2;
    if (m_phase == Phase::Checking) {
        const int polls = qMax(0, m_config.checkPolls);
        const int k = m_checkPoll++;
        if (k < polls) {
            if (k == 0) {
                c.upload = 0; // still storing the package
            } else if (k < polls - 1) {
                c.paccheck = qMin(99, k * 100 / polls);
            } else {
                c.paccheck = 100;
                c.codes = QList<int>(n, 50);
            }
            return c;
        }
        const int fail = m_config.checkFailComponent;
        m_phase = fail == 0 || (fail >= 1 && fail <= n) ? Phase::CheckFailed : Phase::CheckPassed;
    }
    if (m_phase == Phase::CheckFailed && m_config.checkFailComponent == 0) {
        c.paccheck = 255;
        return c;
    }
    c.paccheck = 100;
    c.codes = QList<int>(n, 100);
    if (m_phase == Phase::CheckFailed)
        c.codes[m_config.checkFailComponent - 1] = 300;
    return c;
}

bool SimFirmwareUpdate::startUpdate(const QList<int> &components)
{
    if (m_phase != Phase::CheckPassed)
        return false;
    const int n = componentCount();
    m_order.clear();
    for (int k : components)
        if (k >= 1 && k <= n && !m_order.contains(k))
            m_order.append(k);
    if (m_order.isEmpty())
        return false;
    m_codes = QList<int>(n, Done); // components not asked for have nothing to do
    for (int k : m_order)
        m_codes[k - 1] = Waiting;
    m_codes[m_order.first() - 1] = 0;
    m_position = 0;
    m_startReadsLeft = qMax(0, m_config.startPolls);
    m_phase = Phase::Updating;
    return true;
}

// A display writing a large component answers the same percentage for a while.
bool SimFirmwareUpdate::holding(int code)
{
    if (m_config.holdPercent < 0 || code != m_config.holdPercent)
        return false;
    if (!m_held.isValid())
        m_held.start();
    if (m_held.elapsed() < m_config.holdMs)
        return true;
    m_held.invalidate();
    return false;
}

void SimFirmwareUpdate::advance()
{
    if (m_position >= m_order.size())
        return;
    const int k = m_order.at(m_position);
    int &code = m_codes[k - 1];
    if (holding(code))
        return;
    if (k == m_config.updateFailComponent)
        code = Failed;
    else
        code = code >= 100 ? Done : qMin(100, code + qMax(1, m_config.progressStep));
    if (code == Done || code == Failed) {
        ++m_position;
        if (m_position < m_order.size())
            m_codes[m_order.at(m_position) - 1] = 0;
    }
}

QList<int> SimFirmwareUpdate::pollUpdate()
{
    if (m_phase != Phase::Updating && m_phase != Phase::Completed && m_phase != Phase::Failed)
        return QList<int>(componentCount(), Failed); // nothing was started: an honest error
    const QList<int> snapshot = m_codes;
    if (m_phase == Phase::Updating) {
        if (m_position >= m_order.size())
            m_phase = m_codes.contains(Failed) ? Phase::Failed : Phase::Completed;
        else
            advance();
    }
    return snapshot;
}

int SimFirmwareUpdate::readProgress()
{
    if (m_phase == Phase::Failed)
        return ReportedFailure;
    if (m_phase != Phase::Updating || m_config.updateNeverStarts)
        return NotRunning;
    if (m_startReadsLeft > 0) {
        --m_startReadsLeft;
        return NotRunning;
    }
    const int k = m_order.first();
    const int value = m_codes.at(k - 1);
    if (k == m_config.updateFailComponent && value > 0) {
        m_phase = Phase::Failed;
        return ReportedFailure;
    }
    if (value >= 100) {
        m_codes[k - 1] = Done;
        m_phase = Phase::Completed;
        return 100;
    }
    m_codes[k - 1] = qMin(100, value + qMax(1, m_config.progressStep));
    return value;
}
