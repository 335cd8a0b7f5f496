#include "catalogue/FirmwareDatabase.h"
#include "common/TestFiles.h"
#include "flows/DownloadController.h"
#include "fwserver/FwServer.h"
#include "records/DisplayTableState.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The update and USB commands' downloads against the local firmware server: which jobs start,
// what the rows and the status bar show, and which command resumes when the last job ends.
namespace {

struct Package
{
    const char *model;
    const char *series;
    const char *file;
    int size;       // bytes served; 0: not on the server (404)
    int catalogueSize = 0; // the size the catalogue gives; 0: the real one
};

QByteArray payload(const QString &name, int size)
{
    QByteArray data;
    const QByteArray seed = name.toUtf8();
    while (data.size() < size)
        data += QCryptographicHash::hash(seed + QByteArray::number(data.size()), QCryptographicHash::Sha256);
    data.truncate(size);
    return data;
}

DisplayEntry rowOf(const char *model, bool selected = true)
{
    DisplayEntry e;
    e.modelName = QString::fromLatin1(model);
    e.serialNumber = QStringLiteral("SN0001");
    e.selected = selected;
    e.firmwareStatus = FirmwareStatus::NewForLan;
    return e;
}

}

class tst_DownloadController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everythingCachedOpensConfirmationAtOnce();
    void rowsWithoutReleaseDoNothing();
    void oneJobPerSeriesThenResumed();
    void lastOutcomeDecides();
    void progressInRowsAndStatusBar();
    void usbForRow_data();
    void usbForRow();
    void usbForChosenRelease();
    void cancelUsbDownload();
    void packageDisagreeingWithCatalogueIsFetchedOnce_data();
    void packageDisagreeingWithCatalogueIsFetchedOnce();

private:
    // Serves the packages (size > 0) and loads a catalogue naming all of them.
    void catalogue(const QList<Package> &packages);
    DownloadController *controller();
    // Waits until no job runs and no command waits for one.
    bool idle(int timeoutMs = 20000);
    QStringList served() const { return m_server.requestedPaths().mid(m_requestsBefore); }

    QTemporaryDir m_dir;
    QString m_cache;
    FwServer m_server;
    FirmwareDatabase m_database;
    DisplayTableState m_state;
    DownloadController *m_controller = nullptr;
    int m_requestsBefore = 0;
};

void tst_DownloadController::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server.setRoot(m_dir.filePath(QStringLiteral("server")));
    m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
    QVERIFY(m_server.listen(QHostAddress::LocalHost));
}

void tst_DownloadController::init()
{
    QDir(m_dir.path()).removeRecursively();
    m_cache = m_dir.filePath(QStringLiteral("cache"));
    QVERIFY(QDir().mkpath(m_cache));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("server"))));
    m_server.setBehaviour(FwBehaviour());
    m_state = DisplayTableState();
    m_requestsBefore = int(m_server.requestedPaths().size());
}

void tst_DownloadController::cleanup()
{
    delete m_controller;
    m_controller = nullptr;
}

void tst_DownloadController::catalogue(const QList<Package> &packages)
{
    QJsonArray firmware;
    for (const Package &p : packages) {
        const QString file = QString::fromLatin1(p.file);
        const QByteArray data = payload(file, p.size > 0 ? p.size : 1000);
        if (p.size > 0)
            QVERIFY(TestFiles::writeFile(m_server.root() + QLatin1Char('/') + file, data));
        QJsonObject release {
            { "version", "2.000" },
            { "seriesName", QString::fromLatin1(p.series) },
            { "downloadLoc", m_server.url(file).toString() },
            { "fileChecksum", QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex()) },
            { "fileSize", p.catalogueSize > 0 ? qsizetype(p.catalogueSize) : data.size() },
            { "updateViaHTTP", 1 },
            { "updateViaUSB", 1 },
            { "models", QJsonArray { QString::fromLatin1(p.model) } },
            { "changes", QJsonObject { { "version", "2.000" } } },
        };
        firmware.append(release);
    }
    const QJsonObject doc { { "info", QJsonObject { { "databaseVersion", 1 } } }, { "firmware", firmware } };
    QCOMPARE(m_database.parse(QJsonDocument(doc).toJson(), QLocale::English), 0);
}

DownloadController *tst_DownloadController::controller()
{
    if (!m_controller)
        m_controller = new DownloadController(m_state, m_database, m_cache);
    return m_controller;
}

bool tst_DownloadController::idle(int timeoutMs)
{
    QTest::qWait(20);
    return QTest::qWaitFor([this] { return m_state.activeDownloads == 0 && !m_state.anyDownloadPending(); },
                           timeoutMs);
}

