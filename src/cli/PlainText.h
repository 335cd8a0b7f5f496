#pragma once

#include <QString>

// Terminal text from the rich texts the window shows (the confirmation summary) and from
// display-supplied strings: tags dropped, line breaks kept, table cells separated by " | ",
// entities decoded, and control characters a display could send replaced, so nothing a display
// reports can move the cursor or recolour the technician's terminal.
class PlainText
{
public:
    static QString fromHtml(const QString &html);
    static QString sanitized(const QString &text);
};
