#include "SimSearchResponder.h"

#include "SimDisplay.h"
#include "SimSearchReply.h"

#include <QNetworkDatagram>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>

SimSearchResponder::SimSearchResponder(SimDisplay *display, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &SimSearchResponder::readDatagrams);
    connect(&m_unaskedTimer, &QTimer::timeout, this, &SimSearchResponder::sendUnaskedReply);
}

bool SimSearchResponder::bind(const QHostAddress &address, quint16 port)
{
    // Every display binds the same port on its own address, beside the
    // client's wildcard socket; Linux allows that only with SO_REUSEADDR on all.
    if (!m_socket->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return false;
    const SimMisbehaviour &m = m_display->misbehaviour();
    if (!m.unaskedReplyTo.isEmpty() && m.unaskedReplyCount > 0) {
        m_unaskedSent = 0;
        m_unaskedTimer.start(m.unaskedReplyIntervalMs);
    }
    return true;
}

void SimSearchResponder::close()
{
    m_unaskedTimer.stop();
    m_socket->close();
}

// The reply to a broadcast request nobody sent: what a stranger on the network would make of
// another program's search.
void SimSearchResponder::sendUnaskedReply()
{
    const SimMisbehaviour &m = m_display->misbehaviour();
    if (++m_unaskedSent >= m.unaskedReplyCount)
        m_unaskedTimer.stop();
    const int colon = m.unaskedReplyTo.lastIndexOf(QLatin1Char(':'));
    const QHostAddress to(m.unaskedReplyTo.left(colon));
    const int port = m.unaskedReplyTo.mid(colon + 1).toInt();
    if (colon < 0 || to.isNull() || port <= 0 || port > 65535) {
        m_unaskedTimer.stop();
        return;
    }
    if (m_socket->state() != QAbstractSocket::BoundState)
        return;
    QByteArray request(SimSearchReply::RequestSize, '\0');
    request.replace(0, 4, "ZRPJ");
    request[4] = 0x14;
    request[8] = char(m.unaskedReplySequence & 0xFF);
    request[9] = char((m.unaskedReplySequence >> 8) & 0xFF);
    request[16] = 2;
    m_socket->writeDatagram(SimSearchReply::build(m_display->config(), request), to, quint16(port));
}

void SimSearchResponder::readDatagrams()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram dg = m_socket->receiveDatagram();
        if (!dg.isValid())
            continue;
        const QByteArray data = dg.data();
        const QHostAddress sender = dg.senderAddress();
        const int senderPort = dg.senderPort();
        const bool sized = data.size() == SimSearchReply::RequestSize || data.size() == SimSearchReply::ReplySize;
        if (!sized) {
            m_display->record({ SimLogEntry::Channel::Search, "size:" + QByteArray::number(data.size()), 0, sender });
            continue;
        }
        if (!data.startsWith("ZRPJ") && !data.startsWith("ZRPD")) {
            m_display->record({ SimLogEntry::Channel::Search, "magic", 0, sender });
            continue;
        }
        const quint32 type = SimSearchReply::requestType(data);
        m_display->record({ SimLogEntry::Channel::Search, QByteArray::number(type), 0, sender });

        // Only a search request is answered; the acknowledgement (type 5) and
        // anything else is taken silently.
        if (data.size() != SimSearchReply::RequestSize || (type != 2 && type != 3))
            continue;
        const SimMisbehaviour &m = m_display->misbehaviour();
        if (m.searchSilent || m_display->isRebooting() || senderPort <= 0)
            continue;
        const QByteArray reply = SimSearchReply::build(m_display->config(), data);
        if (m.searchReplyDelayMs > 0) {
            QPointer<QUdpSocket> socket(m_socket);
            QTimer::singleShot(m.searchReplyDelayMs, this, [socket, reply, sender, senderPort] {
                if (socket && socket->state() == QAbstractSocket::BoundState)
                    socket->writeDatagram(reply, sender, quint16(senderPort));
            });
        } else {
            m_socket->writeDatagram(reply, sender, quint16(senderPort));
        }
    }
}
