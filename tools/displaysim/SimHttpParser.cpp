#include "SimHttpParser.h"

SimHttpParser::Status SimHttpParser::takeHead(QByteArray &buffer, SimHttpRequest *request, qint64 *contentLength,
                                              bool *keepAlive)
{
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return buffer.size() > MaxHeaderBytes ? TooLarge : NeedMore;
    if (headerEnd > MaxHeaderBytes)
        return TooLarge;

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || first.at(0).isEmpty() || !first.at(1).startsWith('/')
        || !first.at(2).startsWith("HTTP/1."))
        return BadRequest;

    SimHttpRequest r;
    r.method = first.at(0);
    r.target = first.at(1);
    const int q = r.target.indexOf('?');
    r.path = q < 0 ? r.target : r.target.left(q);
    r.query = q < 0 ? QByteArray() : r.target.mid(q + 1);
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            return BadRequest;
        r.headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }

    if (!r.header("Transfer-Encoding").isEmpty())
        return Unsupported;
    qint64 length = 0;
    const QByteArray lengthText = r.header("Content-Length");
    if (!lengthText.isEmpty()) {
        bool ok = false;
        length = lengthText.toLongLong(&ok);
        if (!ok || length < 0)
            return BadRequest;
        if (length > MaxBodyBytes)
            return TooLarge;
    }
    buffer.remove(0, headerEnd + 4);

    const QByteArray connection = r.header("Connection").toLower();
    *keepAlive = first.at(2) == "HTTP/1.1" ? connection != "close" : connection == "keep-alive";
    *contentLength = length;
    *request = r;
    return Complete;
}
