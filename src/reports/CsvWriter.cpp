#include "reports/CsvWriter.h"

namespace {

// "-2" or "-0.5": a spreadsheet reads it as the number it is, and an apostrophe before it would
// turn a negative result code into text.
bool isNegativeNumber(const QString &text)
{
    if (text.size() < 2 || text.at(0) != QLatin1Char('-'))
        return false;
    int digits = 0;
    bool point = false;
    for (int i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
        } else if (c == QLatin1Char('.') && !point && digits > 0 && i + 1 < text.size()) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

}

bool CsvWriter::startsLikeFormula(const QString &text)
{
    if (text.isEmpty() || isNegativeNumber(text))
        return false;
    switch (text.at(0).unicode()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r':
        return true;
    default:
        return false;
    }
}

QString CsvWriter::cell(const QString &text)
{
    QString value = startsLikeFormula(text) ? QLatin1Char('\'') + text : text;
    const bool quote = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"'))
            || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
    if (!quote)
        return value;
    value.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QString CsvWriter::line(const QStringList &cells)
{
    QStringList quoted;
    quoted.reserve(cells.size());
    for (const QString &text : cells)
        quoted.append(cell(text));
    return quoted.join(QLatin1Char(','));
}

QByteArray CsvWriter::document(const QList<QStringList> &rows)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QStringList &row : rows) {
        bytes += line(row).toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}
