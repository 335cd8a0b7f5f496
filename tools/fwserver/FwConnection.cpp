#include "fwserver/FwConnection.h"

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/sendfile.h>
#endif

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

#ifdef Q_OS_LINUX
// sendfile() has no MSG_NOSIGNAL: a client that has gone would raise SIGPIPE and end the whole
// process, a test that runs this server in-process included. The signal is held back for the
// call and a pending one taken away, so the error shows as EPIPE only.
ssize_t sendFileQuietly(int socketFd, int fileFd, off_t *offset, size_t count)
{
    sigset_t pipeOnly;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    const ssize_t sent = ::sendfile(socketFd, fileFd, offset, count);
    const int error = errno;
    if (sent < 0 && error == EPIPE) {
        const timespec noWait {};
        while (sigtimedwait(&pipeOnly, nullptr, &noWait) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return sent;
}
#endif

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
    if (!trickle && pumpDirect())
        return;
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

bool FwConnection::pumpDirect()
{
#ifdef Q_OS_LINUX
    // A real firmware server sends files this way; copying 256 MB through this process would
    // charge the server's work to the same cores as the client that benchmarks measure.
    if (m_directFailed)
        return false;
    if (m_socket->bytesToWrite() > 0)
        return true; // the head first; bytesWritten brings us back
    const int socketFd = int(m_socket->socketDescriptor());
    if (socketFd < 0 || m_file.handle() < 0) {
        m_directFailed = true;
        return false;
    }
    if (!m_writable) {
        m_writable = new QSocketNotifier(socketFd, QSocketNotifier::Write, this);
        connect(m_writable, &QSocketNotifier::activated, this, &FwConnection::pump);
        // The socket object closes the descriptor when the client goes; the notifier must be off
        // by then (the state changes before the descriptor is closed).
        connect(m_socket, &QAbstractSocket::stateChanged, m_writable, [this](QAbstractSocket::SocketState state) {
            if (state != QAbstractSocket::ConnectedState) {
                m_writable->setEnabled(false);
                m_sending = false;
            }
        });
    }
    m_writable->setEnabled(false);
    while (m_sent < m_bodyLimit) {
        off_t offset = off_t(m_sent);
        const ssize_t sent = sendFileQuietly(socketFd, m_file.handle(), &offset, size_t(qMin(ChunkSize, m_bodyLimit - m_sent)));
        if (sent > 0) {
            m_sent += sent;
            emit bodyBytesSent(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writable->setEnabled(true);
            return true;
        }
        if (sent == 0) {
            // The file shrank under us: end the connection rather than lie any further.
            m_bodyLimit = m_sent;
            break;
        }
        if (m_sent == 0 && (errno == EINVAL || errno == ENOSYS)) {
            m_directFailed = true; // this file or socket cannot be sent directly
            return false;
        }
        m_sending = false; // the client has gone
        m_socket->abort();
        return true;
    }
    finishBody();
    return true;
#else
    return false;
#endif
}

void FwConnection::finishBody()
{
    if (m_writable)
        m_writable->setEnabled(false);
    m_sending = false;
    m_file.close();
    m_socket->disconnectFromHost();
}
