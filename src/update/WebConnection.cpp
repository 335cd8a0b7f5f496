#include "update/WebConnection.h"

#include "update/ChunkedBodyReader.h"
#include "update/FileBetweenDevice.h"
#include "update/ReplyDecoder.h"
#include "update/WebRequest.h"

#include <QNetworkProxy>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <algorithm>

namespace {

// Enough in the socket's buffer that the kernel never waits for us, little enough that twenty
// uploads at once hold a few megabytes, not their packages.
constexpr qint64 UploadBlockBytes = 256 * 1024;
constexpr qint64 UploadHighWater = 4 * UploadBlockBytes;
constexpr int ReadBlockBytes = 64 * 1024;

// Header names and values come from our catalogue, but the host text from a row: nothing in them
// may end the line they sit in.
QByteArray lineSafe(QByteArray bytes)
{
    bytes.replace('\r', "").replace('\n', "").replace('\0', "");
    return bytes;
}

QByteArray targetSafe(const QByteArray &target)
{
    QByteArray out;
    for (const char c : target) {
        const uchar u = uchar(c);
        if (u <= 0x20 || u >= 0x7f)
            out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        else
            out += c;
    }
    return out.isEmpty() ? QByteArray("/") : out;
}

// What the network library reported for the same answers, so the sequences judge them as before.
QNetworkReply::NetworkError errorForStatus(int status)
{
    switch (status) {
    case 401: return QNetworkReply::AuthenticationRequiredError;
    case 403: return QNetworkReply::ContentAccessDenied;
    case 404: return QNetworkReply::ContentNotFoundError;
    case 405: return QNetworkReply::ContentOperationNotPermittedError;
    case 407: return QNetworkReply::ProxyAuthenticationRequiredError;
    case 409: return QNetworkReply::ContentConflictError;
    case 410: return QNetworkReply::ContentGoneError;
    case 418: return QNetworkReply::ProtocolInvalidOperationError;
    case 500: return QNetworkReply::InternalServerError;
    case 501: return QNetworkReply::OperationNotImplementedError;
    case 503: return QNetworkReply::ServiceUnavailableError;
    default: break;
    }
    if (status >= 500)
        return QNetworkReply::UnknownServerError;
    if (status >= 400)
        return QNetworkReply::UnknownContentError;
    return QNetworkReply::NoError;
}

QNetworkReply::NetworkError errorForSocket(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::RemoteHostClosedError: return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::HostNotFoundError: return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::SocketTimeoutError: return QNetworkReply::TimeoutError;
    default: return QNetworkReply::UnknownNetworkError;
    }
}

