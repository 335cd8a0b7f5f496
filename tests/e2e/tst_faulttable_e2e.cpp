#include "catalogue/FirmwareDatabase.h"
#include "common/Leftovers.h"
#include "common/LogCapture.h"
#include "common/TestCatalogue.h"
#include "common/TestFiles.h"
#include "control/TcpClient.h"
#include "discovery/DisplaySearchUDP.h"
#include "download/DownloadExtractFirmware.h"
#include "download/FileDownloader.h"
#include "flows/DownloadController.h"
#include "fwserver/FwServer.h"
#include "queue/UpdateQueue.h"
#include "records/DisplayRowText.h"
#include "records/DisplayTableState.h"
#include "search/SearchOrchestrator.h"
#include "update/HttpClient.h"
#include "update/UpdateStatusText.h"

#include "SimDisplay.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <functional>
#include <memory>

// The fault table: the real engine, without a window, against simulated displays and the local
// firmware server, once per way a display or the server can fail. Every row states where the
// display's row (or the download) must end, within a bounded time, and that nothing is left
// behind: no query, session or job object, no running timer, no socket still open towards the
// simulator, no open file in the cache and no partial package in it.
//
// Addresses: search and control on 127.0.150.x (the search listens on 127.0.150.1, so it runs
// beside other tests that use the search port), web updates on 127.0.151.x, the firmware server
// on 127.0.152.1.
namespace {

using Configure = std::function<void(SimDisplayConfig &)>;

const QHostAddress SearchAddress(QStringLiteral("127.0.150.1"));
const QHostAddress ServerAddress(QStringLiteral("127.0.152.1"));
constexpr quint16 SearchWebPort = 18150;
constexpr quint16 UpdateWebPort = 18151;
constexpr quint16 UpdateControlPort = 17151;
// Off the search port: the update displays are never searched for.
constexpr quint16 UpdateSearchPort = 15151;

const QString Model = QStringLiteral("PX-551");
const QString Serial = QStringLiteral("61A00001BA");
const QString NewVersion = QStringLiteral("R2.000");
const QString Package = QStringLiteral("px551.zip");

// How long the engine must stay quiet after it settled: no traffic, no signal.
constexpr int QuietMs = 150;
// How long a package download may go without a byte here; above the "first byte late" row's delay.
constexpr int StallMs = 1500;

using LogCapture::logged;

QString rowText(const DisplayEntry &entry)
{
    return DisplayRowText::statusText(entry, true, &UpdateStatusText::text);
}

SimStepFault stepFault(const QByteArray &step, int status)
{
    SimStepFault fault;
    fault.step = step;
    fault.status = status;
    return fault;
}

// Per-query objects that must be gone once the engine has settled.
template<typename T>
int objectsUnder(const QObject *root)
{
    return int(root->findChildren<T *>().size());
}

void flushDeferredDeletes()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace

Q_DECLARE_METATYPE(Configure)
Q_DECLARE_METATYPE(FwBehaviour)

class tst_FaultTableE2E : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void searchAndControl_data();
    void searchAndControl();
    void webUpdate_data();
    void webUpdate();
    void firmwareServer_data();
    void firmwareServer();

private:
    // A fresh address per row, so no row meets what an earlier one left on the simulator's side.
    QHostAddress nextAddress(int subnet)
    {
        return QHostAddress(QStringLiteral("127.0.%1.%2").arg(subnet).arg(++m_last));
    }

    QTemporaryDir m_dir;
    FirmwareDatabase m_noCatalogue;
    int m_last = 9;

    // The firmware server and its catalogue, shared by the firmware rows.
    FwServer m_server;
    std::unique_ptr<TestCatalogue> m_catalogue;
    FirmwareDatabase m_serverDatabase;
    int m_package = -1;
};

