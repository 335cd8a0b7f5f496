#pragma once

#include <QtGlobal>

// How the server misbehaves. The default is a well-behaved server.
struct FwBehaviour
{
    enum class Length {
        Correct,  // Content-Length is the body size
        Absent,   // no Content-Length; the end of the body is the closed connection
        TooLarge, // announces more than it sends
        TooSmall  // announces half of what it sends
    };

    int firstByteDelayMs = 0;      // wait this long after the request before answering
    bool neverAnswer = false;      // read the request, keep the connection, send nothing
    qint64 closeAfterBytes = -1;   // close the connection after this many body bytes (>= 0)
    int forcedStatus = 0;          // answer every request with this status (e.g. 404) and no file
    Length length = Length::Correct;
    qint64 trickleBytes = 0;       // > 0: send the body in pieces of this size ...
    int trickleIntervalMs = 0;     // ... with this pause between pieces
};
