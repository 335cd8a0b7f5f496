#pragma once

#include <QHostAddress>
#include <QString>

// An address as the log, the table and the summary write it: an IPv4-mapped IPv6 address (as a
// dual-stack socket reports a peer) in its plain dotted form, so one display is one key and
// reads the same everywhere.
class AddressText
{
public:
    static QString of(const QHostAddress &address);
};