bool listHas(const QByteArray &list, const QByteArray &token)
{
    for (const QByteArray &item : list.split(',')) {
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

WebConnection::WebConnection(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<WebConnection::Reply>();
}

WebConnection::~WebConnection()
{
    ++m_generation;
    dropSocket();
}

void WebConnection::setPeer(const QString &host, quint16 port)
{
    if (host == m_host && port == m_port)
        return;
    abort();
    m_host = host;
    m_port = port;
}

bool WebConnection::send(const WebRequest &request)
{
    if (m_stage != Stage::Idle)
        abort();
    m_bodyDevice.reset();
    m_bodyBytes.clear();
    QByteArray contentType = request.contentType;
    switch (request.bodyKind) {
    case WebRequest::Body::None:
        break;
    case WebRequest::Body::Bytes:
        m_bodyBytes = request.body;
        break;
    case WebRequest::Body::FileBetween:
    case WebRequest::Body::LibraryMultipart: {
        QByteArray head = request.head;
        QByteArray tail = request.tail;
        if (request.bodyKind == WebRequest::Body::LibraryMultipart) {
            // One part, laid out as the network library lays it out, under a boundary of our own.
            const QByteArray boundary = "boundary_.oOo._"
                + QByteArray::number(QRandomGenerator::global()->generate64(), 36)
                + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
            head = "--" + boundary + "\r\nContent-Disposition: " + lineSafe(request.partDisposition) + "\r\n\r\n";
            tail = "\r\n--" + boundary + "--\r\n";
            contentType = "multipart/form-data; boundary=\"" + boundary + '"';
        }
        auto device = std::make_unique<FileBetweenDevice>(head, request.filePath, tail);
        if (!device->open(QIODevice::ReadOnly))
            return false;
        m_bodyDevice = std::move(device);
        break;
    }
    }
    m_bodySize = m_bodyDevice ? m_bodyDevice->size() : m_bodyBytes.size();

    const bool post = request.method == WebRequest::Method::Post;
    QByteArray head = (post ? "POST " : "GET ") + targetSafe(request.target) + " HTTP/1.1\r\n";
    const bool namedHost = std::any_of(request.headers.cbegin(), request.headers.cend(), [](const auto &field) {
        return field.first.compare("Host", Qt::CaseInsensitive) == 0;
    });
    if (!namedHost)
        head += "Host: " + hostHeader() + "\r\n";
    bool namedType = false;
    bool namedLength = false;
    for (const auto &field : request.headers) {
        QByteArray value = field.second;
        if (field.first.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            // The size of what really goes out: a file that changed since the request was built
            // must not leave the display waiting for bytes, or read ours as the next request.
            value = QByteArray::number(m_bodySize);
            namedLength = true;
        }
        namedType = namedType || field.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
        head += lineSafe(field.first) + ": " + lineSafe(value) + "\r\n";
    }
    if (!namedType && !contentType.isEmpty())
        head += "Content-Type: " + lineSafe(contentType) + "\r\n";
    if (!namedLength && (post || m_bodySize > 0))
        head += "Content-Length: " + QByteArray::number(m_bodySize) + "\r\n";
    head += "\r\n";
    m_head = head;
    m_resends = 0;

    if (m_socket && m_socketReusable && m_socket->state() == QAbstractSocket::ConnectedState)
        writeRequest();
    else
        openConnection();
    return true;
}

void WebConnection::abort()
{
    ++m_generation;
    m_stage = Stage::Idle;
    m_bodyDevice.reset();
    m_chunks.reset();
    m_decoder.reset();
    dropSocket();
}

QByteArray WebConnection::hostHeader() const
{
    QByteArray host = m_host.toUtf8();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (m_port != 80)
        host += ':' + QByteArray::number(m_port);
    return lineSafe(host);
}

void WebConnection::openConnection()
{
    dropSocket();
    m_socket = new QTcpSocket(this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        writeRequest();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &WebConnection::readAvailable);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &WebConnection::bytesWritten);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &WebConnection::socketError);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { peerClosed(); });
    ++m_connectionsOpened;
    m_stage = Stage::Connecting;
    m_socket->connectToHost(m_host, m_port);
}

