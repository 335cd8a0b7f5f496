#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// Turns the targeted-search text (addresses, "x.x.x.*" wildcards, "a - b" and "a - n" ranges,
// "a.b.c.d/n" CIDR blocks, comments after ";" or "#") into an ordered list of distinct IPv4 addresses.
class AddressListParser
{
public:
    enum Result {
        Valid = 0,
        FormatError = 1,
        TooManyAddresses = 2,
        NoAddress = 3,
    };

    static constexpr int DefaultLimit = 4096;

    // item receives the 1-based number of the offending item with FormatError and TooManyAddresses;
    // addresses keeps what was produced before an error.
    static int parse(const QString &text, QList<QHostAddress> &addresses, int &item, int limit);
};
