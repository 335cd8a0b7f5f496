#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets read it: UTF-8 with a byte order mark (without it Excel
// takes the bytes for the local code page), CRLF line ends, and a cell quoted when it holds a
// comma, a quote or a line break, quotes doubled. Display names come from the displays: a cell
// that a spreadsheet would run as a formula ("=", "+", "-", "@", tab, CR first) gets a leading
// apostrophe, so it opens as the text it is; a plain negative number ("-2") is left as it is.
class CsvWriter
{
public:
    static QString cell(const QString &text);
    static QString line(const QStringList &cells);
    static QByteArray document(const QList<QStringList> &rows);
    static bool startsLikeFormula(const QString &text);
};
