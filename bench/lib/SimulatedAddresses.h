#pragma once

#include <QHostAddress>
#include <QList>

namespace SimulatedAddresses {

// count addresses from first on, in the simulator's own walk: a last byte of 0 or 255 is skipped.
inline QList<QHostAddress> range(const QHostAddress &first, int count)
{
    QList<QHostAddress> list;
    quint32 a = first.toIPv4Address();
    while (list.size() < count) {
        const quint32 last = a & 0xFF;
        if (last != 0 && last != 255)
            list << QHostAddress(a);
        ++a;
    }
    return list;
}

} // namespace SimulatedAddresses
