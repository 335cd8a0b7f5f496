// A reply of the chunked dialect: JSON with comments and trailing commas, as such displays write it.
// Input: the enabled components (1 byte, a bit each), the component in work (1 byte), then the body.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "update/ReplyVerdicts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 mask = input.byte();
    std::array<bool, 6> enabled {};
    for (size_t i = 0; i < enabled.size(); ++i)
        enabled[i] = mask & (1u << i);
    const int uploadComponent = int(input.byte() % 7) - 1;
    const QByteArray body = input.rest();

    bool parsed = false;
    const QJsonObject object = ReplyVerdicts::cleanJson(body, &parsed);
    if (!parsed)
        FUZZ_CHECK(object.isEmpty());

    const ReplyVerdicts::ChunkedFileCheck check = ReplyVerdicts::chunkedFileCheckVerdict(body, enabled, uploadComponent);
    FUZZ_CHECK(check.verdict != ReplyVerdicts::Verdict::Ready);
    FUZZ_CHECK(check.uploadComponent >= -1 && check.uploadComponent < 6);
    // Only a component that is enabled, or the one in work, can be marked failed.
    for (int i = 0; i < 6; ++i) {
        if (check.failed[size_t(i)])
            FUZZ_CHECK(enabled[size_t(i)] || i == uploadComponent);
    }
    if (check.verdict == ReplyVerdicts::Verdict::Success) {
        for (const bool failed : check.failed)
            FUZZ_CHECK(!failed);
    }

    const ReplyVerdicts::ChunkedUpdateResult result = ReplyVerdicts::chunkedUpdateResultVerdict(body);
    FUZZ_CHECK(result.component >= -1 && result.component < 4);
    FUZZ_CHECK(result.percent >= -1 && result.percent <= 100);
    FUZZ_CHECK(!result.current || result.component >= 0);
    return 0;
}
