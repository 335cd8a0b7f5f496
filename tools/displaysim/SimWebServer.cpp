#include "SimWebServer.h"

#include "SimDisplay.h"
#include "SimHttpConnection.h"

#include <QTcpServer>
#include <QTcpSocket>

SimWebServer::SimWebServer(SimDisplay *display, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SimWebServer::acceptConnections);
}

bool SimWebServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void SimWebServer::close()
{
    m_server->close();
    for (QTcpSocket *s : findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
        s->abort();
}

void SimWebServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        m_display->recordConnection(SimLogEntry::Channel::Web);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        new SimHttpConnection(socket, m_display);
    }
}
