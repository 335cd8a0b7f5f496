#pragma once

#include "SimDisplayConfig.h"
#include "SimHttpRouter.h"
#include "SimRequestLog.h"

#include <QHostAddress>
#include <QObject>

class SimSearchResponder;
class SimControlServer;
class SimWebServer;

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
    void clearRequestLog() { m_log.clear(); }

    // Where further endpoints (per display series) are added; /index.html and
    // / are there from the start.
    SimHttpRouter &webRouter() { return m_router; }

    // For the protocol modules.
    SimDisplayConfig &state() { return m_config; }
    void record(const SimLogEntry &entry);
    void recordConnection(SimLogEntry::Channel channel);
    void notifyStateChanged() { emit stateChanged(); }

signals:
    void searchReceived(int requestType);
    void controlRequestReceived(const QByteArray &body);
    void webRequestReceived(const QByteArray &method, const QByteArray &target);
    void stateChanged();

private:
    int openListeners();
    void closeListeners();
    void installDefaultRoutes();

    SimDisplayConfig m_config;
    SimRequestLog m_log;
    SimHttpRouter m_router;
    QHostAddress m_address;
    bool m_running = false;
    SimSearchResponder *m_search = nullptr;
    SimControlServer *m_control = nullptr;
    SimWebServer *m_web = nullptr;
    SimWebServer *m_secondWeb = nullptr;
};
