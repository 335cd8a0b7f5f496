#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One HTTP request of an update sequence, as the request catalogue builds it. The target follows
// the base URL; headers go out in the order given. An upload names its file instead of holding it:
// the session streams head, file and tail, so a package is never copied into memory.
struct WebRequest
{
    enum class Method { Get, Post };
    enum class Body {
        None,              // GET
        Bytes,             // body holds everything
        FileBetween,       // head + the file's bytes + tail, with an exact Content-Length
        LibraryMultipart,  // one form-data part holding the file, under a boundary the connection picks
    };

    Method method = Method::Get;
    QByteArray target;
    QList<QPair<QByteArray, QByteArray>> headers;
    Body bodyKind = Body::None;
    QByteArray body;
    QByteArray head;
    QByteArray tail;
    QString filePath;
    // Only with LibraryMultipart: the part's content-disposition header.
    QByteArray partDisposition;
    // Only for a form POST: the standard content-type header, which the connection places after the
    // named headers.
    QByteArray contentType;

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &field : headers) {
            if (field.first.compare(name, Qt::CaseInsensitive) == 0)
                return field.second;
        }
        return {};
    }
};
