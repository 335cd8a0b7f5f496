// One datagram on the search port, as anyone on the LAN may send it.
// Input: filter mode (1 byte), the search's sequence number (2 bytes), then the datagram.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "discovery/DISPLAY_UDP_SEARCH_REPLY_INFO.h"
#include "discovery/DisplayText.h"
#include "discovery/SearchDatagram.h"

namespace {

bool hasControl(const QString &text)
{
    return DisplayText::withoutControls(text) != text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int filterMode = input.byte() % 3;
    const quint16 sequence = input.u16();
    const QByteArray datagram = input.rest();

    const quint32 type = SearchDatagram::replyType(datagram);
    const bool checked = SearchDatagram::passesChecks(datagram, sequence, filterMode);
    if (datagram.size() != SearchDatagram::ReplySize)
        FUZZ_CHECK(type == 0 && !checked);

    DISPLAY_UDP_SEARCH_REPLY_INFO info;
    if (!SearchDatagram::decodeRecord(datagram, &info))
        return 0;
    FUZZ_CHECK(datagram.size() == SearchDatagram::ReplySize);
    // Whatever the display wrote, what reaches a table cell, the log or a terminal is plain text.
    FUZZ_CHECK(!hasControl(info.modelName) && !hasControl(info.mainFwVersion));
    for (const QString &version : info.fwVersions)
        FUZZ_CHECK(!hasControl(version) && version.size() <= 9);
    FUZZ_CHECK(info.modelName.size() <= 48 && info.mainFwVersion.size() <= 30);
    FUZZ_CHECK(info.macAddress.size() == 17);
    FUZZ_CHECK(info.ip2Address.isNull() || info.ip2Address.protocol() == QAbstractSocket::IPv4Protocol);
    return 0;
}
