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
