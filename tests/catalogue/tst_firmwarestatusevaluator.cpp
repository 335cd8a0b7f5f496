#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareStatusEvaluator.h"

#include <QFile>
#include <QtTest>

namespace {

FirmwareDatabase evaluationCatalogue()
{
    QFile file(QStringLiteral(QUILLON_TESTDATA "/evaluation.json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture evaluation.json");
    FirmwareDatabase database;
    if (database.parse(file.readAll(), QLocale::English) != 0)
        qFatal("evaluation.json does not parse");
    return database;
}

// Row values no evaluation writes on its own, so a field left alone is visible.
constexpr int Untouched = 77;

}

class tst_FirmwareStatusEvaluator : public QObject
{
    Q_OBJECT

private slots:
    void evaluateRow_data();
    void evaluateRow();
    void copiesReleaseSettings();
    void unmatchedRowKeepsEarlierValues();
    void everyRowReportedInOrder();
    void emptyDatabaseGivesNoneForEveryRow();
    void selectionIsNeverCleared();
    void linearLookupGivesSameRows();
};

void tst_FirmwareStatusEvaluator::evaluateRow_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("autoSelect");
    QTest::addColumn<bool>("legacySupport");
    QTest::addColumn<QString>("updateAddress");
    QTest::addColumn<int>("ip2Check");
    // expected
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("updateViaHTTP");
    QTest::addColumn<int>("manualPowerCycle");
    QTest::addColumn<int>("commStatus");
    QTest::addColumn<QString>("latestVersion");
    QTest::addColumn<int>("catalogueSeries");
    QTest::addColumn<QStringList>("changeLists");

    // What the row held from an earlier evaluation: an unknown model keeps it, a row whose
    // release was found holds the lists newer than its installed version, or none.
    const QStringList untouchedLists { "earlier" };
    const QStringList noLists;
    const QString noAddress;
    const QString ip2 = QStringLiteral("127.0.0.2");

