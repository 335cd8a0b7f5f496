#include "catalogue/FirmwareDatabase.h"
#include "common/TestFiles.h"
#include "common/TestTimeScale.h"
#include "queue/UpdateQueue.h"
#include "records/DisplayRowText.h"
#include "records/DisplayTableState.h"
#include "reports/UpdateReport.h"
#include "update/HttpClient.h"
#include "update/UpdateStatusText.h"

#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimUpdateStats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

// The queue with real sessions against simulated displays: the limit seen from the displays'
// side, results and their texts, cancel, rows that leave the table, and the check of the version
// a display came back with. The power-save change before queueing is the engine's (tst_quillonengine).
namespace {

struct Planned
{
    const char *model;
    int series;
    int files = 1;
    bool secondAddress = false;
    bool powerPrep = false;
    int powerSave = 2;          // display's power-save setting
    int duration = 4;           // catalogue update duration, seconds
    const char *package = nullptr; // a plain package (no unpacked files) under this name
    int components = -1;        // the catalogue's component count: -1 one per file, 0 not given
};

const QString NewVersion = QStringLiteral("R2.000");

quint16 webPort()
{
    return ::geteuid() == 0 ? 80 : 18080;
}

}

class tst_UpdateQueue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void refusedRows_data();
    void refusedRows();
    void everySeriesCompletesWithinTheLimit_data();
    void everySeriesCompletesWithinTheLimit();
    void failuresStayTicked_data();
    void failuresStayTicked();
    void packageNamedAsDownloaded_data();
    void packageNamedAsDownloaded();
    void noComponentNamedSendsNothing();
    void startRefreshesDescription();
    void cancelQueuedWhileOthersRun();
    void rowsRemovedWhileRunning();
    void versionCheck_data();
    void versionCheck();
    void writingCeiling_data();
    void writingCeiling();
    void firstOfModelHoldsOnlyItsModel_data();
    void firstOfModelHoldsOnlyItsModel();
    void failuresStopTheBatchWhileRunningSettle();
    void limitsHoldWithThePolicy_data();
    void limitsHoldWithThePolicy();

private:
    // Watches the rows while the queue runs: a second display of a model must not start before
    // the first one of its model was verified on the new version; the texts each row showed.
    void watchRollout();

    // Starts displays for the plan on 127.0.81.1.. and fills the table and the catalogue.
    void setUp(const QList<Planned> &plan, const std::function<void(int, SimDisplayConfig &)> &adjust = {});
    UpdateQueue *makeQueue(int writingCeilingSecs = SessionParams::MinWritingCeilingSecs);
    bool waitIdle(int timeoutMs = 60000);
    QHostAddress address(int i) const { return QHostAddress(QStringLiteral("127.0.81.%1").arg(i + 1)); }
    QHostAddress second(int i) const { return QHostAddress(QStringLiteral("127.0.82.%1").arg(i + 1)); }

    QTemporaryDir m_dir;
    QString m_cache;
    DisplayTableState m_state;
    FirmwareDatabase m_database;
    SimFleet *m_fleet = nullptr;
    UpdateQueue *m_queue = nullptr;
    int m_maxRunning = 0;
    QHash<int, QStringList> m_notesSeen;
    QStringList m_startedTooEarly;
};

void tst_UpdateQueue::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_cache = m_dir.filePath(QStringLiteral("Firmware"));
    QVERIFY(QDir().mkpath(m_cache));
}

void tst_UpdateQueue::init()
{
    m_state = DisplayTableState();
    m_maxRunning = 0;
    m_notesSeen.clear();
    m_startedTooEarly.clear();
}

void tst_UpdateQueue::cleanup()
{
    delete m_queue;
    m_queue = nullptr;
    m_state.displayEntries.clear();
    delete m_fleet;
    m_fleet = nullptr;
}

