#pragma once

#include "SimMultipartPart.h"

#include <QByteArray>
#include <QList>
#include <QPair>

// One web request exactly as it arrived, for tests that check the bytes a
// client sends.
struct SimWebCapture
{
    QByteArray method;
    QByteArray target;
    QByteArray step;                // update step ("standby", "upload", ...); empty for other requests
    QList<QPair<QByteArray, QByteArray>> headers; // in arrival order, names as sent, values trimmed
    qint64 bodySize = 0;            // bytes received (fewer than announced when incomplete)
    QByteArray bodyMd5;             // lowercase hex
    QByteArray body;                // the body when it is at most 4096 bytes
    bool complete = true;           // the body arrived whole (false: the connection closed before)
    bool multipart = false;
    bool multipartValid = false;
    QList<SimMultipartPart> parts;
    int status = 0;                 // status answered; 0 = not answered (held back or dropped)
};
