#include "common/MountedVolumes.h"
#include "common/ServedCatalogue.h"
#include "common/TestFiles.h"
#include "fwserver/FwServer.h"

#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimUpdateStats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <unistd.h>

// quillonctl run as a technician's script runs it: a real process, its search, downloads and
// updates against simulated displays on loopback and the local firmware server; the displays
// themselves tell what happened to them.
namespace {

struct Planned
{
    const char *model;
    const char *seriesName;
    int series;
    int powerSave = 2;   // the display's power-save setting
    bool powerPrep = false;
    const char *firmware = "R1.000";
    int fault = 0;       // 1: the update fails
    int progressStep = 50;
};

// 1-9 a batch of mixed series, 10 fails, 11-13 and 14-15 slow (Ctrl-C), 16 up to date, 17-19 one
// model that fails on every display, 20-21 a model that updates (the rollout policy).
const Planned Fleet[] = {
    { "LG-141", "SERIES_CEDAR4", 1, 1 },
    { "LG-242", "SERIES_LARCH", 2, 0 },
    { "CG-343", "SERIES_CEDAR5", 3 },
    { "CG-444", "SERIES_BIRCH", 4 },
    { "CG-545", "SERIES_CEDAR5_UHD", 5 },
    { "CG-646", "SERIES_CEDAR5_XN", 6 },
    { "RL-947", "SERIES_ROWAN_L", 9 },
    { "RH-048", "SERIES_ROWAN_H", 10 },
    { "WL-149", "SERIES_WILLOW", 11, 2, true },
    { "FX-350", "SERIES_CEDAR5", 3, 2, false, "R1.000", 1 },
    { "SL-351", "SERIES_CEDAR5", 3, 2, false, "R1.000", 0, 2 },
    { "SL-352", "SERIES_CEDAR5", 3, 2, false, "R1.000", 0, 2 },
    { "SL-353", "SERIES_CEDAR5", 3, 2, false, "R1.000", 0, 2 },
    { "SL-354", "SERIES_CEDAR5", 3, 2, false, "R1.000", 0, 1 },
    { "SL-355", "SERIES_CEDAR5", 3, 2, false, "R1.000", 0, 1 },
    { "UP-356", "SERIES_CEDAR5", 3, 2, false, "R2.000" },
    { "HB-361", "SERIES_CEDAR5", 3, 2, false, "R1.000", 1 },
    { "HB-361", "SERIES_CEDAR5", 3, 2, false, "R1.000", 1 },
    { "HB-361", "SERIES_CEDAR5", 3, 2, false, "R1.000", 1 },
    { "OK-362", "SERIES_CEDAR5", 3 },
    { "OK-362", "SERIES_CEDAR5", 3 },
};
constexpr int FleetSize = int(std::size(Fleet));
const QString NewVersion = QStringLiteral("2.000");

QHostAddress address(int i)
{
    return QHostAddress(QStringLiteral("127.0.77.%1").arg(i + 1));
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

}

class TestQuillonCtl : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_serverRoot;
    FwServer m_server;
    SimFleet m_fleet;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QUILLON_FIRMWARE_URL"), m_server.url(QString()).toString());
        return env;
    }

    void start(QProcess &process, const QStringList &arguments) const
    {
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(QUILLONCTL_PATH), arguments + QStringList { QStringLiteral("--test-short-waits") });
    }

    // The display restarted on its old firmware, so that an update has something to do.
    bool restartOnOldFirmware(int i)
    {
        SimDisplay *display = m_fleet.display(address(i));
        display->stop();
        SimDisplayConfig c = display->config();
        c.mainFwVersion = QStringLiteral("R1.000");
        display->setConfig(c);
        return display->start(address(i)) == 0;
    }

    // Waits until a running quillonctl (with --verbose) has started an update; err collects its
    // standard error. False when it ended first or never started one.
    static bool waitForUpdateStart(QProcess &process, QByteArray &err)
    {
        const bool seen = QTest::qWaitFor([&] {
            err += process.readAllStandardError();
            return err.contains("Starting update.") || process.state() == QProcess::NotRunning;
        }, 60000);
        return seen && process.state() == QProcess::Running;
    }

    // Runs quillonctl with the event loop turning, so the displays and the server answer it.
    Run run(const QStringList &arguments, int timeoutMs = 90000)
    {
        QProcess process;
        start(process, arguments);
        Run result;
        if (!process.waitForStarted(10000))
            return result;
        (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    static QString range(int first, int last)
    {
        if (first == last)
            return address(first).toString();
        return QStringLiteral("127.0.77.%1 - %2").arg(first + 1).arg(last + 1);
    }

    // The result lines of a plain-text update: one per display, after the summary.
    static QList<QByteArray> resultLines(const QByteArray &out)
    {
        QList<QByteArray> lines;
        for (const QByteArray &line : out.split('\n')) {
            if (line.startsWith("127.0.77."))
                lines.append(line);
        }
        return lines;
    }

    int attempts(int i) const
    {
        return m_fleet.updateStats()->displays().value(address(i).toString()).attempts;
    }

    void writeCatalogue()
    {
        QList<ServedCatalogue::Release> releases;
        for (const Planned &p : Fleet)
            releases.append({ QString::fromLatin1(p.model), QString::fromLatin1(p.seriesName), p.powerPrep });
        QVERIFY(ServedCatalogue::write(m_serverRoot.path(), [this](const QString &name) { return m_server.url(name); },
                                       NewVersion, releases));
    }

    void startFleet()
    {
        QList<SimDisplayConfig> configs;
        for (int i = 0; i < FleetSize; ++i) {
            const Planned &p = Fleet[i];
            SimDisplayConfig c;
            c.modelName = QString::fromLatin1(p.model);
            c.serialNumber = QStringLiteral("77A%1").arg(i, 5, 10, QLatin1Char('0'));
            c.seriesCode = quint8(p.series);
            c.mainFwVersion = QString::fromLatin1(p.firmware);
            c.macAddress = QByteArray::fromHex("0016AA7700") + char(i);
            c.powerSaveSetting = p.powerSave;
            c.update.components = 1;
            c.update.rebootMs = 300;
            c.update.firmwareAfterMain = QStringLiteral("R2.000");
            c.update.legacyQuietMs = 1;
            c.update.abandonMs = 5000;
            c.update.checkPolls = 1;
            c.update.progressStep = p.progressStep;
            if (p.fault == 1)
                c.update.updateFailComponent = 1;
            configs.append(c);
        }
        QCOMPARE(m_fleet.start(address(0), configs), 0);
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("the displays' web servers need port 80");
        QVERIFY(m_home.isValid() && m_serverRoot.isValid());
        m_server.setRoot(m_serverRoot.path());
        m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
        QVERIFY(m_server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
        writeCatalogue();
        startFleet();
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("bad targets") << QStringList { "search", "--targets", "127.0.77.1, 127.0.77.x" } << "item 2";
        QTest::newRow("block over the limit") << QStringList { "search", "--targets", "127.0.77.1, 127.0.64.0/19" }
                                              << "item 2 brings the list over 4096 addresses";
        QTest::newRow("bad block") << QStringList { "search", "--targets", "127.0.77.0/33" } << "CIDR block";
        QTest::newRow("no command") << QStringList {} << "No command";
        QTest::newRow("unknown command") << QStringList { "flash" } << "flash";
        QTest::newRow("limit") << QStringList { "update", "--limit", "7" } << "--limit";
        QTest::newRow("foreign option") << QStringList { "search", "--yes" } << "--yes";
        QTest::newRow("download without model") << QStringList { "download" } << "--model";
        QTest::newRow("usb without drive") << QStringList { "usb", "--model", "CG-343" } << "--drive";
        QTest::newRow("max failures above 99") << QStringList { "update", "--max-failures", "100" } << "--max-failures";
        QTest::newRow("max failures negative") << QStringList { "update", "--max-failures", "-1" } << "--max-failures";
        QTest::newRow("max failures not a number") << QStringList { "update", "--max-failures", "3x" } << "--max-failures";
        QTest::newRow("rollout on search") << QStringList { "search", "--first-per-model" } << "--first-per-model";
    }

    // --help tells a script what each exit code means and what Ctrl-C does.
    void helpNamesExitCodesAndInterrupts()
    {
        const Run result = run({ "--help" });
        QCOMPARE(result.exitCode, 0);
        for (const char *text : { "Exit codes:", "  0  done", "  1  failed", "  2  usage error", "  3  update without --yes",
                                  "Ctrl-C during an update:", "once ", "twice " })
            QVERIFY2(result.out.contains(text) || result.err.contains(text), text);
    }

    // A usage error ends before any traffic: no display hears a search.
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const int searchesBefore = m_fleet.displays().first()->requestLog().count(SimLogEntry::Channel::Search);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains(named.toUtf8()), result.err.constData());
        QVERIFY(result.out.isEmpty());
        QCOMPARE(m_fleet.displays().first()->requestLog().count(SimLogEntry::Channel::Search), searchesBefore);
    }

    void searchJsonMatchesFleet()
    {
        const Run result = run({ "search", "--targets", range(0, FleetSize - 1), "--json" });
        QCOMPARE(result.exitCode, 0);
        QJsonParseError error;
        const QJsonArray array = QJsonDocument::fromJson(result.out, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(array.size(), FleetSize);
        for (int i = 0; i < FleetSize; ++i) {
            const Planned &p = Fleet[i];
            const auto found = std::find_if(array.begin(), array.end(), [i](const QJsonValue &v) {
                return v.toObject().value("address").toString() == address(i).toString();
            });
            QVERIFY2(found != array.end(), qPrintable(address(i).toString()));
            const QJsonObject display = found->toObject();
            QCOMPARE(display.value("model").toString(), QString::fromLatin1(p.model));
            QCOMPARE(display.value("serial").toString(), QStringLiteral("77A%1").arg(i, 5, 10, QLatin1Char('0')));
            QCOMPARE(display.value("firmware").toString(), QString::fromLatin1(p.firmware));
            QCOMPARE(display.value("power").toString(), QStringLiteral("Power On"));
            const bool isNew = qstrcmp(p.firmware, "R1.000") == 0;
            QCOMPARE(display.value("update_available").toBool(), isNew);
            QCOMPARE(display.value("status").toString(),
                     isNew ? QStringLiteral("New version %1 available").arg(NewVersion) : QStringLiteral("Up-to-date"));
            // What the window's extra columns and the catalogue add, for scripts.
            QCOMPARE(display.value("firmware_status").toString(),
                     isNew ? QStringLiteral("new_lan") : QStringLiteral("up_to_date"));
            QCOMPARE(display.value("latest_version").toString(), NewVersion);
            QVERIFY2(QRegularExpression(QStringLiteral("^([0-9A-Fa-f]{2}-){5}[0-9A-Fa-f]{2}$"))
                             .match(display.value("mac").toString()).hasMatch(),
                     qPrintable(display.value("mac").toString()));
            QVERIFY(display.value("asset_tag").isString());
        }
    }

    // A CIDR block finds the same displays as the range of its host addresses.
    void searchTakesCidrBlocks()
    {
        const Run block = run({ "search", "--targets", "127.0.77.0/29", "--json" });
        QVERIFY2(block.exitCode == 0, block.err.constData());
        QStringList found;
        for (const QJsonValue &v : QJsonDocument::fromJson(block.out).array())
            found << v.toObject().value("address").toString();
        found.sort();
        QStringList expected;
        for (int i = 0; i < 6; ++i)
            expected << address(i).toString();
        QCOMPARE(found, expected);
    }

    // Standard error holds progress and errors; the log lines every step writes come with
    // --verbose only.
    void logLinesOnlyWhenVerbose_data()
    {
        QTest::addColumn<bool>("verbose");
        QTest::newRow("quiet") << false;
        QTest::newRow("verbose") << true;
    }

    void logLinesOnlyWhenVerbose()
    {
        QFETCH(bool, verbose);
        QStringList arguments { "search", "--targets", range(0, 1) };
        if (verbose)
            arguments << "--verbose";
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.contains("Found 2 display(s) on LAN"), result.err.constData());
        QCOMPARE(result.err.contains("Firmware catalogue URL:"), verbose);
        QVERIFY(!result.out.contains("Firmware catalogue URL:"));
    }

    void searchTextListsEveryDisplay()
    {
        const Run result = run({ "search", "--targets", range(0, 2) });
        QCOMPARE(result.exitCode, 0);
        const QList<QByteArray> lines = result.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 4); // header and three displays
        for (int i = 0; i < 3; ++i) {
            const QByteArray line = lines.at(i + 1);
            QVERIFY2(line.startsWith(address(i).toString().toUtf8()) && line.contains(Fleet[i].model)
                             && line.contains("R1.000") && line.contains("New version 2.000 available"),
                     line.constData());
        }
    }

    // The offline download of named models (any case) lands in the window's cache folder.
    void downloadFetchesNamedModels()
    {
        const QString cache = m_home.filePath(QStringLiteral("data/Halvern/Quillon/Firmware"));
        const Run result = run({ "download", "--model", "UP-356", "--model", "fx-350", "--json" });
        QVERIFY2(result.exitCode == 0, result.err.constData());
        const QJsonArray array = QJsonDocument::fromJson(result.out).array();
        QCOMPARE(array.size(), 2);
        for (const char *model : { "UP-356", "FX-350" }) {
            const QString name = QString::fromLatin1(model) + QStringLiteral(".bin");
            QCOMPARE(TestFiles::readFile(QDir(cache).filePath(name)), ServedCatalogue::package(name));
        }
        const Run unknown = run({ "download", "--model", "NO-SUCH" });
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.contains("NO-SUCH"));
    }

    // A drive whose file system the release does not accept is left untouched, as in the dialog.
    void usbRefusesUnsuitableDrive()
    {
        SKIP_WITHOUT_MOUNTED_VOLUMES();
        QTemporaryDir drive;
        QVERIFY(TestFiles::writeFile(drive.filePath(QStringLiteral("old.bin")), "old"));
        const Run result = run({ "usb", "--model", "CG-343", "--drive", drive.path() });
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("is not one this firmware can be installed from"), result.err.constData());
        QCOMPARE(QDir(drive.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "old.bin" });
        const Run unknown = run({ "usb", "--model", "NO-SUCH", "--drive", drive.path() });
        QCOMPARE(unknown.exitCode, 2);
    }

    // Without --yes the summary is shown and nothing reaches any display: no update request, and
    // no power-save change either.
    void updateWithoutYesChangesNothing()
    {
        m_fleet.updateStats()->reset();
        const Run result = run({ "update", "--targets", range(0, 8), "--limit", "5" });
        QCOMPARE(result.exitCode, 3);
        QVERIFY2(result.out.contains("The firmware on the following 9 display(s) is about to be updated."),
                 result.out.constData());
        QVERIFY(result.out.contains("See note 2."));
        QVERIFY(result.out.contains("Note 2:"));
        QVERIFY(!result.out.contains("<"));
        // Nothing is asked: the run tells what it did not do and how to do it.
        QVERIFY2(!result.out.contains("Are you sure") && !result.err.contains("Are you sure"), result.out.constData());
        QVERIFY2(result.err.contains("Nothing was changed. Run again with --yes to update these displays."),
                 result.err.constData());
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(attempts(i), 0);
            const SimDisplay *display = m_fleet.display(address(i));
            QCOMPARE(display->config().powerSaveSetting, Fleet[i].powerSave);
            for (const SimLogEntry &entry : display->requestLog().entries())
                QVERIFY2(entry.channel != SimLogEntry::Channel::Web || entry.request.startsWith("GET "), entry.request.constData());
        }
    }

    // Mixed series, limit five: every display completes and comes back with the new version,
    // and the displays never saw more than five updates at once.
    void updateBatchWithinLimitFive()
    {
        m_fleet.updateStats()->reset();
        const Run result = run({ "update", "--targets", range(0, 8), "--limit", "5", "--yes", "--json" }, 180000);
        QVERIFY2(result.exitCode == 0, result.err.right(3000).constData());
        QJsonParseError error;
        const QJsonArray array = QJsonDocument::fromJson(result.out, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(array.size(), 9);
        for (const QJsonValue &value : array) {
            const QJsonObject line = value.toObject();
            QVERIFY2(line.value("result").toInt() == 3, qPrintable(line.value("result_text").toString()));
            QCOMPARE(line.value("firmware_before").toString(), QStringLiteral("R1.000"));
            QCOMPARE(line.value("firmware_after").toString(), QStringLiteral("R2.000"));
            QVERIFY(line.value("firmware_after_verified").toBool());
            QVERIFY(line.value("result_text").toString().startsWith(QStringLiteral("Success")));
        }
        QVERIFY2(m_fleet.updateStats()->maxConcurrent() <= 5, qPrintable(QString::number(m_fleet.updateStats()->maxConcurrent())));
        QVERIFY(m_fleet.updateStats()->maxConcurrent() >= 2);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(attempts(i), 1);
        // The series 1 and 2 displays were switched "Off" before their updates.
        QCOMPARE(m_fleet.display(address(0))->config().powerSaveSetting, 2);
        QCOMPARE(m_fleet.display(address(1))->config().powerSaveSetting, 2);
        // Progress went to standard error; the log lines did not, without --verbose.
        QVERIFY2(result.err.contains("Updating firmware on "), result.err.right(3000).constData());
        QVERIFY(!result.err.contains("Starting update."));
    }

    // A display not running the new firmware afterwards is a failed update, whatever the session
    // said: the line says what was found and the exit code is 1.
    void failedUpdateExitsOne_data()
    {
        QTest::addColumn<int>("updateFailComponent");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("otherDisplay");
        QTest::addColumn<bool>("neverBack");
        QTest::addColumn<QString>("text");
        QTest::newRow("update fails") << 1 << "R2.000" << false << false << QString();
        QTest::newRow("back on its old version") << -1 << "R1.000" << false << false
                                                 << "Version after update is R1.000, expected 2.000";
        QTest::newRow("another display at the address") << -1 << "R2.000" << true << false
                                                        << "Another display answers at this address (serial 77B00009, "
                                                           "expected 77A00009)";
        QTest::newRow("never back") << -1 << "R2.000" << false << true
                                    << "The display did not answer after the update — check it before switching it off";
    }

    void failedUpdateExitsOne()
    {
        QFETCH(int, updateFailComponent);
        QFETCH(QString, after);
        QFETCH(bool, otherDisplay);
        QFETCH(bool, neverBack);
        QFETCH(QString, text);
        SimDisplay *display = m_fleet.display(address(9));
        QVERIFY(display);
        // Each row starts from the display as the fleet planned it, on its old version.
        display->stop();
        SimDisplayConfig c = display->config();
        c.serialNumber = QStringLiteral("77A00009");
        c.mainFwVersion = QStringLiteral("R1.000");
        c.update.updateFailComponent = updateFailComponent;
        c.update.firmwareAfterMain = after;
        c.update.neverReturn = neverBack;
        display->setConfig(c);
        QCOMPARE(display->start(address(9)), 0);
        QMetaObject::Connection other;
        if (otherDisplay) {
            other = connect(display, &SimDisplay::stateChanged, this, [display] {
                if (display->isRebooting())
                    display->state().serialNumber = QStringLiteral("77B00009");
            });
        }

        const Run result = run({ "update", "--targets", range(9, 9), "--yes" });
        disconnect(other);
        QCOMPARE(result.exitCode, 1);
        const QList<QByteArray> lines = resultLines(result.out);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.last().startsWith(address(9).toString().toUtf8() + "  FX-350"), result.out.constData());
        QVERIFY(!lines.last().contains("Success"));
        if (!text.isEmpty())
            QVERIFY2(lines.last().contains(text.toUtf8()), lines.last().constData());
    }

    void nothingToUpdateExitsZero()
    {
        const Run result = run({ "update", "--targets", range(15, 15), "--yes", "--json" });
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(result.out).array().size(), 0);
        QCOMPARE(attempts(15), 0);
    }

    // Ctrl-C in a batch: the queued displays are never touched, the running one settles, and
    // every display's result is printed.
    void interruptCancelsQueuedAndLetsRunningSettle()
    {
        m_fleet.updateStats()->reset();
        QProcess process;
        // --verbose: the log line of the first start tells when to interrupt.
        start(process, { "update", "--targets", range(10, 12), "--limit", "1", "--yes", "--verbose" });
        QVERIFY(process.waitForStarted(10000));
        QByteArray err;
        QVERIFY(waitForUpdateStart(process, err));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000));
        err += process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.contains("queued updates cancelled"), err.constData());
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY2(out.contains("The firmware on the following 3 display(s) is about to be updated."), out.constData());
        const QList<QByteArray> lines = resultLines(out);
        QCOMPARE(lines.size(), 3);
        int succeeded = 0;
        int cancelled = 0;
        for (const QByteArray &line : lines) {
            succeeded += line.contains("Success") ? 1 : 0;
            cancelled += line.contains("cancelled before it started") ? 1 : 0;
        }
        QCOMPARE(succeeded, 1);
        QCOMPARE(cancelled, 2);
        QCOMPARE(attempts(10) + attempts(11) + attempts(12), 1);
        QCOMPARE(m_fleet.updateStats()->current(), 0);
    }

    // One display of each model first: HB-361's first fails and its other two are never asked;
    // OK-362 goes on. The displays not started are reported with result 0 and why; exit 1.
    void firstPerModelHoldsBackTheFailingModel()
    {
        m_fleet.updateStats()->reset();
        const Run result = run({ "update", "--targets", range(16, 20), "--first-per-model", "--yes", "--json" }, 180000);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("Rollout: one display of each model first"), result.err.constData());
        const QJsonArray array = QJsonDocument::fromJson(result.out).array();
        QCOMPARE(array.size(), 5);
        int failed = 0;
        int heldBack = 0;
        for (const QJsonValue &value : array) {
            const QJsonObject line = value.toObject();
            const QJsonObject rollout = line.value("rollout").toObject();
            QCOMPARE(rollout.value("first_per_model").toBool(), true);
            QCOMPARE(rollout.value("max_failures").toInt(-1), 0);
            if (line.value("model").toString() == QLatin1String("OK-362")) {
                QCOMPARE(line.value("result").toInt(), 3);
                QVERIFY(line.value("firmware_after_verified").toBool());
            } else if (line.value("result").toInt() == 0) {
                ++heldBack;
                QCOMPARE(line.value("result_text").toString(), QStringLiteral("Not started: the first display of this model failed"));
                QCOMPARE(line.value("started").toString(), QString());
                QCOMPARE(line.value("firmware_after").toString(), QStringLiteral("R1.000"));
            } else {
                ++failed;
                QVERIFY(line.value("result").toInt() != 3);
            }
        }
        QCOMPARE(failed, 1);
        QCOMPARE(heldBack, 2);
        QCOMPARE(attempts(16) + attempts(17) + attempts(18), 1);
        QCOMPARE(attempts(19), 1);
        QCOMPARE(attempts(20), 1);
    }

    // The saved limit of failures applies when the command line says nothing: the first failure
    // stops the batch, the others are listed as not started.
    void savedMaxFailuresStopsTheBatch()
    {
        m_fleet.updateStats()->reset();
        const QString conf = m_home.filePath(QStringLiteral("config/Halvern/Quillon.conf"));
        QVERIFY(TestFiles::writeFile(conf, "[Settings]\nRolloutMaxFailures=1\n"));
        const Run result = run({ "update", "--targets", range(16, 18), "--limit", "1", "--yes" }, 180000);
        QFile::remove(conf);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.out.contains("Rollout: stop after 1 failure"), result.out.constData());
        const QList<QByteArray> lines = resultLines(result.out);
        QCOMPARE(lines.size(), 3);
        int stopped = 0;
        for (const QByteArray &line : lines)
            stopped += line.contains("Not started: the batch stopped after 1 failure") ? 1 : 0;
        QCOMPARE(stopped, 2);
        QCOMPARE(attempts(16) + attempts(17) + attempts(18), 1);
    }

    // A second Ctrl-C leaves at once and names the display left mid-update.
    void secondInterruptExitsNamingDisplays_data()
    {
        QTest::addColumn<bool>("json");
        QTest::newRow("text") << false;
        QTest::newRow("json") << true;
    }

    void secondInterruptExitsNamingDisplays()
    {
        QFETCH(bool, json);
        // Both displays start each row on their old version.
        for (int i : { 13, 14 })
            QVERIFY(restartOnOldFirmware(i));
        QProcess process;
        QStringList arguments { "update", "--targets", range(13, 14), "--limit", "1", "--yes", "--verbose" };
        if (json)
            arguments << "--json";
        start(process, arguments);
        QVERIFY(process.waitForStarted(10000));
        QByteArray err;
        QVERIFY(waitForUpdateStart(process, err));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(QTest::qWaitFor([&] {
            err += process.readAllStandardError();
            return err.contains("queued updates cancelled");
        }, 10000));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 5000));
        err += process.readAllStandardError();
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.contains("left mid-update"), err.constData());
        QVERIFY(err.contains("SL-354") || err.contains("SL-355"));
        const QByteArray out = process.readAllStandardOutput();
        if (!json)
            return;
        // Standard output is still one JSON array: the running display with its running status,
        // the cancelled one as not updated.
        QJsonParseError error;
        const QJsonArray array = QJsonDocument::fromJson(out, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(array.size(), 2);
        QSet<int> results;
        for (const QJsonValue &value : array)
            results.insert(value.toObject().value("result").toInt());
        QVERIFY2(results.contains(2), out.constData());
    }

    // A quillonctl killed mid-update leaves its attempt pending in the history; the next start
    // of any command finds it, says so on standard error, and the history lists it interrupted.
    void killedMidUpdateIsFoundAtTheNextStart()
    {
        QVERIFY(restartOnOldFirmware(13));
        QProcess process;
        start(process, { "update", "--targets", address(13).toString(), "--yes", "--verbose" });
        QVERIFY(process.waitForStarted(10000));
        QByteArray err;
        QVERIFY(waitForUpdateStart(process, err));
        ::kill(pid_t(process.processId()), SIGKILL);
        QVERIFY(process.waitForFinished(5000));

        // Earlier tests left displays mid-update too; the update run above reported those.
        const Run listed = run({ "history", "--interrupted", "--json", "--address", address(13).toString() });
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.err.contains("An update was interrupted on 1 display"), listed.err.constData());
        QVERIFY2(listed.err.contains(address(13).toString().toUtf8()), listed.err.constData());
        QJsonObject newest;
        for (const QJsonValue &value : QJsonDocument::fromJson(listed.out).array()) {
            if (value.toObject().value("id").toInteger() > newest.value("id").toInteger())
                newest = value.toObject();
        }
        QCOMPARE(newest.value("address").toString(), address(13).toString());
        QCOMPARE(newest.value("state").toString(), QStringLiteral("interrupted"));
        QCOMPARE(newest.value("front_end").toString(), QStringLiteral("quillonctl"));
        QCOMPARE(newest.value("firmware_before").toString(), QStringLiteral("R1.000"));

        // Reported once: the next start finds nothing new.
        const Run again = run({ "history", "--interrupted", "--json", "--address", address(13).toString() });
        QVERIFY2(!again.err.contains("An update was interrupted"), again.err.constData());
        QCOMPARE(QJsonDocument::fromJson(again.out).array().size(), QJsonDocument::fromJson(listed.out).array().size());
    }
};

QTEST_GUILESS_MAIN(TestQuillonCtl)
#include "tst_quillonctl.moc"
