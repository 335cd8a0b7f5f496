#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <array>

// How an update session reads a display's replies. Pure functions: a reply in, a verdict out.
// Replies are untrusted; garbage, truncated or oversized text never reads as success.
namespace ReplyVerdicts {

enum class Verdict { InProgress, Ready, Success, Failure };

// The body without CR and LF is exactly "OK".
bool isOkText(const QByteArray &body);

// File check of the cgictrl and stamped sequences; componentIndex -1 before any upload was made.
Verdict fileCheckVerdict(const QByteArray &body, int componentIndex);

struct ComponentResult
{
    enum class State { InProgress, Done, Failed };
    State state = State::Failed;
    int percent = 0;
};

// Update result poll of the cgictrl and stamped sequences, for one component.
ComponentResult updateResultVerdict(const QByteArray &body, int componentIndex);

enum class LegacyUpload { Written, Writing, Failed };
LegacyUpload legacyUploadVerdict(const QByteArray &body);
// The number the log shows for it: 0, 3 or -1.
int legacyUploadLogCode(LegacyUpload result);

// The chunked sequence's replies are JSON with comments and trailing commas; parse errors give
// an empty object and clear *parsed.
QJsonObject cleanJson(const QByteArray &body, bool *parsed = nullptr);

struct ChunkedFileCheck
{
    Verdict verdict = Verdict::Failure;   // InProgress, Success or Failure
    int uploadComponent = -1;             // the component in work after this reply
    std::array<bool, 6> failed{};         // components whose status becomes -2
};

ChunkedFileCheck chunkedFileCheckVerdict(const QByteArray &body, const std::array<bool, 6> &enabled,
                                         int uploadComponent);

struct ChunkedUpdateResult
{
    enum class State { Finished, InProgress, Failure };
    State state = State::InProgress;
    int component = -1;                   // component the reply is about, -1 none
    int percent = -1;                     // its percentage, -1 when the reply gives none
    bool current = false;                 // the component becomes the session's current one
};

// A reply that does not parse (a truncated one, say) is still in progress: the step time-out ends
// a display that never answers properly, and garbage is never read as a finished update.
ChunkedUpdateResult chunkedUpdateResultVerdict(const QByteArray &body);

}
