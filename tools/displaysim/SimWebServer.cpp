#include "SimWebServer.h"

#include "SimDisplay.h"
#include "SimHttpConnection.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <sys/socket.h>

namespace {

// Connections accepted from a listener inherit its receive buffer; a small
// one keeps the kernel from swallowing a whole upload that we read slowly.
void setReceiveBuffer(qintptr descriptor, int bytes)
{
    if (descriptor >= 0)
        ::setsockopt(int(descriptor), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

constexpr int ThrottledReceiveBuffer = 16 * 1024;

} // namespace

SimWebServer::SimWebServer(SimDisplay *display, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SimWebServer::acceptConnections);
}

bool SimWebServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_server->listen(address, port))
        return false;
    if (m_display->throttlesReads())
        setReceiveBuffer(m_server->socketDescriptor(), ThrottledReceiveBuffer);
    return true;
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
