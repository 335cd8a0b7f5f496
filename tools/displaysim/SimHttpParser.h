#pragma once

#include "SimHttpRequest.h"

#include <QByteArray>

// Reads HTTP/1.x requests off the front of a connection's byte stream.
class SimHttpParser
{
public:
    enum Status { Complete = 0, NeedMore = 1, BadRequest = -1, TooLarge = -2, Unsupported = -3 };

    static constexpr int MaxHeaderBytes = 64 * 1024;
    static constexpr qint64 MaxBodyBytes = 512LL * 1024 * 1024;

    // Complete: *request is filled and its bytes removed from buffer; any
    // negative status means the connection should be answered and closed.
    static Status take(QByteArray &buffer, SimHttpRequest *request, bool *keepAlive);
};
