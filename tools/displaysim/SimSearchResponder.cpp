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
}

bool SimSearchResponder::bind(const QHostAddress &address, quint16 port)
{
    // Every display binds the same port on its own address, beside the
    // client's wildcard socket; Linux allows that only with SO_REUSEADDR on all.
    return m_socket->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
}

void SimSearchResponder::close()
{
    m_socket->close();
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
