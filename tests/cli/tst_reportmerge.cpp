#include "cli/ReportMerge.h"
#include "cli/SearchListing.h"
#include "common/TestFiles.h"
#include "records/DisplayTableState.h"
#include "reports/UpdateReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// `quillonctl report merge` as the fleet's controller runs it: the sites' reports are files written
// by quillonctl's own JSON writers (so a change to what quillonctl writes that the merge cannot
// read shows here), and every broken or hostile file is named and stops the merge.
namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runCtl(const QStringList &arguments, const QString &workingDir)
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(QUILLONCTL_PATH), arguments);
    Run result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

UpdateReport::Line updateLine(const QString &address, const QString &model, int result, const QString &text)
{
    UpdateReport::Line line;
    line.started = QDateTime(QDate(2026, 3, 4), QTime(10, 0, 1), Qt::UTC);
    line.settled = QDateTime(QDate(2026, 3, 4), QTime(10, 2, 30), Qt::UTC);
    line.model = model;
    line.serial = QStringLiteral("SN-") + address.section(QLatin1Char('.'), 3);
    line.address = address;
    line.versionBefore = QStringLiteral("R1.000");
    // A failed update has no version read back: its report says null.
    line.versionAfter = result == 3 ? QStringLiteral("R2.000") : QString();
    line.versionReadBack = result == 3;
    line.verified = result == 3;
    line.result = result;
    line.resultText = text;
    return line;
}

QByteArray searchReport()
{
    DisplayTableState state;
    DisplayEntry entry;
    entry.address = QHostAddress(QStringLiteral("10.0.4.7"));
    entry.modelName = QStringLiteral("CG-343");
    entry.serialNumber = QStringLiteral("77A00002");
    entry.powerState = 1;
    entry.currentFirmware = QStringLiteral("R1.000");
    entry.firmwareStatus = FirmwareStatus::NewForLan;
    entry.latestVersion = QStringLiteral("2.000");
    state.displayEntries.append(entry);
    return SearchListing::json(state);
}

const QByteArray PilotReport = UpdateReport::json({
        updateLine(QStringLiteral("10.1.0.1"), QStringLiteral("LG-141"), 3, QStringLiteral("Success. Verified: version R2.000")),
        updateLine(QStringLiteral("10.1.0.2"), QStringLiteral("CG-343"), 3, QStringLiteral("Success. Verified: version R2.000")),
});
// A display name as a hostile display could report it, and a failed update.
const QByteArray HallReport = UpdateReport::json({
        updateLine(QStringLiteral("10.2.0.9"), QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"), -2,
                   QStringLiteral("Update failed, \"component 1\"")),
});

}

class TestReportMerge : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void write(const QString &name, const QByteArray &bytes) { QVERIFY(TestFiles::writeFile(path(name), bytes)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        write(QStringLiteral("pilot.json"), PilotReport);
        write(QStringLiteral("hall-b.json"), HallReport);
        write(QStringLiteral("nothing.json"), "[]\n");
    }