void tst_UpdateQueue::setUp(const QList<Planned> &plan, const std::function<void(int, SimDisplayConfig &)> &adjust)
{
    QList<SimDisplayConfig> configs;
    QJsonArray firmware;
    for (int i = 0; i < plan.size(); ++i) {
        const Planned &p = plan.at(i);
        const QString model = QString::fromLatin1(p.model);
        SimDisplayConfig c;
        c.modelName = model;
        c.serialNumber = QStringLiteral("SN%1").arg(i, 4, 10, QLatin1Char('0'));
        c.seriesCode = quint8(p.series);
        c.mainFwVersion = QStringLiteral("R1.000");
        c.webPort = webPort();
        // Nothing here searches; off the search port, a window or search test running beside
        // this one cannot keep these displays from starting.
        c.searchPort = 15320;
        c.powerSaveSetting = p.powerSave;
        c.update.components = qBound(1, p.files, 6);
        c.update.rebootMs = 300;
        c.update.firmwareAfterMain = NewVersion;
        c.update.legacyQuietMs = 500;
        c.update.abandonMs = TestTimeScale::scaled(3000);
        c.update.checkPolls = 1;
        if (p.secondAddress) {
            c.secondAddress = second(i);
            c.serveSecondAddress = true;
        }
        if (adjust)
            adjust(i, c);
        configs.append(c);

        DisplayEntry row;
        row.selected = true;
        row.downloadState = 3;
        row.modelName = model;
        row.serialNumber = c.serialNumber;
        row.address = address(i);
        row.updateAddress = p.secondAddress ? second(i) : address(i);
        row.useIP2 = p.secondAddress ? 1 : 0;
        row.catalogueSeries = p.series;
        row.displaySeries = p.series;
        row.updateDurationSecs = p.duration;
        row.needPowerSaveModeToNormal = p.powerPrep ? 1 : 0;
        row.powerSaveMode = p.powerSave;
        row.powerSaveModeVcp = 1;
        row.latestVersion = NewVersion;
        row.currentFirmware = QStringLiteral("R1.000");
        row.firmwareStatus = FirmwareStatus::NewForLan;
        const int components = p.components >= 0 ? p.components : (p.package ? 1 : p.files);
        // As the evaluation copies it from the release.
        row.componentCount = components;
        m_state.displayEntries.append(row);

        QJsonArray unpacked;
        QString package = model + QStringLiteral(".zip");
        if (p.package) {
            // The download keeps the name exactly as the catalogue's location writes it.
            package = QString::fromLatin1(p.package);
            QVERIFY(TestFiles::writeFile(m_cache + QLatin1Char('/') + package, QByteArray(20000, 'P')));
        }
        for (int k = 0; !p.package && k < p.files; ++k) {
            const QString name = QStringLiteral("%1_part%2.bin").arg(model).arg(k + 1);
            QVERIFY(TestFiles::writeFile(m_cache + QLatin1Char('/') + name, QByteArray(20000 + k, char('A' + k))));
            unpacked.append(QJsonObject { { "fileName", name }, { "fileSize", 20000 + k } });
        }
        QJsonObject release {
                { "version", NewVersion },
                { "seriesName", QStringLiteral("S%1").arg(p.series) },
                { "downloadLoc", QStringLiteral("http://127.0.0.1/firmwareupdates/") + package },
                { "models", QJsonArray { model } },
                { "updateViaHTTP", 1 },
                { "unpackedFileInfo", unpacked },
                { "changes", QJsonObject { { "version", NewVersion } } },
        };
        if (components > 0)
            release.insert("numPACComponents", components);
        firmware.append(release);
    }
    QCOMPARE(m_database.parse(QJsonDocument(QJsonObject { { "info", QJsonObject { { "databaseVersion", 1 } } },
                                                          { "firmware", firmware } })
                                      .toJson(),
                              QLocale::English),
             0);
    m_fleet = new SimFleet;
    QCOMPARE(m_fleet->start(address(0), configs), 0);
}

UpdateQueue *tst_UpdateQueue::makeQueue(int writingCeilingSecs)
{
    m_queue = new UpdateQueue(m_state, m_database, m_cache);
    m_queue->setTickInterval(100);
    SessionParams params;
    params.tickMs = 100;
    params.stepTimeoutSecs = TestTimeScale::scaled(4);
    params.retryPauseMs = 200;
    params.waitMs = 200;
    params.legacyWritingWaitMs = 300;
    params.legacyTimeoutSecs = TestTimeScale::scaled(3);
    params.tcpStepTimeoutSecs = TestTimeScale::scaled(4);
    params.tcpStartTimeoutSecs = TestTimeScale::scaled(4);
    params.updateStartWaitMs = 1500;
    params.webPort = webPort();
    params.writingCeilingSecs = writingCeilingSecs;
    m_queue->setSessionParams(params);
    UpdateVerifier::Params verify;
    verify.pollIntervalMs = 200;
    verify.maxWaitMs = TestTimeScale::scaled(3000);
    m_queue->setVerifierParams(verify);
    connect(m_queue, &UpdateQueue::update_info, this, [this] { m_maxRunning = qMax(m_maxRunning, m_state.activeUpdates); });
    return m_queue;
}

bool tst_UpdateQueue::waitIdle(int timeoutMs)
{
    return QTest::qWaitFor([this] { return !m_queue->isTicking() && m_queue->verificationsRunning() == 0; },
                           TestTimeScale::scaled(timeoutMs));
}

