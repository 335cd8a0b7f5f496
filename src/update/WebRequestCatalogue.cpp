#include "update/WebRequestCatalogue.h"

#include <QFileInfo>
#include <QUuid>

namespace WebRequestCatalogue {

namespace {

using Headers = QList<QPair<QByteArray, QByteArray>>;

constexpr char Crlf[] = "\r\n";
constexpr char Undefined[] = "undefined\r\n";
constexpr char FileCheckJson[] = "/update/FileCheckResult.json";
constexpr char UpdateResultJson[] = "/update/UpdateResult.json";
constexpr char FormContentType[] = "application/x-www-form-urlencoded";

// A file name comes out of a downloaded archive: a quote or a line break in it would end the
// header it sits in and let the rest be read as more headers or parts.
QByteArray headerSafe(const QString &name)
{
    QByteArray bytes = name.toUtf8();
    for (char &c : bytes) {
        if (c == '"' || c == '\r' || c == '\n')
            c = '_';
    }
    return bytes;
}

Headers textCommandHeaders(const QString &host, const QByteArray *body)
{
    Headers headers{
        { "X-Requested-With", "XMLHttpRequest" },
        { "Accept", "text/plain, */*" },
        { "Accept-Language", "ja" },
        { "Content-type", "text/plain;charset=UTF-8" },
        { "Accept-Encoding", "gzip, deflate" },
        { "Host", host.toUtf8() },
    };
    if (body)
        headers.append(qMakePair(QByteArray("Content-Length"), QByteArray::number(body->size())));
    headers.append(qMakePair(QByteArray("Connection"), QByteArray("Keep-Alive")));
    headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("no-cache")));
    return headers;
}

Headers jsonPollHeaders(const QString &host)
{
    return {
        { "X-Requested-With", "XMLHttpRequest" },
        { "Accept", "application/json, text/javascript, */*" },
        { "Accept-Language", "ja" },
        { "Accept-Encoding", "gzip, deflate" },
        { "Host", host.toUtf8() },
        { "Connection", "Keep-Alive" },
    };
}

Headers uploadHeaders(SeriesCode::MultipartSeparator separator, qint64 contentLength)
{
    const QByteArray type = separator == SeriesCode::MultipartSeparator::Semicolon
        ? QByteArray("multipart/form-data; boundary=") + Boundary
        : QByteArray("multipart/form-data, boundary=") + Boundary;
    return {
        { "Host", UploadHostName },
        { "Content-type", type },
        { "Cache-Control", "no-cache" },
        { "Accept", "*/*" },
        { "Content-Length", QByteArray::number(contentLength) },
    };
}

WebRequest textPost(const QByteArray &target, const QString &host, const QByteArray &body)
{
    WebRequest request;
    request.method = WebRequest::Method::Post;
    request.target = target;
    request.headers = textCommandHeaders(host, &body);
    request.bodyKind = WebRequest::Body::Bytes;
    request.body = body;
    return request;
}

WebRequest textGet(const QByteArray &target, const QString &host)
{
    WebRequest request;
    request.target = target;
    request.headers = textCommandHeaders(host, nullptr);
    return request;
}

WebRequest jsonPoll(const QByteArray &target, const QString &host)
{
    WebRequest request;
    request.target = target;
    request.headers = jsonPollHeaders(host);
    return request;
}

WebRequest fileUpload(const QByteArray &target, SeriesCode::MultipartSeparator separator, bool withEmail,
                      const QString &filePath, qint64 fileSize)
{
    WebRequest request;
    request.method = WebRequest::Method::Post;
    request.target = target;
    request.bodyKind = WebRequest::Body::FileBetween;
    request.head = multipartHead(filePath, withEmail);
    request.tail = multipartTail();
    request.filePath = filePath;
    request.headers = uploadHeaders(separator, request.head.size() + fileSize + request.tail.size());
    return request;
}

WebRequest formGet(const QByteArray &query, const QByteArray &breaker)
{
    WebRequest request;
    request.target = QByteArray("/pjctrl?") + query + "&_=" + breaker;
    return request;
}

WebRequest formPost(const QByteArray &query, const QByteArray &body, const QByteArray &breaker)
{
    WebRequest request;
    request.method = WebRequest::Method::Post;
    request.target = QByteArray("/pjctrl?") + query + "&_=" + breaker;
    request.bodyKind = WebRequest::Body::Bytes;
    request.body = body;
    request.contentType = FormContentType;
    return request;
}

} // namespace

QByteArray timeStamp(const QTime &time)
{
    return time.toString(QStringLiteral("hhmmsszzz")).toLatin1();
}

QByteArray cacheBreaker()
{
    return QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
}

QByteArray componentList(const std::array<bool, 6> &enabled)
{
    QByteArray list;
    for (int i = 0; i < int(enabled.size()); ++i) {
        if (!enabled[i])
            continue;
        if (!list.isEmpty())
            list += ',';
        list += QByteArray::number(i + 1);
    }
    return list.isEmpty() ? QByteArray("1") : list;
}

