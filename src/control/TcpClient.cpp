#include "control/TcpClient.h"

#include "control/ArrivedBytes.h"
#include "control/ControlFrame.h"
#include "control/ControlReplyReader.h"
#include "control/ControlQueryGate.h"
#include "control/ControlItem.h"
#include "control/PageFetch.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QUrl>

namespace {

constexpr quint32 FirmwareReads = RequestFlag::FirmwareVersions | RequestFlag::FirmwareByIndex
                                  | RequestFlag::MainFirmwareByIndex;

quint32 firstPending(quint32 pending)
{
    for (const ControlItem &item : ControlItems) {
        if (pending & item.flag)
            return item.flag;
    }
    return 0;
}

const ControlItem *itemFor(quint32 flag)
{
    for (const ControlItem &item : ControlItems) {
        if (item.flag == flag)
            return &item;
    }
    return nullptr;
}

QByteArray hexByte(int value)
{
    return QByteArray::number(value & 0xFF, 16).toUpper().rightJustified(2, '0');
}

} // namespace

TcpClient::TcpClient(QObject *parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
{
    qRegisterMetaType<PD_TCP_REPLY>("PD_TCP_REPLY");

    m_replyTimer.setSingleShot(true);
    m_replyTimer.setInterval(ReplyTimeoutMs);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    m_httpCheckTimer.setSingleShot(true);
    m_httpCheckTimer.setInterval(HttpCheckLimitMs);

    connect(m_socket, &QTcpSocket::connected, this, &TcpClient::ConnectedHandle);
    connect(m_socket, &QTcpSocket::disconnected, this, &TcpClient::DisConnectedHandle);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpClient::ReadyReadHandle);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpClient::SocketErrorHandle);
    connect(&m_replyTimer, &QTimer::timeout, this, &TcpClient::ReplyTimerTimeout);
    connect(&m_connectTimer, &QTimer::timeout, this, &TcpClient::ConnectTimerTimeout);
    connect(&m_httpCheckTimer, &QTimer::timeout, this, &TcpClient::HttpCheckLimitReached);
}

TcpClient::~TcpClient()
{
    // Children are destroyed after this body; none of them may call back into a half-gone client.
    m_socket->disconnect(this);
    if (m_httpCheck) {
        m_httpCheck->disconnect(this);
        m_httpCheck->deleteLater();
    }
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
}

void TcpClient::setRequestFlags(quint32 flags)
{
    m_pending = flags;
    m_reply.requestFlags = flags;
}

void TcpClient::setHttpCheckTimeout(int ms)
{
    m_pageFirstDataTimeoutMs = ms;
    m_httpCheckTimer.setInterval(ms);
}

void TcpClient::setQueryGate(ControlQueryGate *gate)
{
    m_gate = gate;
}

void TcpClient::connectToDisplay(const QHostAddress &address, quint16 port, const QHostAddress &ip2Address)
{
    ++m_queryGeneration;
    m_address = address;
    m_port = port;
    m_ip2Address = ip2Address;
    m_resultEmitted = false;
    m_itemUnanswered = false;
    m_displayAnswered = false;
    m_reconnecting = false;
    m_current = 0;
    m_awaitingReply = false;
    m_lastMessage.clear();
    m_sendsOfLastMessage = 0;
    m_reply.ipAddress = address;
    m_reply.ip2Check = -1;

    m_replyTimer.stop();
    m_connectTimer.stop();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    m_socket->setProxy(QNetworkProxy::NoProxy);
    if (!m_gate) {
        openConnection();
        return;
    }
    // A query asked again while one runs gives up its place and queues anew.
    m_gate->leave(this);
    const quint32 generation = m_queryGeneration;
    m_gate->enter(this, [this, generation] {
        if (generation == m_queryGeneration && !m_resultEmitted)
            openConnection();
    });
}

// Unbuffered: a message goes straight to the socket. Buffered, every write switched the socket's
// write watch on and, a turn of the event loop later, off again; each switch wakes the loop and
// costs a poll over every open socket, and a query sends a dozen messages.
void TcpClient::openConnection()
{
    m_socket->connectToHost(m_address, m_port, QIODevice::ReadWrite | QIODevice::Unbuffered);
    m_connectTimer.start();
}

void TcpClient::ConnectedHandle()
{
    if (m_resultEmitted)
        return;
    m_connectTimer.stop();
    m_connectionState = Connected;
    // A reconnection made to send an item again continues the query where it stood.
    if (!m_reconnecting) {
        m_firmwareIndex = 0;
        m_reply.powerMode = 0;
        m_reply.status = ControlStatus::Complete;
        m_reply.value1306 = 0;
        m_retryCount = 0;
        m_assetTagOffset = 0;
    }
    m_reconnecting = false;
    sendNextItem();
}