void tst_UpdateQueue::refusedRows_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("files");
    QTest::addColumn<QString>("note");
    QTest::newRow("series 7") << 7 << 1 << "Not queued: this model cannot be updated via LAN. Use a USB drive.";
    QTest::newRow("series 8") << 8 << 1 << "Not queued: this model cannot be updated via LAN. Use a USB drive.";
    QTest::newRow("series 0") << 0 << 1 << "Not queued: this model cannot be updated via LAN. Use a USB drive.";
    QTest::newRow("seven files") << 3 << 7
                                 << "Not queued: the firmware has 7 files, more than the 6 a LAN update can send.";
}

void tst_UpdateQueue::refusedRows()
{
    QFETCH(int, series);
    QFETCH(int, files);
    QFETCH(QString, note);
    setUp({ { "PX-1", 3 }, { "RX-7", series, files } });
    makeQueue();
    QCOMPARE(m_queue->queueUpdates(), 1);
    const DisplayEntry &refused = m_state.displayEntries.at(1);
    QCOMPARE(refused.updateStatus, 0);
    QVERIFY(!refused.updateSession);
    QVERIFY(!refused.selected);
    QCOMPARE(refused.updateNote, note);
    QCOMPARE(m_queue->sessionCount(), 1);
    QVERIFY(waitIdle());
    QCOMPARE(m_state.displayEntries.at(0).resultStatus, 3);
    // The refused display was never asked for anything.
    QCOMPARE(m_fleet->updateStats()->displays().value(address(1).toString()).attempts, 0);
}

void tst_UpdateQueue::everySeriesCompletesWithinTheLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::newRow("limit 1") << 1;
    QTest::newRow("limit 5") << 5;
}

void tst_UpdateQueue::everySeriesCompletesWithinTheLimit()
{
    QFETCH(int, limit);
    // A legacy display says "written" and its session is over; it then writes on its own for a
    // while, which no limit of ours can bound. Here it finishes at once, so the displays' count
    // of concurrent updates is the sessions' count.
    const auto quickLegacy = [](int, SimDisplayConfig &c) { c.update.legacyQuietMs = 1; };
    setUp({
            { "LG-1", 1 },
            { "LG-2", 2 },
            { "CG-3", 3, 2 },
            { "CG-4", 4, 1, true },
            { "CG-5", 5, 3 },
            { "CG-6", 6 },
            { "CH-9", 9, 2 },
            { "ST-10", 10 },
            { "UP-11", 11, 1, false, true },
    }, quickLegacy);
    m_state.updateLimit = limit;
    makeQueue();
    QSignalSpy finished(m_queue, &UpdateQueue::allFinished);
    QSignalSpy status(m_queue, &UpdateQueue::statusMessage);
    QCOMPARE(m_queue->queueUpdates(), 9);
    QVERIFY(m_queue->isTicking());
    QVERIFY(waitIdle(limit == 1 ? 150000 : 60000));

    QCOMPARE(finished.count(), 1);
    for (int i = 0; i < m_state.displayEntries.size(); ++i) {
        const DisplayEntry &row = m_state.displayEntries.at(i);
        QVERIFY2(row.resultStatus == 3, qPrintable(QStringLiteral("%1: %2").arg(row.modelName).arg(row.resultStatus)));
        QVERIFY(!row.selected);
        QCOMPARE(row.firmwareStatus, int(FirmwareStatus::UpToDate));
        QVERIFY(!row.updateSession);
        QCOMPARE(row.updateNote, QStringLiteral("Verified: version R2.000"));
    }
    QCOMPARE(m_state.activeUpdates, 0);
    QCOMPARE(m_queue->sessionCount(), 0);
    QVERIFY(m_maxRunning <= limit);
    QVERIFY2(m_fleet->updateStats()->maxConcurrent() <= limit,
             qPrintable(QString::number(m_fleet->updateStats()->maxConcurrent())));
    if (limit == 5)
        QVERIFY(m_fleet->updateStats()->maxConcurrent() >= 2);
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Update finished"));
    bool sawEstimate = false;
    for (const QList<QVariant> &s : status)
        sawEstimate = sawEstimate || s.at(0).toString().contains(QStringLiteral(" Total estimated time remaining: "));
    QVERIFY(sawEstimate);
}

void tst_UpdateQueue::failuresStayTicked_data()
{
    QTest::addColumn<QByteArray>("step");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<bool>("neverReply");
    QTest::addColumn<int>("updateFailComponent");
    QTest::addColumn<QList<int>>("results"); // acceptable result codes
    QTest::newRow("update fails") << QByteArray() << 0 << false << 1 << QList<int> { 4, -1, -2 };
    QTest::newRow("401 on the upload") << QByteArray("upload") << 401 << false << -1 << QList<int> { 4, -1, -2, -3, -4 };
    QTest::newRow("401, page behind a login") << QByteArray("*") << 401 << false << -1 << QList<int> { 4, -1, -2, -4 };
    QTest::newRow("stops answering") << QByteArray("*") << 0 << true << -1 << QList<int> { -3 };
}

