#pragma once

#include "SimHttpRequest.h"

#include <QByteArray>

// Reads the head of an HTTP/1.x request (request line and header lines) off
// the front of a connection's byte stream; the body is read by the caller.
class SimHttpParser
{
public:
    enum Status { Complete = 0, NeedMore = 1, BadRequest = -1, TooLarge = -2, Unsupported = -3 };

    static constexpr int MaxHeaderBytes = 64 * 1024;
    static constexpr qint64 MaxBodyBytes = 4LL * 1024 * 1024 * 1024;

    // Complete: *request holds method, target, path, query and headers, the
    // head's bytes are removed from buffer, *contentLength is the body length
    // and *keepAlive whether the connection stays open. Any negative status
    // means the connection should be answered and closed.
    static Status takeHead(QByteArray &buffer, SimHttpRequest *request, qint64 *contentLength, bool *keepAlive);
};
