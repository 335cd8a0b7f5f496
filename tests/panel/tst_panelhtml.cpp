#include "panel/PanelHtml.h"

#include <QtTest>

namespace {

// Every slot gets a name of its own, so a fragment that reads the wrong slot shows it.
PanelColours namedColours()
{
    PanelColours colours;
    for (int slot = 0; slot < 14; ++slot)
        colours.colours << QStringLiteral("c%1").arg(slot);
    colours.borderWidth = 7;
    return colours;
}

int count(const QString &html, const QString &needle)
{
    return html.count(needle);
}

} // namespace

class tst_PanelHtml : public QObject
{
    Q_OBJECT

private slots:
    void styleBlockUsesTheSlotsOfEachRule_data();
    void styleBlockUsesTheSlotsOfEachRule();
    void calloutColoursAndNesting();
    void listCalloutNumbersItemsAndSkipsEmptyParts();
    void informationTable_data();
    void informationTable();
    void linkTable_data();
    void linkTable();
    void valuesAreNotSubstitutedAgain();
};

void tst_PanelHtml::styleBlockUsesTheSlotsOfEachRule_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QStringList>("declarations");

    QTest::newRow("header") << ".header-cell {"
                            << QStringList { "background-color: c1;", "color: c2;", "border-bottom: 7px solid c3;" };
    QTest::newRow("first") << ".first-column {"
                           << QStringList { "background-color: c4;", "color: c5;", "border-bottom: 1px solid c10;" };
    QTest::newRow("second") << ".second-column {"
                            << QStringList { "background-color: c6;", "color: c7;", "border-bottom: 1px solid c10;" };
    QTest::newRow("third") << ".third-column {"
                           << QStringList { "background-color: c8;", "color: c9;", "border-bottom: 1px solid c10;" };
    QTest::newRow("body") << "body {" << QStringList { "background-color: c0;" };
}

void tst_PanelHtml::styleBlockUsesTheSlotsOfEachRule()
{
    QFETCH(QString, rule);
    QFETCH(QStringList, declarations);

    const QString style = PanelHtml(namedColours()).styleBlock();
    QVERIFY(style.startsWith("\n<style>\ntable {\nborder-collapse: collapse;\nmargin-bottom: 15px;\n}\n"));
    QVERIFY(style.endsWith("</style>\n"));
    const int start = style.indexOf(rule);
    QVERIFY2(start >= 0, qPrintable(rule));
    const QString body = style.mid(start, style.indexOf('}', start) - start);
    for (const QString &declaration : declarations)
        QVERIFY2(body.contains(declaration), qPrintable(rule + " lacks " + declaration));
    QVERIFY(!style.contains('%'));
}

void tst_PanelHtml::calloutColoursAndNesting()
{
    const QString html = PanelHtml(namedColours()).callout("Title", "Body text");
    QVERIFY(html.contains("<td bgcolor=\"c4\" style=\"border-left: 4px solid c3; margin: 0;\">"));
    QVERIFY(html.contains("<td bgcolor=\"c1\" style=\"padding: 5px 20px 5px; font-weight: bold; font-size: 16px; "
                          "margin: 0;\"><font color=\"c2\">Title</font></td></tr>\n"));
    QVERIFY(html.contains("<td bgcolor=\"c12\" style=\"padding: 5px 20px; margin: 0;\"><font color=\"c13\">Body "
                          "text</font></td></tr>\n"));
    QCOMPARE(count(html, "<table"), 3);
    QCOMPARE(count(html, "</table>"), 3);
    QVERIFY(html.endsWith("</table></td></tr></table>\n"));
}

void tst_PanelHtml::listCalloutNumbersItemsAndSkipsEmptyParts()
{
    const PanelHtml panel(namedColours());

    const QString full = panel.listCallout("T", "Intro", { "A", "<b>B</b>", "" });
    QVERIFY(full.contains("<font color=\"c13\">1. A</font><br><font color=\"c13\">2. <b>B</b></font><br>"
                          "<font color=\"c13\">3. </font></td></tr>\n"));
    QVERIFY(full.contains("padding: 5px 0px 0px 20px; margin: 0;\"><font color=\"c13\">Intro</font>"));
    QCOMPARE(count(full, "<table"), count(full, "</table>"));
    QCOMPARE(count(full, "<table"), 4);

    const QString bare = panel.listCallout("T", QString(), {});
    QVERIFY(!bare.contains("padding: 5px 0px 0px 20px"));
    QVERIFY(!bare.contains("padding: 5px 10px 5px 40px"));
    QCOMPARE(count(bare, "<table"), 2);
    QCOMPARE(count(bare, "</table>"), 2);
}

