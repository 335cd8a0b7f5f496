#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;
class SimDisplay;
struct SimHttpResponse;

// One HTTP listener of a display; requests go to the display's router.
class SimWebServer : public QObject
{
    Q_OBJECT

public:
    SimWebServer(SimDisplay *display, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    void close();

private:
    void acceptConnections();
    void readRequests(QTcpSocket *socket);
    void send(QTcpSocket *socket, const SimHttpResponse &response, bool keepAlive);

    SimDisplay *m_display;
    QTcpServer *m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