void tst_UpdateQueue::failuresStayTicked()
{
    QFETCH(QByteArray, step);
    QFETCH(int, httpStatus);
    QFETCH(bool, neverReply);
    QFETCH(int, updateFailComponent);
    QFETCH(QList<int>, results);
    setUp({ { "CG-3", 3 }, { "CG-3B", 3 }, { "CG-3C", 3 } }, [&](int i, SimDisplayConfig &c) {
        if (i != 1)
            return;
        if (!step.isEmpty()) {
            SimStepFault fault;
            fault.step = step;
            fault.status = httpStatus;
            fault.neverReply = neverReply;
            c.update.faults.append(fault);
        }
        c.update.updateFailComponent = updateFailComponent;
    });
    makeQueue();
    m_queue->queueUpdates();
    QVERIFY(waitIdle(90000));
    const DisplayEntry &failed = m_state.displayEntries.at(1);
    QVERIFY2(results.contains(failed.resultStatus), qPrintable(QString::number(failed.resultStatus)));
    QVERIFY(failed.selected);
    QCOMPARE(failed.updateStatus, 0);
    QVERIFY(!failed.updateSession);
    QVERIFY(failed.updateNote.isEmpty());
    for (int i : { 0, 2 }) {
        QCOMPARE(m_state.displayEntries.at(i).resultStatus, 3);
        QVERIFY(!m_state.displayEntries.at(i).selected);
    }
}

void tst_UpdateQueue::packageNamedAsDownloaded_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::newRow("plain") << QByteArray("fw_v2.bin");
    QTest::newRow("percent-encoded space") << QByteArray("fw%20v2.bin");
    QTest::newRow("encoded plus and percent") << QByteArray("fw%2Bv2%25.bin");
}

// The session is handed the file the download wrote, under the very name it was stored as.
void tst_UpdateQueue::packageNamedAsDownloaded()
{
    QFETCH(QByteArray, package);
    Planned planned { "PK-3", 3 };
    planned.package = package.constData();
    setUp({ planned });
    makeQueue();
    QCOMPARE(m_queue->queueUpdates(), 1);
    QVERIFY(waitIdle());
    const DisplayEntry &row = m_state.displayEntries.at(0);
    QVERIFY2(row.resultStatus == 3, qPrintable(QString::number(row.resultStatus)));
    QCOMPARE(m_fleet->updateStats()->displays().value(address(0).toString()).outcome, QByteArray("complete"));
}

// A release that names no component updates none: its session ends at once, the display is
// never sent anything, and the row keeps the catalogue's count rather than the number of files.
void tst_UpdateQueue::noComponentNamedSendsNothing()
{
    Planned unnamed { "NC-3", 3, 2 };
    unnamed.components = 0;
    setUp({ unnamed, { "PX-3", 3 } });
    makeQueue();
    QSignalSpy finished(m_queue, &UpdateQueue::allFinished);
    QCOMPARE(m_queue->queueUpdates(), 2);
    QCOMPARE(m_state.displayEntries.at(0).componentCount, 0);
    QVERIFY(waitIdle());
    QCOMPARE(finished.count(), 1);
    const DisplayEntry &row = m_state.displayEntries.at(0);
    QCOMPARE(row.componentCount, 0);
    QCOMPARE(row.updateStatus, 0);
    QVERIFY(row.resultStatus != 3 && row.resultStatus != 0);
    QVERIFY(row.selected);
    QCOMPARE(m_fleet->updateStats()->displays().value(address(0).toString()).attempts, 0);
    QCOMPARE(m_state.displayEntries.at(1).resultStatus, 3);
    QCOMPARE(m_state.activeUpdates, 0);
}

// The tick in which a queued row starts asks for the panel to be redrawn, not only the one in
// which a row settles: otherwise the panel keeps saying "Queued" for a running update.
void tst_UpdateQueue::startRefreshesDescription()
{
    setUp({ { "A-3", 3 }, { "B-3", 3 } });
    m_state.updateLimit = 1;
    makeQueue();
    QList<int> statusAtRedraw;
    QList<bool> descriptionAtRedraw;
    connect(m_queue, &UpdateQueue::uiUpdateNeeded, this, [&](bool description) {
        statusAtRedraw << m_state.displayEntries.at(1).updateStatus;
        descriptionAtRedraw << description;
    });
    m_queue->queueUpdates();
    QVERIFY(waitIdle());
    // Row 2 was queued, then ran: the first redraw that saw it running also redrew the panel.
    const int started = statusAtRedraw.indexOf(2);
    QVERIFY(started > 0);
    QCOMPARE(statusAtRedraw.at(started - 1), 1);
    QVERIFY(descriptionAtRedraw.at(started));
    // The first row's start, in the very first tick, did the same.
    QCOMPARE(statusAtRedraw.at(1), 1);
    QVERIFY(descriptionAtRedraw.at(1));
}

