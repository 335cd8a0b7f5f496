#pragma once

#include "control/PD_TCP_REPLY.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

class ControlQueryGate;
class PageFetch;
class QTcpSocket;
class QUrl;

// Runs one control query against one display on TCP port 7142: the pending request items are sent
// one at a time in table order, and the query ends with exactly one device_results. The same
// client may run a further query after that (set the flags, connect again).
class TcpClient : public QObject
{
    Q_OBJECT

public:
    enum ConnectionState { NotConnected = 0, Connected = 1, Disconnected = 2, ConnectFailed = 5 };

    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int ReplyTimeoutMs = 2000;
    // A web page that starts answering and then stalls is not cut off by the page fetch itself.
    static constexpr int HttpCheckLimitMs = 15000;
    // Reconnections made for one unanswered item before it is given up.
    static constexpr int MaxRetries = 4;
    // The same message is sent at most this often in a row before its item is given up, whether the
    // display keeps not answering or keeps answering in a way that leaves the item pending.
    static constexpr int MaxSendsOfOneMessage = MaxRetries + 1;
    // A control reply is a few dozen bytes; a longer answer takes more than one read.
    static constexpr qint64 ReadChunk = 4096;

    explicit TcpClient(QObject *parent = nullptr);
    ~TcpClient() override;

    void setRequestFlags(quint32 flags);
    void connectToDisplay(const QHostAddress &address, quint16 port, const QHostAddress &ip2Address);

    // With a gate, a query waits for its turn before it connects; the gate must outlive the client.
    void setQueryGate(ControlQueryGate *gate);

    // Only tests shorten the wait for a reply, so that items given up take milliseconds.
    void setReplyTimeout(int ms) { m_replyTimer.setInterval(ms); }
    // Only tests shorten the web page checks: the wait for a first answer and the whole check.
    void setHttpCheckTimeout(int ms);

    // The web page checks go to port 80 of the display; only a test points them elsewhere.
    void setHttpPort(quint16 port) { m_httpPort = port; }

    PD_TCP_REPLY reply() const { return m_reply; }
    int connectionState() const { return m_connectionState; }

signals:
    void device_results(PD_TCP_REPLY reply);

public slots:
    void ConnectedHandle();
    void DisConnectedHandle();
    void SocketErrorHandle(QAbstractSocket::SocketError error);
    void ReadyReadHandle();
    void ReplyTimerTimeout();
    void ConnectTimerTimeout();
    void VerifyIP2ConnectivitystatusChangedIn(int status);
    void CheckLockStatusstatusChangedIn(int status);

private slots:
    void HttpCheckLimitReached();

private:
    void sendNextItem();
    void takeReply(const QByteArray &data);
    int handleReply(const QByteArray &data);
    void dropItem(quint32 flag);
    void startHttpCheck(const QUrl &url, bool lockCheck);
    void finishHttpCheck();
    void openConnection();
    void reconnect();
    void continueOnFreshConnection();
    void endQuery();

    QTcpSocket *m_socket;
    QTimer m_replyTimer;
    QTimer m_connectTimer;
    QTimer m_httpCheckTimer;
    PD_TCP_REPLY m_reply;

    quint32 m_pending = 0;
    quint32 m_current = 0;          // flag of the item in progress, 0 for none
    bool m_awaitingReply = false;
    int m_firmwareIndex = 0;        // next "CA02" index - 1; -1 once the display said there is no more
    int m_assetTagOffset = 0;       // 0 for the first half of the asset tag, 32 for the second
    int m_retryCount = 0;
    bool m_reconnecting = false;    // the connection was closed on purpose to send an item again
    QByteArray m_lastMessage;
    int m_sendsOfLastMessage = 0;

    QHostAddress m_address;
    QHostAddress m_ip2Address;
    quint16 m_port = 0;
    quint16 m_httpPort = 80;
    QPointer<PageFetch> m_httpCheck;
    QPointer<ControlQueryGate> m_gate;
    int m_connectionState = NotConnected;
    int m_pageFirstDataTimeoutMs = -1;   // -1: the page fetch's own
    bool m_resultEmitted = false;
    bool m_itemUnanswered = false;
    bool m_displayAnswered = false;   // anything at all came back since the query connected
    quint32 m_queryGeneration = 0;
};
