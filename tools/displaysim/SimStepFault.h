#pragma once

#include <QByteArray>

// A fault on one step of the web update. Steps: "standby", "fileDelete",
// "stateCheck", "announce" (chunked size announcement), "upload" (any file
// upload: multipart, chunk, legacy, "/upload"), "checkResult", "modeChange",
// "update", "result"; "*" is every step. The n-th request of a step (0-based,
// counted since the display started) is hit when skip <= n < skip + times.
struct SimStepFault
{
    QByteArray step;
    int status = 0;             // answer with this HTTP status instead (401 carries a Basic challenge); 0 = normal answer
    int delayMs = 0;            // answer this much later
    bool neverReply = false;    // read the request, never answer (the connection stays open)
    qint64 dropAfterBytes = -1; // close the connection once this many body bytes arrived
    qint64 readBytesPerSecond = 0; // > 0: read the body at about this rate (a slow, steady link)
    QByteArray body;            // not null: answer this body (bodyRepeat times) with status, or 200, instead
    int bodyRepeat = 1;
    QByteArray framing;         // how the answer's body is delimited: "" Content-Length, "chunked",
                                // "close" (no length: the body ends when the connection closes)
    qint64 headerBytes = 0;     // > 0: about this many bytes of extra header lines in the answer
    QByteArray unendedLine;     // "status" or "header": that line of the answer runs on for
                                // headerBytes bytes without ever ending, on a connection kept open
    QByteArray encoding;        // "gzip", "deflate", "deflate-raw": the answer goes out so encoded; any
                                // other text is only declared (the body stays as it is)
    int skip = 0;
    int times = -1;             // -1 = every request from skip on

    bool hits(const QByteArray &requestStep, int ordinal) const
    {
        if (step != "*" && step != requestStep)
            return false;
        return ordinal >= skip && (times < 0 || ordinal < skip + times);
    }
};
