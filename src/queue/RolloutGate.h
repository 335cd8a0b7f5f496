#pragma once

#include "records/RolloutPolicy.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>

// The rollout policy of one batch, applied as the queue works through it: which queued display
// may start now, and what a settled session or a finished version check means for the rest.
// Displays and groups are plain keys (the display's address, its model and target version), so
// the rules are checked without sessions or a table.
//
// A group's first display passes only when the version read back after its restart is the
// release's; a failed session, a wrong version or no answer holds the group's other displays back.
// Every failure counts towards the batch's limit, whichever display it was.
class RolloutGate
{
    Q_DECLARE_TR_FUNCTIONS(RolloutGate)

public:
    enum class Hold {
        None,            // may start (within the update limit)
        WaitingForFirst, // stays queued until the group's first display has passed
        FirstFailed,     // not started: the group's first display did not pass
        BatchStopped,    // not started: the batch reached its failure limit
    };

    RolloutGate() = default;
    explicit RolloutGate(const RolloutPolicy &policy) : m_policy(policy) { }

    const RolloutPolicy &policy() const { return m_policy; }

    // One group per model and target version.
    static QString groupKey(const QString &model, const QString &targetVersion);

    Hold hold(const QString &group) const;
    // The queue started a display of the group; the first one started is the group's first.
    void started(const QString &display, const QString &group);
    // Its session ended; completed when the session reported the update complete.
    void settled(const QString &display, bool completed);
    // The check after the restart of a completed display ended.
    void verified(const QString &display, bool onReleaseVersion);

    int failures() const { return m_failures; }
    bool stopped() const { return m_policy.maxFailures > 0 && m_failures >= m_policy.maxFailures; }

    // The row text of a display held by the policy, translated; empty for Hold::None.
    static QString rowText(Hold hold, const RolloutPolicy &policy);

private:
    enum class GroupState { FirstRunning, FirstPassed, FirstFailed };
    enum class Phase { Running, AwaitingCheck, Done };

    struct Display
    {
        QString group;
        bool first = false;
        Phase phase = Phase::Running;
    };

    void failed(Display &display);

    RolloutPolicy m_policy;
    QHash<QString, GroupState> m_groups;
    QHash<QString, Display> m_displays;
    int m_failures = 0;
};
