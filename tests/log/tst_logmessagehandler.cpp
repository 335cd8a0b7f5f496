#include "log/LogMessageHandler.h"
#include "log/SV_Information_Dialog.h"

#include <QRegularExpression>
#include <QtTest>

namespace {
struct Seen
{
    QtMsgType type;
    QString text;
};
QList<Seen> seenByPrevious;

void recordingHandler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    seenByPrevious.append({ type, text });
}
}

class tst_LogMessageHandler : public QObject
{
    Q_OBJECT

    QtMessageHandler testHandler = nullptr;

private slots:
    void init()
    {
        seenByPrevious.clear();
        testHandler = qInstallMessageHandler(recordingHandler);
    }

    void cleanup()
    {
        LogMessageHandler::uninstall();
        qInstallMessageHandler(testHandler);
    }

    void prefixFormat_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        QTest::newRow("afternoon") << QDateTime(QDate(2025, 9, 30), QTime(14, 25, 1))
                                   << QStringLiteral("2025.09.30:142501 | text");
        QTest::newRow("padded") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))
                                << QStringLiteral("2026.01.02:030405 | text");
        QTest::newRow("before midnight") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))
                                         << QStringLiteral("2026.12.31:235959 | text");
    }

    void prefixFormat()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        QCOMPARE(LogMessageHandler::formatLine(when, QStringLiteral("text")), expected);
    }

    void onlyInformationReachesTheWindowAndAllReachThePrevious()
    {
        SV_Information_Dialog window;
        LogMessageHandler::install(&window);
        QCOMPARE(LogMessageHandler::logWindow(), &window);

        qInfo() << "Local cache folder:" << QStringLiteral("/tmp/x") << 3;
        qWarning() << "a warning";
        qDebug() << "a debug line";
        qCritical() << "a critical line";

        const QRegularExpression line(QStringLiteral(
            R"(^\d{4}\.\d{2}\.\d{2}:\d{6} \| Local cache folder: "/tmp/x" 3$)"));
        QVERIFY2(line.match(window.text()).hasMatch(), qPrintable(window.text()));

        QCOMPARE(seenByPrevious.size(), 4);
        QCOMPARE(seenByPrevious.at(0).type, QtInfoMsg);
        QCOMPARE(seenByPrevious.at(0).text, QStringLiteral("Local cache folder: \"/tmp/x\" 3"));
        QCOMPARE(seenByPrevious.at(1).type, QtWarningMsg);
        QCOMPARE(seenByPrevious.at(2).type, QtDebugMsg);
        QCOMPARE(seenByPrevious.at(3).type, QtCriticalMsg);
    }

    void markupInAMessageStaysLiteral()
    {
        SV_Information_Dialog window;
        LogMessageHandler::install(&window);
        qInfo().noquote() << "<b>bold</b> <a href=\"http://127.0.0.1/\">x</a>";
        QVERIFY(window.text().endsWith(QStringLiteral("| <b>bold</b> <a href=\"http://127.0.0.1/\">x</a>")));
    }

    void messagesAfterTheWindowIsGoneStillPassOn()
    {
        auto *window = new SV_Information_Dialog;
        LogMessageHandler::install(window);
        delete window;
        QVERIFY(!LogMessageHandler::logWindow());
        qInfo("after");
        QCOMPARE(seenByPrevious.size(), 1);
        QCOMPARE(seenByPrevious.at(0).text, QStringLiteral("after"));
    }

    void installingTwiceDoesNotChainToItself()
    {
        SV_Information_Dialog first;
        SV_Information_Dialog second;
        LogMessageHandler::install(&first);
        LogMessageHandler::install(&second);
        qInfo("once");
        QCOMPARE(seenByPrevious.size(), 1);
        QVERIFY(first.text().isEmpty());
        QVERIFY(second.text().endsWith(QStringLiteral("| once")));
    }
};

QTEST_MAIN(tst_LogMessageHandler)
#include "tst_logmessagehandler.moc"
