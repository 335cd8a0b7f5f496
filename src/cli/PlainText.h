#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Terminal text from the rich texts the window shows (the confirmation summary) and from
// display-supplied strings: tags dropped, line breaks kept, table cells separated by " | ",
// entities decoded, and control characters a display could send replaced, so nothing a display
// reports can move the cursor or recolour the technician's terminal.
class PlainText
{
public:
    static QString fromHtml(const QString &html);
    static QString sanitized(const QString &text);

    // The columns a terminal shows for the text: two for the wide characters of Japanese (and
    // the other East Asian scripts), one for the rest.
    static int terminalWidth(const QString &text);
    // Rows of cells (sanitized) in columns two spaces apart, each line ending in a line feed;
    // the last column is not padded.
    static QString columns(const QList<QStringList> &rows);
};
