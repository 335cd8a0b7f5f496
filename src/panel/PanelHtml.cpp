#include "panel/PanelHtml.h"

#include <utility>

namespace {

const QString innerTableOpening =
    QStringLiteral("<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\" style=\"margin: 0;\">\n");

QString headerRow(int columns, const QString &title)
{
    return QStringLiteral("<tr>\n<td colspan=\"%1\" class=\"header-cell\">%2</td>\n</tr>\n")
        .arg(QString::number(columns), title);
}

QString rowOpening(bool last)
{
    return QStringLiteral("<tr class=\"%1\">\n").arg(last ? QStringLiteral("last-row") : QString());
}

} // namespace

PanelHtml::PanelHtml(PanelColours colours)
    : m_colours(std::move(colours))
{
}

QString PanelHtml::colour(int slot) const
{
    return m_colours.colours.value(slot);
}

QString PanelHtml::document(const QString &content) const
{
    return QStringLiteral("<html><head>\n") + styleBlock() + QStringLiteral("</head><body>\n") + content
        + QStringLiteral("</body></html>");
}

QString PanelHtml::styleBlock() const
{
    const QString rules = QStringLiteral(
        "\n<style>\n"
        "table {\nborder-collapse: collapse;\nmargin-bottom: 15px;\n}\n"
        ".header-cell {\nbackground-color: %1;\ncolor: %2;\nborder-bottom: %3px solid %4;\n"
        "text-align: center;\nfont-weight: bold;\npadding: 6px;\nfont-size: 16px;\n}\n"
        ".first-column {\nbackground-color: %5;\ncolor: %6;\npadding: 10px 12px;\nfont-weight: bold;\n"
        "border-bottom: 1px solid %11;\n}\n"
        ".second-column {\nbackground-color: %7;\ncolor: %8;\npadding: 10px 12px;\n"
        "border-bottom: 1px solid %11;\n}\n"
        ".third-column {\nbackground-color: %9;\ncolor: %10;\npadding: 10px 12px;\n"
        "border-bottom: 1px solid %11;\n}\n"
        ".last-row .first-column, .last-row .second-column, .last-row .third-column {\n"
        "border-bottom: none;\n}\n"
        ".layout-table {\nborder-collapse: separate;\nborder-spacing: 0;\nmargin: 0;\n}\n"
        ".layout-cell {\npadding: 0 10px 0 0;\nvertical-align: top;\n}\n"
        "body {\nmargin: 10px;\nbackground-color: %12;\n}\n"
        "h3 {\ncolor: %12;\nmargin: 20px 0 10px 0;\n}\n"
        "</style>\n");
    // QString::arg takes at most nine strings in one pass; the colours are ours, so two passes are safe.
    return rules
        .arg(colour(1), colour(2), QString::number(m_colours.borderWidth), colour(3), colour(4), colour(5),
             colour(6), colour(7), colour(8))
        .arg(colour(9), colour(10), colour(0));
}

QString PanelHtml::callout(const QString &title, const QString &text) const
{
    QString html = QStringLiteral(
        "<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\" style=\"margin-bottom: 20px;\">\n");
    html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"border-left: 4px solid %2; margin: 0;\">")
                .arg(colour(4), colour(3));
    html += innerTableOpening;
    html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"padding: 5px 20px 5px; font-weight: bold; "
                           "font-size: 16px; margin: 0;\"><font color=\"%2\">%3</font></td></tr>\n")
                .arg(colour(1), colour(2), title);
    html += QStringLiteral("</table>");
    html += innerTableOpening;
    html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"padding: 5px 20px; margin: 0;\">"
                           "<font color=\"%2\">%3</font></td></tr>\n")
                .arg(colour(12), colour(13), text);
    html += QStringLiteral("</table>");
    html += QStringLiteral("</td></tr>");
    html += QStringLiteral("</table>\n");
    return html;
}

