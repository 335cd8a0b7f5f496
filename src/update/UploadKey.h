#pragma once

#include <QByteArray>

// The "X-Api-Key" of the TCP-assisted upload: the MD5 of an 8-character prefix, the 16-bit value
// the display gave for this upload as four lowercase hex digits, and a line feed. Made anew for
// each upload and never stored.
namespace UploadKey {

inline constexpr char BuiltInPrefix[] = "KaVeRoLu";
inline constexpr char PrefixVariable[] = "QUILLON_UPLOAD_KEY_PREFIX";

// The prefix to use: QUILLON_UPLOAD_KEY_PREFIX when it holds exactly 8 printable ASCII characters
// (display generations that expect another prefix), else the built-in one, with a warning when
// the variable was set but unusable.
QByteArray prefix();

// 32 lowercase hex characters.
QByteArray key(const QByteArray &prefix, quint16 displayValue);

}
