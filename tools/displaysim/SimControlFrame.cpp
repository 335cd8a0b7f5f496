#include "SimControlFrame.h"

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

quint8 SimControlFrame::checkCode(const QByteArray &frame, int from, int to)
{
    quint8 x = 0;
    for (int i = from; i <= to; ++i)
        x ^= quint8(frame.at(i));
    return x;
}

QByteArray SimControlFrame::encode(char type, const QByteArray &body, char source)
{
    const QByteArray b = body.left(MaxBody);
    QByteArray f;
    f.reserve(b.size() + 10);
    f.append(SOH).append('0').append('0').append(source).append(type);
    f.append(QByteArray::number(b.size() + 2, 16).toUpper().rightJustified(2, '0'));
    f.append(STX).append(b).append(ETX);
    f.append(char(checkCode(f, 1, f.size() - 1)));
    f.append(CR);
    return f;
}

SimControlFrame::TakeStatus SimControlFrame::take(QByteArray &buffer, char *type, QByteArray *body)
{
    if (buffer.isEmpty())
        return NeedMore;
    if (buffer.at(0) != SOH) {
        // Resynchronise on the next SOH; everything before it is noise.
        const int next = buffer.indexOf(SOH);
        buffer.remove(0, next < 0 ? buffer.size() : next);
        return Malformed;
    }
    if (buffer.size() < 7)
        return NeedMore;
    const int hi = hexDigit(buffer.at(5));
    const int lo = hexDigit(buffer.at(6));
    if (hi < 0 || lo < 0 || hi * 16 + lo < 2) {
        buffer.remove(0, 1);
        return Malformed;
    }
    const int length = hi * 16 + lo;
    const int total = length + 9;
    if (buffer.size() < total)
        return NeedMore;
    const QByteArray frame = buffer.left(total);
    buffer.remove(0, total);
    const char t = frame.at(4);
    if (frame.at(1) != '0' || (t != 'A' && t != 'C' && t != 'E') || frame.at(7) != STX
        || frame.at(length + 6) != ETX || quint8(frame.at(length + 7)) != checkCode(frame, 1, length + 6)
        || frame.at(length + 8) != CR)
        return Malformed;
    *type = t;
    *body = frame.mid(8, length - 2);
    return Complete;
}