void tst_FaultTableE2E::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QUdpSocket probe;
    QVERIFY2(probe.bind(SearchAddress, 5320, QUdpSocket::ShareAddress), "127.0.150.1:5320 cannot be bound");
    probe.close();

    const QString root = m_dir.filePath(QStringLiteral("server"));
    QVERIFY(QDir().mkpath(root));
    m_server.setRoot(root);
    m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
    QVERIFY(m_server.listen(ServerAddress));
    m_catalogue = std::make_unique<TestCatalogue>(root, m_server.url(QString()));
    // Two members: a good download is unpacked and each file checked.
    m_package = m_catalogue->addZip(Package, { 150000, 60000 }, { Model });
    m_serverDatabase = m_catalogue->database();
}

void tst_FaultTableE2E::init()
{
    LogCapture::start();
}

void tst_FaultTableE2E::cleanup()
{
    LogCapture::stop();
}

// ---- Search and control: a targeted search for one display, then its control query. ----

void tst_FaultTableE2E::searchAndControl_data()
{
    QTest::addColumn<Configure>("configure");
    QTest::addColumn<int>("rows");          // rows the search leaves in the table
    QTest::addColumn<int>("commStatus");
    QTest::addColumn<QString>("text");      // the row's status text
    QTest::addColumn<QString>("serial");    // read over the control protocol only
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("power");         // read before the serial number
    QTest::addColumn<int>("lock");          // checked after it: -1 when the query ended before
    QTest::addColumn<int>("boundMs");

    const QString noComm = QStringLiteral("Unable to communicate with display.");
    const auto misbehave = [](const std::function<void(SimMisbehaviour &)> &change) {
        return Configure([change](SimDisplayConfig &c) { change(c.misbehaviour); });
    };
    // A search that gets no usable reply runs its four ticks, here of 100 ms.
    const int searchBound = 2000;
    // An answered targeted search ends at once; a silent item costs five sends of 150 ms.
    const int controlBound = 5000;

    QTest::newRow("answers everything") << Configure() << 1 << 0 << "" << Serial << "R1.200" << 1 << 0 << controlBound;
    QTest::newRow("search: silent") << misbehave([](SimMisbehaviour &m) { m.searchSilent = true; })
                                    << 0 << 0 << "" << "" << "" << 0 << 0 << searchBound;
    QTest::newRow("search: wrong sequence") << misbehave([](SimMisbehaviour &m) { m.wrongSequence = true; })
                                            << 0 << 0 << "" << "" << "" << 0 << 0 << searchBound;
    QTest::newRow("search: 255-byte reply") << misbehave([](SimMisbehaviour &m) { m.searchReplySize = 255; })
                                            << 0 << 0 << "" << "" << "" << 0 << 0 << searchBound;
    QTest::newRow("search: wrong magic") << misbehave([](SimMisbehaviour &m) { m.wrongMagic = true; })
                                         << 0 << 0 << "" << "" << "" << 0 << 0 << searchBound;
    QTest::newRow("control: refused")
            << misbehave([](SimMisbehaviour &m) { m.control = SimMisbehaviour::Listener::Refuse; })
            << 1 << 1 << noComm << "" << "R1.200" << -1 << -1 << controlBound;
    QTest::newRow("control: no reply at all")
            << misbehave([](SimMisbehaviour &m) { m.control = SimMisbehaviour::Listener::NeverReply; })
            << 1 << 1 << noComm << "" << "R1.200" << -1 << -1 << controlBound;
    // The serial number is given up; what came before and after it is kept.
    QTest::newRow("control: one item silent") << misbehave([](SimMisbehaviour &m) { m.silentItems = { "C216" }; })
                                              << 1 << 1 << noComm << "" << "R1.200" << 1 << 0 << controlBound;
    // Unsupported main firmware read: the read by index takes its place.
    QTest::newRow("control: BE for the main firmware")
            << Configure([](SimDisplayConfig &c) {
                   c.searchReportsFirmware = false;
                   c.misbehaviour.beItems = { "C03F" };
               })
            << 1 << 0 << "" << Serial << "R1.200" << 1 << 0 << controlBound;
    QTest::newRow("control: reply split over two reads")
            << misbehave([](SimMisbehaviour &m) { m.splitItems = { "C216" }; })
            << 1 << 1 << noComm << "" << "R1.200" << 1 << -1 << controlBound;
    QTest::newRow("control: bad check code") << misbehave([](SimMisbehaviour &m) { m.badCheckItems = { "C216" }; })
                                             << 1 << 1 << noComm << "" << "R1.200" << 1 << -1 << controlBound;
    // The display hangs up at the third item: a socket error, so the query ends with what it has.
    QTest::newRow("control: closed mid-query") << misbehave([](SimMisbehaviour &m) { m.closeAfterItems = 2; })
                                               << 1 << 1 << noComm << "" << "R1.200" << 1 << -1 << controlBound;
    // Every answer comes after the time-out: the query gives the display up as a whole.
    QTest::newRow("control: every reply late")
            << misbehave([](SimMisbehaviour &m) { m.replyDelayMs = 400; })
            << 1 << 1 << noComm << "" << "R1.200" << -1 << -1 << controlBound;
}

