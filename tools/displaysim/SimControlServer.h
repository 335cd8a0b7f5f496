#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;
class SimDisplay;

// The display's control-protocol listener and its connections, with the
// faults of the control channel.
class SimControlServer : public QObject
{
    Q_OBJECT

public:
    SimControlServer(SimDisplay *display, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    void close();

private:
    void acceptConnections();
    void readRequests(QTcpSocket *socket);
    void answer(QTcpSocket *socket, char type, const QByteArray &body);
    void writeReply(QTcpSocket *socket, QByteArray frame, const QByteArray &body);

    struct Connection {
        QByteArray buffer;  // bytes of a frame not yet complete
        int items = 0;      // requests answered or dropped on this connection
    };

    SimDisplay *m_display;
    QTcpServer *m_server;
    QHash<QTcpSocket *, Connection> m_connections;
};
