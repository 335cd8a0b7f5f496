#pragma once

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class SimDisplay;

// One HTTP listener of a display; each connection is read by a
// SimHttpConnection and its requests go to the display.
class SimWebServer : public QObject
{
    Q_OBJECT

public:
    SimWebServer(SimDisplay *display, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    void close();

private:
    void acceptConnections();

    SimDisplay *m_display;
    QTcpServer *m_server;
};
