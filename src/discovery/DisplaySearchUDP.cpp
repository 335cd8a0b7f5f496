#include "discovery/DisplaySearchUDP.h"

#include "discovery/SearchDatagram.h"

#include <QDateTime>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QPointer>
#include <QRandomGenerator>
#include <QUdpSocket>

namespace {

constexpr int TickMs = 1000;
constexpr int LastTick = 4;
constexpr int RepeatTick = 3;
constexpr int WriteWaitMs = 3000;
constexpr int DatagramsPerPause = 11;
constexpr int PauseMs = 10;

// Senders arrive as ::ffff:a.b.c.d when the socket is dual-stack; rows and targets are plain IPv4.
QHostAddress plainIPv4(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4) : address;
}

// The value the setters test: 0 for anything that is not an IPv4 address (and for 0.0.0.0).
quint32 ipv4Value(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? v4 : 0;
}

} // namespace

DisplaySearchUDP::DisplaySearchUDP(QObject *parent, const QHostAddress &bindAddress)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
    , m_sequence(quint16(QRandomGenerator::global()->bounded(65536)))
{
    qRegisterMetaType<DISPLAY_UDP_SEARCH_REPLY_INFO>("DISPLAY_UDP_SEARCH_REPLY_INFO");

    // Windows shares the port by default; elsewhere it must be asked for, or displays simulated on
    // this PC could no longer bind theirs (and we would take their datagrams).
    m_socket->bind(bindAddress, SearchDatagram::Port,
                   QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);

    connect(m_socket, &QUdpSocket::readyRead, this, &DisplaySearchUDP::UdpReadyRead);
    connect(m_socket, &QUdpSocket::errorOccurred, this, &DisplaySearchUDP::UdpSocketError);
    connect(m_socket, &QUdpSocket::disconnected, this, &DisplaySearchUDP::UdpSocketDisconnect);
    m_timer.setInterval(TickMs);
    connect(&m_timer, &QTimer::timeout, this, &DisplaySearchUDP::UdpSearchTimeoutTimerHandle);
}

DisplaySearchUDP::~DisplaySearchUDP() = default;

void DisplaySearchUDP::setFilterMode(int mode)
{
    m_filterMode = mode;
}

int DisplaySearchUDP::setBroadcastAddresses(const QList<QHostAddress> &addresses)
{
    m_broadcastAddresses.clear();
    for (const QHostAddress &address : addresses) {
        const quint32 v4 = ipv4Value(address);
        if (v4 == 0)
            return -1;
        const QHostAddress plain(v4);
        if (!m_broadcastAddresses.contains(plain))
            m_broadcastAddresses.append(plain);
    }
    return 0;
}

int DisplaySearchUDP::setTargetAddresses(const QList<QHostAddress> &addresses)
{
    QList<QHostAddress> targets;
    targets.reserve(addresses.size());
    for (const QHostAddress &address : addresses) {
        const quint32 v4 = ipv4Value(address);
        if (v4 == 0)
            return -1;
        targets.append(QHostAddress(v4));
    }
    m_targetAddresses = targets;
    m_targetSet.clear();
    for (const QHostAddress &target : std::as_const(m_targetAddresses))
        m_targetSet.insert(target.toIPv4Address());
    return 0;
}

int DisplaySearchUDP::startSearch(int kind)
{
    const QList<QHostAddress> &destinations = kind == Targeted ? m_targetAddresses : m_broadcastAddresses;
    if (destinations.isEmpty())
        return EmptyList;
    m_kind = kind == Targeted ? Targeted : Broadcast;
    m_requestType = m_kind == Targeted ? SearchDatagram::TargetedSearch : SearchDatagram::BroadcastSearch;
    m_results.clear();
    m_resultSet.clear();
    m_targetsAnswered.clear();

    ++m_sequence;
    const quint32 timeMs = quint32(QDateTime::currentMSecsSinceEpoch());
    if (m_filterMode != 1 && m_filterMode != 2)
        return NoFilterMode;
    m_request = SearchDatagram::buildRequest(m_sequence, timeMs, m_requestType, m_filterMode);

    // Flagged before sending: replies read during the send pauses may already end a targeted
    // search, and then it must not be started a second time below.
    m_searching = true;
    m_tick = 1;
    if (!sendRequestTo(QList<QHostAddress>(destinations), false))
        return Started;
    m_timer.start();
    return Started;
}

bool DisplaySearchUDP::sendRequestTo(const QList<QHostAddress> &destinations, bool skipResponders)
{
    const QByteArray request = m_request;
    QPointer<DisplaySearchUDP> self(this);
    int sent = 0;
    for (const QHostAddress &destination : destinations) {
        if (skipResponders && hasResponded(destination))
            continue;
        m_socket->writeDatagram(request, destination, SearchDatagram::Port);
        m_socket->waitForBytesWritten(WriteWaitMs);
        ++sent;
        if (m_kind == Targeted && sent % DatagramsPerPause == 0) {
            QEventLoop pause;
            QTimer::singleShot(PauseMs, &pause, &QEventLoop::quit);
            pause.exec(QEventLoop::ExcludeUserInputEvents);
            if (!self || !m_searching)
                return false;
        }
    }
    return true;
}

