#pragma once

#include "queue/UpdateVerifier.h"
#include "update/SessionParams.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>

class FirmwareDatabase;
class HttpClient;
struct DisplayEntry;
struct DisplayTableState;

// The LAN update queue: turns the confirmed rows into update sessions, starts at most the update
// limit of them, copies their progress into the rows once a second, releases each session when
// it has settled, and then checks which version the display came back with: that check decides
// whether the update succeeded, and the row keeps its lane until it has. It alone owns the
// sessions; a row only points at its session. Reports through signals; the window redraws.
class UpdateQueue : public QObject
{
    Q_OBJECT

public:
    static constexpr int TickMs = 1000;

    UpdateQueue(DisplayTableState &state, const FirmwareDatabase &database, const QString &cacheFolder,
                QObject *parent = nullptr);
    ~UpdateQueue() override;

    // What every session gets besides its series and power preparation; tests shorten the waits
    // and move the ports.
    void setSessionParams(const SessionParams &params) { m_sessionParams = params; }
    const SessionParams &sessionParams() const { return m_sessionParams; }
    // The check after the update; maxWaitMs is added to the release's update duration. Only a
    // display that then reports the release's version, with its own serial number and model,
    // counts as updated; without the check (benchmarks) a completed session does.
    void setVerifierParams(const UpdateVerifier::Params &params) { m_verifierParams = params; }
    void setVerificationEnabled(bool enabled) { m_verify = enabled; }
    void setTickInterval(int ms) { m_timer.setInterval(ms); }

    bool isTicking() const { return m_timer.isActive(); }
    int sessionCount() const { return int(m_sessions.size()); }
    int verificationsRunning() const { return int(m_verifiers.size()); }
    // The cache file names that queued and running sessions read.
    QStringList filesInUse() const;

public slots:
    // Checked, downloaded rows become queued sessions. Returns how many were queued.
    int queueUpdates();
    // One scheduling tick.
    void FirmUpdateTimerHandle();
    // Every queued row goes back to idle; running sessions go on.
    void cancelQueued();

signals:
    void update_info(int row);
    // An empty text clears the status bar; a zero time-out keeps the text.
    void statusMessage(const QString &text, int timeoutMs);
    void uiUpdateNeeded(bool updateDescription);
    // The last session has settled and every check after one has ended.
    void allFinished();
    // A check after an update ended; the row (while still in the table) holds what it found.
    void verified(const QHostAddress &address, int outcome, const QString &version,
                  const UpdateVerifier::Finding &finding);

private:
    struct Session
    {
        QHostAddress address;    // the row's main address, to find the row again
        QString modelName;
        int seriesCode = 0;
        bool running = false;
        std::array<int, 6> loggedStatus {};
        QStringList files;       // cache file names the session reads
    };

    bool queueRow(int row);
    void refuseRow(DisplayEntry &entry, int row, const QString &rowText, const QString &logText);
    // Copies the session into the row; true when it settled and was released.
    bool followRow(int row, DisplayEntry &entry);
    bool sessionSettled(const HttpClient *session, int seriesCode) const;
    // A session that completed hands its lane to the check that follows it.
    enum Lane { LaneFreed, LaneKept };
    void releaseSession(HttpClient *session, Lane lane = LaneFreed);
    void settleOrphans(const QHash<const HttpClient *, bool> &seen);
    void startVerification(DisplayEntry &entry);
    void verificationFinished(const QHostAddress &address);
    QString statusText() const;

    DisplayTableState &m_state;
    const FirmwareDatabase &m_database;
    const QString m_cacheFolder;
    QTimer m_timer;
    SessionParams m_sessionParams;
    UpdateVerifier::Params m_verifierParams;
    bool m_verify = true;
    QHash<HttpClient *, Session> m_sessions;
    QHash<QString, UpdateVerifier *> m_verifiers; // by address text
};