    void siteNames_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("file");
        QTest::newRow("file name") << "reports/site-a.json" << "site-a" << "reports/site-a.json";
        QTest::newRow("upper-case suffix") << "SITE-B.JSON" << "SITE-B" << "SITE-B.JSON";
        QTest::newRow("other suffix kept") << "/tmp/site.c.txt" << "site.c.txt" << "/tmp/site.c.txt";
        QTest::newRow("explicit site") << "Osaka North=reports/x.json" << "Osaka North" << "reports/x.json";
        QTest::newRow("first equals splits") << "a=b=c.json" << "a" << "b=c.json";
        QTest::newRow("equals inside a folder path") << "reports/a=b.json" << "a=b" << "reports/a=b.json";
        QTest::newRow("no site before equals") << "=x.json" << "" << "x.json";
    }

    void siteNames()
    {
        QFETCH(QString, argument);
        QFETCH(QString, site);
        QFETCH(QString, file);
        const ReportMerge::Source source = ReportMerge::source(argument);
        QCOMPARE(source.site, site);
        QCOMPARE(source.path, file);
    }

    // Rows keep their sites' order and every field quillonctl wrote, each one tagged with its site.
    void mergesUpdateReportsAsJsonAndCsv()
    {
        const Run run = runCtl({ "report", "merge", "--json", "fleet.json", "--csv", "fleet.csv", "pilot.json",
                                 "Hall B=hall-b.json", "nothing.json" },
                               m_dir.path());
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains("3 row(s) of 3 site(s)"), run.err.constData());

        QJsonParseError error;
        const QJsonArray merged = QJsonDocument::fromJson(TestFiles::readFile(path("fleet.json")), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QJsonArray expected;
        for (const auto &[site, report] : { std::pair { "pilot", PilotReport }, std::pair { "Hall B", HallReport } }) {
            for (const QJsonValue &row : QJsonDocument::fromJson(report).array()) {
                QJsonObject object = row.toObject();
                object.insert(QStringLiteral("site"), QString::fromUtf8(site));
                expected.append(object);
            }
        }
        QCOMPARE(merged, expected);

        const QByteArray csv = TestFiles::readFile(path("fleet.csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lines = csv.mid(3).split('\n');
        QCOMPARE(lines.size(), 5); // header, three rows, and the empty rest after the last CRLF
        QCOMPARE(lines.at(0), QByteArray("site,address,model,serial,firmware_before,firmware_after,"
                                         "firmware_after_verified,result,result_text,started,settled\r"));
        QCOMPARE(lines.at(1), QByteArray("pilot,10.1.0.1,LG-141,SN-1,R1.000,R2.000,true,3,"
                                         "Success. Verified: version R2.000,2026-03-04T10:00:01Z,2026-03-04T10:02:30Z\r"));
        // The hostile model opens as text, not as a formula; quotes and commas stay in their cell.
        QCOMPARE(lines.at(3), QByteArray("Hall B,10.2.0.9,\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",SN-9,R1.000,,"
                                         "false,-2,\"Update failed, \"\"component 1\"\"\",2026-03-04T10:00:01Z,"
                                         "2026-03-04T10:02:30Z\r"));
        QVERIFY(lines.at(4).isEmpty());
    }

    // Without --json and --csv the same JSON goes to standard output; a search report merges too.
    void mergesSearchReportToStandardOutput()
    {
        write(QStringLiteral("search-a.json"), searchReport());
        const Run run = runCtl({ "report", "merge", "search-a.json" }, m_dir.path());
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QJsonArray merged = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(merged.size(), 1);
        QJsonObject expected = QJsonDocument::fromJson(searchReport()).array().first().toObject();
        expected.insert(QStringLiteral("site"), QStringLiteral("search-a"));
        QCOMPARE(merged.first().toObject(), expected);
        QCOMPARE(expected.value("update_available"), QJsonValue(true));

        const Run csv = runCtl({ "report", "merge", "--csv", "search.csv", "search-a.json" }, m_dir.path());
        QCOMPARE(csv.exitCode, 0);
        QVERIFY(csv.out.isEmpty());
        QCOMPARE(TestFiles::readFile(path("search.csv")),
                 QByteArray("\xEF\xBB\xBFsite,address,model,serial,power,firmware,status,update_available,mac,asset_tag,"
                            "latest_version,firmware_status\r\n"
                            "search-a,10.0.4.7,CG-343,77A00002,Power On,R1.000,New version 2.000 available,true,,,"
                            "2.000,new_lan\r\n"));
    }

    // A search report of an older quillonctl, without the fields added since, still merges: its
    // rows lack them and their CSV cells are empty. Present, they must have their type.
    void mergesSearchReportsWithoutTheLaterFields()
    {
        QJsonObject old = QJsonDocument::fromJson(searchReport()).array().first().toObject();
        for (const char *name : { "mac", "asset_tag", "latest_version", "firmware_status" })
            old.remove(QLatin1String(name));
        write(QStringLiteral("older.json"), QJsonDocument(QJsonArray { old }).toJson());
        write(QStringLiteral("newer.json"), searchReport());
        const Run run = runCtl({ "report", "merge", "--csv", "mixed.csv", "older.json", "newer.json" }, m_dir.path());
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QList<QByteArray> lines = TestFiles::readFile(path("mixed.csv")).split('\n');
        QVERIFY2(lines.at(1).endsWith(",true,,,,\r"), lines.at(1).constData());
        QVERIFY2(lines.at(2).endsWith(",true,,,2.000,new_lan\r"), lines.at(2).constData());

        QJsonObject mistyped = QJsonDocument::fromJson(searchReport()).array().first().toObject();
        mistyped.insert(QStringLiteral("firmware_status"), 6);
        write(QStringLiteral("mistyped.json"), QJsonDocument(QJsonArray { mistyped }).toJson());
        const Run refused = runCtl({ "report", "merge", "mistyped.json" }, m_dir.path());
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("\"firmware_status\" is missing or not a text"), refused.err.constData());
    }

    void refusesBrokenReports_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");

        const QByteArray row = QJsonDocument(QJsonDocument::fromJson(PilotReport).array().first().toObject()).toJson();
        const auto withField = [&](const char *name, const QJsonValue &value) {
            QJsonObject object = QJsonDocument::fromJson(row).object();
            if (value.isUndefined())
                object.remove(QLatin1String(name));
            else
                object.insert(QLatin1String(name), value);
            return QJsonDocument(QJsonArray { object }).toJson();
        };

        QTest::newRow("empty") << QByteArray() << "empty";
        QTest::newRow("blank lines") << QByteArray("\n \n") << "empty";
        QTest::newRow("log text instead of JSON") << QByteArray("Search error\n") << "not a JSON document";
        QTest::newRow("cut short") << PilotReport.left(PilotReport.size() / 2) << "not a JSON document";
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe[", 4) << "not a JSON document";
        QTest::newRow("object, not a list") << row << "not a list of displays";
        QTest::newRow("list of numbers") << QByteArray("[1, 2]") << "row 1 is not an object";
        QTest::newRow("row of neither kind") << QByteArray("[{\"address\": \"10.0.0.1\"}]") << "row 1 is neither";
        QTest::newRow("field missing") << withField("serial", QJsonValue::Undefined) << "\"serial\" is missing";
        QTest::newRow("result as text") << withField("result", QStringLiteral("3")) << "\"result\" is missing or not a whole number";
        QTest::newRow("result not whole") << withField("result", 3.5) << "\"result\"";
        QTest::newRow("result out of range") << withField("result", 1e300) << "\"result\"";
        QTest::newRow("verified as number") << withField("firmware_after_verified", 1) << "not true or false";
        QTest::newRow("model null") << withField("model", QJsonValue::Null) << "\"model\" is missing or not a text";
        QTest::newRow("version after as number") << withField("firmware_after", 2) << "\"firmware_after\" is missing or not a text or null";
        QTest::newRow("version after missing") << withField("firmware_after", QJsonValue::Undefined) << "\"firmware_after\" is missing";
        QByteArray mixed = PilotReport;
        mixed.chop(2); // "]\n"
        mixed += "," + searchReport().mid(1);
        QTest::newRow("update and search rows") << mixed << "row 3 belongs to a search report";
        QTest::newRow("over the size limit") << QByteArray(16 * 1024 * 1024 + 1, ' ') << "larger than 16 MiB";
    }

    // A broken site report is named with why, and no fleet report is written: an earlier one stays
    // as it was rather than a merge that leaves a site out without saying so.
    void refusesBrokenReports()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        write(QStringLiteral("broken-site.json"), content);
        write(QStringLiteral("previous.json"), "previous");
        const Run run = runCtl({ "report", "merge", "--json", "previous.json", "--csv", "previous.csv", "pilot.json",
                                 "broken-site.json" },
                               m_dir.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("broken-site.json: "), run.err.constData());
        QVERIFY2(run.err.contains(reason.toUtf8()), run.err.constData());
        QVERIFY2(!run.err.contains("pilot.json"), run.err.constData());
        QCOMPARE(TestFiles::readFile(path("previous.json")), QByteArray("previous"));
        QVERIFY(!QFile::exists(path("previous.csv")));
        QVERIFY(run.out.isEmpty());
    }

    // Files that cannot be read at all; every bad one is named in the same run.
    void namesEveryUnreadableFile()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.json")));
        write(QStringLiteral("\x1b[31mred.json"), "[");
        const Run run = runCtl({ "report", "merge", "missing.json", "pilot.json", "folder.json", "\x1b[31mred.json" },
                               m_dir.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("missing.json: cannot be read"), run.err.constData());
        QVERIFY2(run.err.contains("folder.json: cannot be read"), run.err.constData());
        QVERIFY2(run.err.contains("red.json: not a JSON document"), run.err.constData());
        // The file's name cannot steer the terminal.
        QVERIFY(!run.err.contains('\x1b'));
        QVERIFY(run.out.isEmpty());
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no subcommand") << QStringList { "report" } << "No report command";
        QTest::newRow("unknown subcommand") << QStringList { "report", "join", "pilot.json" } << "join";
        QTest::newRow("no file") << QStringList { "report", "merge", "--json", "out.json" } << "No report file";
        QTest::newRow("unknown option") << QStringList { "report", "merge", "--yes", "pilot.json" } << "yes";
        QTest::newRow("json without file") << QStringList { "report", "merge", "pilot.json", "--json" } << "json";
        QTest::newRow("site twice") << QStringList { "report", "merge", "pilot.json", "pilot=hall-b.json" } << "pilot";
        QTest::newRow("empty site") << QStringList { "report", "merge", "=pilot.json" } << "no site name";
        QTest::newRow("no file after site") << QStringList { "report", "merge", "pilot=" } << "no file name";
    }

    // A usage error reads no report and writes nothing.
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const Run run = runCtl(arguments, m_dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(named.toUtf8()), run.err.constData());
        QVERIFY2(run.err.contains("quillonctl report merge [--json FILE] [--csv FILE] [SITE=]FILE..."), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(path("out.json")));
    }

    void helpNamesTheCommand()
    {
        const Run top = runCtl({ "--help" }, m_dir.path());
        QCOMPARE(top.exitCode, 0);
        QVERIFY(top.out.contains("quillonctl report merge [--json FILE] [--csv FILE] [SITE=]FILE..."));
        const Run own = runCtl({ "report", "merge", "--help" }, m_dir.path());
        QCOMPARE(own.exitCode, 0);
        QVERIFY2(own.out.contains("--csv <FILE>") && own.out.contains("SITE="), own.out.constData());
    }

    // An output that cannot be written fails the run and says where.
    void unwritableOutputFails()
    {
        const Run run = runCtl({ "report", "merge", "--csv", "no-such-folder/fleet.csv", "pilot.json" }, m_dir.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("no-such-folder"), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestReportMerge)
#include "tst_reportmerge.moc"