void TcpClient::sendNextItem()
{
    while (!m_resultEmitted) {
        const quint32 flag = firstPending(m_pending);
        if (flag == 0) {
            m_current = 0;
            endQuery();
            return;
        }
        if (flag != m_current)
            m_retryCount = 0;
        m_current = flag;

        if (flag == RequestFlag::SecondAddressCheck) {
            // 0.0.0.0 means the display has no second address; an empty one cannot be asked.
            if (m_ip2Address.isNull() || m_ip2Address == QHostAddress(QHostAddress::AnyIPv4)) {
                m_reply.ip2Check = 1;
                m_pending &= ~flag;
                continue;
            }
            QUrl url(QStringLiteral("http://") + m_ip2Address.toString());
            if (m_httpPort != 80)
                url.setPort(m_httpPort);
            startHttpCheck(url, false);
            return;
        }
        if (flag == RequestFlag::PageLockCheck) {
            QUrl url(QStringLiteral("http://") + m_address.toString() + QStringLiteral("/index.html"));
            if (m_httpPort != 80)
                url.setPort(m_httpPort);
            startHttpCheck(url, true);
            return;
        }

        const ControlItem *item = itemFor(flag);
        QByteArray body(item->body);
        if (flag == RequestFlag::FirmwareByIndex) {
            if (m_firmwareIndex < 0 || m_firmwareIndex > 4) {
                m_pending &= ~flag;
                continue;
            }
            body += hexByte(m_firmwareIndex + 1);
        } else if (flag == RequestFlag::AssetTag) {
            body += hexByte(m_assetTagOffset) + "20";
        }

        const QByteArray message = ControlFrame::encode(item->messageType, body);
        if (message == m_lastMessage) {
            ++m_sendsOfLastMessage;
        } else {
            m_lastMessage = message;
            m_sendsOfLastMessage = 1;
        }
        if (m_sendsOfLastMessage > MaxSendsOfOneMessage) {
            m_pending &= ~flag;
            m_lastMessage.clear();
            m_sendsOfLastMessage = 0;
            continue;
        }

        if (m_socket->state() == QAbstractSocket::ConnectedState)
            m_socket->write(message);
        m_awaitingReply = true;
        m_replyTimer.start();
        return;
    }
}

void TcpClient::ReadyReadHandle()
{
    const QByteArray data = ArrivedBytes::read(m_socket, ReadChunk);
    // An unbuffered socket that meets the display's close inside a read only changes its state; a
    // buffered one reported it as an error once the data before it was read. So does this client.
    if (m_socket->state() == QAbstractSocket::UnconnectedState) {
        const quint32 generation = m_queryGeneration;
        if (!data.isEmpty())
            takeReply(data);
        if (generation == m_queryGeneration && !m_resultEmitted)
            SocketErrorHandle(QAbstractSocket::RemoteHostClosedError);
        return;
    }
    takeReply(data);
}

void TcpClient::takeReply(const QByteArray &data)
{
    if (m_resultEmitted)
        return;
    if (!data.isEmpty())
        m_displayAnswered = true;
    if (!m_awaitingReply)
        return;
    m_replyTimer.stop();
    m_awaitingReply = false;

    const int result = handleReply(data);
    if (result == ControlStatus::Complete) {
        sendNextItem();
        return;
    }
    if (result == ControlStatus::Unsupported) {
        dropItem(m_current);
        sendNextItem();
        return;
    }
    m_reply.status = result;
    endQuery();
}

int TcpClient::handleReply(const QByteArray &data)
{
    return ControlReplyReader(m_reply, m_pending, m_firmwareIndex, m_assetTagOffset).read(data, m_current);
}

void TcpClient::dropItem(quint32 flag)
{
    m_pending &= ~flag;
    if (flag == RequestFlag::MainFirmware)
        m_pending |= RequestFlag::MainFirmwareByIndex;
    else if (flag == RequestFlag::FirmwareVersions)
        m_pending &= ~FirmwareReads;
}

void TcpClient::ReplyTimerTimeout()
{
    if (m_resultEmitted || !m_awaitingReply)
        return;
    m_awaitingReply = false;

    if (m_current == RequestFlag::MainFirmware) {
        m_pending &= ~RequestFlag::MainFirmware;
        m_pending |= RequestFlag::MainFirmwareByIndex;
        m_retryCount = 0;
        continueOnFreshConnection();
        return;
    }
    if (m_retryCount < MaxRetries) {
        ++m_retryCount;
        m_reconnecting = true;
        if (m_socket->state() == QAbstractSocket::ConnectedState)
            m_socket->close();      // DisConnectedHandle reconnects
        else
            reconnect();
        return;
    }
    // Five sends without a word since the query connected: the display is not listening at all,
    // and asking each of its other items five times more would only keep its row waiting.
    if (!m_displayAnswered) {
        m_reply.status = ControlStatus::Failed;
        endQuery();
        return;
    }
    // Given up without a word from the display: the query goes on, but cannot count as complete.
    m_itemUnanswered = true;
    m_pending &= ~m_current;
    continueOnFreshConnection();
}

// An item given up may still be answered late; on the same connection that answer would be taken
// for the next item's. The next item goes out on a new connection, where no old answer can arrive.
void TcpClient::continueOnFreshConnection()
{
    if (m_pending == 0) {
        sendNextItem();
        return;
    }
    m_reconnecting = true;
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->close();          // DisConnectedHandle reconnects
    else
        reconnect();
}