void tst_DownloadController::everythingCachedOpensConfirmationAtOnce()
{
    catalogue({ { "PX-1", "S1", "px1.bin", 3000 } });
    QVERIFY(QFile::copy(m_server.root() + "/px1.bin", m_cache + "/px1.bin"));
    m_state.displayEntries = { rowOf("PX-1"), rowOf("px-1"), rowOf("PX-1", false) };
    QSignalSpy confirm(controller(), &DownloadController::confirmationRequested);
    controller()->startUpdateDownloads();
    QCOMPARE(confirm.count(), 1);
    QCOMPARE(m_state.activeDownloads, 0);
    QVERIFY(!m_state.updateDownloadPending);
    QCOMPARE(m_state.displayEntries[0].downloadState, 3);
    QCOMPARE(m_state.displayEntries[1].downloadState, 3);
    QCOMPARE(m_state.displayEntries[2].downloadState, 0); // not ticked
    QVERIFY(served().isEmpty());
}

void tst_DownloadController::rowsWithoutReleaseDoNothing()
{
    catalogue({ { "PX-1", "S1", "px1.bin", 3000 } });
    m_state.displayEntries = { rowOf("QX-9"), rowOf("PX-1") };
    m_state.displayEntries[1].firmwareStatus = FirmwareStatus::NewForUsbOnly; // not for the LAN
    QSignalSpy confirm(controller(), &DownloadController::confirmationRequested);
    QSignalSpy rows(controller(), &DownloadController::update_info);
    controller()->startUpdateDownloads();
    QVERIFY(idle());
    QCOMPARE(confirm.count(), 0);
    QCOMPARE(rows.count(), 0);
    QVERIFY(served().isEmpty());
}

void tst_DownloadController::oneJobPerSeriesThenResumed()
{
    // PX-1 and PX-2 have releases of one series: the first pass fetches PX-1's package only.
    catalogue({ { "PX-1", "S1", "px1.bin", 40000 }, { "PX-2", "S1", "px2.bin", 40000 },
                { "MX-5", "S5", "mx5.bin", 40000 } });
    m_state.displayEntries = { rowOf("PX-1"), rowOf("PX-2"), rowOf("MX-5"), rowOf("PX-1", false) };
    QSignalSpy confirm(controller(), &DownloadController::confirmationRequested);
    QSignalSpy buttons(controller(), &DownloadController::cancelButtonVisible);
    QSignalSpy status(controller(), &DownloadController::statusMessage);
    // When the first pass ends, PX-2's row still waits: only the fetched releases' rows changed.
    QList<int> px2AtFirstEnd;
    connect(controller(), &DownloadController::statusMessage, this, [&](const QString &text) {
        if (text == QLatin1String("Download complete") && px2AtFirstEnd.isEmpty())
            px2AtFirstEnd << m_state.displayEntries[1].downloadState << m_state.displayEntries[0].downloadState;
    });
    controller()->startUpdateDownloads();

    QCOMPARE(m_state.activeDownloads, 2);
    QVERIFY(m_state.updateDownloadPending);
    QCOMPARE(controller()->pendingDownloads().size(), 2);
    for (int row : { 0, 1, 2 })
        QCOMPARE(m_state.displayEntries[row].downloadState, 2);
    QCOMPARE(buttons.first().first().toBool(), true);

    QVERIFY(idle());
    QCOMPARE(px2AtFirstEnd, (QList<int> { 2, 3 }));
    QCOMPARE(confirm.count(), 1);
    // The second pass fetched PX-2's package; every ticked row and the unticked PX-1 row are done.
    QCOMPARE(served().count("/firmwareupdates/px1.bin"), 1);
    QCOMPARE(served().count("/firmwareupdates/px2.bin"), 1);
    QCOMPARE(served().count("/firmwareupdates/mx5.bin"), 1);
    for (int row : { 0, 1, 2, 3 })
        QCOMPARE(m_state.displayEntries[row].downloadState, 3);
    QCOMPARE(buttons.last().first().toBool(), false);
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Download complete"));
    QCOMPARE(status.last().at(1).toInt(), 5000);
    QCOMPARE(controller()->runningJobs(), 0);
}

