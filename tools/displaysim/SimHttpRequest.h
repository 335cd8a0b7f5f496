#pragma once

#include "SimMultipartPart.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>

// One HTTP request as the simulated web server read it. Bodies are read as a
// stream: size and MD5 are always known, the bytes themselves only for
// bodies up to MaxKeptBody; multipart/form-data bodies are split into parts
// on the way in.
struct SimHttpRequest
{
    static constexpr qint64 MaxKeptBody = 1024 * 1024;

    QByteArray method;              // "GET", "POST"
    QByteArray target;              // as sent: path and query ("/pjctrl?J=0&_=...")
    QByteArray path;                // target up to "?"
    QByteArray query;               // after "?", without it; empty when absent
    QList<QPair<QByteArray, QByteArray>> headers; // in order, names as sent
    QByteArray body;                // the body when it is at most MaxKeptBody bytes, else empty
    qint64 bodySize = 0;            // bytes of body received
    QByteArray bodyMd5;             // lowercase hex MD5 of the body
    bool multipart = false;         // the content type was multipart/form-data with a boundary
    bool multipartValid = false;    // ... and the body was a well-formed multipart body
    QList<SimMultipartPart> parts;
    QHostAddress localAddress;      // the address the request came in on (main or second)
    QHostAddress peerAddress;

    // Filled by the display's update side when the head arrives: the step this
    // request is (empty when it is none) and how many requests of that step
    // came before it since the display started.
    QByteArray step;
    int stepOrdinal = -1;

    QByteArray header(const QByteArray &name) const // case-insensitive; empty when absent
    {
        for (const auto &h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        return {};
    }
};
