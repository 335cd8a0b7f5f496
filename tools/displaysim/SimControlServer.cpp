#include "SimControlServer.h"

#include "SimControlFrame.h"
#include "SimControlResponder.h"
#include "SimDisplay.h"
#include "SimItemMatch.h"
#include "SimUpdateSession.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

SimControlServer::SimControlServer(SimDisplay *display, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SimControlServer::acceptConnections);
}

bool SimControlServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void SimControlServer::close()
{
    m_server->close();
    for (QTcpSocket *s : findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
        s->abort();
}

void SimControlServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        m_display->recordConnection(SimLogEntry::Channel::Control);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
        m_connections.insert(socket, Connection());
        if (socket->bytesAvailable() > 0)
            readRequests(socket);
    }
}

void SimControlServer::readRequests(QTcpSocket *socket)
{
    // A client may send anything; an unbounded partial frame is not kept.
    Connection &c = m_connections[socket];
    c.buffer += socket->readAll();
    if (c.buffer.size() > 4096)
        c.buffer = c.buffer.right(4096);
    const SimMisbehaviour &m = m_display->misbehaviour();

    for (;;) {
        char type = 0;
        QByteArray body;
        const SimControlFrame::TakeStatus st = SimControlFrame::take(c.buffer, &type, &body);
        if (st == SimControlFrame::NeedMore)
            break;
        if (st == SimControlFrame::Malformed) {
            m_display->record({ SimLogEntry::Channel::Control, "!malformed", 0, socket->peerAddress() });
            continue;
        }
        m_display->record({ SimLogEntry::Channel::Control, body, type, socket->peerAddress() });
        if (m.closeAfterItems >= 0 && c.items >= m.closeAfterItems) {
            socket->disconnectFromHost();
            return;
        }
        ++c.items;
        if (m.control == SimMisbehaviour::Listener::NeverReply || simItemMatches(m.silentItems, body))
            continue;
        answer(socket, type, body);
    }
}

void SimControlServer::answer(QTcpSocket *socket, char type, const QByteArray &body)
{
    const SimMisbehaviour &m = m_display->misbehaviour();
    SimDisplayConfig &state = m_display->state();
    QByteArray frame;
    if (simItemMatches(m.beItems, body)) {
        frame = SimControlFrame::encode(state.errorReplyType, "BE", state.controlSource);
    } else {
        bool handled = false;
        SimControlResponder::Reply reply = m_display->updateSession().controlRequest(type, body, &handled);
        if (!handled)
            reply = SimControlResponder::respond(state, type, body);
        frame = reply.type ? SimControlFrame::encode(reply.type, reply.body, state.controlSource)
                           : SimControlFrame::encode(state.errorReplyType, "BE", state.controlSource);
        if (reply.stateChanged)
            m_display->notifyStateChanged();
    }
    if (simItemMatches(m.badCheckItems, body))
        frame[frame.size() - 2] = char(frame.at(frame.size() - 2) ^ 0xFF);

    if (m.replyDelayMs > 0 && (m.delayedItems.isEmpty() || simItemMatches(m.delayedItems, body))) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(m.replyDelayMs, this, [this, guard, frame, body] {
            if (guard)
                writeReply(guard, frame, body);
        });
    } else {
        writeReply(socket, frame, body);
    }
}

void SimControlServer::writeReply(QTcpSocket *socket, QByteArray frame, const QByteArray &body)
{
    const SimMisbehaviour &m = m_display->misbehaviour();
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (!simItemMatches(m.splitItems, body) || frame.size() < 2) {
        socket->write(frame);
        return;
    }
    const int at = m.splitAt > 0 && m.splitAt < frame.size() ? m.splitAt : frame.size() / 2;
    socket->write(frame.left(at));
    socket->flush();
    QPointer<QTcpSocket> guard(socket);
    const QByteArray rest = frame.mid(at);
    QTimer::singleShot(qMax(0, m.splitDelayMs), this, [guard, rest] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            guard->write(rest);
    });
}