    QTest::newRow("unknown model")
        << "NOPE" << "" << "1.0" << true << false << noAddress << -1
        << 2 << false << Untouched << Untouched << 0 << "untouched" << Untouched << untouchedLists;
    QTest::newRow("newer for LAN, auto-selected, lists since installed")
        << "LAN-1" << "" << "1.95" << true << false << noAddress << -1
        << 6 << true << 1 << 2 << 0 << "2.10" << 8 << QStringList { "Latest a|Latest b", "Two" };
    QTest::newRow("newer for LAN without auto-selection")
        << "lan-1" << "" << "R1.02" << false << false << noAddress << -1
        << 6 << false << 1 << 2 << 0 << "2.10" << 8
        << QStringList { "Latest a|Latest b", "Two", "One nine" };
    QTest::newRow("same version: up to date, no list of an older version left")
        << "LAN-1" << "" << "R2.10" << true << false << noAddress << -1
        << 4 << false << 1 << 2 << 0 << "2.10" << 8 << noLists;
    QTest::newRow("leading zero is the same version")
        << "LAN-1" << "" << "2.010" << true << false << noAddress << -1
        << 4 << false << 1 << 2 << 0 << "2.10" << 8 << noLists;
    QTest::newRow("installed newer")
        << "LAN-1" << "" << "3.0" << true << false << noAddress << -1
        << 4 << false << 1 << 2 << 0 << "2.10" << 8 << noLists;
    QTest::newRow("no installed version")
        << "LAN-1" << "" << "" << true << false << noAddress << -1
        << 1 << false << 1 << 2 << 0 << "2.10" << 8 << noLists;
    QTest::newRow("different number of parts")
        << "LAN-1" << "" << "2.1.0" << true << false << noAddress << -1
        << 3 << false << 1 << 2 << 0 << "2.10" << 8 << noLists;
    QTest::newRow("empty part")
        << "LAN-1" << "" << "1..2" << true << false << noAddress << -1
        << 3 << false << 1 << 2 << 0 << "2.10" << 8 << noLists;
    QTest::newRow("USB only")
        << "USB-1" << "" << "2.5" << true << false << noAddress << -1
        << 5 << false << 0 << 1 << 0 << "3.0" << 10 << QStringList { "Usb three" };
    QTest::newRow("below the LAN minimum: still 6, row loses LAN flag")
        << "MIN-1" << "" << "1.40" << true << false << noAddress << -1
        << 6 << true << 0 << 0 << 0 << "2.0" << 11 << QStringList { "Min two" };
    QTest::newRow("at the LAN minimum")
        << "MIN-1" << "" << "1.50" << true << false << noAddress << -1
        << 6 << true << 1 << 0 << 0 << "2.0" << 11 << QStringList { "Min two" };
    QTest::newRow("minimum not comparable: row loses LAN flag")
        << "MIN-1" << "" << "1.5.0" << true << false << noAddress << -1
        << 3 << false << 0 << 0 << 0 << "2.0" << 11 << noLists;
    QTest::newRow("needs a newer application build: never auto-selected")
        << "BUILD-NEW" << "" << "1.0" << true << false << noAddress << -1
        << 6 << false << 1 << 0 << 0 << "2.0" << 0 << QStringList { "Needs new build" };
    QTest::newRow("exactly this application build")
        << "BUILD-SAME" << "" << "1.0" << true << false << noAddress << -1
        << 6 << true << 1 << 0 << 0 << "2.0" << 0 << QStringList { "Same build" };
    QTest::newRow("legacy model without legacy support")
        << "LEGACY-1" << "" << "1.0" << true << false << noAddress << -1
        << 6 << false << 1 << 0 << 0 << "2.0" << 0 << QStringList { "Legacy two" };
    QTest::newRow("legacy model with legacy support")
        << "LEGACY-1" << "" << "1.0" << true << true << noAddress << -1
        << 6 << true << 1 << 0 << 0 << "2.0" << 0 << QStringList { "Legacy two" };
    QTest::newRow("power cycle 3: bound newer than installed")
        << "CYCLE-3" << "" << "1.9" << false << false << noAddress << -1
        << 6 << false << 1 << 2 << 0 << "3.0" << 0 << QStringList { "" };
    QTest::newRow("power cycle 3: bound equal to installed")
        << "CYCLE-3" << "" << "2.0" << false << false << noAddress << -1
        << 6 << false << 1 << 1 << 0 << "3.0" << 0 << QStringList { "" };
    QTest::newRow("power cycle 3: bound not comparable")
        << "CYCLE-3" << "" << "3" << false << false << noAddress << -1
        << 3 << false << 1 << 0 << 0 << "3.0" << 0 << noLists;
    QTest::newRow("power cycle value outside 0..3 leaves the row")
        << "CYCLE-7" << "" << "1.0" << false << false << noAddress << -1
        << 6 << false << 1 << Untouched << 0 << "3.0" << 0 << QStringList { "" };
    QTest::newRow("second address answered")
        << "IP2-1" << "" << "1.0" << false << false << ip2 << 0
        << 6 << false << 1 << 0 << 0 << "2.0" << 1 << QStringList { "Ip2 two" };
    QTest::newRow("second address not checked")
        << "IP2-1" << "" << "1.0" << false << false << ip2 << -1
        << 6 << false << 1 << 0 << 2 << "2.0" << 1 << QStringList { "Ip2 two" };
    QTest::newRow("second address did not answer, up to date")
        << "IP2-1" << "" << "2.0" << false << false << ip2 << 1
        << 4 << false << 1 << 0 << 2 << "2.0" << 1 << noLists;
    QTest::newRow("no second address, not comparable")
        << "IP2-1" << "" << "2" << false << false << noAddress << 0
        << 3 << false << 1 << 0 << 2 << "2.0" << 1 << noLists;
    QTest::newRow("second address rule skips USB-only")
        << "IP2-USB" << "" << "1.0" << false << false << noAddress << -1
        << 5 << false << 0 << 0 << 0 << "2.0" << 0 << QStringList { "" };
    QTest::newRow("second address rule skips missing version")
        << "IP2-1" << "" << "" << false << false << noAddress << -1
        << 1 << false << 1 << 0 << 0 << "2.0" << 1 << noLists;
    QTest::newRow("release without changes: not comparable")
        << "NOCHANGES" << "" << "1.0" << true << false << noAddress << -1
        << 3 << false << 1 << 0 << 0 << "" << 0 << noLists;
    QTest::newRow("serial third character lower-case b")
        << "SN-1" << "XYb123" << "2.0" << true << false << noAddress << -1
        << 6 << true << 1 << 0 << 0 << "5.0" << 7 << QStringList { "Serial five" };
    QTest::newRow("serial too short: the release without rule")
        << "SN-1" << "XY" << "1.0" << true << false << noAddress << -1
        << 4 << false << 1 << 0 << 0 << "1.0" << 2 << noLists;
    QTest::newRow("other serial character: the release without rule")
        << "SN-1" << "XYC123" << "0.9" << true << false << noAddress << -1
        << 6 << true << 1 << 0 << 0 << "1.0" << 2 << QStringList { "Serial one" };
}

