#pragma once

#include "theme/Theme.h"

#include <QString>
#include <QStringList>

// The HTML building blocks of the information panel: one colour set in, fragments out.
// QTextBrowser understands only a subset of CSS, which is why the callouts nest tables and
// repeat their colours as bgcolor and <font> attributes instead of relying on the style block.
// Every fragment inserts its arguments verbatim: callers escape text that is not ours.
class PanelHtml
{
public:
    explicit PanelHtml(PanelColours colours);

    QString document(const QString &content) const;
    QString styleBlock() const;
    QString callout(const QString &title, const QString &text) const;
    QString listCallout(const QString &title, const QString &intro, const QStringList &items) const;
    QString linkTable(const QString &title, const QStringList &cells, int columns) const;

    // Empty when the columns differ in length. A non-empty third column makes a three-column table;
    // with headerRow the first entry is drawn in the first-column style across the whole row.
    static QString informationTable(const QString &title, const QStringList &first,
                                    const QStringList &second, const QStringList &third = {},
                                    bool headerRow = false);
    static QString sideBySide(const QString &left, const QString &right);

    QString colour(int slot) const;

private:
    PanelColours m_colours;
};