void tst_UpdateQueue::cancelQueuedWhileOthersRun()
{
    setUp({ { "A-3", 3 }, { "B-3", 3 }, { "C-3", 3 }, { "D-3", 3 }, { "E-3", 3 } });
    m_state.updateLimit = 1;
    makeQueue();
    m_queue->queueUpdates();
    QTRY_COMPARE(m_state.displayEntries.at(0).updateStatus, 2);
    m_queue->cancelQueued();
    for (int i = 1; i < 5; ++i) {
        QCOMPARE(m_state.displayEntries.at(i).updateStatus, 0);
        QVERIFY(!m_state.displayEntries.at(i).updateSession);
    }
    QCOMPARE(m_state.displayEntries.at(0).updateStatus, 2);
    QVERIFY(waitIdle());
    QCOMPARE(m_state.displayEntries.at(0).resultStatus, 3);
    for (int i = 1; i < 5; ++i) {
        QCOMPARE(m_state.displayEntries.at(i).resultStatus, 0);
        QVERIFY(m_state.displayEntries.at(i).selected);
        QCOMPARE(m_fleet->updateStats()->displays().value(address(i).toString()).attempts, 0);
    }
}

void tst_UpdateQueue::rowsRemovedWhileRunning()
{
    setUp({ { "A-3", 3 }, { "B-3", 3 }, { "C-3", 3 } });
    m_state.updateLimit = 2;
    makeQueue();
    m_queue->queueUpdates();
    QTRY_COMPARE(m_state.activeUpdates, 2);
    // A new search empties the table while two sessions run and one waits.
    m_state.displayEntries.clear();
    QVERIFY(QTest::qWaitFor([this] { return !m_queue->isTicking(); }, 60000));
    QCOMPARE(m_state.activeUpdates, 0);
    QCOMPARE(m_queue->sessionCount(), 0);
    // The running ones were left to finish rather than cut off mid-upload.
    QCOMPARE(m_fleet->updateStats()->displays().value(address(0).toString()).outcome, QByteArray("complete"));
    QCOMPARE(m_fleet->updateStats()->displays().value(address(2).toString()).attempts, 0);
}

void tst_UpdateQueue::versionCheck_data()
{
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("neverReturn");
    QTest::addColumn<bool>("otherDisplay");
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("reportAfter"); // null: nothing read back
    QTest::newRow("verified") << NewVersion << false << false << "Verified: version R2.000" << 3 << NewVersion
                              << NewVersion;
    QTest::newRow("back on its old version") << "R1.000" << false << false
                                             << "Version after update is R1.000, expected R2.000" << 4 << "R1.000"
                                             << "R1.000";
    QTest::newRow("other version") << "R1.500" << false << false << "Version after update is R1.500, expected R2.000"
                                   << 4 << "R1.500" << "R1.500";
    QTest::newRow("another display at the address") << NewVersion << false << true
                                                    << "Another display answers at this address (serial SN-OTHER, "
                                                       "expected SN0000)"
                                                    << 4 << "R1.000" << QString();
    QTest::newRow("never back") << NewVersion << true << false
                                << "The display did not answer after the update — check it before switching it off" << 4
                                << "R1.000" << QString();
}

