#pragma once

#include "SimDisplayConfig.h"
#include "SimHttpRouter.h"
#include "SimRequestLog.h"
#include "SimUpdateCapture.h"
#include "SimUpdateStats.h"
#include "SimWebCapture.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>

class SimSearchResponder;
class SimControlServer;
class SimWebServer;
class SimUpdateSession;
class SimUpdateStats;
class QTimer;
struct SimHttpRequest;
struct SimHttpResponse;

// One simulated display: answers the UDP search, the control protocol and
// HTTP on its own loopback address. Its state lives in one SimDisplayConfig;
// the protocol modules read and change it through this object.
class SimDisplay : public QObject
{
    Q_OBJECT

public:
    enum StartStatus {
        Started = 0,
        SearchBindFailed = -1,
        ControlListenFailed = -2,
        WebListenFailed = -3,
        SecondAddressListenFailed = -4,
        NotIPv4 = -5,
    };

    explicit SimDisplay(const SimDisplayConfig &config = SimDisplayConfig(), QObject *parent = nullptr);
    ~SimDisplay() override;

    // Binds the search socket and opens the listeners on address; 0 or a
    // negative StartStatus (nothing stays open on failure).
    int start(const QHostAddress &address);
    void stop();
    bool isRunning() const { return m_running; }
    QHostAddress address() const { return m_address; }

    // Takes effect at once, also while running (listeners follow the
    // Listener switches and the ports).
    void setConfig(const SimDisplayConfig &config);
    const SimDisplayConfig &config() const { return m_config; }
    void setMisbehaviour(const SimMisbehaviour &misbehaviour);
    const SimMisbehaviour &misbehaviour() const { return m_config.misbehaviour; }
    void setLocked(bool locked);
    void setPowerMode(int mode);
    void setPowerSaveSetting(int setting);
    void setVcpValue(quint16 code, quint16 value);

    const SimRequestLog &requestLog() const { return m_log; }
    void clearRequestLog(); // also the web captures and the update capture

    // Every web request byte for byte (SimWebCapture), and what the update
    // side received (API keys, chunk sizes, packages).
    static constexpr int MaxCaptures = 20000; // the oldest go first
    const QList<SimWebCapture> &webCaptures() const { return m_captures; }
    QList<SimWebCapture> webCaptures(const QByteArray &step) const;
    const SimUpdateCapture &updateCapture() const;

    // Update state: whether an attempt runs, how the last one ended
    // ("complete", "failed", "abandoned"; empty before), and whether the
    // display is rebooting (control and web closed, search silent).
    bool isUpdating() const;
    QByteArray updateOutcome() const;
    bool isRebooting() const { return m_rebooting; }
    // Fleet-wide counters; the fleet sets its own. Null: none.
    void setUpdateStats(SimUpdateStats *stats);

    // Where further endpoints (per display series) are added; /index.html and
    // / are there from the start.
    SimHttpRouter &webRouter() { return m_router; }

    // For the protocol modules.
    SimDisplayConfig &state() { return m_config; }
    void record(const SimLogEntry &entry);
    void recordConnection(SimLogEntry::Channel channel);
    void notifyStateChanged() { emit stateChanged(); }
    // Web connections (SimHttpConnection): a head arrived (returns the fault
    // that applies to reading its body: drop, throttle), body bytes arrived,
    // a whole request is to be answered, or a request ended early.
    SimStepFault webHeadArrived(SimHttpRequest &head);
    // Whether any fault reads bodies slowly (listeners then take small
    // receive buffers, so the slowness reaches the client).
    bool throttlesReads() const;
    void webActivity();
    SimHttpResponse answerWeb(const SimHttpRequest &request);
    void webAborted(const SimHttpRequest &partial, bool bodyWhole);
    // Control connections: update items, *handled false for the rest.
    SimUpdateSession &updateSession() { return *m_update; }
    // After a completed update: control and web go quiet for rebootMs, then
    // come back with firmwareAfterUpdate (never with neverReturn).
    void beginReboot();
    // A new update request before the reboot began: the client was not done.
    bool cancelPendingReboot();

signals:
    void searchReceived(int requestType);
    void controlRequestReceived(const QByteArray &body);
    void webRequestReceived(const QByteArray &method, const QByteArray &target);
    void stateChanged();

private:
    int openListeners();
    int openControlAndWeb();
    void closeListeners();
    void closeControlAndWeb();
    void installDefaultRoutes();
    void finishReboot();
    void capture(const SimHttpRequest &request, bool complete, int status);
    void publishFirmware();

    SimDisplayConfig m_config;
    SimRequestLog m_log;
    SimHttpRouter m_router;
    QHostAddress m_address;
    bool m_running = false;
    SimSearchResponder *m_search = nullptr;
    SimControlServer *m_control = nullptr;
    SimWebServer *m_web = nullptr;
    SimWebServer *m_secondWeb = nullptr;
    SimUpdateSession *m_update;
    QPointer<SimUpdateStats> m_stats;
    QList<SimWebCapture> m_captures;
    bool m_rebooting = false;
    QTimer *m_rebootTimer;
    QTimer *m_rebootStartTimer;
};