void tst_FirmwareStatusEvaluator::evaluateRow()
{
    QFETCH(QString, model);
    QFETCH(QString, serial);
    QFETCH(QString, installed);
    QFETCH(bool, autoSelect);
    QFETCH(bool, legacySupport);
    QFETCH(QString, updateAddress);
    QFETCH(int, ip2Check);

    const FirmwareDatabase database = evaluationCatalogue();
    const FirmwareStatusEvaluator evaluator(database, legacySupport);

    DisplayEntry row;
    row.modelName = model;
    row.serialNumber = serial;
    row.currentFirmware = installed;
    row.updateAddress = QHostAddress(updateAddress);
    row.ip2Check = ip2Check;
    row.updateViaHTTP = Untouched;
    row.manualPowerCycle = Untouched;
    row.catalogueSeries = Untouched;
    row.latestVersion = QStringLiteral("untouched");
    row.changeLists = QStringList { "earlier" };
    row.firmwareStatus = 5;

    evaluator.evaluateRow(row, autoSelect);

    QTEST(row.firmwareStatus, "status");
    QTEST(row.selected, "selected");
    QTEST(row.updateViaHTTP, "updateViaHTTP");
    QTEST(row.manualPowerCycle, "manualPowerCycle");
    QTEST(row.commStatus, "commStatus");
    QTEST(row.latestVersion, "latestVersion");
    QTEST(row.catalogueSeries, "catalogueSeries");
    QTEST(row.changeLists, "changeLists");
}

void tst_FirmwareStatusEvaluator::copiesReleaseSettings()
{
    const FirmwareDatabase database = evaluationCatalogue();
    DisplayEntry row;
    row.modelName = QStringLiteral("LAN-1");
    row.currentFirmware = QStringLiteral("1.0");
    row.legacyModel = 1;
    FirmwareStatusEvaluator(database).evaluateRow(row, false);

    QCOMPARE(row.updateViaUSB, 1);
    QCOMPARE(row.updateDurationSecs, 600);
    QCOMPARE(row.componentCount, 2);
    QCOMPARE(row.needPowerSaveModeToNormal, 1);
    QCOMPARE(row.needPowerOnToUpdate, 1);
    QCOMPARE(row.needPowerOnToReadInfo, 1);
    QCOMPARE(row.useIP2, 0);
    QCOMPARE(row.requiresAppBuild, 250100);
    QCOMPARE(row.legacyModel, 0);
}

void tst_FirmwareStatusEvaluator::unmatchedRowKeepsEarlierValues()
{
    const FirmwareDatabase database = evaluationCatalogue();
    const FirmwareStatusEvaluator evaluator(database);

    DisplayEntry row;
    row.modelName = QStringLiteral("IP2-1");
    row.currentFirmware = QStringLiteral("1.0");
    evaluator.evaluateRow(row, true);
    QCOMPARE(row.firmwareStatus, 6);
    QCOMPARE(row.commStatus, 2);

    // The display now reports another model: only the status follows.
    row.modelName = QStringLiteral("GONE-1");
    row.commStatus = 0;
    evaluator.evaluateRow(row, true);
    QCOMPARE(row.firmwareStatus, 2);
    QCOMPARE(row.useIP2, 1);
    QCOMPARE(row.commStatus, 0);
    QCOMPARE(row.latestVersion, QStringLiteral("2.0"));
    QCOMPARE(row.catalogueSeries, 1);
    QCOMPARE(row.changeLists, QStringList { "Ip2 two" });
    QVERIFY(row.selected);
}