void tst_UpdateQueue::versionCheck()
{
    QFETCH(QString, after);
    QFETCH(bool, neverReturn);
    QFETCH(bool, otherDisplay);
    QFETCH(QString, note);
    QFETCH(int, result);
    QFETCH(QString, current);
    QFETCH(QString, reportAfter);
    setUp({ { "CG-3", 3, 1, false, false, 2, 1 } }, [&](int, SimDisplayConfig &c) {
        c.update.firmwareAfterMain = after;
        c.update.neverReturn = neverReturn;
        c.update.rebootMs = 1000;
    });
    SimDisplay *display = m_fleet->displays().first();
    if (otherDisplay) {
        // Another display takes the address while this one restarts, already on the new version.
        connect(display, &SimDisplay::stateChanged, this, [display] {
            if (display->isRebooting())
                display->state().serialNumber = QStringLiteral("SN-OTHER");
        });
    }
    makeQueue();
    const DisplayEntry &row = m_state.displayEntries.at(0);
    // What the row says between "complete" and the answer after the restart.
    QStringList whileChecking;
    connect(m_queue, &UpdateQueue::update_info, this, [&] {
        if (row.verifyOutcome != VerifyOutcome::Checking)
            return;
        whileChecking << DisplayRowText::statusText(row, false, {}) << DisplayRowText::availabilityText(row)
                      << row.currentFirmware;
        QCOMPARE(row.updateStatus, 2);
        QVERIFY(row.selected);
        QCOMPARE(m_state.activeUpdates, 1);
    });
    bool finishedWhileChecking = false;
    connect(m_queue, &UpdateQueue::statusMessage, this, [&](const QString &text) {
        if (text == QLatin1String("Update finished"))
            finishedWhileChecking = finishedWhileChecking || row.verifyOutcome == VerifyOutcome::Checking;
    });
    QSignalSpy finished(m_queue, &UpdateQueue::allFinished);
    m_queue->queueUpdates();
    QVERIFY(waitIdle());

    QVERIFY(!whileChecking.isEmpty());
    QCOMPARE(whileChecking.first(), QStringLiteral("Checking the version…"));
    QCOMPARE(whileChecking.at(1), QStringLiteral("Checking the version…"));
    QCOMPARE(whileChecking.at(2), QStringLiteral("R1.000"));
    QVERIFY(!finishedWhileChecking);
    QCOMPARE(finished.count(), 1);

    QCOMPARE(row.updateNote, note);
    QCOMPARE(row.resultStatus, result);
    QCOMPARE(row.updateStatus, 0);
    QCOMPARE(m_state.activeUpdates, 0);
    QCOMPARE(row.currentFirmware, current);
    const bool verified = result == 3;
    // A failed row stays ticked for another attempt, and its status is what the display reported.
    QCOMPARE(row.selected, !verified);
    QCOMPARE(row.firmwareStatus == FirmwareStatus::UpToDate, verified);
    if (verified)
        QCOMPARE(DisplayRowText::statusText(row, false, {}), QStringLiteral("Success. Verified: version R2.000"));
    else
        QCOMPARE(DisplayRowText::statusText(row, false, {}), note);

    const QJsonObject line =
            QJsonDocument::fromJson(UpdateReport::json(UpdateReport::lines(m_state, false, {}))).array().first().toObject();
    QCOMPARE(line.value("result").toInt(), result);
    QCOMPARE(line.value("firmware_after_verified").toBool(), verified);
    if (reportAfter.isNull())
        QVERIFY(line.value("firmware_after").isNull());
    else
        QCOMPARE(line.value("firmware_after").toString(), reportAfter);
}

void tst_UpdateQueue::writingCeiling_data()
{
    QTest::addColumn<int>("releaseSecs");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("stillAnswering");
    // The display writes one component at 50 % for 6 s while it answers every poll; the
    // session's own ceiling is 2 s.
    QTest::newRow("ceiling reached: given up, saying it still answers") << 0 << -3 << true;
    QTest::newRow("a release stating 4 s gets 12 s to write") << 4 << 3 << false;
}

void tst_UpdateQueue::writingCeiling()
{
    QFETCH(int, releaseSecs);
    QFETCH(int, result);
    QFETCH(bool, stillAnswering);
    Planned planned { "CG-3", 3 };
    // Scaled with the display's hold, or a slower build would outlast the release's allowance.
    planned.duration = TestTimeScale::scaled(releaseSecs);
    setUp({ planned }, [](int, SimDisplayConfig &c) {
        c.update.holdPercent = 50;
        c.update.holdMs = TestTimeScale::scaled(6000);
    });
    makeQueue(TestTimeScale::scaled(2));
    m_queue->queueUpdates();
    QVERIFY(waitIdle(60000));
    const DisplayEntry &row = m_state.displayEntries.at(0);
    QCOMPARE(row.resultStatus, result);
    QCOMPARE(row.updateNote.contains(QLatin1String("still answering")), stillAnswering);
    if (stillAnswering) {
        QVERIFY(row.selected);
        const QString status = DisplayRowText::statusText(row, false, &UpdateStatusText::text);
        QVERIFY2(status.contains(QLatin1String("Do not switch it off")), qPrintable(status));
    }
}

void tst_UpdateQueue::watchRollout()
{
    connect(m_queue, &UpdateQueue::update_info, this, [this](int row) {
        if (!m_state.isValidRow(row))
            return;
        const DisplayEntry &entry = m_state.displayEntries.at(row);
        QStringList &notes = m_notesSeen[row];
        if (!entry.updateNote.isEmpty() && (notes.isEmpty() || notes.last() != entry.updateNote))
            notes.append(entry.updateNote);
        if (entry.updateStatus != 2)
            return;
        // Started: every other display of its model that started earlier must be verified.
        bool firstVerified = false;
        bool anyEarlier = false;
        for (int other = 0; other < m_state.displayEntries.size(); ++other) {
            const DisplayEntry &o = m_state.displayEntries.at(other);
            if (other == row || o.modelName != entry.modelName || !o.updateStartedAt.isValid()
                || o.updateStartedAt > entry.updateStartedAt)
                continue;
            anyEarlier = true;
            firstVerified = firstVerified || o.verifyOutcome == UpdateVerifier::Verified;
        }
        if (anyEarlier && !firstVerified && !m_startedTooEarly.contains(entry.address.toString()))
            m_startedTooEarly.append(entry.address.toString());
    });
}