void tst_DownloadController::lastOutcomeDecides()
{
    // The missing package fails at once; the large one succeeds last: "Download complete", and the
    // resumed command tries the failed one again, which fails last: "Download error", no confirmation.
    catalogue({ { "PX-1", "S1", "missing.bin", 0 }, { "MX-5", "S5", "large.bin", 3000000 } });
    m_state.displayEntries = { rowOf("PX-1"), rowOf("MX-5") };
    QSignalSpy confirm(controller(), &DownloadController::confirmationRequested);
    QSignalSpy status(controller(), &DownloadController::statusMessage);
    controller()->startUpdateDownloads();
    QVERIFY(idle());

    QStringList finals;
    for (const QList<QVariant> &s : status) {
        if (s.at(1).toInt() == 5000)
            finals << s.at(0).toString();
    }
    QCOMPARE(finals, (QStringList { "Download complete", "Download error" }));
    QCOMPARE(served().count("/firmwareupdates/missing.bin"), 2);
    QCOMPARE(served().count("/firmwareupdates/large.bin"), 1);
    QCOMPARE(confirm.count(), 0);
    QCOMPARE(m_state.displayEntries[0].downloadState, 1);
    QCOMPARE(m_state.displayEntries[1].downloadState, 3);
}

void tst_DownloadController::progressInRowsAndStatusBar()
{
    catalogue({ { "PX-1", "S1", "px1.bin", 200000 } });
    FwBehaviour slow;
    slow.trickleBytes = 50000;
    slow.trickleIntervalMs = 50;
    m_server.setBehaviour(slow);
    m_state.displayEntries = { rowOf("PX-1"), rowOf("PX-1") };
    QList<int> percents;
    connect(controller(), &DownloadController::update_info, this, [&](int row) {
        if (row == 1 && m_state.displayEntries[1].downloadState == 2)
            percents << m_state.displayEntries[1].downloadPercent;
    });
    QSignalSpy status(controller(), &DownloadController::statusMessage);
    controller()->startUpdateDownloads();
    QVERIFY(idle());
    QVERIFY2(percents.size() >= 3, qPrintable(QString::number(percents.size())));
    QVERIFY(std::is_sorted(percents.cbegin(), percents.cend()));
    QVERIFY(percents.last() > 0 && percents.last() <= 100);
    QCOMPARE(status.first().at(0).toString(), QStringLiteral("Downloading 1 files"));
    QCOMPARE(status.first().at(1).toInt(), 0);
}

void tst_DownloadController::usbForRow_data()
{
    QTest::addColumn<bool>("cached");
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("resumed");
    QTest::addColumn<QString>("failure");
    QTest::newRow("cached") << true << true << 1 << 0 << QString();
    QTest::newRow("downloaded") << false << true << 0 << 1 << QString();
    QTest::newRow("fails") << false << false << 0 << 0
                           << "An error occurred while downloading the firmware. Check Internet connectivity and try again.";
}

void tst_DownloadController::usbForRow()
{
    QFETCH(bool, cached);
    QFETCH(bool, onServer);
    QFETCH(int, dialogs);
    QFETCH(int, resumed);
    QFETCH(QString, failure);
    catalogue({ { "PX-1", "S1", "px1.bin", onServer ? 5000 : 0 } });
    if (cached)
        QVERIFY(QFile::copy(m_server.root() + "/px1.bin", m_cache + "/px1.bin"));
    m_state.displayEntries = { rowOf("PX-1", false) };
    QSignalSpy dialog(controller(), &DownloadController::usbDriveDialogRequested);
    QSignalSpy resume(controller(), &DownloadController::usbCommandResumed);
    QSignalSpy failed(controller(), &DownloadController::downloadFailed);
    controller()->startUsbDownloadForRow(0);
    QVERIFY(idle());
    QCOMPARE(dialog.count(), dialogs);
    QCOMPARE(resume.count(), resumed);
    QCOMPARE(failed.isEmpty(), failure.isEmpty());
    if (!failure.isEmpty())
        QCOMPARE(failed.first().first().toString(), failure);
    QCOMPARE(m_state.displayEntries[0].downloadState, cached ? 0 : onServer ? 3 : 1);
    // No row: nothing.
    controller()->startUsbDownloadForRow(5);
    QCOMPARE(m_state.activeDownloads, 0);
}

void tst_DownloadController::usbForChosenRelease()
{
    catalogue({ { "PX-1", "S1", "px1.bin", 5000 } });
    m_state.displayEntries = { rowOf("MX-5", false), rowOf("px-1", false) };
    QSignalSpy dialog(controller(), &DownloadController::usbDriveDialogRequested);
    controller()->setUsbRelease(m_database.releases().first());
    controller()->prepareUsbDriveForRelease();
    QVERIFY(m_state.modelDownloadPending);
    QCOMPARE(m_state.displayEntries[1].downloadState, 2);
    QCOMPARE(m_state.displayEntries[0].downloadState, 0);
    QVERIFY(idle());
    // Resumed: the package is there now and the dialog opens for the chosen release.
    QCOMPARE(dialog.count(), 1);
    QCOMPARE(dialog.first().first().value<FirmwareRelease>().models, QStringList { "PX-1" });
    QCOMPARE(m_state.displayEntries[1].downloadState, 3);
}

