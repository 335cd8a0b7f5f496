#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>

// One HTTP request as the simulated web server read it.
struct SimHttpRequest
{
    QByteArray method;              // "GET", "POST"
    QByteArray target;              // as sent: path and query ("/pjctrl?J=0&_=...")
    QByteArray path;                // target up to "?"
    QByteArray query;               // after "?", without it; empty when absent
    QList<QPair<QByteArray, QByteArray>> headers; // in order, names as sent
    QByteArray body;
    QHostAddress localAddress;      // the address the request came in on (main or second)

    QByteArray header(const QByteArray &name) const // case-insensitive; empty when absent
    {
        for (const auto &h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        return {};
    }
};
