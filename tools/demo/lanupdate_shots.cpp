// Runs the main window against a simulated fleet and a local firmware server, starts "Update
// firmware via LAN", and saves four pictures: the window with the command held off by a ticked
// display whose update address does not answer (its tool tip shown), the confirmation summary
// once that display is unticked, the window while the batch runs (some displays done, some
// running, some queued, one failed), and a two-file display half way through its files. With
// "rollout" as the third argument the rollout policy is on (one display of each model first, stop
// after 2 failures), the first PX-551 fails too, and the window is saved once the batch has
// stopped. With "mismatch" LG-242 comes back on its old version, and the window is saved once the
// batch is over. The language follows LANG, as in the program.
//   lanupdate_shots <output folder> <name>     (QUILLON_PALETTE=dark for the dark palette)
#include "app/AppPalette.h"
#include "app/AppTranslations.h"
#include "app/Tessel.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "fwserver/FwServer.h"
#include "log/LogMessageHandler.h"
#include "queue/UpdateQueue.h"
#include "records/DisplayTableState.h"

#include "SimFleet.h"

#include <QAbstractItemModel>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolTip>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

struct Planned
{
    const char *model;
    const char *seriesName;
    int series;
    int powerSave;     // 0 Auto Power Save, 1 Auto Standby, 2 Off
    int progressStep;  // percent per progress poll: sets how fast the display updates
    bool fails;
    const char *assetTag;
    int components = 1;
    bool deadSecondAddress = false; // its firmware update address answers nothing
};

const Planned Fleet[] = {
    { "PX-551", "SERIES_CEDAR5", 3, 2, 50, false, "Lobby east" },
    { "PX-551", "SERIES_CEDAR5", 3, 2, 25, false, "Lobby west" },
    { "LG-242", "SERIES_LARCH", 2, 1, 50, false, "Canteen" },
    { "MX-651", "SERIES_CEDAR5_UHD", 5, 2, 4, false, "<b>Board room</b>" },
    { "RH-048", "SERIES_ROWAN_H", 10, 2, 6, false, "Reception" },
    { "CG-444", "SERIES_BIRCH", 4, 2, 10, false, "Floor 5", 2 },
    { "FX-350", "SERIES_CEDAR5", 3, 2, 50, true, "Lab 2" },
    { "RL-947", "SERIES_ROWAN_L", 9, 2, 5, false, "Atrium" },
    { "CG-646", "SERIES_CEDAR5_XN", 6, 2, 5, false, "Floor 3" },
    { "PX-551", "SERIES_CEDAR5", 3, 2, 5, false, "Floor 4" },
    { "PX-552", "SERIES_CEDAR5", 3, 2, 5, false, "Stairwell", 1, true },
};
constexpr int FleetSize = int(std::size(Fleet));

