#pragma once

#include "SimUpdateConfig.h"

#include <QElapsedTimer>
#include <QList>

// The display's own side of a firmware update, without any wire format: a
// package arrives, is checked over a few polls, then the requested
// components are written one after the other, each advancing per poll. Every
// poll answers the state as it is and then moves on, so a client sees each
// stage at least once.
class SimFirmwareUpdate
{
public:
    enum class Phase { Idle, Checking, CheckPassed, CheckFailed, Updating, Completed, Failed };

    // What a file-check poll answers. paccheck -1 and an empty codes list
    // mean the member is absent from the reply.
    struct Check {
        int upload = 1;         // 1 no package, 0 still storing it, 2 stored
        int paccheck = -1;      // 0..100, 255 = the package is bad
        QList<int> codes;       // per component: 0..99 checking, 100 good, 300 bad
    };

    // Component codes of an update poll.
    static constexpr int Waiting = 202;
    static constexpr int Done = 204;
    static constexpr int Failed = 500;
    // Progress read values (VCP 13h 06h).
    static constexpr int NotRunning = 200;
    static constexpr int ReportedFailure = 208;

    void setConfig(const SimUpdateConfig &config) { m_config = config; }
    void reset();
    Phase phase() const { return m_phase; }
    bool settled() const { return m_phase == Phase::Completed || m_phase == Phase::Failed || m_phase == Phase::CheckFailed; }
    int componentCount() const;

    void receivePackage();
    // A package the display checked while receiving it ("/upload"): it may
    // be started at once.
    void acceptPackage() { reset(); m_phase = Phase::CheckPassed; }
    void deletePackage() { reset(); }
    Check pollCheck();
    // Components 1-based; those beyond the display's count are ignored.
    // False (nothing starts) unless the package passed its check.
    bool startUpdate(const QList<int> &components);
    QList<int> pollUpdate();
    int readProgress();

private:
    void advance();
    bool holding(int code);

    SimUpdateConfig m_config;
    Phase m_phase = Phase::Idle;
    int m_checkPoll = 0;
    QList<int> m_codes;         // per component during and after an update
    QList<int> m_order;         // requested components, 1-based
    int m_position = 0;         // index into m_order of the component being written
    int m_startReadsLeft = 0;
    QElapsedTimer m_held;       // since the component in work reached holdPercent
};
