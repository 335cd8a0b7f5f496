#include "cli/PlainText.h"

#include <QtTest>

// What reaches the technician's terminal from the summary's rich text and from display texts.
class TestPlainText : public QObject
{
    Q_OBJECT

private slots:
    void fromHtml_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("line breaks") << "one<br>two<br/>three" << "one\ntwo\nthree";
        QTest::newRow("table") << "<table><thead><tr><td bgcolor=\"#fff\">#</td><td>Model</td></tr></thead>"
                                  "<tr><td>1</td><td>LG-141</td></tr></table>"
                               << "# | Model\n1 | LG-141";
        QTest::newRow("escaped display text stays text")
                << "<td>&lt;img src=&quot;file:///etc/hostname&quot;&gt;</td>" << "<img src=\"file:///etc/hostname\">";
        QTest::newRow("escaped entity once") << "&amp;lt;b&amp;gt;" << "&lt;b&gt;";
        QTest::newRow("bold note") << "<b>Note 2: Off</b><br>" << "Note 2: Off";
        QTest::newRow("terminal escape") << QStringLiteral("<td>LG\x1b[2J-141</td>") << "LG?[2J-141";
    }

    void fromHtml()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(PlainText::fromHtml(html), text);
    }

    // Result lines line up in a terminal: a Japanese character takes two columns there, a
    // display's control character is made harmless before it is measured.
    void columns_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QList<QStringList> { { "Address", "Model", "Result" },
                                                        { "127.0.77.10", "FX-350", "Error 4" },
                                                        { "127.0.77.2", "LG-242", "Success" } }
                               << "Address      Model   Result\n"
                                  "127.0.77.10  FX-350  Error 4\n"
                                  "127.0.77.2   LG-242  Success\n";
        QTest::newRow("wide characters") << QList<QStringList> { { "アドレス", "Model", "R" }, { "127.0.0.1", "成功", "x" } }
                                         << QStringLiteral("アドレス   Model  R\n"
                                                           "127.0.0.1  成功   x\n");
        QTest::newRow("control character measured as its stand-in")
                << QList<QStringList> { { QStringLiteral("a\x1b[2Jb"), "c" }, { "d", "e" } }
                << "a?[2Jb  c\nd       e\n";
        QTest::newRow("empty last cell leaves no spaces") << QList<QStringList> { { "a", "" }, { "bbb", "c" } }
                                                          << "a\nbbb  c\n";
    }

    void columns()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, text);
        QCOMPARE(PlainText::columns(rows), text);
    }

    void sanitizedReplacesControlCharacters()
    {
        QCOMPARE(PlainText::sanitized(QStringLiteral("a\tb\nc\rd\x1b" "e\x7f" "f") + QChar(0x9b) + QStringLiteral("g")),
                 QStringLiteral("a?b?c?d?e?f?g"));
        QCOMPARE(PlainText::sanitized(QStringLiteral("ディスプレイ ✓")), QStringLiteral("ディスプレイ ✓"));
    }
};

QTEST_GUILESS_MAIN(TestPlainText)
#include "tst_plaintext.moc"