void DisplaySearchUDP::UdpReadyRead()
{
    QPointer<DisplaySearchUDP> self(this);
    while (self && m_socket->state() == QAbstractSocket::BoundState && m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!datagram.isValid()) {
            // A datagram reported as pending that gives nothing back (an empty one, where the
            // platform will not size it): read it with a buffer of our own, so that it is taken
            // off the socket and its sender still counts as having answered.
            char byte = 0;
            QHostAddress from;
            if (m_socket->readDatagram(&byte, 1, &from) < 0)
                break;
            if (!from.isNull())
                noteResponder(plainIPv4(from));
            continue;
        }
        const QByteArray data = datagram.data();
        if (isOwnDatagram(data))
            continue;
        const QHostAddress sender = plainIPv4(datagram.senderAddress());
        noteResponder(sender);
        if (data.size() != SearchDatagram::ReplySize)
            continue;
        handleDatagram(data, sender);
    }
}

// Any datagram from an address, whatever its size or content, is an answer: that display is not
// asked again.
void DisplaySearchUDP::noteResponder(const QHostAddress &sender)
{
    m_responders.append(sender);
    m_responderSet.insert(ipv4Value(sender));
}

void DisplaySearchUDP::handleDatagram(const QByteArray &data, const QHostAddress &sender)
{
    // Between searches nothing is asked, so nothing can be an answer.
    if (!m_searching)
        return;
    const QByteArray request = m_request;
    const quint32 type = SearchDatagram::replyType(data);
    if (type != SearchDatagram::UncheckedReply) {
        if (!SearchDatagram::passesChecks(data, m_sequence, m_filterMode))
            return;
        if (type == SearchDatagram::BroadcastReply) {
            m_socket->writeDatagram(SearchDatagram::buildAcknowledgement(request), sender,
                                    SearchDatagram::Port);
            m_socket->waitForBytesWritten(WriteWaitMs);
        } else if (!isTarget(sender)) {
            return;
        }
    }

    DISPLAY_UDP_SEARCH_REPLY_INFO info;
    if (!SearchDatagram::decodeRecord(data, &info))
        return;
    info.ipAddress = sender;

    const quint32 key = ipv4Value(sender);
    if (m_resultSet.contains(key))
        return;
    m_resultSet.insert(key);
    m_results.append(info);
    QPointer<DisplaySearchUDP> self(this);
    emit device_results(info);
    if (!self)
        return;

    // Only the targets' own replies tell that every target answered; a reply from anyone else must
    // not cost a silent target its repeat.
    if (isTarget(sender))
        m_targetsAnswered.insert(key);
    if (m_searching && m_kind == Targeted && m_targetsAnswered.size() == m_targetSet.size())
        endSearch();
}

// A request sent to a loopback address where nothing listens, or a broadcast, comes back to this
// very socket; it is ours, not a display's, and must not count as anyone having answered.
bool DisplaySearchUDP::isOwnDatagram(const QByteArray &data) const
{
    if (m_request.isEmpty())
        return false;
    if (data.size() == SearchDatagram::RequestSize)
        return data == m_request;
    if (data.size() == SearchDatagram::ReplySize)
        return data == SearchDatagram::buildAcknowledgement(m_request);
    return false;
}

// Both sides are plain IPv4 by now (senders are converted on arrival, targets when set).
bool DisplaySearchUDP::isTarget(const QHostAddress &address) const
{
    const quint32 v4 = ipv4Value(address);
    return v4 != 0 && m_targetSet.contains(v4);
}

bool DisplaySearchUDP::hasResponded(const QHostAddress &address) const
{
    const quint32 v4 = ipv4Value(address);
    return v4 != 0 && m_responderSet.contains(v4);
}

void DisplaySearchUDP::UdpSearchTimeoutTimerHandle()
{
    if (m_socket->state() == QAbstractSocket::BoundState && m_socket->hasPendingDatagrams()) {
        QPointer<DisplaySearchUDP> self(this);
        UdpReadyRead();
        if (!self || !m_searching)
            return;
    }
    if (m_tick >= LastTick) {
        endSearch();
        return;
    }
    if (m_tick == RepeatTick) {
        const QList<QHostAddress> destinations = m_kind == Targeted ? m_targetAddresses : m_broadcastAddresses;
        if (!sendRequestTo(destinations, m_kind == Targeted))
            return;
    }
    ++m_tick;
}

void DisplaySearchUDP::endSearch()
{
    m_timer.stop();
    m_searching = false;
    m_socket->close();
    emit finished();
}

void DisplaySearchUDP::UdpSocketError(QAbstractSocket::SocketError)
{
    // Replies simply stop arriving; the search ends on its timer.
}

void DisplaySearchUDP::UdpSocketDisconnect()
{
}
