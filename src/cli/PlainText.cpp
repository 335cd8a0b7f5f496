#include "cli/PlainText.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QChar CellEnd(0x1f);

struct Entity
{
    const char *name;
    const char *text;
};

// &amp; last: "&amp;lt;" is the text "&lt;", not "<".
const Entity Entities[] = {
    { "&quot;", "\"" }, { "&#39;", "'" }, { "&#x27;", "'" }, { "&apos;", "'" },
    { "&lt;", "<" },    { "&gt;", ">" },  { "&nbsp;", " " }, { "&amp;", "&" },
};

}

QString PlainText::sanitized(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0x2028 || u == 0x2029;
        clean += control ? QChar(u'?') : c;
    }
    return clean;
}

QString PlainText::fromHtml(const QString &html)
{
    QString text = html;
    static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>|</tr>"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression cellEnd(QStringLiteral("</td>|</th>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    text.remove(QLatin1Char('\n'));
    text.replace(lineBreak, QStringLiteral("\n"));
    text.replace(cellEnd, QString(CellEnd));
    text.remove(tag);

    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        QStringList cells = line.split(CellEnd);
        if (cells.size() > 1 && cells.constLast().trimmed().isEmpty())
            cells.removeLast();
        for (QString &cell : cells) {
            for (const Entity &entity : Entities)
                cell.replace(QLatin1String(entity.name), QLatin1String(entity.text));
            cell = sanitized(cell).trimmed();
        }
        line = cells.join(QStringLiteral(" | "));
    }
    return lines.join(QLatin1Char('\n')).trimmed();
}

namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
        || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
        || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F)
        || (c >= 0x20000 && c <= 0x3FFFD);
}

}

int PlainText::terminalWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QString PlainText::columns(const QList<QStringList> &rows)
{
    QList<QStringList> cleaned = rows;
    QList<int> widths;
    for (QStringList &row : cleaned) {
        for (int c = 0; c < row.size(); ++c) {
            row[c] = sanitized(row.at(c));
            if (widths.size() <= c)
                widths.append(0);
            widths[c] = qMax(widths.at(c), terminalWidth(row.at(c)));
        }
    }
    QString text;
    for (const QStringList &row : qAsConst(cleaned)) {
        QString line;
        for (int c = 0; c < row.size(); ++c) {
            line += row.at(c);
            if (c + 1 < row.size())
                line += QString(widths.at(c) - terminalWidth(row.at(c)) + 2, QLatin1Char(' '));
        }
        // An empty last cell leaves no padding behind.
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}
