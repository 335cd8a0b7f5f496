#pragma once

#include "records/RolloutPolicy.h"

#include <QDateTime>
#include <QString>

// One LAN update of one display as the history keeps it: written as pending before the first
// request leaves, completed when the session settles and again when the check after the restart
// ends. Texts that came from the display are data; whoever shows them escapes them.
struct UpdateAttempt
{
    enum class State { Pending, Settled, Interrupted };

    // The check after the update, as the queue reports it; None while it has not ended.
    enum Verification { None = -1, Verified = 0, VersionMismatch = 1, NoAnswer = 2 };

    qint64 id = -1;
    QString batch;               // the attempts one queueing started share it
    QDateTime started;           // UTC
    QDateTime settled;           // UTC; invalid while pending or when interrupted
    QString address;
    QString model;
    QString serial;
    int series = 0;
    QString firmwareBefore;
    QString targetVersion;
    QString firmwareAfter;       // read back after the restart; empty when never read
    State state = State::Pending;
    int status = 0;              // the session's status code (3 complete)
    QString statusText;
    int verification = None;
    QString verificationText;
    QString packageName;
    QString packageMd5;
    QString frontEnd;            // "window" or "quillonctl"
    QString userName;            // the operating-system user
    RolloutPolicy rollout;       // the policy of the batch

    // The session completed, whatever the check after it found.
    bool succeeded() const { return state == State::Settled && status == SessionComplete; }
    bool failed() const { return state == State::Settled && status != SessionComplete; }

    static constexpr int SessionComplete = 3;

    // The state's one English name, as the history file stores it and its JSON writes it.
    static QString stateName(State state)
    {
        switch (state) {
        case State::Settled:
            return QStringLiteral("settled");
        case State::Interrupted:
            return QStringLiteral("interrupted");
        case State::Pending:
            break;
        }
        return QStringLiteral("pending");
    }
    static State stateFromName(const QString &name)
    {
        if (name == QLatin1String("settled"))
            return State::Settled;
        if (name == QLatin1String("interrupted"))
            return State::Interrupted;
        return State::Pending;
    }
};

// Lists of a hundred thousand attempts grow by moving bytes, not by copying each member.
Q_DECLARE_TYPEINFO(UpdateAttempt, Q_RELOCATABLE_TYPE);
