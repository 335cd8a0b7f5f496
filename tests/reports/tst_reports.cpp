#include "common/TestFiles.h"
#include "records/DisplayTableState.h"
#include "reports/CsvWriter.h"
#include "reports/ExportFileName.h"
#include "reports/DisplayListExport.h"
#include "reports/ReportFile.h"
#include "reports/UpdateReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The display list and the update report as files: what a real CSV reader gets back, hostile
// display names included, and the JSON parsed back.
namespace {

// Reads a CSV file with Python's csv module and answers the rows as a JSON array of arrays.
const char *ReadCsv = "import csv, json, sys\n"
                      "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                      "    print(json.dumps(list(csv.reader(f))))\n";

QList<QStringList> readCsv(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("python3"), { QStringLiteral("-c"), QString::fromLatin1(ReadCsv), path });
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return {};
    QList<QStringList> rows;
    const QJsonArray array = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    for (const QJsonValue &row : array) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells.append(cell.toString());
        rows.append(cells);
    }
    return rows;
}

DisplayEntry display(const QString &model, const QString &address, const QString &serial)
{
    DisplayEntry entry;
    entry.modelName = model;
    entry.address = QHostAddress(address);
    entry.serialNumber = serial;
    entry.powerState = 1;
    entry.currentFirmware = QStringLiteral("R1.000");
    entry.latestVersion = QStringLiteral("R2.000");
    entry.firmwareStatus = FirmwareStatus::NewForLan;
    entry.macAddress = QStringLiteral("00:16:AA:74:00:01");
    return entry;
}

QString statusLookup(qint32 status)
{
    return status == 3 ? QStringLiteral("Complete") : QStringLiteral("Error %1").arg(status);
}

}