void tst_FaultTableE2E::searchAndControl()
{
    QFETCH(Configure, configure);
    QFETCH(int, rows);
    QFETCH(int, boundMs);

    SimDisplayConfig config;
    config.modelName = Model;
    config.serialNumber = Serial;
    config.seriesCode = 3;
    config.mainFwVersion = QStringLiteral("R1.200");
    config.webPort = SearchWebPort;
    if (configure)
        configure(config);
    const QHostAddress address = nextAddress(150);
    SimDisplay display(config);
    QCOMPARE(display.start(address), 0);

    DisplayTableState state;
    state.targetAddresses = { address };
    DisplaySearchUDP udp(nullptr, SearchAddress);
    udp.setTickInterval(100);
    SearchOrchestrator search(state, m_noCatalogue, nullptr, &udp);
    search.setPorts(SearchOrchestrator::ControlPort, SearchWebPort);
    search.setControlTimeouts(150, 500);
    QSignalSpy evaluated(&search, &SearchOrchestrator::evaluated);
    QSignalSpy messages(&search, &SearchOrchestrator::statusMessage);

    QElapsedTimer clock;
    clock.start();
    search.startSearch(false);
    QTRY_VERIFY_WITH_TIMEOUT(!state.searching && state.pendingControlRequests == 0
                                     && (rows == 0 || !evaluated.isEmpty()),
                             boundMs);
    QVERIFY2(clock.elapsed() < boundMs, qPrintable(QString::number(clock.elapsed())));

    QCOMPARE(int(state.displayEntries.size()), rows);
    QCOMPARE(messages.last().at(0).toString(), QStringLiteral("Found %1 display(s) on LAN").arg(rows));
    if (rows > 0) {
        const DisplayEntry &row = state.displayEntries.at(0);
        QCOMPARE(row.modelName, Model);
        QTEST(row.commStatus, "commStatus");
        QTEST(rowText(row), "text");
        QTEST(row.serialNumber, "serial");
        QTEST(row.currentFirmware, "firmware");
        QTEST(row.powerState, "power");
        QTEST(row.lockStatus, "lock");
        QVERIFY(!row.controlRequest);
    }

    // Nothing left behind.
    flushDeferredDeletes();
    QCOMPARE(objectsUnder<TcpClient>(&search), 0);
    QVERIFY(!udp.isSearching());
    QCOMPARE(Leftovers::activeTimersUnder(&search), 0);
    QCOMPARE(Leftovers::activeTimersUnder(&udp), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Leftovers::connectionsTo(address, { SearchOrchestrator::ControlPort, SearchWebPort },
                                                       Leftovers::stillOpen()),
                              0, 2000);
    // The search's socket was closed with the search.
    QCOMPARE(Leftovers::udpSocketsOn(SearchAddress, 5320), 0);
    const qsizetype traffic = display.requestLog().entries().size();
    const qsizetype signalsBefore = messages.size() + evaluated.size();
    QTest::qWait(QuietMs);
    QCOMPARE(display.requestLog().entries().size(), traffic);
    QCOMPARE(messages.size() + evaluated.size(), signalsBefore);
}