void TcpClient::DisConnectedHandle()
{
    m_connectionState = Disconnected;
    if (m_resultEmitted || m_pending == 0)
        return;
    if (!m_reconnecting) {
        // The display hung up without an error; that costs a retry like a missing reply does.
        if (m_retryCount >= MaxRetries) {
            m_reply.status = ControlStatus::Failed;
            endQuery();
            return;
        }
        ++m_retryCount;
        m_reconnecting = true;
    }
    reconnect();
}

// Deferred: the socket is still inside close() when it reports the disconnection.
void TcpClient::reconnect()
{
    const quint32 generation = m_queryGeneration;
    QMetaObject::invokeMethod(this, [this, generation] {
        if (m_resultEmitted || generation != m_queryGeneration)
            return;
        if (m_socket->state() != QAbstractSocket::UnconnectedState)
            m_socket->abort();
        m_socket->connectToHost(m_address, m_port, QIODevice::ReadWrite | QIODevice::Unbuffered);
        m_connectTimer.start();
    }, Qt::QueuedConnection);
}

void TcpClient::ConnectTimerTimeout()
{
    if (m_resultEmitted)
        return;
    m_socket->abort();
    m_connectionState = ConnectFailed;
    m_reply.status = ControlStatus::Failed;
    endQuery();
}

void TcpClient::SocketErrorHandle(QAbstractSocket::SocketError)
{
    if (m_resultEmitted)
        return;
    m_connectTimer.stop();
    m_connectionState = ConnectFailed;
    m_reply.status = ControlStatus::Failed;
    endQuery();
}

void TcpClient::startHttpCheck(const QUrl &url, bool lockCheck)
{
    if (m_httpCheck) {
        m_httpCheck->disconnect(this);
        m_httpCheck->deleteLater();
    }
    m_httpCheck = new PageFetch(url, this);
    if (m_pageFirstDataTimeoutMs >= 0)
        m_httpCheck->setFirstDataTimeout(m_pageFirstDataTimeoutMs);
    if (lockCheck)
        connect(m_httpCheck, &PageFetch::finished, this, &TcpClient::CheckLockStatusstatusChangedIn);
    else
        connect(m_httpCheck, &PageFetch::finished, this, &TcpClient::VerifyIP2ConnectivitystatusChangedIn);
    m_httpCheckTimer.start();
    // The page may take seconds; meanwhile the next display's query may have this one's place.
    if (m_gate)
        m_gate->park(this);
    m_httpCheck->start();
}

void TcpClient::finishHttpCheck()
{
    m_httpCheckTimer.stop();
    if (m_gate)
        m_gate->unpark(this);
    if (m_httpCheck) {
        m_httpCheck->disconnect(this);
        m_httpCheck->deleteLater();
        m_httpCheck = nullptr;
    }
}

void TcpClient::CheckLockStatusstatusChangedIn(int status)
{
    if (m_resultEmitted || m_current != RequestFlag::PageLockCheck || sender() != m_httpCheck)
        return;
    const QByteArray page = m_httpCheck->page();
    if (status != 0 || page.isEmpty())
        m_reply.lockStatus = 2;
    else
        m_reply.lockStatus = page.contains("/Logon/") ? 1 : 0;
    finishHttpCheck();
    m_pending &= ~RequestFlag::PageLockCheck;
    sendNextItem();
}

void TcpClient::VerifyIP2ConnectivitystatusChangedIn(int status)
{
    if (m_resultEmitted || m_current != RequestFlag::SecondAddressCheck || sender() != m_httpCheck)
        return;
    const QByteArray page = m_httpCheck->page();
    m_reply.ip2Check = status == 0 && !page.isEmpty() ? 0 : 1;
    finishHttpCheck();
    m_pending &= ~RequestFlag::SecondAddressCheck;
    sendNextItem();
}

void TcpClient::HttpCheckLimitReached()
{
    if (m_resultEmitted || !m_httpCheck)
        return;
    // Cancelling may report at once; that report must not count as the check's answer.
    m_httpCheck->disconnect(this);
    m_httpCheck->cancel();
    if (m_current == RequestFlag::PageLockCheck)
        m_reply.lockStatus = 2;
    else
        m_reply.ip2Check = 1;
    finishHttpCheck();
    m_pending &= ~m_current;
    sendNextItem();
}

// The last thing any path does: the receiver may delete this client or start its next query.
void TcpClient::endQuery()
{
    m_resultEmitted = true;
    if (m_itemUnanswered && m_reply.status == ControlStatus::Complete)
        m_reply.status = ControlStatus::Failed;
    m_pending = 0;
    m_current = 0;
    m_awaitingReply = false;
    m_reconnecting = false;
    m_replyTimer.stop();
    m_connectTimer.stop();
    finishHttpCheck();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    if (m_gate)
        m_gate->leave(this);
    const PD_TCP_REPLY result = m_reply;
    emit device_results(result);
}
