#include "app/Tessel.h"
#include "common/ServedProfile.h"
#include "common/TestFiles.h"
#include "common/TestPackages.h"
#include "common/UsbDialogWatcher.h"
#include "fwserver/FwServer.h"
#include "log/LogMessageHandler.h"
#include "log/SV_Information_Dialog.h"
#include "records/DisplayTableState.h"
#include "table/displayListModel.h"

#include "SimFleet.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

// The two USB drive commands from the window, end to end: "Create firmware USB drive for ...
// display..." for the selected row and "Create firmware USB drive by model..." with the model
// search, against simulated displays on 127.0.87.x and a local firmware server. Each command ends
// in the drive dialog with the verified files in the cache, or in a cancel or an error told to the
// user without the dialog.
namespace {

enum class Package {
    Zip,       // a zip archive of two firmware files, unpacked into the cache
    Plain,     // the package is itself the firmware file
    Missing,   // named in the catalogue, not on the server: 404
    Large,     // a plain package big enough to cancel while it trickles in
    BadSum,    // the catalogue's checksum is not the package's
    WrongSize, // the catalogue's size is not the package's; its checksum is right
};

struct Planned
{
    const char *model;
    Package package;
    int usb;            // updateViaUSB
    int http;           // updateViaHTTP
    int requiresBuild;  // requiresAppBuild
    bool onNetwork;     // a simulated display of this model answers the search
    const char *region; // needRegionSelectListingText
};

const Planned Releases[] = {
    { "UA-101", Package::Zip, 1, 1, 250000, true, "" },
    { "UB-202", Package::Plain, 3, 0, 250000, true, "" },      // USB only, in the cache before start
    { "UC-303", Package::Plain, 0, 1, 250000, true, "" },      // no USB update
    { "UD-404", Package::Missing, 1, 1, 250000, true, "" },
    { "UE-505", Package::Large, 1, 1, 250000, true, "" },
    { "UF-606", Package::Plain, 1, 1, 260000, true, "" },      // needs a newer application
    { "UH-808", Package::WrongSize, 1, 1, 250000, true, "" },
    { "UK-111", Package::BadSum, 1, 1, 250000, true, "" },
    { "UM-900", Package::Plain, 1, 0, 250000, false, "Europe" }, // two releases told apart by region
    { "UM-900", Package::Plain, 1, 0, 250000, false, "Japan" },
    { "UN-950", Package::Plain, 1, 0, 250000, false, "" },     // only by name, in the cache before start
};

// Displays answer on 127.0.87.2 and up, one per release with onNetwork, then one model the
// catalogue does not know.
const char *const UnknownModel = "UG-707";

QString packageName(const Planned &p)
{
    QString name = QString::fromLatin1(p.model).toLower().remove(QLatin1Char('-'));
    if (*p.region)
        name += QLatin1Char('_') + QString::fromLatin1(p.region).toLower();
    return name + (p.package == Package::Zip ? QStringLiteral(".zip") : QStringLiteral(".bin"));
}

const QString DownloadErrorText = QStringLiteral(
        "An error occurred while downloading the firmware. Check Internet connectivity and try again.");
const QString ChecksumErrorText = QStringLiteral("Error: Download file is corrupted (checksum failed).");

} // namespace

class TestUsbFlowsEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_serverRoot;
    QTemporaryDir m_plainCopies; // what a finished download leaves in the cache, for the cached cases
    FwServer m_server;
    SimFleet m_fleet;
    std::unique_ptr<Tessel> m_window;
    QStringList m_statusMessages;
    QStringList m_messageBoxes;
    QString m_chooseModel;
    QString m_chooseRegion;
    bool m_modelSearchSeen = false;
    QTimer m_answerer;

    const DisplayTableState &state() const { return m_window->tableState(); }
    QTableView *table() const { return m_window->findChild<QTableView *>("display_list_tableView"); }
    QPushButton *usbButton() const { return m_window->findChild<QPushButton *>("create_usb_drive_pushButton"); }
    QPushButton *cancelButton() const { return m_window->findChild<QPushButton *>("cancelDownloadsButton"); }
    QAction *byModel() const { return m_window->findChild<QAction *>("actionCreate_USB_drive_for_another_model"); }
    QString log() const { return m_window->logDialog()->text(); }

    int viewRowOf(const QString &model) const
    {
        QAbstractItemModel *shown = table()->model();
        for (int r = 0; r < shown->rowCount(); ++r) {
            if (shown->index(r, displayListModel::ModelNameColumn).data().toString() == model)
                return r;
        }
        return -1;
    }
    const DisplayEntry &entry(const QString &model) const
    {
        for (const DisplayEntry &row : state().displayEntries) {
            if (row.modelName == model)
                return row;
        }
        qFatal("no row for %s", qPrintable(model));
    }
    QString availability(const QString &model) const
    {
        return table()->model()->index(viewRowOf(model), displayListModel::AvailabilityColumn).data().toString();
    }
    int requestsFor(const QString &package) const
    {
        return int(m_server.requestedPaths().count(QStringLiteral("/firmwareupdates/") + package));
    }
    bool idle() const
    {
        return state().activeDownloads == 0 && !state().anyDownloadPending() && state().pendingControlRequests == 0
                && !state().searching;
    }

    // Selects the model's row as a user would, and waits for the window to follow.
    void select(const QString &model)
    {
        const int viewRow = viewRowOf(model);
        QVERIFY2(viewRow >= 0, qPrintable(model));
        table()->selectRow(viewRow);
        QTRY_VERIFY(usbButton()->text().contains(model));
    }

    // Message boxes are read and closed; the model search is filled in with the name and region the
    // test set. The drive dialog is left to the UsbDialogWatcher of each case.
    void answerDialogs()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            m_messageBoxes << box->text();
            box->button(QMessageBox::Ok)->click();
        } else if (auto *search = qobject_cast<search_model_dialog *>(modal)) {
            m_modelSearchSeen = true;
            if (!chooseModel(search, m_chooseModel, m_chooseRegion))
                search->reject();
        }
    }

    void writeCatalogue()
    {
        QJsonArray firmware;
        for (const Planned &p : Releases) {
            const QString model = QString::fromLatin1(p.model);
            const QString name = packageName(p);
            QJsonObject release {
                { "version", "2.000" },
                { "releaseDate", "2026-12-01" },
                { "seriesName", "SERIES_CEDAR5" },
                { "updateViaHTTP", p.http },
                { "updateViaUSB", p.usb },
                { "requiresAppBuild", p.requiresBuild },
                { "models", QJsonArray { model } },
                { "changes", QJsonObject { { "version", "2.000" }, { "changeList", "Fixes" } } },
                { "downloadLoc", m_server.url(name).toString() },
            };
            if (*p.region) {
                release.insert("needRegionSelectListingText", QString::fromLatin1(p.region));
                release.insert("needRegionSelectDescription", QStringLiteral("For %1 only.").arg(p.region));
            }
            QByteArray package;
            if (p.package == Package::Zip) {
                QList<TestPackages::Member> members;
                QJsonArray unpacked;
                for (int k = 0; k < 2; ++k) {
                    const QString member = QStringLiteral("%1_part%2.bin").arg(model.toLower()).arg(k + 1);
                    members.append({ member, TestPackages::payload(member, 30000 + k) });
                    unpacked.append(QJsonObject { { "fileName", member },
                                                  { "fileSize", members.last().second.size() },
                                                  { "fileChecksum", TestPackages::md5Hex(members.last().second) } });
                }
                QVERIFY(TestPackages::makeZip(m_serverRoot.filePath(name), members));
                release.insert("unpackedFileInfo", unpacked);
                package = TestFiles::readFile(m_serverRoot.filePath(name));
            } else {
                package = TestPackages::payload(name, p.package == Package::Large ? 2000000 : 40000);
                if (p.package != Package::Missing)
                    QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(name), package));
                QVERIFY(TestFiles::writeFile(m_plainCopies.filePath(name), package));
            }
            release.insert("fileChecksum", p.package == Package::BadSum ? TestPackages::md5Hex("other") : TestPackages::md5Hex(package));
            release.insert("fileSize", p.package == Package::WrongSize ? package.size() / 2 : package.size());
            firmware.append(release);
        }
        const QJsonObject doc { { "info", QJsonObject { { "databaseVersion", 3 }, { "latestAppBuildWindows", 250930 } } },
                                { "firmware", firmware } };
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath("pd_firmware_releases.json"), QJsonDocument(doc).toJson()));
    }

    void startFleet()
    {
        QList<SimDisplayConfig> configs;
        QStringList models;
        for (const Planned &p : Releases) {
            if (p.onNetwork)
                models << QString::fromLatin1(p.model);
        }
        models << QString::fromLatin1(UnknownModel);
        for (int i = 0; i < models.size(); ++i) {
            SimDisplayConfig c;
            c.modelName = models.at(i);
            c.serialNumber = QStringLiteral("87A%1").arg(i, 5, 10, QLatin1Char('0'));
            c.seriesCode = 3;
            c.mainFwVersion = QStringLiteral("R1.000");
            c.macAddress = QByteArray::fromHex("0016AA8700") + char(i);
            // Port 80 needs root; elsewhere the web page checks simply find no page.
            if (::geteuid() != 0)
                c.webPort = 18080;
            configs.append(c);
        }
        QCOMPARE(m_fleet.start(QHostAddress(QStringLiteral("127.0.87.2")), configs), 0);
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"), QStringLiteral("Quillon"));
        s.setValue("Settings/IP Address Scan Text", QStringLiteral("127.0.87.2 - %1").arg(2 + models.size() - 1));
    }

    // A finished download's files put into the cache by hand.
    void cache(const QString &package)
    {
        QVERIFY(QFile::copy(m_plainCopies.filePath(package), m_window->cacheFolderPath() + QLatin1Char('/') + package));
    }

    void slowServer(bool slow, int bytesPerPiece = 8000)
    {
        FwBehaviour behaviour;
        if (slow) {
            behaviour.trickleBytes = bytesPerPiece;
            behaviour.trickleIntervalMs = 40;
        }
        m_server.setBehaviour(behaviour);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_serverRoot.isValid() && m_plainCopies.isValid());
        QVERIFY(ServedProfile::start(m_home, m_server, m_serverRoot.path(), QHostAddress(QStringLiteral("127.0.87.1"))));
        writeCatalogue();
        startFleet();

        m_window = std::make_unique<Tessel>();
        m_window->show();
        QVERIFY(QTest::qWaitFor([this] {
            return state().displayEntries.size() == 9 && idle() && state().searchAttempted;
        }, 30000));
        QTest::qWait(100);
        cache(QStringLiteral("ub202.bin"));
        cache(QStringLiteral("un950.bin"));
        connect(m_window->statusBar(), &QStatusBar::messageChanged, this,
                [this](const QString &text) { m_statusMessages << text; });
        connect(&m_answerer, &QTimer::timeout, this, &TestUsbFlowsEndToEnd::answerDialogs);
        m_answerer.start(20);
    }

    void cleanupTestCase()
    {
        m_answerer.stop();
        m_window.reset();
        LogMessageHandler::uninstall();
    }

    void init()
    {
        m_statusMessages.clear();
        m_messageBoxes.clear();
        m_modelSearchSeen = false;
        slowServer(false);
    }

    void cleanup()
    {
        QVERIFY(QTest::qWaitFor([this] { return idle(); }, 20000));
        QVERIFY(!QApplication::overrideCursor());
    }

    // The USB button offers a drive only for a row whose release may be put on one by this build.
    void usbButtonFollowsTheSelectedRow_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("LAN and USB") << "UA-101" << true;
        QTest::newRow("USB only") << "UB-202" << true;
        QTest::newRow("no USB update") << "UC-303" << false;
        QTest::newRow("needs a newer application") << "UF-606" << false;
        QTest::newRow("not in the catalogue") << QString::fromLatin1(UnknownModel) << false;
    }

    void usbButtonFollowsTheSelectedRow()
    {
        QFETCH(QString, model);
        select(model);
        QTEST(usbButton()->isEnabled(), "enabled");
        QVERIFY(usbButton()->text().startsWith(QStringLiteral("Create firmware USB drive for %1 display").arg(model)));
        QVERIFY(byModel()->isEnabled());
    }

    void cachedFirmwareOpensTheDialogAtOnce()
    {
        UsbDialogWatcher watcher;
        select(QStringLiteral("UB-202"));
        QVERIFY(usbButton()->isEnabled());
        usbButton()->click();
        QTRY_COMPARE(watcher.openings.size(), 1);
        QCOMPARE(watcher.openings.first().models, QStringList { "UB-202" });
        QCOMPARE(watcher.openings.first().cacheFolder, m_window->cacheFolderPath());
        QVERIFY(watcher.openings.first().cacheFiles.contains(QStringLiteral("ub202.bin")));
        QVERIFY(log().contains(QStringLiteral("Firmware for model UB-202 is already downloaded.")));
        QCOMPARE(requestsFor(QStringLiteral("ub202.bin")), 0);
        QVERIFY(!cancelButton()->isVisible());
        QVERIFY(m_messageBoxes.isEmpty());
        QTRY_VERIFY(usbButton()->isEnabled());
    }

    void downloadThenDialog()
    {
        UsbDialogWatcher watcher;
        select(QStringLiteral("UA-101"));
        slowServer(true);
        usbButton()->click();

        // While the package comes in: the row and the status bar show it, no command can start another.
        QCOMPARE(entry("UA-101").downloadState, 2);
        QVERIFY(availability("UA-101").endsWith(QStringLiteral("% Downloading")));
        QVERIFY(!usbButton()->isEnabled());
        QVERIFY(!byModel()->isEnabled());
        QVERIFY(cancelButton()->isVisible());
        QVERIFY(QApplication::overrideCursor());
        QTRY_VERIFY(std::any_of(m_statusMessages.cbegin(), m_statusMessages.cend(), [](const QString &text) {
            return QRegularExpression(QStringLiteral("^Downloading \\d{1,3}% ")).match(text).hasMatch();
        }));
        QVERIFY(watcher.openings.isEmpty());

        QTRY_COMPARE_WITH_TIMEOUT(watcher.openings.size(), 1, 20000);
        const UsbDialogWatcher::Opening &opened = watcher.openings.first();
        QCOMPARE(opened.models, QStringList { "UA-101" });
        QVERIFY(opened.downloadLoc.endsWith(QStringLiteral("/firmwareupdates/ua101.zip")));
        // The package was unpacked and its files verified before the dialog opened.
        QVERIFY(opened.cacheFiles.contains(QStringLiteral("ua-101_part1.bin")));
        QVERIFY(opened.cacheFiles.contains(QStringLiteral("ua-101_part2.bin")));
        QVERIFY(!opened.cacheFiles.contains(QStringLiteral("ua101.zip")));
        QVERIFY(m_statusMessages.contains(QStringLiteral("Download complete")));
        QCOMPARE(entry("UA-101").downloadState, 3);
        QCOMPARE(availability("UA-101"), QStringLiteral("New version 2.000 downloaded"));
        QVERIFY(log().contains(QStringLiteral("Firmware for model UA-101 is already downloaded.")));
        QTRY_VERIFY(usbButton()->isEnabled());
        QVERIFY(byModel()->isEnabled());
        QVERIFY(!cancelButton()->isVisible());
        QCOMPARE(requestsFor(QStringLiteral("ua101.zip")), 1);

        // Once more: the unpacked files are found and verified, nothing is fetched.
        usbButton()->click();
        QTRY_COMPARE(watcher.openings.size(), 2);
        QCOMPARE(requestsFor(QStringLiteral("ua101.zip")), 1);
        QVERIFY(m_messageBoxes.isEmpty());
    }

    void cancelDuringDownload()
    {
        UsbDialogWatcher watcher;
        select(QStringLiteral("UE-505"));
        slowServer(true);
        usbButton()->click();
        QTRY_VERIFY(std::any_of(m_statusMessages.cbegin(), m_statusMessages.cend(),
                                [](const QString &text) { return text.startsWith(QStringLiteral("Downloading ")); }));
        QVERIFY(cancelButton()->isVisible());
        cancelButton()->click();
        QTRY_COMPARE(state().activeDownloads, 0);
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Download canceled"));
        // Neither a message nor the drive dialog follows.
        QTest::qWait(300);
        QVERIFY(m_messageBoxes.isEmpty());
        QVERIFY(watcher.openings.isEmpty());
        QVERIFY(!cancelButton()->isVisible());
        QCOMPARE(availability("UE-505"), QStringLiteral("Download error"));
        QVERIFY(!QFile::exists(m_window->cacheFolderPath() + QStringLiteral("/ue505.bin")));
        QTRY_VERIFY(usbButton()->isEnabled());
        QVERIFY(byModel()->isEnabled());
    }

    // The panel follows the selection while the package comes in; the drive dialog is for the row
    // the command was given all the same.
    void selectionMovesDuringDownload()
    {
        UsbDialogWatcher watcher;
        select(QStringLiteral("UE-505"));
        slowServer(true, 100000);
        usbButton()->click();
        QVERIFY(cancelButton()->isVisible());
        select(QStringLiteral("UB-202"));
        QTRY_COMPARE_WITH_TIMEOUT(watcher.openings.size(), 1, 20000);
        QCOMPARE(watcher.openings.first().models, QStringList { "UE-505" });
        QVERIFY(watcher.openings.first().cacheFiles.contains(QStringLiteral("ue505.bin")));
        QTest::qWait(200);
        QCOMPARE(watcher.openings.size(), 1);
        QCOMPARE(requestsFor(QStringLiteral("ue505.bin")), 2);
        QVERIFY(m_messageBoxes.isEmpty());
    }

    // A download that fails tells the user why, once, and opens no dialog. A package whose size
    // disagrees with the catalogue must not be fetched and checked over and over.
    void failedDownloadTellsTheUser_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("text");
        QTest::newRow("404") << "UD-404" << "ud404.bin" << DownloadErrorText;
        QTest::newRow("checksum") << "UK-111" << "uk111.bin" << ChecksumErrorText;
        QTest::newRow("size") << "UH-808" << "uh808.bin" << ChecksumErrorText;
    }

    void failedDownloadTellsTheUser()
    {
        QFETCH(QString, model);
        QFETCH(QString, package);
        QFETCH(QString, text);
        UsbDialogWatcher watcher;
        const int requestsBefore = requestsFor(package);
        select(model);
        usbButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_messageBoxes.size(), 1, 10000);
        QCOMPARE(m_messageBoxes.first(), text);
        QVERIFY(QTest::qWaitFor([this] { return idle(); }, 5000));
        QTest::qWait(300);
        QCOMPARE(m_messageBoxes.size(), 1);
        QVERIFY(watcher.openings.isEmpty());
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Download error"));
        QCOMPARE(availability(model), QStringLiteral("Download error"));
        QCOMPARE(requestsFor(package), requestsBefore + 1);
        QTRY_VERIFY(usbButton()->isEnabled());
    }

    // "Create firmware USB drive by model...": the model search names the release, its package
    // comes from the server unless the cache has it, and the dialog opens for that release.
    void byModelCommand_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("package");
        QTest::addColumn<bool>("cached");
        QTest::newRow("region variant, downloaded") << "UM-900" << "Japan" << "um900_japan.bin" << false;
        QTest::newRow("same again, cached") << "UM-900" << "Japan" << "um900_japan.bin" << true;
        QTest::newRow("other region, downloaded") << "UM-900" << "Europe" << "um900_europe.bin" << false;
        QTest::newRow("cached before start") << "UN-950" << "" << "un950.bin" << true;
    }

    void byModelCommand()
    {
        QFETCH(QString, model);
        QFETCH(QString, region);
        QFETCH(QString, package);
        QFETCH(bool, cached);
        UsbDialogWatcher watcher;
        m_chooseModel = model;
        m_chooseRegion = region;
        const int requestsBefore = requestsFor(package);
        const int logLinesBefore = int(log().count(QStringLiteral("Firmware is already downloaded.")));

        QVERIFY(byModel()->isEnabled());
        if (!cached)
            slowServer(true);
        byModel()->trigger();
        QVERIFY(m_modelSearchSeen);
        if (!cached) {
            QVERIFY(state().modelDownloadPending);
            QVERIFY(!byModel()->isEnabled());
            QVERIFY(!usbButton()->isEnabled());
            QVERIFY(cancelButton()->isVisible());
        }
        QTRY_COMPARE_WITH_TIMEOUT(watcher.openings.size(), 1, 20000);
        const UsbDialogWatcher::Opening &opened = watcher.openings.first();
        QCOMPARE(opened.models, QStringList { model });
        QVERIFY2(opened.downloadLoc.endsWith(QStringLiteral("/firmwareupdates/") + package), qPrintable(opened.downloadLoc));
        QVERIFY(opened.cacheFiles.contains(package));
        QCOMPARE(requestsFor(package), requestsBefore + (cached ? 0 : 1));
        // The resumed command finds the package too: the line is written whenever the dialog opens.
        QCOMPARE(int(log().count(QStringLiteral("Firmware is already downloaded."))), logLinesBefore + 1);
        if (!cached)
            QVERIFY(m_statusMessages.contains(QStringLiteral("Download complete")));
        QVERIFY(m_messageBoxes.isEmpty());
        QTRY_VERIFY(byModel()->isEnabled());
    }

    void byModelCancelledSearchDoesNothing()
    {
        UsbDialogWatcher watcher;
        m_chooseModel = QStringLiteral("ZZ-000"); // no release carries it: OK stays off, the search is cancelled
        m_chooseRegion.clear();
        const int requestsBefore = int(m_server.requestedPaths().size());
        byModel()->trigger();
        QVERIFY(m_modelSearchSeen);
        QTest::qWait(200);
        QVERIFY(watcher.openings.isEmpty());
        QCOMPARE(int(m_server.requestedPaths().size()), requestsBefore);
        QCOMPARE(state().activeDownloads, 0);
        QVERIFY(!state().modelDownloadPending);
    }
};

QTEST_MAIN(TestUsbFlowsEndToEnd)
#include "tst_usbflows_e2e.moc"
