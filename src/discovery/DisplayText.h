#pragma once

#include <QString>

// Texts a display sends (names, serial numbers, versions, asset tags) end up in the log, on a
// terminal showing stderr, and in table cells. A control character there can move the cursor,
// recolour the terminal, ring its bell or hide the rest of a line, so none is kept.
namespace DisplayText {

// C0 controls (0x00-0x1F), DEL (0x7F) and the C1 controls (0x80-0x9F), which 8-bit terminals
// read as escape sequences too.
constexpr bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The text with every control character removed.
QString withoutControls(const QString &text);

}
