#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>

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
    void sendUnaskedReply();

    SimDisplay *m_display;
    QUdpSocket *m_socket;
    QTimer m_unaskedTimer;
    int m_unaskedSent = 0;
};