// ---- LAN update: one checked, downloaded row through the queue and its session. ----

void tst_FaultTableE2E::webUpdate_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<Configure>("configure");
    QTest::addColumn<int>("result");        // the row's resultStatus
    QTest::addColumn<QString>("text");      // the row's status text
    QTest::addColumn<QString>("logLine");   // a line the log must hold; empty: none asked for
    QTest::addColumn<int>("boundMs");

    const auto faults = [](const QList<SimStepFault> &list) {
        return Configure([list](SimDisplayConfig &c) { c.update.faults = list; });
    };
    const auto update = [](const std::function<void(SimUpdateConfig &)> &change) {
        return Configure([change](SimDisplayConfig &c) { change(c.update); });
    };
    const auto held = [](const QByteArray &step) {
        SimStepFault fault;
        fault.step = step;
        fault.neverReply = true;
        return fault;
    };
    const QString verified = QStringLiteral("Success. Verified: version R2.000");
    const QString noHttp = QStringLiteral("Error: Unable to communicate via HTTP.");
    const QString timeout = QStringLiteral("Error: Timeout.");
    const QString unableToUpload = QStringLiteral("Error: Unable to upload file.");
    const QString failed = QStringLiteral("Error: Update failed.");
    const QString timedOut = QStringLiteral("UPD_ERR_TIMEOUT");
    // Step time-outs of 1 s end after 2 whole seconds.
    const int bound = 8000;

    QTest::newRow("cgictrl: no fault") << 3 << Configure() << 3 << verified << "" << bound;
    struct StepError
    {
        const char *step;
        int result;
        const char *logLine;
    };
    const StepError stepErrors[] = {
        // The retry after a refused standby goes on with the state check; the display then
        // answers the upload, which came out of order, with "NG".
        { "standby", -1, "attempting retry" },
        { "fileDelete", -1, "Retry not handled." },
        { "stateCheck", -1, "Max errors exceeded." },
        // A failed upload is not sent again: the file check then waits for a package that never
        // comes, and its unchanging replies end in a time-out.
        { "upload", -3, "UPD_ERR_TIMEOUT" },
        { "checkResult", -1, "Max errors exceeded." },
        { "modeChange", -1, "Retry not handled." },
        { "update", -1, "Max errors exceeded." },
        { "result", -1, "Max errors exceeded." },
    };
    for (const int status : { 401, 500 }) {
        for (const StepError &e : stepErrors) {
            QTest::addRow("cgictrl: %d on %s", status, e.step)
                    << 3 << faults({ stepFault(e.step, status) }) << e.result << (e.result == -3 ? timeout : noHttp)
                    << e.logLine << bound;
        }
    }
    QTest::newRow("cgictrl: reply held past the step time-out")
            << 3 << faults({ held("checkResult") }) << -3 << timeout << timedOut << bound;
    SimStepFault dropped;
    dropped.step = "upload";
    dropped.dropAfterBytes = 50000;
    QTest::newRow("cgictrl: connection dropped mid-upload")
            << 3 << faults({ dropped }) << -3 << timeout << timedOut << bound;
    QTest::newRow("cgictrl: package fails its check")
            << 3 << update([](SimUpdateConfig &u) { u.checkFailComponent = 0; }) << -2 << unableToUpload << ""
            << bound;
    QTest::newRow("cgictrl: component fails its check")
            << 4 << update([](SimUpdateConfig &u) { u.checkFailComponent = 1; }) << -2 << unableToUpload << ""
            << bound;
    QTest::newRow("cgictrl: component fails its update")
            << 5 << update([](SimUpdateConfig &u) { u.updateFailComponent = 1; }) << 4 << failed << "" << bound;
    QTest::newRow("cgictrl: web server off")
            << 6 << Configure([](SimDisplayConfig &c) { c.misbehaviour.web = SimMisbehaviour::Listener::Refuse; })
            << -1 << noHttp << "Max errors exceeded." << bound;
    // Hostile replies: read within a bound, judged as no answer, never trusted.
    const auto answer = [](const QByteArray &step, const QByteArray &body, int repeat) {
        SimStepFault fault;
        fault.step = step;
        fault.body = body;
        fault.bodyRepeat = repeat;
        return fault;
    };
    QTest::newRow("cgictrl: 8 MB reply to the result poll")
            << 3 << faults({ answer("result", QByteArray(1024, '{'), 8192) }) << 4 << failed << "" << bound;
    QTest::newRow("cgictrl: garbage for the file check")
            << 3 << faults({ answer("checkResult", "\x01\xff<html>\"upload\":", 1) }) << -2 << unableToUpload << ""
            << bound;
    QTest::newRow("chunked: truncated JSON for the file check")
            << 9 << faults({ answer("checkResult", "{\"paccheck_result\": \"10", 1) }) << -2 << unableToUpload << ""
            << bound;
    QTest::newRow("stamped: state check held") << 10 << faults({ held("stateCheck") }) << -3 << timeout << timedOut
                                               << bound;
    QTest::newRow("chunked: 500 on the size announcement")
            << 9 << faults({ stepFault("announce", 500) }) << -1 << noHttp << "" << bound;
    QTest::newRow("legacy: every write fails")
            << 1 << update([](SimUpdateConfig &u) { u.legacyWriteFailures = 3; }) << -4 << "Error: Upload retry failed."
            << "Reply result: -1" << bound;
    QTest::newRow("tcp-assisted: no fault") << 11 << Configure() << 3 << verified << "COMPLETE" << bound;
    // The upload is streamed from the open firmware file: held or cut off, the file is closed.
    QTest::newRow("tcp-assisted: upload held") << 11 << faults({ held("upload") }) << -3 << timeout << timedOut
                                               << bound;
    QTest::newRow("tcp-assisted: connection dropped mid-upload")
            << 11 << faults({ dropped }) << 4 << failed << "" << bound;
    QTest::newRow("tcp-assisted: 401 on the upload")
            << 11 << faults({ stepFault("upload", 401) }) << 4 << failed
            << "Log into the display's HTTP page with your password" << bound;
    QTest::newRow("tcp-assisted: 500 on the upload")
            << 11 << faults({ stepFault("upload", 500) }) << 4 << failed
            << "HTTP Server was restored to disabled state." << bound;
    QTest::newRow("tcp-assisted: update never starts")
            << 11 << update([](SimUpdateConfig &u) { u.updateNeverStarts = true; }) << 4 << failed
            << "Error: Firmware update did not start within timeout." << bound;
    QTest::newRow("tcp-assisted: component fails its update")
            << 11 << update([](SimUpdateConfig &u) { u.updateFailComponent = 1; }) << 4 << failed
            << "Error: Display reported firmware update failed." << bound;
    QTest::newRow("tcp-assisted: HTTP server cannot be switched on")
            << 11 << update([](SimUpdateConfig &u) { u.httpServerEnableRejected = true; }) << 4 << failed
            << "Error: Request to enable HTTP Server didn't reply." << bound;
    QTest::newRow("tcp-assisted: control port silent")
            << 11
            << Configure([](SimDisplayConfig &c) { c.misbehaviour.control = SimMisbehaviour::Listener::NeverReply; })
            << -3 << timeout << timedOut << bound;
}

