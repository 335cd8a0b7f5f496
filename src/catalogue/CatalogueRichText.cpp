#include "catalogue/CatalogueRichText.h"

#include <QFont>
#include <QList>
#include <QPair>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <QVariant>

#include <algorithm>

namespace {

// Parsing may ask for images (to size them); nothing but the resources may answer.
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

template <typename Format>
bool dropForeignBackground(Format &format)
{
    if (!format.hasProperty(QTextFormat::BackgroundImageUrl))
        return false;
    if (CatalogueRichText::isResource(format.stringProperty(QTextFormat::BackgroundImageUrl)))
        return false;
    format.clearProperty(QTextFormat::BackgroundImageUrl);
    return true;
}

void cleanFrame(QTextFrame *frame)
{
    QTextFrameFormat format = frame->frameFormat();
    if (dropForeignBackground(format))
        frame->setFrameFormat(format);
    if (auto *table = qobject_cast<QTextTable *>(frame)) {
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                QTextTableCell cell = table->cellAt(r, c);
                QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                if (dropForeignBackground(cellFormat))
                    cell.setFormat(cellFormat);
            }
        }
    }
    const QList<QTextFrame *> children = frame->childFrames();
    for (QTextFrame *child : children)
        cleanFrame(child);
}

QString imageHtml(const QTextImageFormat &format)
{
    QString html = QStringLiteral("<img src=\"%1\"").arg(format.name().toHtmlEscaped());
    if (format.width() > 0)
        html += QStringLiteral(" width=\"%1\"").arg(qRound(format.width()));
    if (format.height() > 0)
        html += QStringLiteral(" height=\"%1\"").arg(qRound(format.height()));
    return html + QLatin1Char('>');
}

QString textHtml(const QString &text, const QTextCharFormat &format, CatalogueRichText::Tags allowed)
{
    QString html = text.toHtmlEscaped();
    html.replace(QChar::LineSeparator, QLatin1String("<br>"));
    if (allowed.testFlag(CatalogueRichText::Bold) && format.fontWeight() >= QFont::Bold)
        html = QLatin1String("<b>") + html + QLatin1String("</b>");
    if (allowed.testFlag(CatalogueRichText::Italic) && format.fontItalic())
        html = QLatin1String("<i>") + html + QLatin1String("</i>");
    if (format.isAnchor()) {
        if (allowed.testFlag(CatalogueRichText::WebLink) && CatalogueRichText::isWebLink(format.anchorHref())) {
            const QString href = QUrl(format.anchorHref().trimmed()).toString(QUrl::FullyEncoded);
            html = QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), html);
        }
    } else if (allowed.testFlag(CatalogueRichText::Underline) && format.fontUnderline()) {
        html = QLatin1String("<u>") + html + QLatin1String("</u>");
    }
    return html;
}

} // namespace

bool CatalogueRichText::isWebLink(const QString &href)
{
    const QUrl url(href.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

bool CatalogueRichText::isResource(const QString &name)
{
    if (name.contains(QLatin1String("..")))
        return false;
    return name.startsWith(QLatin1String(":/")) || name.startsWith(QLatin1String("qrc:/"));
}

QString CatalogueRichText::sanitized(const QString &html)
{
    if (html.isEmpty())
        return {};
    ResourceOnlyDocument document;
    document.setHtml(html);

    struct Edit
    {
        int position;
        int length;
        bool remove;
        QTextCharFormat format;
    };
    QList<Edit> edits;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        if (dropForeignBackground(blockFormat)) {
            QTextCursor cursor(block);
            cursor.setBlockFormat(blockFormat);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat() && !isResource(format.toImageFormat().name())) {
                edits.append({ fragment.position(), fragment.length(), true, {} });
                continue;
            }
            bool changed = dropForeignBackground(format);
            if (format.isAnchor() && !isWebLink(format.anchorHref())) {
                format.setAnchor(false);
                format.setAnchorHref(QString());
                format.clearProperty(QTextFormat::AnchorHref);
                changed = true;
            }
            if (changed)
                edits.append({ fragment.position(), fragment.length(), false, format });
        }
    }
    // Back to front, so the positions of the edits still to come stay put.
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.position > b.position; });
    for (const Edit &edit : edits) {
        QTextCursor cursor(&document);
        cursor.setPosition(edit.position);
        cursor.setPosition(edit.position + edit.length, QTextCursor::KeepAnchor);
        if (edit.remove)
            cursor.removeSelectedText();
        else
            cursor.setCharFormat(edit.format);
    }
    cleanFrame(document.rootFrame());
    return document.toHtml();
}

QString CatalogueRichText::inlineHtml(const QString &item, Tags allowed)
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
                if (allowed.testFlag(ResourceImage) && isResource(format.toImageFormat().name()))
                    html += imageHtml(format.toImageFormat());
                continue;
            }
            html += textHtml(fragment.text(), format, allowed);
        }
    }
    return html;
}