class TestReports : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
            QSKIP("python3 reads the files back");
        QVERIFY(m_dir.isValid());
    }

    void cellIsTextAsReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("plain") << "LG-141" << "LG-141";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("comma") << "CG-343, rev B" << "CG-343, rev B";
        QTest::newRow("quotes") << "The \"big\" one" << "The \"big\" one";
        QTest::newRow("newline") << "two\nlines" << "two\nlines";
        QTest::newRow("crlf inside") << "a\r\nb" << "a\r\nb";
        QTest::newRow("formula") << "=HYPERLINK(\"http://x\",\"y\")" << "'=HYPERLINK(\"http://x\",\"y\")";
        QTest::newRow("plus") << "+1+2" << "'+1+2";
        QTest::newRow("minus") << "-2+3" << "'-2+3";
        QTest::newRow("negative number") << "-2" << "-2";
        QTest::newRow("negative decimal") << "-0.25" << "-0.25";
        QTest::newRow("minus then point") << "-.5" << "'-.5";
        QTest::newRow("minus trailing point") << "-2." << "'-2.";
        QTest::newRow("minus alone") << "-" << "'-";
        QTest::newRow("minus exponent") << "-1E+2" << "'-1E+2";
        QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)";
        QTest::newRow("tab first") << "\t=1" << "'\t=1";
        QTest::newRow("cr first") << "\r=1" << "'\r=1";
        QTest::newRow("equals later") << "a=1" << "a=1";
        QTest::newRow("non-latin") << QString::fromUtf8("ディスプレイ ✓") << QString::fromUtf8("ディスプレイ ✓");
    }

    void cellIsTextAsReadBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        const QString path = m_dir.filePath(QStringLiteral("cell.csv"));
        QVERIFY(ReportFile::write(path, CsvWriter::document({ { QStringLiteral("before"), text, QStringLiteral("after") } }))
                        .isEmpty());
        const QList<QStringList> rows = readCsv(path);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first(), (QStringList { QStringLiteral("before"), readBack, QStringLiteral("after") }));
    }

    void documentIsUtf8WithCrlfLines()
    {
        const QByteArray bytes = CsvWriter::document({ { QStringLiteral("a"), QStringLiteral("b") }, { QStringLiteral("ü") } });
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF" "a,b\r\n\xC3\xBC\r\n"));
    }

    // Every row in the table's order, the hostile names as text, the extra columns filled.
    void displayListReadsBackInTableOrder()
    {
        DisplayTableState state;
        state.displayEntries << display(QStringLiteral("=cmd|' /C calc'!A0"), QStringLiteral("127.0.74.1"), QStringLiteral("S1"))
                             << display(QStringLiteral("CG-343, \"rev B\"\nsecond line"), QStringLiteral("127.0.74.2"), QStringLiteral("S2"))
                             << display(QStringLiteral("LG-141"), QStringLiteral("127.0.74.3"), QStringLiteral("+S3"));
        DisplayEntry &second = state.displayEntries[1];
        second.useIP2 = 1;
        second.updateAddress = QHostAddress(QStringLiteral("127.0.75.2"));
        second.componentVersion = { QStringLiteral("F1"), QStringLiteral("F2"), QString(), QStringLiteral("F4"), QString(), QString() };
        second.powerState = 2;

        DisplayListExport::Options options;
        options.showAssetTag = false;
        options.statusText = &statusLookup;
        const QString path = m_dir.filePath(QStringLiteral("list.csv"));
        const QList<int> order { 2, 0, 1, 7 }; // row 7 does not exist: left out
        QVERIFY(ReportFile::write(path, CsvWriter::document(DisplayListExport::table(state, order, options))).isEmpty());

        const QList<QStringList> rows = readCsv(path);
        QCOMPARE(rows.size(), 4);
        const QStringList header = rows.at(0);
        QVERIFY(!header.contains(QStringLiteral("Asset Tag")));
        const int model = header.indexOf(QStringLiteral("Model Name"));
        const int serial = header.indexOf(QStringLiteral("Serial Number"));
        const int address = header.indexOf(QStringLiteral("IP Address"));
        const int secondAddress = header.indexOf(QStringLiteral("Firmware Update IP Address"));
        const int power = header.indexOf(QStringLiteral("Power State"));
        const int fw2 = header.indexOf(QStringLiteral("Firmware 2"));
        const int mac = header.indexOf(QStringLiteral("MAC Address"));
        const int availability = header.indexOf(QStringLiteral("Firmware Availability"));
        QVERIFY(model >= 0 && serial >= 0 && address >= 0 && secondAddress >= 0 && power >= 0 && fw2 >= 0 && mac >= 0
                && availability >= 0);
        for (const QStringList &row : rows)
            QCOMPARE(row.size(), header.size());

        QCOMPARE(rows.at(1).at(model), QStringLiteral("LG-141"));
        QCOMPARE(rows.at(1).at(serial), QStringLiteral("'+S3"));
        QCOMPARE(rows.at(2).at(model), QStringLiteral("'=cmd|' /C calc'!A0"));
        QCOMPARE(rows.at(3).at(model), QStringLiteral("CG-343, \"rev B\"\nsecond line"));
        QCOMPARE(rows.at(3).at(address), QStringLiteral("127.0.74.2"));
        QCOMPARE(rows.at(3).at(secondAddress), QStringLiteral("127.0.75.2"));
        QCOMPARE(rows.at(2).at(secondAddress), QString());
        QCOMPARE(rows.at(3).at(power), QStringLiteral("Standby"));
        QCOMPARE(rows.at(3).at(fw2), QStringLiteral("F2"));
        QCOMPARE(rows.at(1).at(mac), QStringLiteral("00:16:AA:74:00:01"));
        QCOMPARE(rows.at(1).at(availability), QStringLiteral("New version R2.000 available"));
    }

    // Only displays whose update started are reported; the version after is only what the display
    // reported after the update, and only the release's version is verified; CSV and JSON agree.
    void updateReportReadsBack()
    {
        DisplayTableState state;
        const QDateTime start = QDateTime(QDate(2026, 12, 10), QTime(1, 2, 3), Qt::UTC);
        DisplayEntry done = display(QStringLiteral("@LG-141"), QStringLiteral("127.0.74.1"), QStringLiteral("S1"));
        done.updateStartedAt = start;
        done.updateSettledAt = start.addSecs(95);
        done.firmwareBefore = QStringLiteral("R1.000");
        done.currentFirmware = QStringLiteral("R2.000");
        done.firmwareAfter = QStringLiteral("R2.000");
        done.resultStatus = 3;
        done.verifyOutcome = 0;
        // Came back on its old version: read back, not verified, a failure.
        DisplayEntry oldVersion = display(QStringLiteral("PX-3"), QStringLiteral("127.0.74.4"), QStringLiteral("S4"));
        oldVersion.updateStartedAt = start.addSecs(2);
        oldVersion.updateSettledAt = start.addSecs(90);
        oldVersion.firmwareBefore = QStringLiteral("R1.000");
        oldVersion.firmwareAfter = QStringLiteral("R1.000");
        oldVersion.resultStatus = 4;
        oldVersion.verifyOutcome = 1;
        oldVersion.updateNote = QStringLiteral("Version after update is R1.000, expected R2.000");
        oldVersion.selected = true;
        DisplayEntry failed = display(QStringLiteral("CG, 343"), QStringLiteral("127.0.74.2"), QStringLiteral("S2"));
        failed.updateStartedAt = start.addSecs(1);
        failed.updateSettledAt = start.addSecs(30);
        failed.firmwareBefore = QStringLiteral("R1.000");
        failed.resultStatus = -3;
        failed.selected = true;
        DisplayEntry untouched = display(QStringLiteral("RL-947"), QStringLiteral("127.0.74.3"), QStringLiteral("S3"));
        state.displayEntries << done << untouched << failed << oldVersion;
        QVERIFY(UpdateReport::hasLines(state));

        const QList<UpdateReport::Line> lines = UpdateReport::lines(state, false, &statusLookup);
        QCOMPARE(lines.size(), 3);
        const QString path = m_dir.filePath(QStringLiteral("report.csv"));
        QVERIFY(ReportFile::write(path, CsvWriter::document(UpdateReport::table(lines))).isEmpty());
        const QList<QStringList> rows = readCsv(path);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(1), (QStringList { "2026-12-10T01:02:03Z", "2026-12-10T01:03:38Z", "'@LG-141", "S1", "127.0.74.1",
                                            "R1.000", "R2.000", "Yes", "Success" }));
        QCOMPARE(rows.at(2).at(2), QStringLiteral("CG, 343"));
        // Nothing was read back after the failed session: no version after, never the one before.
        QCOMPARE(rows.at(2).at(6), QString());
        QCOMPARE(rows.at(2).at(7), QStringLiteral("No"));
        QCOMPARE(rows.at(2).at(8), QStringLiteral("Error -3"));
        QCOMPARE(rows.at(3).mid(5), (QStringList { "R1.000", "R1.000", "Yes",
                                                  "Version after update is R1.000, expected R2.000" }));

        const QJsonArray json = QJsonDocument::fromJson(UpdateReport::json(lines)).array();
        QCOMPARE(json.size(), 3);
        const QJsonObject first = json.at(0).toObject();
        QCOMPARE(first.value("model").toString(), QStringLiteral("@LG-141"));
        QCOMPARE(first.value("firmware_before").toString(), QStringLiteral("R1.000"));
        QCOMPARE(first.value("firmware_after").toString(), QStringLiteral("R2.000"));
        QCOMPARE(first.value("firmware_after_verified").toBool(), true);
        QCOMPARE(first.value("result").toInt(), 3);
        QCOMPARE(first.value("started").toString(), QStringLiteral("2026-12-10T01:02:03Z"));
        QCOMPARE(json.at(1).toObject().value("result").toInt(), -3);
        QCOMPARE(json.at(1).toObject().value("result_text").toString(), QStringLiteral("Error -3"));
        QVERIFY(json.at(1).toObject().value("firmware_after").isNull());
        QCOMPARE(json.at(1).toObject().value("firmware_after_verified").toBool(), false);
        const QJsonObject oldLine = json.at(2).toObject();
        QCOMPARE(oldLine.value("firmware_after").toString(), QStringLiteral("R1.000"));
        QCOMPARE(oldLine.value("firmware_after_verified").toBool(), false);
        QCOMPARE(oldLine.value("result").toInt(), 4);

        DisplayTableState none;
        none.displayEntries << untouched;
        QVERIFY(!UpdateReport::hasLines(none));
    }

    // A display the rollout policy kept from starting is reported with result 0 and why; every
    // line names the policy of its batch.
    void updateReportNamesTheRollout()
    {
        DisplayTableState state;
        const QDateTime start = QDateTime(QDate(2026, 12, 10), QTime(1, 2, 3), Qt::UTC);
        RolloutPolicy policy;
        policy.firstPerModel = true;
        policy.maxFailures = 3;
        DisplayEntry failed = display(QStringLiteral("FX-350"), QStringLiteral("127.0.74.1"), QStringLiteral("S1"));
        failed.updateStartedAt = start;
        failed.updateSettledAt = start.addSecs(30);
        failed.firmwareBefore = QStringLiteral("R1.000");
        failed.currentFirmware = QStringLiteral("R1.000");
        failed.resultStatus = -3;
        failed.updateRollout = policy;
        DisplayEntry held = display(QStringLiteral("FX-350"), QStringLiteral("127.0.74.2"), QStringLiteral("S2"));
        held.currentFirmware = QStringLiteral("R1.000");
        held.selected = true;
        held.heldBack = true;
        held.updateNote = QStringLiteral("Not started: the first display of this model failed");
        held.updateRollout = policy;
        DisplayEntry untouched = display(QStringLiteral("RL-947"), QStringLiteral("127.0.74.3"), QStringLiteral("S3"));
        state.displayEntries << failed << held << untouched;

        const QList<UpdateReport::Line> lines = UpdateReport::lines(state, false, &statusLookup);
        QCOMPARE(lines.size(), 2);
        const QJsonArray json = QJsonDocument::fromJson(UpdateReport::json(lines)).array();
        QCOMPARE(json.size(), 2);
        const QJsonObject notStarted = json.at(1).toObject();
        QCOMPARE(notStarted.value("address").toString(), QStringLiteral("127.0.74.2"));
        QCOMPARE(notStarted.value("result").toInt(), 0);
        QCOMPARE(notStarted.value("result_text").toString(), held.updateNote);
        QCOMPARE(notStarted.value("firmware_after").toString(), QStringLiteral("R1.000"));
        QCOMPARE(notStarted.value("firmware_after_verified").toBool(), false);
        QCOMPARE(notStarted.value("started").toString(), QString());
        for (const QJsonValue &line : json) {
            const QJsonObject rollout = line.toObject().value("rollout").toObject();
            QCOMPARE(rollout.value("first_per_model").toBool(), true);
            QCOMPARE(rollout.value("max_failures").toInt(), 3);
        }

        // Held back alone is still something to report.
        DisplayTableState onlyHeld;
        onlyHeld.displayEntries << held;
        QVERIFY(UpdateReport::hasLines(onlyHeld));
        // Off, the field says so rather than being left out.
        DisplayTableState plain;
        failed.updateRollout = RolloutPolicy();
        plain.displayEntries << failed;
        const QJsonObject off = QJsonDocument::fromJson(UpdateReport::json(UpdateReport::lines(plain, false, &statusLookup)))
                                        .array().at(0).toObject().value("rollout").toObject();
        QCOMPARE(off.value("first_per_model").toBool(true), false);
        QCOMPARE(off.value("max_failures").toInt(-1), 0);
    }

    void suggestedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QDateTime morning(QDate(2026, 3, 7), QTime(9, 5, 59));
        QTest::newRow("display list") << ExportFileName::displayList(morning) << "quillon-displays-2026-03-07.csv";
        QTest::newRow("update report, CSV") << ExportFileName::updateReport(morning, false)
                                            << "quillon-update-2026-03-07-0905.csv";
        QTest::newRow("update report, JSON, afternoon")
                << ExportFileName::updateReport(QDateTime(QDate(2026, 12, 31), QTime(23, 59)), true)
                << "quillon-update-2026-12-31-2359.json";
    }

    void suggestedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(name, expected);
    }

    // The last folder while it exists; a vanished one (a drive unplugged) gives way to a real folder.
    void suggestedPathFallsBackFromAVanishedFolder()
    {
        QCOMPARE(ExportFileName::suggestedPath(m_dir.path(), QStringLiteral("a.csv")), m_dir.filePath(QStringLiteral("a.csv")));
        const QString gone = ExportFileName::suggestedPath(m_dir.filePath(QStringLiteral("unplugged")), QStringLiteral("a.csv"));
        QCOMPARE(QFileInfo(gone).fileName(), QStringLiteral("a.csv"));
        QVERIFY2(QFileInfo(QFileInfo(gone).absolutePath()).isDir(), qPrintable(gone));
        QVERIFY(!gone.contains(QStringLiteral("unplugged")));
        QVERIFY(QFileInfo(QFileInfo(ExportFileName::suggestedPath(QString(), QStringLiteral("b.csv"))).absolutePath()).isDir());
    }

    void unwritableReportSaysWhy()
    {
        const QString path = m_dir.filePath(QStringLiteral("missing-folder/x/report.csv"));
        QVERIFY(!ReportFile::write(path, "a").isEmpty());
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
