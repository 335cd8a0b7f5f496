#pragma once

#include <QByteArray>
#include <QStringList>

// Whether a request body is named by one of the misbehaviour item prefixes.
inline bool simItemMatches(const QStringList &prefixes, const QByteArray &body)
{
    for (const QString &p : prefixes) {
        if (p == QLatin1String("*") || body.startsWith(p.toLatin1().toUpper()))
            return true;
    }
    return false;
}
