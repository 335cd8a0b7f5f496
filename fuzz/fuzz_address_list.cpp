// The targeted-search address list, as a person types or pastes it.
// Input: the limit (1 byte, 0 = the default), then the text in UTF-8.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "discovery/AddressListParser.h"

#include <QHostAddress>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int limitByte = input.byte();
    const int limit = limitByte == 0 ? AddressListParser::DefaultLimit : limitByte;
    const QString text = QString::fromUtf8(input.rest());

    QList<QHostAddress> addresses;
    int item = 0;
    const int result = AddressListParser::parse(text, addresses, item, limit);
    FUZZ_CHECK(result >= AddressListParser::Valid && result <= AddressListParser::NoAddress);
    FUZZ_CHECK(addresses.size() <= limit);
    if (result == AddressListParser::Valid)
        FUZZ_CHECK(!addresses.isEmpty());
    if (result == AddressListParser::FormatError || result == AddressListParser::TooManyAddresses)
        FUZZ_CHECK(item >= 1);
    // Every address searched is a plain IPv4 host address.
    for (const QHostAddress &address : qAsConst(addresses))
        FUZZ_CHECK(address.protocol() == QAbstractSocket::IPv4Protocol);
    return 0;
}
