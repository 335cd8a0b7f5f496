#pragma once

#include "SimDisplayConfig.h"

#include <QByteArray>

// What a display answers to one control request, and how the request changes
// its state. Knows nothing of sockets or faults.
class SimControlResponder
{
public:
    struct Reply {
        char type = 0;          // 0: the request is not understood
        QByteArray body;
        bool stateChanged = false;
    };

    static Reply respond(SimDisplayConfig &state, char type, const QByteArray &body);
    // A "D" (read) or "F" (set) reply: result, VCP code, value type, maximum, value.
    static Reply vcpReply(char type, int result, quint16 code, int value);
};
