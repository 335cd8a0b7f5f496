#include "panel/CatalogueItemHtml.h"

#include "usbwriter/CatalogueRichText.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>
#include <QVariant>

namespace {

// Reading may ask for images (to size them); nothing but the resources may answer.
class ResourceOnlyDocument : public QTextDocument
{
protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (CatalogueRichText::isResource(name.toString()))
            return QTextDocument::loadResource(type, name);
        return {};
    }
};

QString imageHtml(const QTextImageFormat &format)
{
    QString html = QStringLiteral("<img src=\"%1\"").arg(format.name().toHtmlEscaped());
    if (format.width() > 0)
        html += QStringLiteral(" width=\"%1\"").arg(qRound(format.width()));
    if (format.height() > 0)
        html += QStringLiteral(" height=\"%1\"").arg(qRound(format.height()));
    return html + QLatin1Char('>');
}

QString textHtml(const QString &text, const QTextCharFormat &format)
{
    QString html = text.toHtmlEscaped();
    html.replace(QChar::LineSeparator, QLatin1String("<br>"));
    if (format.fontWeight() >= QFont::Bold)
        html = QLatin1String("<b>") + html + QLatin1String("</b>");
    if (format.fontItalic())
        html = QLatin1String("<i>") + html + QLatin1String("</i>");
    if (format.isAnchor()) {
        if (CatalogueRichText::isWebLink(format.anchorHref())) {
            const QString href = QUrl(format.anchorHref().trimmed()).toString(QUrl::FullyEncoded);
            html = QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), html);
        }
    } else if (format.fontUnderline()) {
        html = QLatin1String("<u>") + html + QLatin1String("</u>");
    }
    return html;
}

} // namespace

QString CatalogueItemHtml::inlineHtml(const QString &item)
{
    if (item.trimmed().isEmpty())
        return {};
    ResourceOnlyDocument document;
    document.setHtml(item);
    QString html;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            html += QLatin1String("<br>");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                if (CatalogueRichText::isResource(format.toImageFormat().name()))
                    html += imageHtml(format.toImageFormat());
                continue;
            }
            html += textHtml(fragment.text(), format);
        }
    }
    return html;
}
