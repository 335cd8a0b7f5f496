#include "log/SV_Information_Dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTextEdit>
#include <QFile>
#include <QTemporaryDir>
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

    // Return anywhere in the window, wherever the focus is, leaves the log as it was: no button
    // (least of all Clear) is a default that Return presses.
    void returnNeverClearsTheLog_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("text area") << QStringLiteral("data_textEdit");
        QTest::newRow("clear button") << QStringLiteral("clear_pushbutton");
        QTest::newRow("copy button") << QStringLiteral("copy_pushButton");
        QTest::newRow("save button") << QStringLiteral("save_pushButton");
    }

    void returnNeverClearsTheLog()
    {
        QFETCH(QString, focus);
        SV_Information_Dialog dialog;
        dialog.append(QStringLiteral("one"));
        dialog.append(QStringLiteral("two"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
            QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
        }
        auto *target = dialog.findChild<QWidget *>(focus);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        QCOMPARE(dialog.text(), QStringLiteral("one\ntwo"));
    }

    void saveWritesTheLogAsShown()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SV_Information_Dialog dialog;
        auto *save = dialog.findChild<QPushButton *>(QStringLiteral("save_pushButton"));
        QVERIFY(save);
        QCOMPARE(save->text(), QStringLiteral("Save..."));
        QVERIFY(!save->icon().isNull());

        dialog.append(QStringLiteral("2026.01.02:030405 | alpha <b> \u00e9\u8868\u793a"));
        dialog.append(QStringLiteral("beta"));
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QCOMPARE(dialog.saveTo(path), 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), dialog.text() + QLatin1Char('\n'));

        // A file that exists is replaced whole, not appended to.
        dialog.findChild<QPushButton *>(QStringLiteral("clear_pushbutton"))->click();
        dialog.append(QStringLiteral("gamma"));
        QCOMPARE(dialog.saveTo(path), 0);
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("gamma\n"));

        // A folder that does not exist is a failure, and nothing is created.
        const QString missing = dir.filePath(QStringLiteral("no/such/folder/log.txt"));
        QCOMPARE(dialog.saveTo(missing), -1);
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_MAIN(tst_LogWindow)
#include "tst_logwindow.moc"
