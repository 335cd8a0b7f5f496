#include "control/PageFetch.h"

#include "control/ArrivedBytes.h"

#include <QNetworkProxy>
#include <QTcpSocket>

namespace {

// The value of one header line of the head, without regard to the name's case; empty if absent.
QByteArray headerValue(const QList<QByteArray> &lines, const QByteArray &name)
{
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

bool isRedirect(int code)
{
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

}

PageFetch::PageFetch(const QUrl &url, QObject *parent)
    : QObject(parent),
      m_startUrl(url),
      m_socket(new QTcpSocket(this))
{
    m_socket->setProxy(QNetworkProxy::NoProxy);
    m_firstDataTimer.setSingleShot(true);
    m_firstDataTimer.setInterval(FirstDataTimeoutMs);
    connect(&m_firstDataTimer, &QTimer::timeout, this, [this] { finish(Failed); });
    connect(m_socket, &QTcpSocket::connected, this, &PageFetch::sendRequest);
    connect(m_socket, &QTcpSocket::readyRead, this, &PageFetch::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &PageFetch::connectionClosed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The server closing after the page is how an HTTP/1.0 answer ends.
        if (error == QAbstractSocket::RemoteHostClosedError)
            connectionClosed();
        else
            finish(Failed);
    });
}

PageFetch::~PageFetch()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

void PageFetch::start()
{
    m_page.clear();
    m_redirects = 0;
    request(m_startUrl);
}

void PageFetch::cancel()
{
    ++m_generation;
    m_stage = Stage::Idle;
    closeSocket();
}

void PageFetch::request(const QUrl &url)
{
    m_stage = Stage::Idle;          // the closing below is not this request's answer
    closeSocket();
    m_url = url;
    m_head.clear();
    m_page.clear();
    m_contentLength = -1;
    if (url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0 || url.host().isEmpty()) {
        m_stage = Stage::Idle;
        finishLater(Failed);
        return;
    }
    m_stage = Stage::Head;
    m_firstDataTimer.start();
    // Unbuffered, as the control connection, so the request goes out without a turn of the loop.
    m_socket->connectToHost(url.host(), quint16(url.port(80)), QIODevice::ReadWrite | QIODevice::Unbuffered);
}

void PageFetch::sendRequest()
{
    QByteArray path = m_url.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    if (m_url.hasQuery())
        path += '?' + m_url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_url.port(80) != 80)
        host += ':' + QByteArray::number(m_url.port());
    m_socket->write("GET " + path + " HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
}

void PageFetch::readAvailable()
{
    if (m_stage == Stage::Idle)
        return;
    m_firstDataTimer.stop();
    const QByteArray data = ArrivedBytes::read(m_socket, ReadChunk);
    // An unbuffered socket that meets the server's close inside a read only changes its state.
    if (m_socket->state() == QAbstractSocket::UnconnectedState) {
        takeData(data);
        connectionClosed();
        return;
    }
    takeData(data);
}

void PageFetch::takeData(const QByteArray &data)
{
    if (m_stage == Stage::Head) {
        m_head += data;
        if (!readHead())
            return;
    } else {
        m_page += data;
    }
    if (m_stage != Stage::Body)
        return;
    if (m_page.size() >= MemoryCap) {
        // Enough to look at: a longer page is cut here instead of being read to its end.
        m_page.truncate(MemoryCap);
        finish(Answered);
    } else if (m_contentLength >= 0 && m_page.size() >= m_contentLength) {
        m_page.truncate(m_contentLength);
        finish(Answered);
    }
}

// Moves from the head to the body once the head is complete; false while it is not. A failed or
// redirected answer ends or restarts the fetch here.
bool PageFetch::readHead()
{
    const int end = m_head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (m_head.size() > MaxHeaderBytes)
            finish(Failed);
        return false;
    }
    const QList<QByteArray> lines = m_head.left(end).split('\n');
    const QList<QByteArray> statusLine = lines.first().trimmed().split(' ');
    bool ok = false;
    const int code = statusLine.size() >= 2 && statusLine.first().startsWith("HTTP/") ? statusLine.at(1).toInt(&ok) : 0;
    if (!ok) {
        finish(Failed);
        return false;
    }
    if (isRedirect(code)) {
        const QByteArray location = headerValue(lines, "Location");
        if (location.isEmpty() || m_redirects >= MaxRedirects) {
            finish(Failed);
            return false;
        }
        ++m_redirects;
        const QUrl next = m_url.resolved(QUrl::fromEncoded(location));
        // Not from inside the socket's own signal: the next request starts from the event loop.
        m_stage = Stage::Idle;
        closeSocket();
        const quint32 generation = ++m_generation;
        QMetaObject::invokeMethod(this, [this, generation, next] {
            if (generation == m_generation)
                request(next);
        }, Qt::QueuedConnection);
        return false;
    }
    if (code < 200 || code > 299) {
        finish(Failed);
        return false;
    }
    const QByteArray length = headerValue(lines, "Content-Length");
    if (!length.isEmpty()) {
        m_contentLength = length.toLongLong(&ok);
        if (!ok || m_contentLength < 0) {
            finish(Failed);
            return false;
        }
    }
    m_page = m_head.mid(end + 4);
    m_head.clear();
    m_stage = Stage::Body;
    return true;
}

void PageFetch::connectionClosed()
{
    if (m_stage == Stage::Idle)
        return;
    if (m_socket->bytesAvailable() > 0)
        readAvailable();
    if (m_stage == Stage::Idle)
        return;
    // Without a length the close ends the page; with one, a close before it is a cut answer.
    const bool complete = m_stage == Stage::Body && m_contentLength < 0;
    finish(complete ? Answered : Failed);
}

void PageFetch::finish(int status)
{
    if (m_stage == Stage::Idle)
        return;
    m_stage = Stage::Idle;
    ++m_generation;
    closeSocket();
    if (status != Answered)
        m_page.clear();
    emit finished(status);
}

// A fetch that cannot even start still reports after start() has returned, as any other does.
void PageFetch::finishLater(int status)
{
    const quint32 generation = ++m_generation;
    QMetaObject::invokeMethod(this, [this, generation, status] {
        if (generation == m_generation)
            emit finished(status);
    }, Qt::QueuedConnection);
}

void PageFetch::closeSocket()
{
    m_firstDataTimer.stop();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
}