QString md5(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: lanupdate_shots <output folder> <name> [rollout|mismatch]\n");
        return 2;
    }
    const bool rollout = argc > 3 && qstrcmp(argv[3], "rollout") == 0;
    // LG-242 takes the firmware and comes back on its old version: the check must call it a failure.
    const bool mismatch = argc > 3 && qstrcmp(argv[3], "mismatch") == 0;
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication app(argc, argv);
    AppTranslations translations;
    translations.install();
    AppPalette::applyFromEnvironment();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    const quint16 webPort = ::geteuid() == 0 ? 80 : 18080;

    // The catalogue and one package per model on a local firmware server.
    FwServer server;
    QDir().mkpath(home.filePath("server"));
    server.setRoot(home.filePath("server"));
    server.setBasePath(QStringLiteral("/firmwareupdates/"));
    if (!server.listen(QHostAddress(QStringLiteral("127.0.0.1"))))
        return 1;
    QJsonArray firmware;
    QStringList models;
    for (const Planned &p : Fleet) {
        const QString model = QString::fromLatin1(p.model);
        if (models.contains(model))
            continue;
        models << model;
        const int components = p.components;
        const QByteArray package(200000, char('a' + models.size()));
        QFile file(home.filePath("server/" + model + ".bin"));
        if (!file.open(QIODevice::WriteOnly) || file.write(package) != package.size())
            return 1;
        file.close();
        firmware.append(QJsonObject {
                { "version", "2.000" }, { "seriesName", QString::fromLatin1(p.seriesName) },
                { "downloadLoc", server.url(model + ".bin").toString() }, { "fileChecksum", md5(package) },
                { "fileSize", package.size() }, { "updateViaHTTP", 1 }, { "updateViaUSB", 1 },
                { "updateViaHTTPDurationSecs", 240 }, { "numPACComponents", components }, { "useIP2", p.deadSecondAddress ? 1 : 0 }, { "manualPowerCycleRequired", model == "MX-651" ? 2 : 0 },
                { "models", QJsonArray { model } },
                { "changes", QJsonObject { { "version", "2.000" }, { "changeList", "Faster start-up|Fixes HDMI detection" } } } });
    }
    QFile catalogue(home.filePath("server/pd_firmware_releases.json"));
    if (!catalogue.open(QIODevice::WriteOnly))
        return 1;
    catalogue.write(QJsonDocument(QJsonObject { { "info", QJsonObject { { "databaseVersion", 12 }, { "latestAppBuildWindows", 250930 } } },
                                                { "firmware", firmware } })
                            .toJson());
    catalogue.close();
    qputenv("QUILLON_FIRMWARE_URL", server.url(QString()).toString().toUtf8());

    // The displays on 127.0.76.x, each updating at its own pace.
    QList<SimDisplayConfig> configs;
    for (int i = 0; i < FleetSize; ++i) {
        const Planned &p = Fleet[i];
        SimDisplayConfig c;
        c.modelName = QString::fromLatin1(p.model);
        c.serialNumber = QStringLiteral("76B%1").arg(i + 1, 5, 10, QLatin1Char('0'));
        c.seriesCode = quint8(p.series);
        c.mainFwVersion = QStringLiteral("R1.000");
        c.assetTag = QString::fromLatin1(p.assetTag);
        c.macAddress = QByteArray::fromHex("0016AA7600") + char(i + 1);
        c.powerSaveSetting = p.powerSave;
        c.webPort = webPort;
        c.update.components = p.components;
        if (p.deadSecondAddress)
            c.secondAddress = QHostAddress(QStringLiteral("127.0.82.1"));
        c.update.progressStep = p.progressStep;
        c.update.firmwareAfterMain = mismatch && i == 2 ? QStringLiteral("R1.000") : QStringLiteral("R2.000");
        c.update.rebootMs = 500;
        c.update.legacyQuietMs = 1;
        if (p.fails || (rollout && i == 0))
            c.update.updateFailComponent = 1;
        // The second failure comes later, once PX-551's others were held back.
        if (rollout && p.fails)
            c.update.progressStep = 10;
        configs.append(c);
    }
    SimFleet fleet;
    if (fleet.start(QHostAddress(QStringLiteral("127.0.76.1")), configs) != 0)
        return 1;

    {
        QSettings s;
        s.setValue("Settings/IP Address Scan Text", QStringLiteral("127.0.76.1 - %1").arg(FleetSize));
        s.setValue("Settings/Multi Update Limit", 5);
        s.setValue("Settings/Main Dialog Width", 1560);
        s.setValue("Settings/Main Dialog Height", 800);
        s.setValue("Settings/Show Asset Tag Column", true);
        if (rollout) {
            s.setValue("Settings/RolloutFirstPerModel", true);
            s.setValue("Settings/RolloutMaxFailures", 2);
        }
    }
    auto window = std::make_unique<Tessel>();
    window->resize(1560, 800);
    window->show();
    const DisplayTableState &state = window->tableState();
    if (!waitFor([&] { return state.displayEntries.size() == FleetSize && !state.searching && state.searchAttempted
                               && state.pendingControlRequests == 0; }, 30000)) {
        std::fprintf(stderr, "the search did not find the fleet\n");
        return 1;
    }
    QTest::qWait(3500); // the status bar's search text times out

    // The display whose update address is dead is ticked like the others and holds the command
    // off: the button's tool tip and the status bar say which one and what to do.
    auto *lanButton = window->findChild<QPushButton *>("download_pushButton");
    window->update_ui(false);
    if (lanButton->isEnabled() || lanButton->toolTip().isEmpty())
        std::fprintf(stderr, "the dead second address did not hold the LAN update off\n");
    // No window manager runs on the virtual screen: the window is made the active one by hand,
    // or Qt hides the tool tip of an inactive window at once.
    QApplication::setActiveWindow(window.get());
    QTest::qWait(200);
    QToolTip::showText(lanButton->mapToGlobal(QPoint(lanButton->width() / 2, lanButton->height())), lanButton->toolTip(),
                       lanButton);
    QTest::qWait(800);
    const QRect frame = window->frameGeometry();
    window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height() + 40)
            .save(out + "/blocked-" + name + ".png");
    QToolTip::hideText();
    // Unticked as the technician would, by its check box.
    auto *proxy = qobject_cast<QAbstractProxyModel *>(window->findChild<QTableView *>("display_list_tableView")->model());
    for (int r = 0; proxy && r < proxy->rowCount(); ++r) {
        const QModelIndex check = proxy->index(r, 0);
        if (window->tableState().displayEntries.value(proxy->mapToSource(check).row()).commStatus == 2)
            proxy->setData(check, Qt::Unchecked, Qt::CheckStateRole);
    }
    window->update_ui(false);
    QTest::qWait(300);
    window->grab().save(out + "/unticked-" + name + ".png");
    SessionParams params;
    params.webPort = webPort;
    window->updateQueue()->setSessionParams(params);

    // Cautions accepted, the summary saved and accepted.
    bool summarySaved = false;
    QTimer answerer;
    answerer.setInterval(50);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (auto *cautions = qobject_cast<UpdateWarningMessageDialog *>(dialog)) {
            cautions->findChild<QCheckBox *>("checkBox")->setChecked(true);
            cautions->findChild<QPushButton *>("ok_pushButton")->click();
        } else if (qobject_cast<ConfirmWithScrollMsgAreaDialog *>(dialog) && !summarySaved) {
            summarySaved = true;
            QTest::qWait(300);
            dialog->grab().save(out + "/summary-" + name + ".png");
            dialog->accept();
        }
    });
    answerer.start();
    window->findChild<QPushButton *>("download_pushButton")->click();
    if (!waitFor([&] { return summarySaved && state.activeUpdates > 0; }, 60000)) {
        std::fprintf(stderr, "the update did not start\n");
        return 1;
    }
    answerer.stop();

    if (rollout || mismatch) {
        // Over: nothing running or queued, every completed display read back. A display on the old
        // version is polled until the release's time and the check's own wait have passed.
        const bool over = waitFor([&] {
            for (const DisplayEntry &e : state.displayEntries) {
                if (e.updateStatus != 0 || e.verifyOutcome == VerifyOutcome::Checking)
                    return false;
            }
            return state.activeUpdates == 0;
        }, mismatch ? 480000 : 240000);
        if (!over)
            std::fprintf(stderr, "the batch did not end; saving what it shows\n");
        auto *table = window->findChild<QTableView *>("display_list_tableView");
        const QString model = rollout ? QStringLiteral("PX-551") : QStringLiteral("LG-242");
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            if (table->model()->index(r, 1).data().toString() == model)
                table->selectRow(r);
        }
        QTest::qWait(1200);
        const QString picture = (rollout ? QStringLiteral("/rollout-stopped-") : QStringLiteral("/mismatch-")) + name;
        window->grab().save(out + picture + ".png");
        std::printf("saved %s/summary-%s.png and %s%s.png\n", qPrintable(out), qPrintable(name), qPrintable(out),
                    qPrintable(picture));
        window.reset();
        LogMessageHandler::uninstall();
        return 0;
    }

    // Some done, some running, some queued, one failed; the panel shows a running display.
    const bool mixed = waitFor([&] {
        int done = 0, failed = 0, queued = 0;
        for (const DisplayEntry &e : state.displayEntries) {
            done += e.resultStatus == 3 && e.verifyOutcome != VerifyOutcome::Checking ? 1 : 0;
            failed += e.updateStatus == 0 && e.resultStatus == 4 ? 1 : 0;
            queued += e.updateStatus == 1 ? 1 : 0;
        }
        return done >= 2 && failed >= 1 && queued >= 1;
    }, 120000);
    if (!mixed)
        std::fprintf(stderr, "the batch never showed every state at once; saving what it shows\n");
    auto *table = window->findChild<QTableView *>("display_list_tableView");
    for (int r = 0; r < table->model()->rowCount(); ++r) {
        if (table->model()->index(r, 1).data().toString() == QLatin1String("MX-651"))
            table->selectRow(r);
    }
    QTest::qWait(1200);
    window->grab().save(out + "/batch-" + name + ".png");

    // The two-file display after its first file, before its second.
    int twoFiles = -1;
    for (int r = 0; r < state.displayEntries.size(); ++r) {
        if (state.displayEntries.at(r).modelName == QLatin1String("CG-444"))
            twoFiles = r;
    }
    const bool halfWay = waitFor([&] {
        const DisplayEntry &e = state.displayEntries.at(twoFiles);
        return e.updateStatus == 2 && e.componentProgress[0] >= 100 && e.componentProgress[1] < 100;
    }, 120000);
    if (!halfWay)
        std::fprintf(stderr, "the two-file display was never seen between its files\n");
    window->grab().save(out + "/progress-" + name + ".png");
    std::printf("saved %s/summary-%s.png and %s/batch-%s.png\n", qPrintable(out), qPrintable(name), qPrintable(out),
                qPrintable(name));
    window.reset();
    LogMessageHandler::uninstall();
    return 0;
}
