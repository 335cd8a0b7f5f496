#include "log/SV_Information_Dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class tst_LogWindow : public QObject
{
    Q_OBJECT

private slots:
    void form()
    {
        SV_Information_Dialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Log"));
        QCOMPARE(dialog.size(), QSize(768, 394));
        QVERIFY(dialog.isSizeGripEnabled());
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        auto *clear = dialog.findChild<QPushButton *>(QStringLiteral("clear_pushbutton"));
        auto *copy = dialog.findChild<QPushButton *>(QStringLiteral("copy_pushButton"));
        QVERIFY(clear && copy && dialog.findChild<QTextEdit *>(QStringLiteral("data_textEdit")));
        QCOMPARE(clear->text(), QStringLiteral("Clear"));
        QCOMPARE(copy->text(), QStringLiteral("Copy"));
        QVERIFY(!clear->icon().isNull());
        QVERIFY(!copy->icon().isNull());
        QVERIFY(!dialog.windowIcon().isNull());
    }

    void linesStayPlainText_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("bold tag") << QStringLiteral("Model \"<b>X</b>\"");
        QTest::newRow("link") << QStringLiteral("<a href=\"http://127.0.0.1/x\">click</a>");
        QTest::newRow("whole html document") << QStringLiteral("<html><body><h1>Big</h1></body></html>");
        QTest::newRow("entity") << QStringLiteral("a &amp; b &lt; c");
        QTest::newRow("image") << QStringLiteral("<img src=\"/etc/passwd\">");
    }

    void linesStayPlainText()
    {
        QFETCH(QString, line);
        SV_Information_Dialog dialog;
        dialog.append(QStringLiteral("first"), 1);
        dialog.append(line, 1);
        QCOMPARE(dialog.text(), QStringLiteral("first\n") + line);
        auto *edit = dialog.findChild<QTextEdit *>(QStringLiteral("data_textEdit"));
        QVERIFY(!edit->toHtml().contains(QStringLiteral("<a href")));
        QVERIFY(!edit->toHtml().contains(QStringLiteral("<img")));
    }

    void hiddenLinesShowLaterAndClearThenContinue()
    {
        SV_Information_Dialog dialog;
        dialog.append(QStringLiteral("one"));
        dialog.append(QStringLiteral("two"));
        QVERIFY(!dialog.isVisible());
        dialog.show();
        QCOMPARE(dialog.text(), QStringLiteral("one\ntwo"));
        dialog.findChild<QPushButton *>(QStringLiteral("clear_pushbutton"))->click();
        QCOMPARE(dialog.text(), QString());
        dialog.append(QStringLiteral("three"));
        QCOMPARE(dialog.text(), QStringLiteral("three"));
    }

    void copyPutsTheWholeLogOnTheClipboard()
    {
        SV_Information_Dialog dialog;
        QClipboard *clipboard = QGuiApplication::clipboard();
        auto *copy = dialog.findChild<QPushButton *>(QStringLiteral("copy_pushButton"));

        clipboard->setText(QStringLiteral("stale"));
        copy->click();
        QCOMPARE(clipboard->text(), QString());

        dialog.append(QStringLiteral("alpha <b>"));
        dialog.append(QStringLiteral("beta"));
        copy->click();
        QCOMPARE(clipboard->text(), QStringLiteral("alpha <b>\nbeta"));
        auto *edit = dialog.findChild<QTextEdit *>(QStringLiteral("data_textEdit"));
        QCOMPARE(edit->textCursor().selectedText().size(), dialog.text().size());
    }
};

QTEST_MAIN(tst_LogWindow)
#include "tst_logwindow.moc"