void tst_PanelHtml::informationTable_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QStringList>("third");
    QTest::addColumn<bool>("headerRow");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("unexpected");

    QTest::newRow("two columns") << QStringList { "a", "b" } << QStringList { "1", "2" } << QStringList() << false
                                 << QStringList { "<td colspan=\"2\" class=\"header-cell\">Title</td>",
                                                  "<tr class=\"\">\n<td class=\"first-column\" width=\"60%\">a</td>\n"
                                                  "<td class=\"second-column\" width=\"40%\">1</td>\n</tr>\n",
                                                  "<tr class=\"last-row\">\n<td class=\"first-column\" "
                                                  "width=\"60%\">b</td>\n" }
                                 << QStringList { "third-column" };
    QTest::newRow("three columns with header row")
        << QStringList { "Component", "Main" } << QStringList { "Current", "1.0" } << QStringList { "Available", "2.0" }
        << true
        << QStringList { "<td colspan=\"3\" class=\"header-cell\">Title</td>",
                         "<td class=\"first-column\" width=\"30%\">Component</td>\n"
                         "<td class=\"first-column\" width=\"35%\">Current</td>\n"
                         "<td class=\"first-column\" width=\"35%\">Available</td>\n",
                         "<tr class=\"last-row\">\n<td class=\"first-column\" width=\"30%\">Main</td>\n"
                         "<td class=\"second-column\" width=\"35%\">1.0</td>\n"
                         "<td class=\"third-column\" width=\"35%\">2.0</td>\n" }
        << QStringList();
    QTest::newRow("two columns with header row")
        << QStringList { "h", "a" } << QStringList { "H", "1" } << QStringList() << true
        << QStringList { "<td class=\"first-column\" width=\"40%\">H</td>",
                         "<td class=\"second-column\" width=\"40%\">1</td>" }
        << QStringList();
    QTest::newRow("lengths differ") << QStringList { "a", "b" } << QStringList { "1" } << QStringList() << false
                                    << QStringList() << QStringList { "<table" };
    QTest::newRow("third column shorter") << QStringList { "a", "b" } << QStringList { "1", "2" }
                                          << QStringList { "x" } << false << QStringList()
                                          << QStringList { "<table" };
}

void tst_PanelHtml::informationTable()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, third);
    QFETCH(bool, headerRow);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, unexpected);

    const QString html = PanelHtml::informationTable("Title", first, second, third, headerRow);
    for (const QString &part : expected)
        QVERIFY2(html.contains(part), qPrintable(part));
    for (const QString &part : unexpected)
        QVERIFY2(!html.contains(part), qPrintable(part));
    if (expected.isEmpty())
        QVERIFY(html.isEmpty());
    else
        QCOMPARE(count(html, "last-row"), 1);
}

void tst_PanelHtml::linkTable_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("padding");
    QTest::addColumn<QString>("width");

    QTest::newRow("four in three columns") << 4 << 3 << 2 << 2 << "33%";
    QTest::newRow("three in three columns") << 3 << 3 << 1 << 0 << "33%";
    QTest::newRow("one in two columns") << 1 << 2 << 1 << 1 << "50%";
    QTest::newRow("five in one column") << 5 << 1 << 5 << 0 << "100%";
    QTest::newRow("no cells") << 0 << 3 << 0 << 0 << "";
    QTest::newRow("no columns") << 2 << 0 << 0 << 0 << "";
    QTest::newRow("four columns") << 2 << 4 << 0 << 0 << "";
}

void tst_PanelHtml::linkTable()
{
    QFETCH(int, cells);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, padding);
    QFETCH(QString, width);

    QStringList content;
    for (int i = 0; i < cells; ++i)
        content << QStringLiteral("<a href=\"https://example.invalid/%1\">Doc %1</a>").arg(i);
    const QString html = PanelHtml(namedColours()).linkTable("Docs", content, columns);
    if (rows == 0) {
        QVERIFY(html.isEmpty());
        return;
    }
    QCOMPARE(count(html, "<tr class="), rows);
    QCOMPARE(count(html, "<tr class=\"last-row\">"), 1);
    QVERIFY(html.contains(QStringLiteral("<td colspan=\"%1\" class=\"header-cell\">Docs</td>").arg(columns)));
    QCOMPARE(count(html, "text-align: center;\"><font color=\"c7\">"), cells);
    QCOMPARE(count(html, "border-bottom: 1px solid c10;\"></td>"), padding);
    QCOMPARE(count(html, "<td bgcolor=\"c6\" width=\"" + width + "\""), cells + padding);
    // The padding cells close the last row.
    if (padding > 0)
        QVERIFY(html.endsWith("border-bottom: 1px solid c10;\"></td>\n</tr>\n</table>\n"));
}

void tst_PanelHtml::valuesAreNotSubstitutedAgain()
{
    const PanelHtml panel(namedColours());
    QVERIFY(panel.callout("%1 %2", "%3").contains("<font color=\"c2\">%1 %2</font>"));
    QVERIFY(panel.callout("t", "%1%2%3").contains("<font color=\"c13\">%1%2%3</font>"));
    QVERIFY(PanelHtml::sideBySide("%2", "%1").contains("width=\"48%\">%2</td>\n<td class=\"layout-cell\" "
                                                       "width=\"4%\"></td>\n<td class=\"layout-cell\" "
                                                       "width=\"48%\">%1</td>"));
}

QTEST_GUILESS_MAIN(tst_PanelHtml)
#include "tst_panelhtml.moc"