void tst_UpdateQueue::firstOfModelHoldsOnlyItsModel_data()
{
    QTest::addColumn<bool>("updateFails");
    QTest::addColumn<QString>("versionAfter");
    QTest::addColumn<int>("limit");
    QTest::newRow("first fails its update") << true << NewVersion << 5;
    // The session says complete, the display comes back on the old firmware: not a pass.
    QTest::newRow("first comes back on another version") << false << "R1.500" << 5;
    QTest::newRow("first fails, limit 1") << true << NewVersion << 1;
}

// Three displays of FX-3 (the first in the table fails) and two of OK-3: FX-3's others are never
// asked for anything and stay ticked for another try; OK-3's second starts only after its first
// was verified; both OK-3 displays end verified.
void tst_UpdateQueue::firstOfModelHoldsOnlyItsModel()
{
    QFETCH(bool, updateFails);
    QFETCH(QString, versionAfter);
    QFETCH(int, limit);
    setUp({ { "FX-3", 3 }, { "FX-3", 3 }, { "OK-3", 3 }, { "FX-3", 3 }, { "OK-3", 3 } }, [&](int i, SimDisplayConfig &c) {
        if (i != 0)
            return;
        if (updateFails)
            c.update.updateFailComponent = 1;
        c.update.firmwareAfterMain = versionAfter;
    });
    m_state.updateLimit = limit;
    m_state.rollout.firstPerModel = true;
    makeQueue();
    watchRollout();
    QSignalSpy finished(m_queue, &UpdateQueue::allFinished);
    QCOMPARE(m_queue->queueUpdates(), 5);
    QVERIFY(waitIdle(limit == 1 ? 120000 : 60000));
    QCOMPARE(finished.count(), 1);

    const DisplayEntry &first = m_state.displayEntries.at(0);
    if (updateFails) {
        QVERIFY2(first.resultStatus != 3 && first.resultStatus != 0, qPrintable(QString::number(first.resultStatus)));
    } else {
        QCOMPARE(first.verifyOutcome, int(UpdateVerifier::VersionMismatch));
        QCOMPARE(m_fleet->updateStats()->displays().value(address(0).toString()).attempts, 1);
    }
    for (int i : { 1, 3 }) {
        const DisplayEntry &held = m_state.displayEntries.at(i);
        QCOMPARE(held.updateNote, QStringLiteral("Not started: the first display of this model failed"));
        QCOMPARE(held.updateStatus, 0);
        QCOMPARE(held.resultStatus, 0);
        QVERIFY(held.selected);
        QVERIFY(held.heldBack);
        QVERIFY(!held.updateSession);
        QVERIFY(!held.updateStartedAt.isValid());
        QCOMPARE(m_fleet->updateStats()->displays().value(address(i).toString()).attempts, 0);
        QCOMPARE(m_notesSeen.value(i).first(), QStringLiteral("Waiting for the first display of this model"));
    }
    for (int i : { 2, 4 }) {
        const DisplayEntry &done = m_state.displayEntries.at(i);
        QCOMPARE(done.resultStatus, 3);
        QCOMPARE(done.updateNote, QStringLiteral("Verified: version R2.000"));
        QVERIFY(!done.heldBack);
    }
    QVERIFY2(m_startedTooEarly.isEmpty(), qPrintable(m_startedTooEarly.join(QLatin1Char(' '))));
    QCOMPARE(m_notesSeen.value(4).first(), QStringLiteral("Waiting for the first display of this model"));
    QVERIFY(m_maxRunning <= limit);
    QCOMPARE(m_state.activeUpdates, 0);
    QCOMPARE(m_queue->sessionCount(), 0);

    // Update again: the held displays make a batch of their own and are tried.
    m_state.displayEntries[0].selected = false;
    QCOMPARE(m_queue->queueUpdates(), 2);
    QVERIFY(waitIdle(60000));
    for (int i : { 1, 3 }) {
        QCOMPARE(m_state.displayEntries.at(i).resultStatus, 3);
        QVERIFY(!m_state.displayEntries.at(i).heldBack);
    }
}