QString PanelHtml::listCallout(const QString &title, const QString &intro, const QStringList &items) const
{
    QString html = QStringLiteral(
        "<table width=\"100%\" cellpadding=\"0\" cellspacing=\"0\" style=\"margin-bottom: 20px;\">\n");
    html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"border-left: 4px solid %2; margin: 0;\">\n")
                .arg(colour(4), colour(3));
    html += innerTableOpening;
    html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"padding: 5px 20px 5px 20px; font-weight: bold; "
                           "font-size: 16px; margin: 0;\"><font color=\"%2\">%3</font></td></tr>\n")
                .arg(colour(1), colour(2), title);
    html += QStringLiteral("</table>\n");
    if (!intro.isEmpty()) {
        html += innerTableOpening;
        html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"padding: 5px 0px 0px 20px; margin: 0;\">"
                               "<font color=\"%2\">%3</font></td></tr>\n")
                    .arg(colour(12), colour(13), intro);
        html += QStringLiteral("</table>\n");
    }
    if (!items.isEmpty()) {
        html += innerTableOpening;
        html += QStringLiteral("<tr><td bgcolor=\"%1\" style=\"padding: 5px 10px 5px 40px; margin: 0;\">\n")
                    .arg(colour(12));
        QStringList numbered;
        numbered.reserve(items.size());
        for (int i = 0; i < items.size(); ++i) {
            numbered << QStringLiteral("<font color=\"%1\">%2. %3</font>")
                            .arg(colour(13), QString::number(i + 1), items.at(i));
        }
        html += numbered.join(QStringLiteral("<br>"));
        html += QStringLiteral("</td></tr>\n");
        html += QStringLiteral("</table>\n");
    }
    html += QStringLiteral("</td></tr>\n");
    html += QStringLiteral("</table>\n");
    return html;
}

QString PanelHtml::informationTable(const QString &title, const QStringList &first, const QStringList &second,
                                    const QStringList &third, bool headerRow)
{
    const bool threeColumns = !third.isEmpty();
    if (first.size() != second.size() || (threeColumns && third.size() != first.size()))
        return {};

    QString html = QStringLiteral("<table width=\"%1\">\n").arg(QStringLiteral("100%"));
    html += ::headerRow(threeColumns ? 3 : 2, title);
    for (int i = 0; i < first.size(); ++i) {
        const bool header = headerRow && i == 0;
        html += rowOpening(i == first.size() - 1);
        if (threeColumns) {
            html += QStringLiteral("<td class=\"first-column\" width=\"30%\">%1</td>\n").arg(first.at(i));
            if (header) {
                html += QStringLiteral("<td class=\"first-column\" width=\"35%\">%1</td>\n").arg(second.at(i));
                html += QStringLiteral("<td class=\"first-column\" width=\"35%\">%1</td>\n").arg(third.at(i));
            } else {
                html += QStringLiteral("<td class=\"second-column\" width=\"35%\">%1</td>\n").arg(second.at(i));
                html += QStringLiteral("<td class=\"third-column\" width=\"35%\">%1</td>\n").arg(third.at(i));
            }
        } else {
            html += QStringLiteral("<td class=\"first-column\" width=\"60%\">%1</td>\n").arg(first.at(i));
            if (header)
                html += QStringLiteral("<td class=\"first-column\" width=\"40%\">%1</td>\n").arg(second.at(i));
            else
                html += QStringLiteral("<td class=\"second-column\" width=\"40%\">%1</td>\n").arg(second.at(i));
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
    return html;
}

QString PanelHtml::linkTable(const QString &title, const QStringList &cells, int columns) const
{
    if (cells.isEmpty() || columns < 1 || columns > 3)
        return {};

    const QString width = QString::number(100 / columns);
    QString html = QStringLiteral("<table width=\"%1\" cellpadding=\"0\" cellspacing=\"0\">\n")
                       .arg(QStringLiteral("100%"));
    html += headerRow(columns, title);
    for (int start = 0; start < cells.size(); start += columns) {
        const bool last = start + columns >= cells.size();
        html += rowOpening(last);
        for (int column = 0; column < columns; ++column) {
            const int index = start + column;
            if (index < cells.size()) {
                html += QStringLiteral("<td bgcolor=\"%1\" width=\"%2%\" style=\"padding: 12px 15px; "
                                       "border-bottom: 1px solid %3; text-align: center;\">"
                                       "<font color=\"%4\">%5</font></td>\n")
                            .arg(colour(6), width, colour(10), colour(7), cells.at(index));
            } else {
                html += QStringLiteral("<td bgcolor=\"%1\" width=\"%2%\" style=\"padding: 12px 15px; "
                                       "border-bottom: 1px solid %3;\"></td>\n")
                            .arg(colour(6), width, colour(10));
            }
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
    return html;
}

QString PanelHtml::sideBySide(const QString &left, const QString &right)
{
    return QStringLiteral("<table class=\"layout-table\" width=\"100%\">\n<tr>\n"
                          "<td class=\"layout-cell\" width=\"48%\">%1</td>\n"
                          "<td class=\"layout-cell\" width=\"4%\"></td>\n"
                          "<td class=\"layout-cell\" width=\"48%\">%2</td>\n"
                          "</tr>\n</table>\n")
        .arg(left, right);
}
