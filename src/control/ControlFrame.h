#pragma once

#include <QByteArray>
#include <QString>

// Result codes of a control query.
namespace ControlStatus {
enum : qint32 {
    Complete = 0,
    Failed = -1,
    Malformed = -3001,
    Unsupported = -3002,
};
}

// The framing of the control protocol on TCP port 7142, and the readers of the numbers and texts
// inside message bodies. Nothing here reads outside the bytes it was given.
namespace ControlFrame {

// Decoded texts live in a 128-byte buffer on the display's side of the protocol; longer ones are cut.
inline constexpr int MaxTextLength = 127;

// SOH "0*0" type length STX body ETX check CR.
QByteArray encode(char messageType, const QByteArray &body);

// ControlStatus::Complete with the reply's type and body, or ControlStatus::Malformed.
int decode(const QByteArray &reply, char *messageType, QByteArray *body);

// Reads length hexadecimal digits (either case) at position; false when any is missing or not a digit.
bool readHex(const QByteArray &body, int position, int length, quint32 *value);

// Digit pairs, one character each; a line feed or NUL ends the text, other control characters are
// left out. False on a non-hexadecimal pair.
bool hexText(const QByteArray &digits, QString *text);

// Characters taken as they stand, control characters left out; a line feed or NUL ends the text.
QString rawText(const QByteArray &characters);

}
