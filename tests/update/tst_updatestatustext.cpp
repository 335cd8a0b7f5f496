#include "update/UpdateStatusText.h"

#include <QtTest>

class tst_UpdateStatusText : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
};

void tst_UpdateStatusText::text_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");

    // The ends of the known range and the fallback on both sides of it.
    QTest::newRow("below the range") << -6 << QStringLiteral("Status: -6");
    QTest::newRow("upload retrying") << -5 << QStringLiteral("Upload failed. Retrying...");
    QTest::newRow("http error") << -1 << QStringLiteral("Error: Unable to communicate via HTTP.");
    QTest::newRow("idle") << 0 << QStringLiteral("Idle");
    QTest::newRow("complete") << 3 << QStringLiteral("Complete.");
    QTest::newRow("update failed") << 4 << QStringLiteral("Error: Update failed.");
    QTest::newRow("above the range") << 5 << QStringLiteral("Status: 5");
    QTest::newRow("download code") << 10003 << QStringLiteral("Status: 10003");
}

void tst_UpdateStatusText::text()
{
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(UpdateStatusText::text(code), expected);
}

QTEST_APPLESS_MAIN(tst_UpdateStatusText)
#include "tst_updatestatustext.moc"
