#include "SimWebServer.h"

#include "SimDisplay.h"
#include "SimHttpParser.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 413: return "Payload Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

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
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_buffers.remove(socket); });
        if (socket->bytesAvailable() > 0)
            readRequests(socket);
    }
}

void SimWebServer::readRequests(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (;;) {
        SimHttpRequest request;
        bool keepAlive = false;
        const SimHttpParser::Status st = SimHttpParser::take(buffer, &request, &keepAlive);
        if (st == SimHttpParser::NeedMore)
            return;
        if (st != SimHttpParser::Complete) {
            const int code = st == SimHttpParser::TooLarge ? 413 : st == SimHttpParser::Unsupported ? 501 : 400;
            buffer.clear();
            send(socket, SimHttpResponse::text(code, reason(code) + "\n"), false);
            return;
        }
        request.localAddress = socket->localAddress();
        m_display->record({ SimLogEntry::Channel::Web, request.method + ' ' + request.target, 0,
                            socket->peerAddress() });
        if (m_display->misbehaviour().web == SimMisbehaviour::Listener::NeverReply)
            continue;
        send(socket, m_display->webRouter().handle(request), keepAlive);
        if (!keepAlive || socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void SimWebServer::send(QTcpSocket *socket, const SimHttpResponse &response, bool keepAlive)
{
    if (response.status == 0) {
        socket->abort();
        return;
    }
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
    if (!response.contentType.isEmpty())
        out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto &h : response.headers)
        out += h.first + ": " + h.second + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += "\r\n" + response.body;

    QPointer<QTcpSocket> guard(socket);
    auto write = [guard, out, keepAlive] {
        if (!guard || guard->state() != QAbstractSocket::ConnectedState)
            return;
        guard->write(out);
        if (!keepAlive)
            guard->disconnectFromHost();
    };
    if (response.delayMs > 0)
        QTimer::singleShot(response.delayMs, this, write);
    else
        write();
}
