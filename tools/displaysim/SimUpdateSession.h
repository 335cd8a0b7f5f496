#pragma once

#include "SimControlResponder.h"
#include "SimFirmwareUpdate.h"
#include "SimHttpResponse.h"
#include "SimStepFault.h"
#include "SimUpdateCapture.h"
#include "SimUpdateProtocol.h"
#include "SimUpdateRoutes.h"
#include "SimUpdateStats.h"

#include <QCryptographicHash>
#include <QMap>
#include <QObject>
#include <QPointer>

class QTimer;
class SimDisplay;
class SimUpdateStats;
struct SimHttpRequest;
struct SimUpdateConfig;

// The update side of one display: takes the requests of its web dialect and
// the update items of the control protocol, drives the firmware state
// (SimFirmwareUpdate), applies the configured faults, keeps what it received
// (SimUpdateCapture) and tells the fleet's SimUpdateStats when an attempt
// begins and ends. A completed update makes the display reboot.
class SimUpdateSession : public QObject
{
    Q_OBJECT

public:
    explicit SimUpdateSession(SimDisplay *display);

    SimUpdateProtocol protocol() const;
    void setStats(SimUpdateStats *stats) { m_stats = stats; }
    void reset();                   // display started, stopped or rebooted
    void clearCapture() { m_capture = SimUpdateCapture(); }

    // Web: classify names the step of a request head (and counts it);
    // readFault is the fault that applies to it (default: none).
    void classify(SimHttpRequest &head);
    SimStepFault readFault(const SimHttpRequest &head) const;
    SimHttpResponse handle(const SimHttpRequest &request);
    void activity();                // any byte for the display while an attempt runs

    // Control: update items answered here (*handled true), the rest by the
    // plain responder after any side effect here.
    SimControlResponder::Reply controlRequest(char type, const QByteArray &body, bool *handled);

    const SimUpdateCapture &capture() const { return m_capture; }
    SimFirmwareUpdate::Phase phase() const { return m_model.phase(); }
    bool inUpdate() const { return m_inUpdate; }
    QByteArray lastOutcome() const { return m_outcome; }

private:
    const SimUpdateConfig &config() const;
    const SimStepFault *faultFor(const QByteArray &step, int ordinal) const;
    SimHttpResponse act(const SimUpdateRoutes::Match &match, const SimHttpRequest &request);
    SimHttpResponse upload(const SimHttpRequest &request);
    SimHttpResponse uploadWithKey(const SimHttpRequest &request);
    SimHttpResponse chunk(const SimHttpRequest &request);
    SimHttpResponse legacyUpload(const SimHttpRequest &request);
    SimHttpResponse fileCheck();
    SimHttpResponse resultPoll();
    SimHttpResponse reply(const QByteArray &body) const; // in the dialect's content type
    void packageReceived(const QByteArray &name, qint64 size, const QByteArray &md5, bool checked);
    void begin();
    void end(const QByteArray &outcome);
    void settleAfterPoll();

    SimDisplay *m_display;
    QPointer<SimUpdateStats> m_stats;
    SimFirmwareUpdate m_model;
    SimUpdateCapture m_capture;
    QMap<QByteArray, int> m_stepCounts;
    QTimer *m_abandonTimer;
    QTimer *m_legacyQuietTimer;
    bool m_inUpdate = false;
    QByteArray m_outcome;
    // State of the attempt in work.
    bool m_standby = false;
    bool m_modeChanged = false;
    bool m_uploadRequested = false;
    int m_legacyUploads = 0;
    bool m_legacyLastGood = false;
    qint64 m_chunkExpected = -1;    // announced size while chunks are awaited
    qint64 m_chunkReceived = 0;
    QCryptographicHash m_chunkHash{ QCryptographicHash::Md5 };
};
