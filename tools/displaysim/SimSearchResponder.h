#pragma once

#include <QHostAddress>
#include <QObject>

class QUdpSocket;
class SimDisplay;

// The display's UDP search socket.
class SimSearchResponder : public QObject
{
    Q_OBJECT

public:
    SimSearchResponder(SimDisplay *display, QObject *parent = nullptr);

    bool bind(const QHostAddress &address, quint16 port);
    void close();

private:
    void readDatagrams();

    SimDisplay *m_display;
    QUdpSocket *m_socket;
};
