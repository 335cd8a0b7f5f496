// The text page a legacy display answers an upload with.

#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "update/ReplyVerdicts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArray body = input.rest();
    using ReplyVerdicts::LegacyUpload;
    const LegacyUpload verdict = ReplyVerdicts::legacyUploadVerdict(body);
    const int code = ReplyVerdicts::legacyUploadLogCode(verdict);
    FUZZ_CHECK(code == 0 || code == 3 || code == -1);
    // Success needs the display's own words; nothing else may pass for it.
    if (verdict == LegacyUpload::Written)
        FUZZ_CHECK(body.contains("File written successfully"));
    if (!body.contains("File written successfully") && !body.contains("Image file writing."))
        FUZZ_CHECK(verdict == LegacyUpload::Failed);
    return 0;
}