void tst_FirmwareStatusEvaluator::everyRowReportedInOrder()
{
    const FirmwareDatabase database = evaluationCatalogue();
    DisplayEntryList rows(4);
    const QStringList models { "LAN-1", "NOPE", "USB-1", "" };
    for (int i = 0; i < rows.size(); ++i) {
        rows[i].modelName = models.at(i);
        rows[i].currentFirmware = QStringLiteral("1.0");
    }
    QList<int> reported;
    FirmwareStatusEvaluator(database).evaluateFirmwareStatus(rows, true, [&](int row) {
        // Each row is finished before it is reported.
        QVERIFY(rows.at(row).firmwareStatus != 0);
        reported.append(row);
    });
    QCOMPARE(reported, QList<int>({ 0, 1, 2, 3 }));
    QCOMPARE(rows.at(0).firmwareStatus, 6);
    QCOMPARE(rows.at(1).firmwareStatus, 2);
    QCOMPARE(rows.at(2).firmwareStatus, 5);
    QCOMPARE(rows.at(3).firmwareStatus, 2);

    // Without a callback the rows are still evaluated.
    rows[1].modelName = QStringLiteral("MIN-1");
    FirmwareStatusEvaluator(database).evaluateFirmwareStatus(rows, false);
    QCOMPARE(rows.at(1).firmwareStatus, 6);
}

void tst_FirmwareStatusEvaluator::emptyDatabaseGivesNoneForEveryRow()
{
    FirmwareDatabase empty = evaluationCatalogue();
    empty.clear();
    DisplayEntryList rows(3);
    rows[0].modelName = QStringLiteral("LAN-1");
    rows[1].modelName = QStringLiteral("USB-1");
    rows[1].currentFirmware = QStringLiteral("1.0");
    FirmwareStatusEvaluator(empty).evaluateFirmwareStatus(rows, true);
    for (const DisplayEntry &row : rows) {
        QCOMPARE(row.firmwareStatus, 2);
        QVERIFY(!row.selected);
    }
}

void tst_FirmwareStatusEvaluator::selectionIsNeverCleared()
{
    const FirmwareDatabase database = evaluationCatalogue();
    DisplayEntry row;
    row.modelName = QStringLiteral("BUILD-NEW");
    row.currentFirmware = QStringLiteral("1.0");
    row.selected = true;
    FirmwareStatusEvaluator(database).evaluateRow(row, true);
    QCOMPARE(row.firmwareStatus, 6);
    QVERIFY(row.selected);
}

// The model index must not change any result: every model of the fixture, in varied case and
// with serial numbers on both sides of the serial rule, evaluated both ways.
void tst_FirmwareStatusEvaluator::linearLookupGivesSameRows()
{
    const FirmwareDatabase database = evaluationCatalogue();
    DisplayEntryList rows;
    for (const FirmwareRelease &release : database.releases()) {
        for (const QString &model : release.models) {
            for (const QString &serial : { QString(), QStringLiteral("XYa1"), QStringLiteral("XYZ1") }) {
                for (const QString &installed : { QString(), QStringLiteral("1.0"), QStringLiteral("9.9") }) {
                    DisplayEntry row;
                    row.modelName = rows.size() % 2 ? model.toLower() : model;
                    row.serialNumber = serial;
                    row.currentFirmware = installed;
                    rows.append(row);
                }
            }
        }
    }
    DisplayEntryList linear = rows;
    FirmwareStatusEvaluator indexed(database, true);
    FirmwareStatusEvaluator walk(database, true);
    walk.setLinearLookup(true);
    indexed.evaluateFirmwareStatus(rows, true);
    walk.evaluateFirmwareStatus(linear, true);

    for (int i = 0; i < rows.size(); ++i) {
        const DisplayEntry &a = rows.at(i);
        const DisplayEntry &b = linear.at(i);
        QCOMPARE(a.firmwareStatus, b.firmwareStatus);
        QCOMPARE(a.latestVersion, b.latestVersion);
        QCOMPARE(a.catalogueSeries, b.catalogueSeries);
        QCOMPARE(a.changeLists, b.changeLists);
        QCOMPARE(a.selected, b.selected);
        QCOMPARE(a.updateViaHTTP, b.updateViaHTTP);
        QCOMPARE(a.manualPowerCycle, b.manualPowerCycle);
        QCOMPARE(a.commStatus, b.commStatus);
    }
}

QTEST_GUILESS_MAIN(tst_FirmwareStatusEvaluator)
#include "tst_firmwarestatusevaluator.moc"
