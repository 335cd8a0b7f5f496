#include "queue/UpdateVerifier.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

// The check after an update: which version texts count as the release's, and that a display
// that never answers is reported within the bound instead of waited on.
class tst_UpdateVerifier : public QObject
{
    Q_OBJECT

private slots:
    void versionsMatch_data();
    void versionsMatch();
    void texts();
    void silentDisplayIsReportedInTime();
};

void tst_UpdateVerifier::versionsMatch_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("match");
    QTest::newRow("same") << "R2.000" << "R2.000" << true;
    QTest::newRow("display prefix") << "R2.000" << "2.000" << true;
    QTest::newRow("padding") << " 2.000 " << "2.000" << true;
    QTest::newRow("leading zero") << "R2.01" << "2.1" << true;
    QTest::newRow("older") << "R1.500" << "2.000" << false;
    QTest::newRow("newer") << "R2.100" << "2.000" << false;
    QTest::newRow("other shape") << "R2.0.0" << "2.000" << false;
    QTest::newRow("garbage") << "???" << "2.000" << false;
}

void tst_UpdateVerifier::versionsMatch()
{
    QFETCH(QString, found);
    QFETCH(QString, expected);
    QFETCH(bool, match);
    QCOMPARE(UpdateVerifier::versionsMatch(found, expected), match);
}

void tst_UpdateVerifier::texts()
{
    QCOMPARE(UpdateVerifier::rowText(UpdateVerifier::Verified, "2.000", "R2.000"), QStringLiteral("Verified: version R2.000"));
    QCOMPARE(UpdateVerifier::rowText(UpdateVerifier::VersionMismatch, "2.000", "R1.500"),
             QStringLiteral("Version after update is R1.500, expected 2.000"));
    QCOMPARE(UpdateVerifier::logText(UpdateVerifier::VersionMismatch, "2.000", "R1.500"),
             QStringLiteral("Version after update is R1.500, expected 2.000"));
    QCOMPARE(UpdateVerifier::rowText(UpdateVerifier::NoAnswer, "2.000", QString()),
             QStringLiteral("Display did not answer after the update."));
}

void tst_UpdateVerifier::silentDisplayIsReportedInTime()
{
    // Accepts connections and never says a word: every poll ends in the client's own time-outs.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
    UpdateVerifier::Params params;
    params.pollIntervalMs = 100;
    params.maxWaitMs = 1500;
    params.controlPort = silent.serverPort();
    UpdateVerifier verifier(QHostAddress(QStringLiteral("127.0.0.1")), 0x08, QStringLiteral("2.000"), params);
    QSignalSpy finished(&verifier, &UpdateVerifier::finished);
    QElapsedTimer clock;
    clock.start();
    verifier.start();
    QVERIFY(finished.wait(30000));
    // The bound holds although the query then out takes far longer to give up.
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(1).toInt(), int(UpdateVerifier::NoAnswer));
    QTest::qWait(200);
    QCOMPARE(finished.count(), 1);
}

QTEST_GUILESS_MAIN(tst_UpdateVerifier)
#include "tst_updateverifier.moc"
