#include "queue/RolloutGate.h"

QString RolloutGate::groupKey(const QString &model, const QString &targetVersion)
{
    return model + QChar(0) + targetVersion;
}

RolloutGate::Hold RolloutGate::hold(const QString &group) const
{
    if (stopped())
        return Hold::BatchStopped;
    if (!m_policy.firstPerModel)
        return Hold::None;
    const auto it = m_groups.constFind(group);
    if (it == m_groups.constEnd())
        return Hold::None;
    switch (*it) {
    case GroupState::FirstRunning:
        return Hold::WaitingForFirst;
    case GroupState::FirstFailed:
        return Hold::FirstFailed;
    case GroupState::FirstPassed:
        break;
    }
    return Hold::None;
}

void RolloutGate::started(const QString &display, const QString &group)
{
    Display record;
    record.group = group;
    // A group passes or fails on one display; others started later (after it passed) only count.
    record.first = !m_groups.contains(group);
    if (record.first)
        m_groups.insert(group, GroupState::FirstRunning);
    m_displays.insert(display, record);
}

void RolloutGate::failed(Display &display)
{
    display.phase = Phase::Done;
    ++m_failures;
    if (display.first)
        m_groups.insert(display.group, GroupState::FirstFailed);
}

void RolloutGate::settled(const QString &display, bool completed)
{
    const auto it = m_displays.find(display);
    if (it == m_displays.end() || it->phase != Phase::Running)
        return;
    if (completed)
        it->phase = Phase::AwaitingCheck;
    else
        failed(*it);
}

void RolloutGate::verified(const QString &display, bool onReleaseVersion)
{
    const auto it = m_displays.find(display);
    // Only a completed session is checked; a late check of an earlier batch belongs to nobody here.
    if (it == m_displays.end() || it->phase != Phase::AwaitingCheck)
        return;
    if (!onReleaseVersion) {
        failed(*it);
        return;
    }
    it->phase = Phase::Done;
    if (it->first)
        m_groups.insert(it->group, GroupState::FirstPassed);
}

QString RolloutGate::rowText(Hold hold, const RolloutPolicy &policy)
{
    switch (hold) {
    case Hold::None:
        break;
    case Hold::WaitingForFirst:
        return tr("Waiting for the first display of this model");
    case Hold::FirstFailed:
        return tr("Not started: the first display of this model failed");
    case Hold::BatchStopped:
        return policy.maxFailures == 1 ? tr("Not started: the batch stopped after 1 failure")
                                       : tr("Not started: the batch stopped after %1 failures").arg(policy.maxFailures);
    }
    return QString();
}