void tst_FaultTableE2E::webUpdate()
{
    QFETCH(int, series);
    QFETCH(Configure, configure);
    QFETCH(int, boundMs);

    const QString model = QStringLiteral("UP-%1").arg(series);
    const QString cache = m_dir.filePath(QStringLiteral("update-cache"));
    QDir(cache).removeRecursively();
    // The release's package is itself the firmware file, downloaded and verified already.
    TestCatalogue catalogue(m_dir.filePath(QStringLiteral("update-server")), QUrl(QStringLiteral("http://127.0.0.1/")));
    const QString fileName = model + QStringLiteral("_fw1.bin");
    const int release = catalogue.addPlain(fileName, 200000, { model });
    QVERIFY(catalogue.cacheFirmware(release, cache));
    const FirmwareDatabase database = catalogue.database();

    SimDisplayConfig config;
    config.modelName = model;
    config.serialNumber = Serial;
    config.seriesCode = quint8(series);
    config.mainFwVersion = QStringLiteral("R1.000");
    config.webPort = UpdateWebPort;
    config.controlPort = UpdateControlPort;
    config.searchPort = UpdateSearchPort;
    config.update.components = 1;
    config.update.checkPolls = 1;
    config.update.rebootMs = 200;
    config.update.legacyQuietMs = 300;
    config.update.abandonMs = 2000;
    config.update.firmwareAfterMain = NewVersion;
    if (configure)
        configure(config);
    const QHostAddress address = nextAddress(151);
    SimDisplay display(config);
    QCOMPARE(display.start(address), 0);

    DisplayTableState state;
    DisplayEntry entry;
    entry.selected = true;
    entry.downloadState = 3;
    entry.modelName = model;
    entry.serialNumber = Serial;
    entry.address = address;
    entry.updateAddress = address;
    entry.catalogueSeries = series;
    entry.displaySeries = series;
    entry.updateDurationSecs = 2;
    entry.componentCount = 1; // as the evaluation copies it from the catalogue
    entry.powerSaveMode = 2;
    entry.latestVersion = NewVersion;
    entry.currentFirmware = QStringLiteral("R1.000");
    entry.firmwareStatus = FirmwareStatus::NewForLan;
    state.displayEntries.append(entry);

    UpdateQueue queue(state, database, cache);
    queue.setTickInterval(20);
    SessionParams params;
    params.tickMs = 20;
    params.stepTimeoutSecs = 1;
    params.retryPauseMs = 50;
    params.waitMs = 100;
    params.legacyWritingWaitMs = 100;
    params.legacyTimeoutSecs = 2;
    params.tcpStepTimeoutSecs = 1;
    params.tcpStartTimeoutSecs = 1;
    params.updateStartWaitMs = 300;
    params.webPort = UpdateWebPort;
    params.controlPort = UpdateControlPort;
    queue.setSessionParams(params);
    UpdateVerifier::Params verify;
    verify.pollIntervalMs = 100;
    verify.maxWaitMs = 2000;
    verify.controlPort = UpdateControlPort;
    queue.setVerifierParams(verify);
    QSignalSpy finished(&queue, &UpdateQueue::allFinished);

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(queue.queueUpdates(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!queue.isTicking() && queue.verificationsRunning() == 0, boundMs);
    QVERIFY2(clock.elapsed() < boundMs, qPrintable(QString::number(clock.elapsed())));

    QCOMPARE(finished.count(), 1);
    const DisplayEntry &row = state.displayEntries.at(0);
    QTEST(row.resultStatus, "result");
    QTEST(rowText(row), "text");
    QFETCH(QString, logLine);
    QVERIFY2(logLine.isEmpty() || logged(logLine), qPrintable(logLine));
    QCOMPARE(row.updateStatus, 0);
    QVERIFY(!row.updateSession);
    // A failed row stays checked, so it can be started again.
    QCOMPARE(row.selected, row.resultStatus != 3);
    QCOMPARE(state.activeUpdates, 0);
    // The display's web server, switched on for the upload, is off again whatever happened.
    if (series == 11)
        QCOMPARE(display.config().vcpValues.value(0x11F0), quint16(1));

    // Nothing left behind.
    flushDeferredDeletes();
    QCOMPARE(queue.sessionCount(), 0);
    QCOMPARE(objectsUnder<HttpClient>(&queue), 0);
    QCOMPARE(objectsUnder<TcpClient>(&queue), 0);
    QCOMPARE(Leftovers::activeTimersUnder(&queue), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Leftovers::connectionsTo(address, { UpdateWebPort, UpdateControlPort },
                                                       Leftovers::stillOpen()),
                              0, 2000);
    QCOMPARE(Leftovers::openFilesIn(cache), 0);
    // The firmware file is read, never changed or removed.
    QCOMPARE(QDir(cache).entryList(QDir::Files), QStringList { fileName });
    const qsizetype traffic = display.requestLog().entries().size();
    QTest::qWait(QuietMs);
    QCOMPARE(display.requestLog().entries().size(), traffic);
    QCOMPARE(finished.count(), 1);
}

// ---- Firmware server: the update command's download of one zip package. ----

void tst_FaultTableE2E::firmwareServer_data()
{
    QTest::addColumn<FwBehaviour>("behaviour");
    QTest::addColumn<int>("cancelAfterMs");     // -1: the user does not cancel
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QString>("statusBar");     // the last status bar text
    QTest::addColumn<QString>("outcome");       // the text of the last job's status
    QTest::addColumn<int>("boundMs");
    QTest::addColumn<QStringList>("cache");     // what the cache folder holds afterwards

    const QString networkError = QStringLiteral(
            "An error occurred while downloading the firmware. Check Internet connectivity and try again.");
    QStringList firmware = m_catalogue->firmwareFiles(m_package);
    firmware.sort();
    const QStringList nothing;
    const QString ok = QStringLiteral("No error");
    const int bound = 6000;
    const auto behaviour = [](const std::function<void(FwBehaviour &)> &change) {
        FwBehaviour b;
        change(b);
        return b;
    };

    QTest::newRow("serves the package") << FwBehaviour() << -1 << true << "Download complete" << ok << bound
                                        << firmware;
    // A server that goes silent ends the download once no byte has moved for the stall bound
    // (shortened to StallMs here); the user may cancel before that.
    QTest::newRow("no first byte") << behaviour([](FwBehaviour &b) { b.neverAnswer = true; }) << -1 << false
                                   << "Download error" << networkError << bound << nothing;
    QTest::newRow("stalls mid-body") << behaviour([](FwBehaviour &b) {
        b.trickleBytes = 8192;
        b.trickleIntervalMs = 4 * StallMs;
    }) << -1 << false << "Download error" << networkError << bound << nothing;
    QTest::newRow("no first byte, cancelled")
            << behaviour([](FwBehaviour &b) { b.neverAnswer = true; }) << 500 << false << "Download canceled"
            << networkError << bound << nothing;
    QTest::newRow("first byte late") << behaviour([](FwBehaviour &b) { b.firstByteDelayMs = 700; }) << -1 << true
                                     << "Download complete" << ok << bound << firmware;
    QTest::newRow("404") << behaviour([](FwBehaviour &b) { b.forcedStatus = 404; }) << -1 << false
                         << "Download error" << networkError << bound << nothing;
    QTest::newRow("body cut off") << behaviour([](FwBehaviour &b) { b.closeAfterBytes = 30000; }) << -1 << false
                                  << "Download error" << networkError << bound << nothing;
    QTest::newRow("announces more than it sends")
            << behaviour([](FwBehaviour &b) { b.length = FwBehaviour::Length::TooLarge; }) << -1 << false
            << "Download error" << networkError << bound << nothing;
    // Cancelled while the body arrives: the part received is deleted.
    QTest::newRow("slow, cancelled mid-body") << behaviour([](FwBehaviour &b) {
        b.trickleBytes = 8192;
        b.trickleIntervalMs = 50;
    }) << 300 << false << "Download canceled" << networkError << bound << nothing;
    // Half the package under a Content-Length that says so: its checksum fails, and it stays for
    // the next command to find it wrong and fetch it again.
    QTest::newRow("announces less than it sends")
            << behaviour([](FwBehaviour &b) { b.length = FwBehaviour::Length::TooSmall; }) << -1 << false
            << "Download error" << "Error: Download file is corrupted (checksum failed)." << bound
            << QStringList { Package };
    QTest::newRow("no Content-Length") << behaviour([](FwBehaviour &b) { b.length = FwBehaviour::Length::Absent; })
                                       << -1 << true << "Download complete" << ok << bound << firmware;
    QTest::newRow("slow") << behaviour([](FwBehaviour &b) {
        b.trickleBytes = 16384;
        b.trickleIntervalMs = 40;
    }) << -1 << true << "Download complete" << ok << bound << firmware;
}

void tst_FaultTableE2E::firmwareServer()
{
    QFETCH(FwBehaviour, behaviour);
    QFETCH(int, cancelAfterMs);
    QFETCH(bool, succeeds);
    QFETCH(int, boundMs);

    const QString cache = m_dir.filePath(QStringLiteral("download-cache"));
    QDir(cache).removeRecursively();
    QVERIFY(QDir().mkpath(cache));
    m_server.setBehaviour(behaviour);

    FirmwareRelease release;
    QCOMPARE(m_serverDatabase.findRelease(Model, Serial, release), 0);
    DisplayTableState state;
    DisplayEntry entry;
    entry.modelName = Model;
    entry.serialNumber = Serial;
    entry.selected = true;
    entry.firmwareStatus = FirmwareStatus::NewForLan;
    entry.latestVersion = release.version;
    state.displayEntries.append(entry);

    DownloadController controller(state, m_serverDatabase, cache);
    controller.setStallTimeout(StallMs);
    QSignalSpy messages(&controller, &DownloadController::statusMessage);
    QSignalSpy confirmation(&controller, &DownloadController::confirmationRequested);

    QElapsedTimer clock;
    clock.start();
    controller.startUpdateDownloads();
    QCOMPARE(state.activeDownloads, 1);
    if (cancelAfterMs >= 0) {
        QTest::qWait(cancelAfterMs);
        QCOMPARE(state.activeDownloads, 1);
        controller.cancel_download_clicked();
    }
    QTRY_VERIFY_WITH_TIMEOUT(state.activeDownloads == 0 && !state.anyDownloadPending(), boundMs);
    QVERIFY2(clock.elapsed() < boundMs, qPrintable(QString::number(clock.elapsed())));

    const DisplayEntry &row = state.displayEntries.at(0);
    QCOMPARE(row.downloadState, succeeds ? 3 : 1);
    QCOMPARE(DisplayRowText::availabilityText(row),
             succeeds ? QStringLiteral("New version %1 downloaded").arg(release.version)
                      : QStringLiteral("Download error"));
    QTEST(messages.last().at(0).toString(), "statusBar");
    QFETCH(QString, outcome);
    QVERIFY2(logged(QStringLiteral("All downloads complete status: ") + outcome), qPrintable(outcome));
    QCOMPARE(confirmation.count(), succeeds ? 1 : 0);

    // Nothing left behind: the firmware files after a good download, no partial package after a
    // failed one.
    flushDeferredDeletes();
    QCOMPARE(controller.runningJobs(), 0);
    QCOMPARE(objectsUnder<DownloadExtractFirmware>(&controller), 0);
    QCOMPARE(objectsUnder<FileDownloader>(&controller), 0);
    QCOMPARE(Leftovers::activeTimersUnder(&controller), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Leftovers::connectionsTo(ServerAddress, { m_server.port() }, Leftovers::stillOpen()),
                              0, 2000);
    QCOMPARE(Leftovers::openFilesIn(cache), 0);
    QTEST(QDir(cache).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), "cache");
    const int requests = int(m_server.requestedPaths().size());
    const qsizetype signalsBefore = messages.size();
    QTest::qWait(QuietMs);
    QCOMPARE(int(m_server.requestedPaths().size()), requests);
    QCOMPARE(messages.size(), signalsBefore);
}

QTEST_GUILESS_MAIN(tst_FaultTableE2E)
#include "tst_faulttable_e2e.moc"
