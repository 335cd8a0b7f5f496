#include "control/ControlFrame.h"

#include "discovery/DisplayText.h"

namespace {

constexpr char Soh = 0x01;
constexpr char Stx = 0x02;
constexpr char Etx = 0x03;
constexpr char Cr = 0x0D;
constexpr int HeaderSize = 7;      // SOH, reserved, destination, source, type, two length digits
constexpr int MinimumReply = 11;

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

char checkCode(const char *begin, const char *end)
{
    char code = 0;
    for (const char *p = begin; p != end; ++p)
        code ^= *p;
    return code;
}

bool endsText(char c)
{
    return c == '\n' || c == '\0';
}

} // namespace

namespace ControlFrame {

QByteArray encode(char messageType, const QByteArray &body)
{
    QByteArray frame;
    frame.reserve(body.size() + 10);
    frame.append(Soh);
    frame.append('0');
    frame.append('*');
    frame.append('0');
    frame.append(messageType);
    frame.append(QByteArray::number(body.size() + 2, 16).toUpper().rightJustified(2, '0'));
    frame.append(Stx);
    frame.append(body);
    frame.append(Etx);
    frame.append(checkCode(frame.constData() + 1, frame.constData() + frame.size()));
    frame.append(Cr);
    return frame;
}

int decode(const QByteArray &reply, char *messageType, QByteArray *body)
{
    if (reply.size() < MinimumReply)
        return ControlStatus::Malformed;
    if (reply.at(0) != Soh || reply.at(1) != '0' || reply.at(2) != '0')
        return ControlStatus::Malformed;
    const char type = reply.at(4);
    if (type != '0' && type != 'B' && type != 'D' && type != 'F')
        return ControlStatus::Malformed;
    quint32 length = 0;
    if (!readHex(reply, 5, 2, &length) || length < 2)
        return ControlStatus::Malformed;
    const int etx = int(length) + 6;
    if (reply.size() < etx + 3)
        return ControlStatus::Malformed;
    if (reply.at(HeaderSize) != Stx || reply.at(etx) != Etx || reply.at(etx + 2) != Cr)
        return ControlStatus::Malformed;
    if (reply.at(etx + 1) != checkCode(reply.constData() + 1, reply.constData() + etx + 1))
        return ControlStatus::Malformed;
    *messageType = type;
    *body = reply.mid(HeaderSize + 1, int(length) - 2);
    return ControlStatus::Complete;
}

bool readHex(const QByteArray &body, int position, int length, quint32 *value)
{
    if (position < 0 || length <= 0 || length > 8 || position + length > body.size())
        return false;
    quint32 result = 0;
    for (int i = position; i < position + length; ++i) {
        const int digit = hexDigit(body.at(i));
        if (digit < 0)
            return false;
        result = (result << 4) | quint32(digit);
    }
    *value = result;
    return true;
}

bool hexText(const QByteArray &digits, QString *text)
{
    QByteArray characters;
    for (int i = 0; i + 1 < digits.size() && characters.size() < MaxTextLength; i += 2) {
        quint32 code = 0;
        if (!readHex(digits, i, 2, &code))
            return false;
        if (endsText(char(code)))
            break;
        if (!DisplayText::isControl(char16_t(code)))
            characters.append(char(code));
    }
    *text = QString::fromLatin1(characters);
    return true;
}

QString rawText(const QByteArray &characters)
{
    int length = 0;
    while (length < characters.size() && length < MaxTextLength && !endsText(characters.at(length)))
        ++length;
    return DisplayText::withoutControls(QString::fromLatin1(characters.constData(), length));
}

} // namespace ControlFrame
