#pragma once

#include <QByteArray>

// Framing of the control protocol, from the display's side.
class SimControlFrame
{
public:
    enum TakeStatus { Complete = 0, NeedMore = 1, Malformed = -1 };

    // A reply frame: SOH '0' '0' source type LL STX body ETX check CR.
    static QByteArray encode(char type, const QByteArray &body, char source);

    // Takes the first request frame off the front of buffer. Complete: *type
    // and *body are set and the frame's bytes removed. Malformed: the bad
    // bytes are removed. NeedMore: buffer is left as it is.
    static TakeStatus take(QByteArray &buffer, char *type, QByteArray *body);

    // XOR of frame[from] .. frame[to], both included.
    static quint8 checkCode(const QByteArray &frame, int from, int to);

    static constexpr char SOH = 0x01;
    static constexpr char STX = 0x02;
    static constexpr char ETX = 0x03;
    static constexpr char CR = 0x0D;
    static constexpr int MaxBody = 0xFF - 2;
};
