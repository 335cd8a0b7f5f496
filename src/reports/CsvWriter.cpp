#include "reports/CsvWriter.h"

bool CsvWriter::startsLikeFormula(const QString &text)
{
    if (text.isEmpty())
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