void tst_DownloadController::cancelUsbDownload()
{
    catalogue({ { "PX-1", "S1", "px1.bin", 400000 } });
    FwBehaviour slow;
    slow.trickleBytes = 1000;
    slow.trickleIntervalMs = 50;
    m_server.setBehaviour(slow);
    m_state.displayEntries = { rowOf("PX-1", false) };
    QSignalSpy dialog(controller(), &DownloadController::usbDriveDialogRequested);
    QSignalSpy resume(controller(), &DownloadController::usbCommandResumed);
    QSignalSpy failed(controller(), &DownloadController::downloadFailed);
    QSignalSpy status(controller(), &DownloadController::statusMessage);
    controller()->startUsbDownloadForRow(0);
    QTRY_VERIFY(!served().isEmpty());
    controller()->cancel_download_clicked();
    QVERIFY(idle());
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Download canceled"));
    QVERIFY(dialog.isEmpty());
    QVERIFY(resume.isEmpty());
    QVERIFY(failed.isEmpty());
    QCOMPARE(m_state.displayEntries[0].downloadState, 1);

    // Cancelled before the job got to start: it still ends through the same path.
    m_server.setBehaviour(FwBehaviour());
    const qsizetype requests = served().size();
    controller()->startUsbDownloadForRow(0);
    controller()->cancel_download_clicked();
    QVERIFY(idle());
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Download canceled"));
    QTest::qWait(100);
    QCOMPARE(served().size(), requests);
}

QTEST_GUILESS_MAIN(tst_DownloadController)
void tst_DownloadController::packageDisagreeingWithCatalogueIsFetchedOnce_data()
{
    QTest::addColumn<int>("command"); // 0 update, 1 USB for a row, 2 USB for a chosen release
    QTest::newRow("update") << 0;
    QTest::newRow("USB for a row") << 1;
    QTest::newRow("USB for a chosen release") << 2;
}

void tst_DownloadController::packageDisagreeingWithCatalogueIsFetchedOnce()
{
    QFETCH(int, command);
    // The checksum is right and the size is not: the download passes, the cache check after it
    // fails. The resumed command must not fetch and check it again and again.
    catalogue({ { "PX-1", "S1", "px1.bin", 40000, 20000 } });
    m_state.displayEntries = { rowOf("PX-1"), rowOf("MX-5") };
    QSignalSpy confirm(controller(), &DownloadController::confirmationRequested);
    QSignalSpy dialog(controller(), &DownloadController::usbDriveDialogRequested);
    QSignalSpy failed(controller(), &DownloadController::downloadFailed);
    QSignalSpy status(controller(), &DownloadController::statusMessage);
    QList<int> resumedRows;
    // What the window does when the row's USB download has ended.
    connect(controller(), &DownloadController::usbCommandResumed, this, [&](int row) {
        resumedRows << row;
        controller()->startUsbDownloadForRow(row);
    }, Qt::QueuedConnection);
    if (command == 0) {
        controller()->startUpdateDownloads();
    } else if (command == 1) {
        controller()->startUsbDownloadForRow(0);
    } else {
        controller()->setUsbRelease(m_database.releases().first());
        controller()->prepareUsbDriveForRelease();
    }
    QVERIFY(idle());
    QTest::qWait(200);
    QCOMPARE(m_state.activeDownloads, 0);
    QCOMPARE(served().count("/firmwareupdates/px1.bin"), 1);
    QCOMPARE(resumedRows, command == 1 ? QList<int> { 0 } : QList<int>());
    QCOMPARE(confirm.count(), 0);
    QCOMPARE(dialog.count(), 0);
    QCOMPARE(failed.count(), command == 0 ? 0 : 1);
    if (command != 0)
        QCOMPARE(failed.first().first().toString(), QStringLiteral("Error: Download file is corrupted (checksum failed)."));
    QCOMPARE(status.last().at(0).toString(), QStringLiteral("Download error"));
    QCOMPARE(m_state.displayEntries[0].downloadState, 1);

    // A later command tries again and ends the same way, once.
    const int failuresBefore = int(failed.count());
    controller()->startUsbDownloadForRow(0);
    QVERIFY(idle());
    QTest::qWait(200);
    QCOMPARE(int(failed.count()), failuresBefore + 1);
    QCOMPARE(dialog.count(), 0);
    QCOMPARE(m_state.activeDownloads, 0);
}

#include "tst_downloadcontroller.moc"
