// What a display sends back on the control port, cut into reads at random points.
// Input: a series of (item asked, length, bytes) triples; each is one read answering that item.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "control/ControlFrame.h"
#include "control/ControlItem.h"
#include "control/ControlReplyReader.h"
#include "discovery/DisplayText.h"

#include <iterator>

namespace {

bool isPlainText(const QString &text)
{
    return DisplayText::withoutControls(text) == text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    PD_TCP_REPLY reply;
    quint32 pending = 0;
    for (const ControlItem &item : ControlItems)
        pending |= item.flag;
    int firmwareIndex = 0;
    int assetTagOffset = 0;
    ControlReplyReader reader(reply, pending, firmwareIndex, assetTagOffset);

    constexpr int itemCount = int(std::size(ControlItems));
    int reads = 0;
    while (!input.atEnd() && reads < 64) {
        const quint32 current = ControlItems[input.byte() % itemCount].flag;
        const QByteArray chunk = input.shortString();
        const quint32 pendingBefore = pending;
        const int status = reader.read(chunk, current);
        FUZZ_CHECK(status == ControlStatus::Complete || status == ControlStatus::Unsupported
                   || status == ControlStatus::Malformed);
        // A reply can only settle items; it never asks for more.
        FUZZ_CHECK((pending & ~pendingBefore) == 0);
        if (status != ControlStatus::Complete)
            FUZZ_CHECK(pending == pendingBefore);
        ++reads;

        // The frame layer on its own, with the texts it yields.
        char type = 0;
        QByteArray body;
        if (ControlFrame::decode(chunk, &type, &body) == ControlStatus::Complete) {
            FUZZ_CHECK(body.size() < chunk.size());
            QString text;
            if (ControlFrame::hexText(body, &text))
                FUZZ_CHECK(text.size() <= ControlFrame::MaxTextLength);
            FUZZ_CHECK(ControlFrame::rawText(body).size() <= ControlFrame::MaxTextLength);
        }
    }
    FUZZ_CHECK(firmwareIndex >= -1 && firmwareIndex <= 64);
    FUZZ_CHECK(assetTagOffset == 0 || assetTagOffset == 32);
    // Texts a display sends go to table cells, the log and terminals: never a control character.
    FUZZ_CHECK(isPlainText(reply.modelName) && isPlainText(reply.serialNumber));
    FUZZ_CHECK(isPlainText(reply.mainFwVersion) && isPlainText(reply.assetTag));
    for (const QString &version : reply.fwVersions)
        FUZZ_CHECK(isPlainText(version));
    return 0;
}
