#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// One HTTP reply. A status of 0 means: send nothing and close the connection;
// hold means: send nothing and keep the connection open (a reply held back).
struct SimHttpResponse
{
    int status = 200;
    QByteArray contentType = "text/html";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // extra headers
    QByteArray contentEncoding;     // "gzip", "deflate", "deflate-raw": the body goes out so encoded
    int delayMs = 0;                // wait before the reply is written
    enum class Framing { Length, Chunked, Close };
    Framing framing = Framing::Length;
    qint64 headerBytes = 0;         // extra header lines of about this many bytes (a hostile head)
    enum class Unended { None, StatusLine, HeaderLine };
    Unended unended = Unended::None; // this line runs on for headerBytes bytes and never ends
    bool hold = false;              // never written

    static SimHttpResponse text(int status, const QByteArray &body, const QByteArray &type = "text/plain")
    {
        SimHttpResponse r;
        r.status = status;
        r.contentType = type;
        r.body = body;
        return r;
    }
};
