// A web-update reply of the key-scanned dialects: file check and update result, as text.
// Input: the component asked (1 byte; 255 = before any upload), then the reply body.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "update/KeyScanner.h"
#include "update/ReplyVerdicts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 componentByte = input.byte();
    const int componentIndex = componentByte == 255 ? -1 : componentByte % 6;
    const QByteArray body = input.rest();

    using ReplyVerdicts::Verdict;
    const Verdict check = ReplyVerdicts::fileCheckVerdict(body, componentIndex);
    if (componentIndex >= 0)
        FUZZ_CHECK(check != Verdict::Ready);
    else
        FUZZ_CHECK(check != Verdict::Success);

    const ReplyVerdicts::ComponentResult result = ReplyVerdicts::updateResultVerdict(body, componentIndex);
    FUZZ_CHECK(result.percent >= 0 && result.percent <= 100);
    if (componentIndex < 0)
        FUZZ_CHECK(result.state == ReplyVerdicts::ComponentResult::State::Failed);

    ReplyVerdicts::isOkText(body);

    // The scanner itself: every key found moves the cursor on, so a scan always ends.
    for (const char *key : { "upload", "paccheck_result", "result_code", "" }) {
        KeyScanner scanner(body);
        int steps = 0;
        for (;;) {
            const int before = scanner.cursor();
            const QByteArray value = scanner.next(key);
            FUZZ_CHECK(scanner.cursor() >= before && scanner.cursor() <= body.size());
            if (value.isEmpty())
                break;
            FUZZ_CHECK(scanner.cursor() > before);
            FUZZ_CHECK(++steps <= body.size());
            int number = 0;
            KeyScanner::toNumber(value, &number);
        }
    }
    return 0;
}