// Stop after 2 failures with three lanes: two displays fail quickly while a slow one runs. The
// slow one settles as usual, the displays still queued are never asked.
void tst_UpdateQueue::failuresStopTheBatchWhileRunningSettle()
{
    setUp({ { "F1-3", 3 }, { "F2-3", 3 }, { "SL-3", 3 }, { "Q4-3", 3 }, { "Q5-3", 3 }, { "Q6-3", 3 } },
          [](int i, SimDisplayConfig &c) {
              if (i < 2)
                  c.update.updateFailComponent = 1;
              if (i == 2)
                  c.update.progressStep = 4;
          });
    m_state.updateLimit = 3;
    m_state.rollout.maxFailures = 2;
    makeQueue();
    watchRollout();
    QDateTime stoppedAt;
    connect(m_queue, &UpdateQueue::update_info, this, [&](int row) {
        if (!stoppedAt.isValid() && m_state.isValidRow(row) && m_state.displayEntries.at(row).heldBack)
            stoppedAt = QDateTime::currentDateTimeUtc();
    });
    QCOMPARE(m_queue->queueUpdates(), 6);
    QVERIFY(waitIdle(90000));

    QCOMPARE(m_queue->rollout().failures(), 2);
    QVERIFY(m_queue->rollout().stopped());
    for (int i : { 0, 1 })
        QVERIFY(m_state.displayEntries.at(i).resultStatus != 3);
    // Running when the batch stopped, and left to finish.
    const DisplayEntry &slow = m_state.displayEntries.at(2);
    QCOMPARE(slow.resultStatus, 3);
    QCOMPARE(slow.updateNote, QStringLiteral("Verified: version R2.000"));
    QVERIFY(stoppedAt.isValid());
    QVERIFY2(slow.updateSettledAt > stoppedAt, qPrintable(slow.updateSettledAt.toString(Qt::ISODateWithMs) + " "
                                                           + stoppedAt.toString(Qt::ISODateWithMs)));
    // Q4 may have taken the lane the first failure freed; Q5 and Q6 never start.
    int notStarted = 0;
    for (int i = 3; i < 6; ++i) {
        const DisplayEntry &row = m_state.displayEntries.at(i);
        const int attempts = m_fleet->updateStats()->displays().value(address(i).toString()).attempts;
        if (row.heldBack) {
            ++notStarted;
            QCOMPARE(row.updateNote, QStringLiteral("Not started: the batch stopped after 2 failures"));
            QCOMPARE(row.resultStatus, 0);
            QVERIFY(row.selected);
            QCOMPARE(attempts, 0);
        } else {
            QCOMPARE(row.resultStatus, 3);
            QCOMPARE(attempts, 1);
        }
    }
    QVERIFY2(notStarted >= 2, qPrintable(QString::number(notStarted)));
    QVERIFY(m_state.displayEntries.at(5).heldBack);
    QCOMPARE(m_state.activeUpdates, 0);
    QCOMPARE(m_queue->sessionCount(), 0);
}

void tst_UpdateQueue::limitsHoldWithThePolicy_data()
{
    QTest::addColumn<int>("limit");
    QTest::newRow("limit 1") << 1;
    QTest::newRow("limit 5") << 5;
}

// Both rules on and nothing failing: every display ends verified, first displays count against
// the limit, and no display ever runs beside more than the limit allows.
void tst_UpdateQueue::limitsHoldWithThePolicy()
{
    QFETCH(int, limit);
    setUp({ { "AA-3", 3 }, { "BB-3", 3 }, { "AA-3", 3 }, { "CC-9", 9 }, { "BB-3", 3 }, { "CC-9", 9 }, { "AA-3", 3 },
            { "DD-3", 3 } });
    m_state.updateLimit = limit;
    m_state.rollout.firstPerModel = true;
    m_state.rollout.maxFailures = 1;
    makeQueue();
    watchRollout();
    QCOMPARE(m_queue->queueUpdates(), 8);
    QVERIFY(waitIdle(limit == 1 ? 150000 : 60000));
    for (int i = 0; i < m_state.displayEntries.size(); ++i) {
        const DisplayEntry &row = m_state.displayEntries.at(i);
        QVERIFY2(row.resultStatus == 3, qPrintable(QStringLiteral("%1: %2 %3").arg(i).arg(row.resultStatus).arg(row.updateNote)));
        QCOMPARE(row.updateNote, QStringLiteral("Verified: version R2.000"));
        QCOMPARE(row.updateRollout, m_state.rollout);
    }
    QVERIFY2(m_startedTooEarly.isEmpty(), qPrintable(m_startedTooEarly.join(QLatin1Char(' '))));
    QVERIFY(m_maxRunning <= limit);
    QVERIFY2(m_fleet->updateStats()->maxConcurrent() <= limit,
             qPrintable(QJsonDocument(m_fleet->updateStats()->toJson()).toJson()));
    // Four models start their first displays side by side.
    if (limit == 5)
        QVERIFY(m_fleet->updateStats()->maxConcurrent() >= 2);
    QCOMPARE(m_queue->rollout().failures(), 0);
}

QTEST_GUILESS_MAIN(tst_UpdateQueue)
#include "tst_updatequeue.moc"