QByteArray multipartHead(const QString &filePath, bool withEmail)
{
    QByteArray head = QByteArray("--") + Boundary + Crlf;
    if (withEmail) {
        head += QByteArray("Content-Disposition: form-data; name=\"email\"") + Crlf;
        head += Crlf;
        head += QByteArray(PlaceholderEmail) + Crlf;
        head += QByteArray("--") + Boundary + Crlf;
    }
    head += "Content-Disposition: form-data; name=\"updatefile\"; filename=\"";
    head += headerSafe(QFileInfo(filePath).fileName());
    head += QByteArray("\"") + Crlf;
    head += QByteArray("Content-Transfer-Encoding: binary") + Crlf + Crlf;
    return head;
}

QByteArray multipartTail()
{
    return QByteArray(Crlf) + "--" + Boundary + "--" + Crlf;
}

WebRequest cgictrlStandby(const QByteArray &cgiPath, const QString &host, const QByteArray &stamp)
{
    return textPost(cgiPath + "?MM=00t=" + stamp, host, Undefined);
}

WebRequest cgictrlFileDelete(const QString &host, const QByteArray &stamp)
{
    return textPost(QByteArray("/cgi-bin/cgictrl?TCM=00t=") + stamp, host, Undefined);
}

WebRequest cgictrlUpdateState(const QString &host, const QByteArray &stamp)
{
    return jsonPoll(QByteArray(FileCheckJson) + "?_=" + stamp, host);
}

WebRequest cgictrlUpload(const QByteArray &cgiPath, const QString &filePath, qint64 fileSize, const QByteArray &stamp)
{
    return fileUpload(cgiPath + "?CM=00t=" + stamp, SeriesCode::MultipartSeparator::Comma, true, filePath, fileSize);
}

WebRequest cgictrlFileCheckResult(const QString &host, const QByteArray &stamp)
{
    return jsonPoll(QByteArray(FileCheckJson) + "?_=" + stamp, host);
}

WebRequest cgictrlModeChange(const QString &host, const QByteArray &stamp)
{
    return textPost(QByteArray("/cgi-bin/cgictrl?TUM=00t=") + stamp, host, QByteArray());
}

WebRequest cgictrlUpdate(const QByteArray &cgiPath, const QString &host, const QByteArray &components,
                         const QByteArray &stamp)
{
    return textPost(cgiPath + "?UM=00T=" + components + "t=" + stamp, host, QByteArray());
}

WebRequest cgictrlResultPoll(const QString &host, const QByteArray &stamp)
{
    // The display expects "?=_" here, unlike the file check poll.
    return jsonPoll(QByteArray(UpdateResultJson) + "?=_" + stamp, host);
}

WebRequest stampedStandby(const QString &host, const QByteArray &stamp)
{
    return textPost(QByteArray("/pjctrl?J=") + stamp, host, Undefined);
}

WebRequest stampedUpdateState(const QString &host, const QByteArray &stamp)
{
    return textGet(QByteArray("/pjctrl?CIM=") + stamp, host);
}

WebRequest stampedUpload(const QString &filePath, qint64 fileSize, const QByteArray &stamp)
{
    return fileUpload(QByteArray("/pjctrl?CM=00t=") + stamp, SeriesCode::MultipartSeparator::Semicolon, false, filePath, fileSize);
}

WebRequest stampedFileCheckResult(const QString &host, const QByteArray &stamp)
{
    return textGet(QByteArray("/pjctrl?CRM=") + stamp, host);
}

WebRequest stampedUpdate(const QString &host, const QByteArray &components, const QByteArray &stamp)
{
    return textPost(QByteArray("/pjctrl?UM=00T=") + components + "t=" + stamp, host, QByteArray());
}

WebRequest stampedResultPoll(const QString &host, const QByteArray &stamp)
{
    return textGet(QByteArray("/pjctrl?URM=") + stamp, host);
}

WebRequest chunkedStandby(const QByteArray &breaker)
{
    return formGet("J=0", breaker);
}

WebRequest chunkedUpdateState(const QByteArray &breaker)
{
    return formPost("CIM=0", QByteArray(), breaker);
}

WebRequest chunkedAnnounce(qint64 fileSize, const QByteArray &breaker)
{
    return formPost("CM=00", "filesize=" + QByteArray::number(fileSize), breaker);
}

WebRequest chunkedChunk(const QByteArray &chunk, const QByteArray &breaker)
{
    return formPost("CM=00", chunk, breaker);
}

WebRequest chunkedFileCheckResult(const QByteArray &breaker)
{
    return formGet("CRM=0", breaker);
}

WebRequest chunkedUpdate(const QByteArray &breaker)
{
    // This platform always takes "T=9", whatever the number of components.
    return formPost("UM=00T=9", QByteArray(), breaker);
}

WebRequest chunkedResultPoll(const QByteArray &breaker)
{
    return formGet("URM=0", breaker);
}

WebRequest legacyUpload(const QString &filePath, qint64 fileSize)
{
    return fileUpload(QByteArray("/cgi-bin/cgictrl?U=") + LegacyAccessValue, SeriesCode::MultipartSeparator::Comma, true,
                      filePath, fileSize);
}

WebRequest tcpAssistedUpload(const QString &filePath, const QByteArray &uploadKey)
{
    WebRequest request;
    request.method = WebRequest::Method::Post;
    request.target = "/upload";
    request.bodyKind = WebRequest::Body::LibraryMultipart;
    request.filePath = filePath;
    request.partDisposition = "form-data; name=\"file\"; filename=\"" + headerSafe(filePath) + "\"";
    request.headers = { { "X-Api-Key", uploadKey } };
    return request;
}

}
