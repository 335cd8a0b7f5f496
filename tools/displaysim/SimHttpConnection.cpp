#include "SimHttpConnection.h"

#include "SimContentEncoding.h"
#include "SimDisplay.h"
#include "SimHttpParser.h"
#include "SimHttpResponse.h"
#include "SimMultipartStream.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

SimHttpConnection::SimHttpConnection(QTcpSocket *socket, SimDisplay *display)
    : QObject(socket)
    , m_socket(socket)
    , m_display(display)
    , m_throttle(new QTimer(this))
{
    m_throttle->setInterval(ThrottleTickMs);
    connect(m_throttle, &QTimer::timeout, this, &SimHttpConnection::throttleTick);
    connect(socket, &QTcpSocket::readyRead, this, &SimHttpConnection::readAvailable);
    if (socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &SimHttpConnection::readAvailable);
}

SimHttpConnection::~SimHttpConnection()
{
    // The peer went away (or the fault closed it) in the middle of a body.
    if (m_inBody && m_display) {
        m_request.bodyMd5 = m_hash.result().toHex();
        m_display->webAborted(m_request, m_bodyLeft == 0);
    }
}

QByteArray SimHttpConnection::reason(int status)
{
    switch (status) {
    case 100: return "Continue";
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

void SimHttpConnection::readAvailable()
{
    QPointer<SimHttpConnection> guard(this);
    while (guard && m_socket->state() == QAbstractSocket::ConnectedState) {
        if (m_inBody) {
            if (m_socket->bytesAvailable() <= 0)
                return;
            qint64 want = qMin<qint64>(m_bodyLeft, 256 * 1024);
            if (m_rate > 0) {
                want = qMin(want, m_budget);
                if (want <= 0)
                    return; // the throttle's timer reads on
                m_budget -= want;
            }
            takeBody(m_socket->read(want));
            continue;
        }
        m_buffer += m_socket->readAll();
        if (!startRequest())
            return;
    }
}

bool SimHttpConnection::startRequest()
{
    SimHttpRequest head;
    qint64 length = 0;
    bool keepAlive = false;
    const SimHttpParser::Status st = SimHttpParser::takeHead(m_buffer, &head, &length, &keepAlive);
    if (st == SimHttpParser::NeedMore)
        return false;
    if (st != SimHttpParser::Complete) {
        m_buffer.clear();
        sendError(st == SimHttpParser::TooLarge ? 413 : st == SimHttpParser::Unsupported ? 501 : 400);
        return false;
    }
    head.localAddress = m_socket->localAddress();
    head.peerAddress = m_socket->peerAddress();
    m_request = head;
    m_keepAlive = keepAlive;
    m_bodyLeft = length;
    m_hash.reset();
    m_multipart.reset();
    const QByteArray boundary = SimMultipartStream::boundaryOf(m_request.header("Content-Type"));
    if (!boundary.isEmpty()) {
        m_request.multipart = true;
        m_multipart = std::make_unique<SimMultipartStream>(boundary);
    }
    const SimStepFault fault = m_display ? m_display->webHeadArrived(m_request) : SimStepFault();
    m_dropAfter = fault.dropAfterBytes;
    m_rate = fault.readBytesPerSecond;
    m_inBody = true;
    if (m_rate > 0) {
        // A small read buffer makes Qt leave the rest in the kernel, so the
        // client's sending slows down with our reading.
        m_budget = 0;
        m_socket->setReadBufferSize(qMax<qint64>(1024, m_rate * ThrottleTickMs / 1000));
        m_throttle->start();
    }
    if (m_request.header("Expect").toLower() == "100-continue" && length > 0)
        m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
    // Body bytes that came in with the head.
    const QByteArray early = m_buffer.left(int(qMin<qint64>(m_bodyLeft, m_buffer.size())));
    m_buffer.remove(0, early.size());
    takeBody(early);
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void SimHttpConnection::takeBody(const QByteArray &bytes)
{
    if (!m_inBody)
        return;
    if (m_display)
        m_display->webActivity();
    m_hash.addData(bytes);
    if (m_request.bodySize + bytes.size() <= SimHttpRequest::MaxKeptBody)
        m_request.body += bytes;
    m_request.bodySize += bytes.size();
    m_bodyLeft -= bytes.size();
    if (m_multipart)
        m_multipart->feed(bytes);
    // Also when the whole body came in one read: the display still closes
    // without an answer, every time the fault hits (resent requests too).
    if (m_dropAfter >= 0 && m_request.bodySize >= qMin(m_dropAfter, m_request.bodySize + m_bodyLeft)) {
        m_socket->abort(); // the destructor records the partial request
        deleteLater();
        return;
    }
    if (m_bodyLeft == 0)
        finishRequest();
}

void SimHttpConnection::throttleTick()
{
    m_budget = m_rate * ThrottleTickMs / 1000;
    readAvailable();
}

void SimHttpConnection::finishRequest()
{
    m_inBody = false;
    if (m_rate > 0) {
        m_throttle->stop();
        m_socket->setReadBufferSize(0);
        m_rate = 0;
    }
    m_request.bodyMd5 = m_hash.result().toHex();
    if (m_request.bodySize > SimHttpRequest::MaxKeptBody)
        m_request.body.clear();
    if (m_multipart) {
        m_request.multipartValid = m_multipart->finish();
        m_request.parts = m_multipart->parts();
        m_multipart.reset();
    }
    if (m_display)
        send(m_display->answerWeb(m_request), m_keepAlive);
}

void SimHttpConnection::holdOpen(const QByteArray &out, int delayMs)
{
    QPointer<QTcpSocket> guard(m_socket);
    QTimer::singleShot(qMax(0, delayMs), m_socket, [guard, out] {
        if (guard && guard->state() == QAbstractSocket::ConnectedState)
            guard->write(out);
    });
}

void SimHttpConnection::sendError(int status)
{
    SimHttpResponse r;
    r.status = status;
    r.contentType = "text/plain";
    r.body = reason(status) + "\n";
    send(r, false);
}

void SimHttpConnection::send(const SimHttpResponse &response, bool keepAlive)
{
    if (response.hold)
        return;
    if (response.status == 0) {
        m_socket->abort();
        return;
    }
    using Unended = SimHttpResponse::Unended;
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status);
    if (response.unended == Unended::StatusLine) {
        // A reason phrase that never ends: the client has to give up on it.
        out += ' ' + QByteArray(response.headerBytes, 'a');
        holdOpen(out, response.delayMs);
        return;
    }
    out += "\r\n";
    if (!response.contentType.isEmpty())
        out += "Content-Type: " + response.contentType + "\r\n";
    if (response.unended == Unended::HeaderLine) {
        out += "X-Filler: " + QByteArray(response.headerBytes, 'a');
        holdOpen(out, response.delayMs);
        return;
    }
    for (qint64 filled = 0, n = 0; filled < response.headerBytes; ++n) {
        const QByteArray line = "X-Filler-" + QByteArray::number(n) + ": " + QByteArray(100, 'a') + "\r\n";
        out += line;
        filled += line.size();
    }
    QByteArray body = response.body;
    if (!response.contentEncoding.isEmpty()) {
        body = SimContentEncoding::encode(body, response.contentEncoding);
        out += "Content-Encoding: " + SimContentEncoding::headerValue(response.contentEncoding) + "\r\n";
    }
    if (response.framing == SimHttpResponse::Framing::Close)
        keepAlive = false;
    if (response.framing == SimHttpResponse::Framing::Length)
        out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    else if (response.framing == SimHttpResponse::Framing::Chunked)
        out += "Transfer-Encoding: chunked\r\n";
    for (const auto &h : response.headers)
        out += h.first + ": " + h.second + "\r\n";
    if (response.framing != SimHttpResponse::Framing::Close)
        out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += "\r\n";
    if (response.framing == SimHttpResponse::Framing::Chunked) {
        // Uneven chunks, an extension on the first and a trailer: all a client must take.
        qint64 at = 0;
        for (int n = 0; at < body.size(); ++n) {
            const qint64 size = qMin<qint64>(body.size() - at, n % 2 ? 4000 : 7);
            out += QByteArray::number(size, 16) + (n == 0 ? ";part=first" : "") + "\r\n" + body.mid(at, size) + "\r\n";
            at += size;
        }
        out += "0\r\nX-Trailer: end\r\n\r\n";
    } else {
        out += body;
    }

    QPointer<QTcpSocket> guard(m_socket);
    auto write = [guard, out, keepAlive] {
        if (!guard || guard->state() != QAbstractSocket::ConnectedState)
            return;
        guard->write(out);
        if (!keepAlive)
            guard->disconnectFromHost();
    };
    if (response.delayMs > 0)
        QTimer::singleShot(response.delayMs, m_socket, write);
    else
        write();
}