void WebConnection::dropSocket()
{
    m_socketReusable = false;
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void WebConnection::writeRequest()
{
    // Each attempt starts over: a resend goes out whole and its reply is read afresh.
    m_stage = Stage::Head;
    m_socketReusable = false;
    m_queued = 0;
    m_written = 0;
    m_replyHead = ReplyHeadReader();
    m_replyStarted = false;
    m_leftover = false;
    m_framing = Framing::None;
    m_bodyLeft = 0;
    m_rawBodyBytes = 0;
    m_chunks.reset();
    m_decoder.reset();
    m_fault = Fault::None;
    if (m_bodyDevice)
        m_bodyDevice->seek(0);
    m_socket->write(m_head);
    m_queued = m_head.size();
    if (!m_bodyBytes.isEmpty()) {
        m_socket->write(m_bodyBytes);
        m_queued += m_bodyBytes.size();
    }
    pumpBody();
}

void WebConnection::pumpBody()
{
    if (!m_bodyDevice || !m_socket || m_stage != Stage::Head)
        return;
    while (m_socket->bytesToWrite() < UploadHighWater && m_bodyDevice->pos() < m_bodySize) {
        const QByteArray block = m_bodyDevice->read(UploadBlockBytes);
        if (block.isEmpty()) {
            failWith(QNetworkReply::UnknownContentError, QStringLiteral("The firmware file could not be read to its end."));
            return;
        }
        m_socket->write(block);
        m_queued += block.size();
    }
}

void WebConnection::bytesWritten(qint64 bytes)
{
    m_written += bytes;
    if (m_bodySize > 0 && m_stage == Stage::Head) {
        const quint32 generation = m_generation;
        emit uploadProgress(qBound(qint64(0), m_written - m_head.size(), m_bodySize), m_bodySize);
        if (generation != m_generation)
            return;
    }
    pumpBody();
}

void WebConnection::readAvailable()
{
    if (!m_socket)
        return;
    if (m_stage == Stage::Idle) {
        // Nothing is asked: bytes now are not an answer to anything, and the connection is spent.
        dropSocket();
        return;
    }
    const quint32 generation = m_generation;
    while (m_socket && generation == m_generation && m_socket->bytesAvailable() > 0) {
        QByteArray bytes = m_socket->read(ReadBlockBytes);
        m_replyStarted = true;
        // Read on while the head is incomplete: what the socket holds already is not announced again.
        if (m_stage == Stage::Head)
            readHead(bytes);
        if (generation != m_generation)
            return;
        if (m_stage == Stage::Body && !bytes.isEmpty())
            readBody(bytes);
    }
}

bool WebConnection::readHead(QByteArray &bytes)
{
    switch (m_replyHead.feed(bytes)) {
    case ReplyHeadReader::Status::NeedMore:
        return false;
    case ReplyHeadReader::Status::TooLarge: {
        Reply reply;
        reply.fault = Fault::HeadTooLarge;
        reply.overflow = m_replyHead.overflow();
        finishWith(reply, false);
        return false;
    }
    case ReplyHeadReader::Status::Malformed:
        failWith(QNetworkReply::ProtocolFailure, QStringLiteral("The display's answer is not HTTP."));
        return false;
    case ReplyHeadReader::Status::Complete:
        break;
    }
    // The answer is there: whatever of an upload is still unsent will not be read.
    m_bodyDevice.reset();

    const int status = m_replyHead.statusCode();
    const QList<QByteArray> transfer = m_replyHead.headerValues("Transfer-Encoding");
    const QList<QByteArray> lengths = m_replyHead.headerValues("Content-Length");
    if (status == 204 || status == 304 || status < 200) {
        m_framing = Framing::None;
    } else if (!transfer.isEmpty()) {
        const QList<QByteArray> codings = transfer.join(',').split(',');
        m_framing = codings.last().trimmed().compare("chunked", Qt::CaseInsensitive) == 0 ? Framing::Chunked
                                                                                          : Framing::UntilClose;
    } else if (!lengths.isEmpty()) {
        bool ok = false;
        m_bodyLeft = lengths.first().toLongLong(&ok);
        for (const QByteArray &other : lengths)
            ok = ok && other.trimmed() == lengths.first().trimmed();
        if (!ok || m_bodyLeft < 0) {
            failWith(QNetworkReply::ProtocolFailure, QStringLiteral("The display's answer has no valid length."));
            return false;
        }
        m_framing = Framing::Length;
    } else {
        m_framing = Framing::UntilClose;
    }
    if (m_framing == Framing::Chunked)
        m_chunks = std::make_unique<ChunkedBodyReader>();
    m_decoder = std::make_unique<ReplyDecoder>(m_replyHead.header("Content-Encoding"), m_maxBodyBytes);
    m_stage = Stage::Body;
    if (m_framing == Framing::None || (m_framing == Framing::Length && m_bodyLeft == 0)) {
        m_leftover = !bytes.isEmpty();
        complete();
        return false;
    }
    return true;
}

void WebConnection::readBody(QByteArray &bytes)
{
    switch (m_framing) {
    case Framing::Length: {
        const qint64 take = qMin<qint64>(bytes.size(), m_bodyLeft);
        m_bodyLeft -= take;
        // More than the answer: not a connection to trust with another request.
        m_leftover = m_leftover || take < bytes.size();
        if (takeBodyBytes(take == bytes.size() ? bytes : bytes.left(int(take))) && m_bodyLeft == 0)
            complete();
        break;
    }
    case Framing::Chunked: {
        QByteArray data;
        const ChunkedBodyReader::Status status = m_chunks->feed(bytes, data);
        if (!takeBodyBytes(data))
            break;
        if (status == ChunkedBodyReader::Status::Malformed)
            failWith(QNetworkReply::ProtocolFailure, QStringLiteral("The display's answer has broken chunks."));
        else if (status == ChunkedBodyReader::Status::Done) {
            m_leftover = m_leftover || !bytes.isEmpty();
            complete();
        }
        break;
    }
    case Framing::UntilClose:
        takeBodyBytes(bytes);
        break;
    case Framing::None:
        break;
    }
}

// False when the body passed a bound: the request has then ended.
bool WebConnection::takeBodyBytes(const QByteArray &raw)
{
    if (raw.isEmpty())
        return true;
    m_rawBodyBytes += raw.size();
    bool bomb = false;
    if (m_rawBodyBytes > m_maxBodyBytes) {
        m_fault = Fault::BodyTooLarge;
    } else if (const ReplyDecoder::Status status = m_decoder->feed(raw); status == ReplyDecoder::Status::TooLarge) {
        m_fault = Fault::BodyTooLarge;
        bomb = true;
    } else if (status != ReplyDecoder::Status::Ok) {
        m_fault = Fault::Undecodable;
    }
    if (m_fault == Fault::None)
        return true;
    // No status reply is this big or this broken: stop reading rather than hold what a display sends.
    Reply reply;
    reply.httpStatus = m_replyHead.statusCode();
    reply.fault = m_fault;
    reply.encoding = m_decoder->encoding();
    if (bomb) {
        // A small body that unpacks to more than any status reply is an attack, not an answer:
        // it fails the request as the network library failed it.
        reply.error = QNetworkReply::ProtocolFailure;
        reply.errorText = QStringLiteral("The display's answer unpacks to more than %1 KiB.").arg(m_maxBodyBytes / 1024);
    }
    finishWith(reply, false);
    return false;
}

void WebConnection::complete()
{
    Reply reply;
    reply.httpStatus = m_replyHead.statusCode();
    reply.encoding = m_decoder ? m_decoder->encoding() : QByteArray();
    if (m_decoder && m_decoder->finish() != ReplyDecoder::Status::Ok)
        reply.fault = Fault::Undecodable;
    reply.error = errorForStatus(reply.httpStatus);
    if (reply.error != QNetworkReply::NoError) {
        // The display's own error says more than a body we could not decode.
        reply.fault = Fault::None;
        reply.errorText = QStringLiteral("The display answered %1 %2.")
                              .arg(reply.httpStatus)
                              .arg(QString::fromLatin1(m_replyHead.reason().left(80)));
    } else if (reply.fault == Fault::None && m_decoder) {
        reply.body = m_decoder->body();
    }
    const QByteArray connection = m_replyHead.header("Connection");
    const bool persistent = m_replyHead.isHttp11() ? !listHas(connection, "close") : listHas(connection, "keep-alive");
    const bool requestSent = m_socket && m_queued == m_head.size() + m_bodySize && m_socket->bytesToWrite() == 0;
    const bool clean = m_socket && !m_leftover && m_socket->bytesAvailable() == 0 && m_framing != Framing::UntilClose;
    finishWith(reply, persistent && requestSent && clean && m_stage == Stage::Body);
}

void WebConnection::peerClosed()
{
    if (!m_socket)
        return;
    if (m_stage == Stage::Idle) {
        dropSocket();   // a kept connection the display closed: the next request opens another
        return;
    }
    // What the display sent before it closed is still to be read.
    const quint32 generation = m_generation;
    if (m_socket->bytesAvailable() > 0)
        readAvailable();
    if (generation != m_generation || m_stage == Stage::Idle)
        return;
    if (m_stage == Stage::Body && m_framing == Framing::UntilClose) {
        complete();
        return;
    }
    if (!m_replyStarted && m_stage != Stage::Connecting && m_resends < MaxResends) {
        ++m_resends;
        openConnection();
        return;
    }
    failWith(QNetworkReply::RemoteHostClosedError, QStringLiteral("The display closed the connection."));
}

void WebConnection::socketError()
{
    if (!m_socket)
        return;
    const QAbstractSocket::SocketError error = m_socket->error();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        peerClosed();
        return;
    }
    if (m_stage == Stage::Idle) {
        dropSocket();
        return;
    }
    failWith(errorForSocket(error), m_socket->errorString());
}

void WebConnection::failWith(QNetworkReply::NetworkError code, const QString &text)
{
    Reply reply;
    reply.httpStatus = m_stage == Stage::Body ? m_replyHead.statusCode() : 0;
    reply.error = code;
    reply.errorText = text;
    finishWith(reply, false);
}

void WebConnection::finishWith(Reply reply, bool keepConnection)
{
    ++m_generation;
    m_stage = Stage::Idle;
    m_bodyDevice.reset();
    m_chunks.reset();
    m_decoder.reset();
    if (keepConnection)
        m_socketReusable = true;
    else
        dropSocket();
    const quint32 generation = m_generation;
    m_errorText = reply.errorText;
    if (reply.error != QNetworkReply::NoError) {
        emit errorOccurred(reply.error);
        if (generation != m_generation)
            return;
    }
    emit finished(reply);
}
