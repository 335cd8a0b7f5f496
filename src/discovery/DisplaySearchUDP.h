#pragma once

#include "discovery/DISPLAY_UDP_SEARCH_REPLY_INFO.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

class QUdpSocket;

// Finds displays with the UDP search on port 5320: one request to each destination, four seconds
// of listening with one repeat at the third, and one device_results per new responder.
class DisplaySearchUDP : public QObject
{
    Q_OBJECT

public:
    enum SearchKind { Broadcast = 0, Targeted = 1 };
    enum StartResult { Started = 0, EmptyList = -2, NoFilterMode = -3 };

    // The socket listens on bindAddress:5320; the default is every IPv4 address. It shares the port,
    // so displays simulated on this PC (127.0.0.N:5320) keep receiving their own datagrams.
    explicit DisplaySearchUDP(QObject *parent = nullptr,
                              const QHostAddress &bindAddress = QHostAddress(QHostAddress::AnyIPv4));
    ~DisplaySearchUDP() override;

    void setFilterMode(int mode);
    int setBroadcastAddresses(const QList<QHostAddress> &addresses);
    int setTargetAddresses(const QList<QHostAddress> &addresses);
    int startSearch(int kind);

    // Only tests shorten the search's tick (1000 ms), so that a search nobody answers ends in
    // a fraction of its four seconds.
    void setTickInterval(int ms) { m_timer.setInterval(ms); }

    bool isSearching() const { return m_searching; }
    quint16 sequenceNumber() const { return m_sequence; }
    QList<DISPLAY_UDP_SEARCH_REPLY_INFO> results() const { return m_results; }
    QList<QHostAddress> responders() const { return m_responders; }

signals:
    void device_results(DISPLAY_UDP_SEARCH_REPLY_INFO info);
    void finished();

public slots:
    void UdpReadyRead();
    void UdpSearchTimeoutTimerHandle();

private slots:
    void UdpSocketError(QAbstractSocket::SocketError error);
    void UdpSocketDisconnect();

private:
    // Returns false when the search ended (or this object went away) during a pause.
    bool sendRequestTo(const QList<QHostAddress> &destinations, bool skipResponders);
    void noteResponder(const QHostAddress &sender);
    void handleDatagram(const QByteArray &data, const QHostAddress &sender);
    bool isOwnDatagram(const QByteArray &data) const;
    bool isTarget(const QHostAddress &address) const;
    bool hasResponded(const QHostAddress &address) const;
    void endSearch();

    QUdpSocket *m_socket = nullptr;
    QTimer m_timer;
    QByteArray m_request;
    quint16 m_sequence = 0;
    quint32 m_requestType = 0;
    int m_kind = Broadcast;
    int m_filterMode = 0;
    QList<QHostAddress> m_broadcastAddresses;
    QList<QHostAddress> m_targetAddresses;
    QList<DISPLAY_UDP_SEARCH_REPLY_INFO> m_results;
    QList<QHostAddress> m_responders;
    // IPv4 values of the lists above, so that each reply of a 4096-target search is matched in
    // constant time rather than by a walk through every list.
    QSet<quint32> m_targetSet;
    QSet<quint32> m_resultSet;
    QSet<quint32> m_responderSet;
    QSet<quint32> m_targetsAnswered;    // targets with a record in this search
    int m_tick = 0;
    bool m_searching = false;
};
