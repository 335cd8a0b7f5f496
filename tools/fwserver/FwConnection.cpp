#include "fwserver/FwConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

// Keeps the socket's own buffer small while still letting the kernel run ahead of us.
constexpr qint64 HighWater = 4 * 1024 * 1024;
constexpr qint64 ChunkSize = 1024 * 1024;
constexpr int MaxHeaderSize = 64 * 1024;

const char *reasonPhrase(int code)
{
    switch (code) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

FwConnection::FwConnection(QTcpSocket *socket, const QString &root, const QString &basePath,
                           const FwBehaviour &behaviour, QObject *parent)
    : QObject(parent), m_socket(socket), m_root(root), m_basePath(basePath), m_behaviour(behaviour)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &FwConnection::readRequest);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &FwConnection::pump);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            deleteLater();
    });
    readRequest();
}

FwConnection::~FwConnection() = default;

QString FwConnection::resolve(const QString &root, const QString &basePath, const QByteArray &rawPath)
{
    QByteArray pathOnly = rawPath;
    const int query = pathOnly.indexOf('?');
    if (query >= 0)
        pathOnly.truncate(query);
    const QString path = QUrl::fromPercentEncoding(pathOnly);
    if (!path.startsWith(basePath))
        return {};
    const QString relative = path.mid(basePath.size());
    if (relative.isEmpty() || relative.contains(QLatin1Char('\\')) || relative.contains(QChar(0)))
        return {};
    const QStringList parts = relative.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
    }
    const QString rootCanonical = QFileInfo(root).canonicalFilePath();
    const QFileInfo target(QDir(root).filePath(relative));
    const QString canonical = target.canonicalFilePath();
    if (rootCanonical.isEmpty() || canonical.isEmpty() || !target.isFile()
        || !canonical.startsWith(rootCanonical + QLatin1Char('/')))
        return {};
    return canonical;
}

void FwConnection::readRequest()
{
    if (m_requestSeen) {
        m_socket->readAll(); // a body or a pipelined request: ignored, one answer per connection
        return;
    }
    m_header += m_socket->readAll();
    const int end = m_header.indexOf("\r\n\r\n");
    if (end < 0) {
        if (m_header.size() > MaxHeaderSize) {
            m_requestSeen = true;
            sendStatusOnly(400);
        }
        return;
    }
    m_requestSeen = true;
    const QList<QByteArray> requestLine = m_header.left(m_header.indexOf("\r\n")).split(' ');
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/1.")) {
        sendStatusOnly(400);
        return;
    }
    m_method = requestLine.at(0);
    m_path = requestLine.at(1);
    emit requestReceived(QString::fromLatin1(m_path));

    if (m_behaviour.neverAnswer)
        return;
    if (m_behaviour.firstByteDelayMs > 0)
        QTimer::singleShot(m_behaviour.firstByteDelayMs, this, &FwConnection::answer);
    else
        answer();
}

void FwConnection::answer()
{
    if (m_behaviour.forcedStatus > 0) {
        sendStatusOnly(m_behaviour.forcedStatus);
        return;
    }
    const bool head = m_method == "HEAD";
    if (m_method != "GET" && !head) {
        sendStatusOnly(405);
        return;
    }
    const QString filePath = resolve(m_root, m_basePath, m_path);
    m_file.setFileName(filePath);
    if (filePath.isEmpty() || !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        sendStatusOnly(404);
        return;
    }
    const qint64 size = m_file.size();
    QByteArray header = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
    switch (m_behaviour.length) {
    case FwBehaviour::Length::Correct:
        header += "Content-Length: " + QByteArray::number(size) + "\r\n";
        break;
    case FwBehaviour::Length::Absent:
        break;
    case FwBehaviour::Length::TooLarge:
        header += "Content-Length: " + QByteArray::number(size + 1000) + "\r\n";
        break;
    case FwBehaviour::Length::TooSmall:
        header += "Content-Length: " + QByteArray::number(size / 2) + "\r\n";
        break;
    }
    header += "Connection: close\r\n\r\n";
    m_socket->write(header);

    m_bodyLimit = head ? 0 : size;
    if (m_behaviour.closeAfterBytes >= 0)
        m_bodyLimit = qMin(m_bodyLimit, m_behaviour.closeAfterBytes);
    m_sending = true;
    if (m_behaviour.trickleBytes > 0) {
        m_trickleTimer = new QTimer(this);
        m_trickleTimer->setSingleShot(true);
        m_trickleTimer->setInterval(m_behaviour.trickleIntervalMs);
        connect(m_trickleTimer, &QTimer::timeout, this, [this] {
            m_waitingForTrickle = false;
            pump();
        });
    }
    pump();
}

void FwConnection::sendStatusOnly(int code)
{
    const QByteArray body = QByteArray(reasonPhrase(code)) + "\n";
    m_socket->write("HTTP/1.1 " + QByteArray::number(code) + ' ' + reasonPhrase(code)
                    + "\r\nContent-Type: text/plain\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    m_socket->disconnectFromHost();
}

void FwConnection::pump()
{
    if (!m_sending || m_waitingForTrickle)
        return;
    const bool trickle = m_behaviour.trickleBytes > 0;
    while (m_sent < m_bodyLimit && m_socket->bytesToWrite() < HighWater) {
        const qint64 want = qMin(trickle ? m_behaviour.trickleBytes : ChunkSize, m_bodyLimit - m_sent);
        const QByteArray chunk = m_file.read(want);
        if (chunk.isEmpty()) {
            // The file shrank under us: end the connection rather than lie any further.
            m_bodyLimit = m_sent;
            break;
        }
        m_socket->write(chunk);
        m_sent += chunk.size();
        emit bodyBytesSent(chunk.size());
        if (trickle && m_sent < m_bodyLimit) {
            m_waitingForTrickle = true;
            m_trickleTimer->start();
            return;
        }
    }
    if (m_sent >= m_bodyLimit)
        finishBody();
}

void FwConnection::finishBody()
{
    m_sending = false;
    m_file.close();
    m_socket->disconnectFromHost();
}
