#include "queue/UpdateVerifier.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

// The check after an update: which version texts count as the release's, what each finding
// does to the row, and that a display that never answers is reported within the bound instead
// of waited on. Against simulated displays it runs in tst_updatequeue.
class tst_UpdateVerifier : public QObject
{
    Q_OBJECT

private slots:
    void versionsMatch_data();
    void versionsMatch();
    void texts_data();
    void texts();
    void applyToRow_data();
    void applyToRow();
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

void tst_UpdateVerifier::texts_data()
{
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("log");
    QTest::newRow("verified") << int(UpdateVerifier::Verified) << "R2.000" << "S1" << "Verified: version R2.000"
                              << "Verified: version R2.000";
    QTest::newRow("old version") << int(UpdateVerifier::VersionMismatch) << "R1.500" << "S1"
                                 << "Version after update is R1.500, expected 2.000"
                                 << "Version after update is R1.500, expected 2.000";
    QTest::newRow("another display") << int(UpdateVerifier::OtherDevice) << "R2.000" << "S9"
                                     << "Another display answers at this address (serial S9, expected S1)"
                                     << "Another display answers at this address (serial S9, model PX, version R2.000), "
                                        "expected serial S1";
    QTest::newRow("no answer") << int(UpdateVerifier::NoAnswer) << QString() << QString()
                               << "The display did not answer after the update — check it before switching it off"
                               << "The display did not answer after the update; expected version 2.000";
}

void tst_UpdateVerifier::texts()
{
    QFETCH(int, outcome);
    QFETCH(QString, version);
    QFETCH(QString, serial);
    QFETCH(QString, row);
    QFETCH(QString, log);
    UpdateVerifier::Finding finding;
    finding.outcome = outcome;
    finding.expectedVersion = QStringLiteral("2.000");
    finding.expectedSerial = QStringLiteral("S1");
    finding.version = version;
    finding.serial = serial;
    finding.model = serial.isEmpty() ? QString() : QStringLiteral("PX");
    QCOMPARE(UpdateVerifier::rowText(finding), row);
    QCOMPARE(UpdateVerifier::logText(finding), log);
}

// Only a display that reports the release's version as itself is a success; whatever else was
// found leaves the row failed and ticked, and keeps another display's version out of it.
void tst_UpdateVerifier::applyToRow_data()
{
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("after");
    QTest::newRow("verified") << int(UpdateVerifier::Verified) << "R2.000" << 3 << false << "R2.000" << "R2.000";
    QTest::newRow("old version") << int(UpdateVerifier::VersionMismatch) << "R1.000" << 4 << true << "R1.000"
                                 << "R1.000";
    QTest::newRow("another display") << int(UpdateVerifier::OtherDevice) << "R2.000" << 4 << true << "R0.900"
                                     << QString();
    QTest::newRow("no answer") << int(UpdateVerifier::NoAnswer) << QString() << 4 << true << "R0.900" << QString();
}

void tst_UpdateVerifier::applyToRow()
{
    QFETCH(int, outcome);
    QFETCH(QString, version);
    QFETCH(int, result);
    QFETCH(bool, selected);
    QFETCH(QString, current);
    QFETCH(QString, after);
    DisplayEntry row;
    row.selected = true;
    row.updateStatus = 2;
    row.resultStatus = 3;
    row.currentFirmware = QStringLiteral("R0.900");
    row.verifyOutcome = VerifyOutcome::Checking;
    UpdateVerifier::Finding finding;
    finding.outcome = outcome;
    finding.expectedVersion = QStringLiteral("R2.000");
    finding.version = version;
    UpdateVerifier::applyTo(row, finding);
    QCOMPARE(row.updateStatus, 0);
    QCOMPARE(row.resultStatus, result);
    QCOMPARE(row.selected, selected);
    QCOMPARE(row.currentFirmware, current);
    QCOMPARE(row.firmwareAfter, after);
    QCOMPARE(row.verifyOutcome, outcome);
    QCOMPARE(row.updateNote, UpdateVerifier::rowText(finding));
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
