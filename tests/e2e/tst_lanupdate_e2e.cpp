#include "app/Tessel.h"
#include "common/TestFiles.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/OptionSetting.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "flows/DownloadController.h"
#include "fwserver/FwServer.h"
#include "log/LogMessageHandler.h"
#include "queue/UpdateQueue.h"
#include "records/DisplayTableState.h"
#include "table/displayListModel.h"

#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimUpdateStats.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QLineEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <unistd.h>

// A technician's LAN update from the window: ticked rows, "Update firmware via LAN", packages
// downloaded from the local firmware server, cautions and summary accepted, the power-save change,
// the queue within its limit (counted by the displays themselves), results and version checks in
// the table; cancel of downloads and of queued updates. The displays live on 127.0.77.x, apart
// from the demos' 127.0.74.x and 127.0.76.x.
namespace {

struct Planned
{
    const char *model;
    const char *seriesName;
    int series;
    int files = 1;          // > 1: a zip package with that many unpacked files
    int powerSave = 2;      // the display's power-save setting
    bool secondAddress = false;
    bool powerPrep = false;
    int fault = 0;          // 1 update fails, 2 every update request answered 401, 3 stops answering
};

const Planned Fleet[] = {
    { "LG-141", "SERIES_CEDAR4", 1, 1, 1 },
    { "LG-242", "SERIES_LARCH", 2, 1, 0 },
    { "CG-343", "SERIES_CEDAR5", 3, 2 },
    { "CG-444", "SERIES_BIRCH", 4, 1, 2, true },
    { "CG-545", "SERIES_CEDAR5_UHD", 5, 3 },
    { "CG-646", "SERIES_CEDAR5_XN", 6 },
    { "RL-947", "SERIES_ROWAN_L", 9, 2 },
    { "RH-048", "SERIES_ROWAN_H", 10 },
    { "WL-149", "SERIES_WILLOW", 11, 1, 2, false, true },
    { "FX-350", "SERIES_CEDAR5", 3, 1, 2, false, false, 1 },
    { "AX-351", "SERIES_CEDAR5", 3, 1, 2, false, false, 2 },
    { "GX-352", "SERIES_CEDAR5", 3, 1, 2, false, false, 3 },
};
constexpr int FleetSize = int(std::size(Fleet));
const QString NewVersion = QStringLiteral("2.000");

QHostAddress address(int i)
{
    return QHostAddress(QStringLiteral("127.0.77.%1").arg(i + 1));
}

QHostAddress secondAddress(int i)
{
    return QHostAddress(QStringLiteral("127.0.78.%1").arg(i + 1));
}

QByteArray payload(const QString &name, int size)
{
    QByteArray data;
    const QByteArray seed = name.toUtf8();
    while (data.size() < size)
        data += QCryptographicHash::hash(seed + QByteArray::number(data.size()), QCryptographicHash::Sha256);
    data.truncate(size);
    return data;
}

QString md5(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

}

class TestLanUpdateEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_serverRoot;
    FwServer m_server;
    SimFleet m_fleet;
    std::unique_ptr<Tessel> m_window;
    QStringList m_summaryHeadings;
    QStringList m_summaryTables;
    int m_cautionsShown = 0;
    int m_optionLimit = 0; // radio button to choose when the options dialog is open
    int m_maxActive = 0;

    const DisplayTableState &state() const { return m_window->tableState(); }
    QTableView *table() const { return m_window->findChild<QTableView *>("display_list_tableView"); }
    QPushButton *button(const char *name) const { return m_window->findChild<QPushButton *>(name); }
    QAction *action(const char *name) const { return m_window->findChild<QAction *>(name); }
    int rowOf(const char *model) const
    {
        for (int row = 0; row < state().displayEntries.size(); ++row)
            if (state().displayEntries.at(row).modelName == QLatin1String(model))
                return row;
        return -1;
    }
    static int fleetIndex(const char *model)
    {
        for (int i = 0; i < FleetSize; ++i)
            if (qstrcmp(Fleet[i].model, model) == 0)
                return i;
        return -1;
    }
    const DisplayEntry &entry(const char *model) const { return state().displayEntries.at(rowOf(model)); }
    // The table's status text of a display, as shown.
    QString cellText(const char *model, int column) const
    {
        QAbstractItemModel *shown = table()->model();
        for (int r = 0; r < shown->rowCount(); ++r) {
            if (shown->index(r, displayListModel::ModelNameColumn).data().toString() == QLatin1String(model))
                return shown->index(r, column).data().toString();
        }
        return QString();
    }
    QString statusText(const char *model) const { return cellText(model, displayListModel::StatusColumn); }
    void tick(const char *model, bool on)
    {
        QAbstractItemModel *shown = table()->model();
        for (int r = 0; r < shown->rowCount(); ++r) {
            if (shown->index(r, displayListModel::ModelNameColumn).data().toString() == QLatin1String(model))
                QVERIFY(shown->setData(shown->index(r, displayListModel::ActionColumn), on ? Qt::Checked : Qt::Unchecked,
                                       Qt::CheckStateRole));
        }
    }
    bool idle() const
    {
        return state().activeUpdates == 0 && !m_window->updateQueue()->isTicking()
                && m_window->updateQueue()->verificationsRunning() == 0 && state().activeDownloads == 0
                && !state().anyDownloadPending() && state().pendingControlRequests == 0;
    }

    // Answers every modal dialog the way the test wants while a command runs.
    void answerDialogs()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (auto *cautions = qobject_cast<UpdateWarningMessageDialog *>(dialog)) {
            ++m_cautionsShown;
            cautions->findChild<QCheckBox *>("checkBox")->setChecked(true);
            cautions->findChild<QPushButton *>("ok_pushButton")->click();
        } else if (qobject_cast<ConfirmWithScrollMsgAreaDialog *>(dialog)) {
            m_summaryHeadings << dialog->findChild<QLabel *>("heading_label")->text();
            m_summaryTables << dialog->findChild<QLabel *>("main_text_label")->text();
            dialog->accept();
        } else if (qobject_cast<OptionSetting *>(dialog)) {
            dialog->findChild<QRadioButton *>(QStringLiteral("radioButton_%1").arg(m_optionLimit))->setChecked(true);
            dialog->accept();
        } else {
            dialog->reject();
        }
    }

    void shortenWaits()
    {
        UpdateQueue *queue = m_window->updateQueue();
        queue->setTickInterval(100);
        SessionParams params;
        params.tickMs = 100;
        params.stepTimeoutSecs = 4;
        params.retryPauseMs = 200;
        params.waitMs = 200;
        params.legacyWritingWaitMs = 300;
        params.legacyTimeoutSecs = 3;
        params.tcpStepTimeoutSecs = 4;
        params.tcpStartTimeoutSecs = 4;
        params.updateStartWaitMs = 1500;
        queue->setSessionParams(params);
        UpdateVerifier::Params verify;
        verify.pollIntervalMs = 200;
        verify.maxWaitMs = 4000;
        queue->setVerifierParams(verify);
    }

    void writeCatalogue()
    {
        QJsonArray firmware;
        for (const Planned &p : Fleet) {
            const QString model = QString::fromLatin1(p.model);
            QJsonObject release {
                { "version", NewVersion },
                { "seriesName", QString::fromLatin1(p.seriesName) },
                { "updateViaHTTP", 1 },
                { "updateViaUSB", 1 },
                { "updateViaHTTPDurationSecs", 5 },
                { "numPACComponents", p.files },
                { "useIP2", p.secondAddress ? 1 : 0 },
                { "needPowerSaveModeToNormal", p.powerPrep ? 1 : 0 },
                { "models", QJsonArray { model } },
                { "changes", QJsonObject { { "version", NewVersion }, { "changeList", "Fixes" } } },
            };
            QByteArray package;
            QString packageName;
            if (p.files > 1) {
                packageName = model + QStringLiteral(".zip");
                const QString path = m_serverRoot.filePath(packageName);
                QuaZip zip(path);
                QVERIFY(zip.open(QuaZip::mdCreate));
                QJsonArray unpacked;
                for (int k = 0; k < p.files; ++k) {
                    const QString name = QStringLiteral("%1_%2.bin").arg(model).arg(k + 1);
                    const QByteArray data = payload(name, 30000 + k);
                    QuaZipFile file(&zip);
                    QVERIFY(file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)));
                    file.write(data);
                    file.close();
                    unpacked.append(QJsonObject { { "fileName", name }, { "fileSize", data.size() }, { "fileChecksum", md5(data) } });
                }
                zip.close();
                release.insert("unpackedFileInfo", unpacked);
                package = TestFiles::readFile(path);
            } else {
                packageName = model + QStringLiteral(".bin");
                package = payload(packageName, 40000);
                QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(packageName), package));
            }
            release.insert("downloadLoc", m_server.url(packageName).toString());
            release.insert("fileChecksum", md5(package));
            release.insert("fileSize", package.size());
            firmware.append(release);
        }
        const QJsonObject doc { { "info", QJsonObject { { "databaseVersion", 7 }, { "latestAppBuildWindows", 250930 } } },
                                { "firmware", firmware } };
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath("pd_firmware_releases.json"), QJsonDocument(doc).toJson()));
    }

    void startFleet()
    {
        QList<SimDisplayConfig> configs;
        for (int i = 0; i < FleetSize; ++i) {
            const Planned &p = Fleet[i];
            SimDisplayConfig c;
            c.modelName = QString::fromLatin1(p.model);
            c.serialNumber = QStringLiteral("74A%1").arg(i, 5, 10, QLatin1Char('0'));
            c.seriesCode = quint8(p.series);
            c.mainFwVersion = QStringLiteral("R1.000");
            c.macAddress = QByteArray::fromHex("0016AA7700") + char(i);
            c.powerSaveSetting = p.powerSave;
            if (i == 2)
                c.assetTag = QStringLiteral("<img src=\"file:///etc/hostname\">");
            c.update.components = p.files;
            c.update.rebootMs = 300;
            c.update.firmwareAfterMain = QStringLiteral("R2.000");
            c.update.legacyQuietMs = 1;
            c.update.abandonMs = 5000;
            c.update.checkPolls = 1;
            if (p.secondAddress) {
                c.secondAddress = secondAddress(i);
                c.serveSecondAddress = true;
            }
            if (p.fault == 1)
                c.update.updateFailComponent = 1;
            SimStepFault fault;
            fault.step = "*";
            if (p.fault == 2)
                fault.status = 401;
            if (p.fault == 3)
                fault.neverReply = true;
            if (p.fault >= 2)
                c.update.faults.append(fault);
            configs.append(c);
        }
        QCOMPARE(m_fleet.start(address(0), configs), 0);
    }

    // Runs the update command with dialogs answered; returns when everything has settled.
    void runUpdate(int timeoutMs)
    {
        QTimer answerer;
        answerer.setInterval(20);
        connect(&answerer, &QTimer::timeout, this, &TestLanUpdateEndToEnd::answerDialogs);
        answerer.start();
        QVERIFY(button("download_pushButton")->isEnabled());
        const qsizetype summaries = m_summaryHeadings.size();
        button("download_pushButton")->click();
        // Downloads first; the summary opens when the last one is in.
        QVERIFY(QTest::qWaitFor([&] { return m_summaryHeadings.size() > summaries; }, 30000));
        QVERIFY(QTest::qWaitFor([this] { return state().activeUpdates > 0; }, 20000));
        QVERIFY(QTest::qWaitFor([this] { return idle(); }, timeoutMs));
        answerer.stop();
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("the displays' web servers and second addresses need port 80");
        QVERIFY(m_home.isValid() && m_serverRoot.isValid());
        qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath("config"));
        QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillon"));

        m_server.setRoot(m_serverRoot.path());
        m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
        QVERIFY(m_server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
        qputenv("QUILLON_FIRMWARE_URL", m_server.url(QString()).toString().toUtf8());
        writeCatalogue();
        startFleet();
        {
            QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"), QStringLiteral("Quillon"));
            s.setValue("Settings/IP Address Scan Text", QStringLiteral("127.0.77.1 - %1").arg(FleetSize));
            s.setValue("Settings/Multi Update Limit", 5);
        }
        m_window = std::make_unique<Tessel>();
        m_window->show();
        QVERIFY(QTest::qWaitFor([this] {
            return state().displayEntries.size() == FleetSize && !state().searching && state().searchAttempted
                    && state().pendingControlRequests == 0;
        }, 30000));
        QTest::qWait(100);
        shortenWaits();
        connect(m_window->updateQueue(), &UpdateQueue::update_info, this,
                [this] { m_maxActive = qMax(m_maxActive, state().activeUpdates); });
    }

    void cleanupTestCase()
    {
        m_window.reset();
        LogMessageHandler::uninstall();
    }

    void rowsWithNewFirmwareAreTicked()
    {
        for (const Planned &p : Fleet) {
            const DisplayEntry &row = entry(p.model);
            QVERIFY2(row.firmwareStatus == FirmwareStatus::NewForLan, p.model);
            QCOMPARE(row.catalogueSeries, p.series);
            if (!row.selected)
                tick(p.model, true);
        }
        QTRY_VERIFY(button("download_pushButton")->isEnabled());
    }

    void cancelDownloads()
    {
        FwBehaviour slow;
        slow.trickleBytes = 500;
        slow.trickleIntervalMs = 100;
        m_server.setBehaviour(slow);
        QSignalSpy visible(m_window.get(), &Tessel::usbDriveDialogRequested);
        button("download_pushButton")->click();
        QPushButton *cancel = m_window->findChild<QPushButton *>("cancelDownloadsButton");
        QTRY_VERIFY(cancel->isVisible());
        QVERIFY(state().activeDownloads > 0);
        QTRY_COMPARE(m_window->statusBar()->currentMessage().left(12), QStringLiteral("Downloading "));
        cancel->click();
        QTRY_COMPARE(state().activeDownloads, 0);
        QTRY_VERIFY(!cancel->isVisible());
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Download canceled"));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(state().activeUpdates, 0);
        QCOMPARE(entry("CG-343").downloadState, 1);
        QCOMPARE(cellText("CG-343", displayListModel::AvailabilityColumn), QStringLiteral("Download error"));
        m_server.setBehaviour(FwBehaviour());
    }

    void wholeFleetWithinLimitFive()
    {
        m_fleet.updateStats()->reset();
        m_maxActive = 0;
        runUpdate(120000);

        // Downloads, cautions once, the summary listing every display with escaped texts.
        QCOMPARE(m_cautionsShown, 1);
        QCOMPARE(m_summaryHeadings.size(), 1);
        QVERIFY2(m_summaryHeadings.first().contains(QStringLiteral("following %1 display(s)").arg(FleetSize)),
                 qPrintable(m_summaryHeadings.first()));
        QVERIFY(m_summaryTables.first().contains(QStringLiteral("See note 2. ")));
        // A display's own text reaches the rich-text summary as the characters it is.
        QVERIFY(m_summaryTables.first().contains(QStringLiteral("&lt;img src=&quot;file:///etc/hostname&quot;&gt;")));
        QVERIFY(!m_summaryTables.first().contains(QStringLiteral("<img src=\"file:")));

        // The series 1 and 2 displays were switched "Off" before their updates.
        QCOMPARE(m_fleet.display(address(0))->config().powerSaveSetting, 2);
        QCOMPARE(m_fleet.display(address(1))->config().powerSaveSetting, 2);

        for (int i = 0; i < FleetSize; ++i) {
            const Planned &p = Fleet[i];
            const DisplayEntry &row = entry(p.model);
            QVERIFY(!row.updateSession);
            QCOMPARE(row.updateStatus, 0);
            if (p.fault == 0) {
                QVERIFY2(row.resultStatus == 3, qPrintable(QStringLiteral("%1 %2").arg(p.model).arg(row.resultStatus)));
                QVERIFY(!row.selected);
                QCOMPARE(row.firmwareStatus, int(FirmwareStatus::UpToDate));
                QCOMPARE(statusText(p.model), QStringLiteral("Success. Verified: version R2.000"));
            } else {
                // Failed displays keep their tick for another try and show why.
                QVERIFY(row.selected);
                QVERIFY2(row.resultStatus < 0 || row.resultStatus == 4, p.model);
                QVERIFY2(statusText(p.model).startsWith(QStringLiteral("Error: ")), qPrintable(statusText(p.model)));
            }
        }
        QCOMPARE(statusText("GX-352"), QStringLiteral("Error: Timeout."));
        QCOMPARE(statusText("FX-350"), QStringLiteral("Error: Update failed."));
        QVERIFY(m_maxActive <= 5 && m_maxActive >= 2);
        QVERIFY2(m_fleet.updateStats()->maxConcurrent() <= 5, qPrintable(QString::number(m_fleet.updateStats()->maxConcurrent())));
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Update finished"));
    }

    // Triggers an export action and answers its file dialog with path.
    void exportTo(const char *actionName, const QString &path)
    {
        // The platform's own dialog may not be one this test can answer.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QTimer answerer;
        answerer.setInterval(20);
        connect(&answerer, &QTimer::timeout, this, [path] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                // As a user types it: the whole path into the name field, then Save.
                if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    name->setText(path);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
            }
        });
        answerer.start();
        action(actionName)->trigger();
        answerer.stop();
    }

    // After the batch, File › "Export update report…" writes one line per display updated, and
    // "Export display list…" every row.
    void exportUpdateReport()
    {
        QVERIFY(action("actionExport_update_report")->isEnabled());
        const QString list = m_home.filePath(QStringLiteral("list.csv"));
        exportTo("actionExport_display_list", list);
        const QByteArray csv = TestFiles::readFile(list);
        QVERIFY2(csv.startsWith("\xEF\xBB\xBFModel Name,Serial Number,Asset Tag,IP Address,"), csv.left(200).constData());
        QCOMPARE(csv.count("\r\n"), FleetSize + 1);
        for (const Planned &p : Fleet)
            QVERIFY(csv.contains(QByteArray(p.model) + ",74A"));
        QVERIFY(csv.contains("\"<img src=\"\"file:///etc/hostname\"\">\""));

        const QString path = m_home.filePath(QStringLiteral("report.json"));
        exportTo("actionExport_update_report", path);
        const QJsonArray lines = QJsonDocument::fromJson(TestFiles::readFile(path)).array();
        QCOMPARE(lines.size(), FleetSize);
        for (const QJsonValue &value : lines) {
            const QJsonObject line = value.toObject();
            const bool failing = line.value("model").toString().endsWith(QLatin1String("X-350"))
                    || line.value("model").toString().endsWith(QLatin1String("X-351"))
                    || line.value("model").toString().endsWith(QLatin1String("X-352"));
            QCOMPARE(line.value("firmware_before").toString(), QStringLiteral("R1.000"));
            // Only what a display reported after its update: nothing for those whose update failed.
            if (failing)
                QVERIFY(line.value("firmware_after").isNull());
            else
                QCOMPARE(line.value("firmware_after").toString(), QStringLiteral("R2.000"));
            QCOMPARE(line.value("firmware_after_verified").toBool(), !failing);
            QCOMPARE(line.value("result").toInt() == 3, !failing);
            QVERIFY(!line.value("settled").toString().isEmpty());
        }
    }

    void limitOneAndCancelQueued()
    {
        // Limit 1 from the options dialog.
        m_optionLimit = 1;
        QTimer answerer;
        answerer.setInterval(20);
        connect(&answerer, &QTimer::timeout, this, &TestLanUpdateEndToEnd::answerDialogs);
        answerer.start();
        action("actionOption_T")->trigger();
        answerer.stop();
        QCOMPARE(state().updateLimit, 1);

        // The failed ones are still ticked; untick them and tick three up-to-date displays again.
        for (const Planned &p : Fleet)
            tick(p.model, false);
        for (const char *model : { "CG-343", "CG-646", "RH-048" })
            tick(model, true);
        m_fleet.updateStats()->reset();
        m_maxActive = 0;

        answerer.start();
        button("download_pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(state().activeUpdates, 1, 10000);
        answerer.stop();
        QCOMPARE(m_cautionsShown, 1); // accepted once for the whole run
        QVERIFY(m_window->statusBar()->currentMessage().contains(QStringLiteral("2 display(s) are queued.")));
        QVERIFY(action("actionCancel_all_queued_updates_via_LAN")->isEnabled());
        action("actionCancel_all_queued_updates_via_LAN")->trigger();
        QVERIFY(QTest::qWaitFor([this] { return idle(); }, 60000));

        QCOMPARE(entry("CG-343").resultStatus, 3);
        for (const char *model : { "CG-646", "RH-048" }) {
            QCOMPARE(entry(model).updateStatus, 0);
            QVERIFY(entry(model).selected);
            QCOMPARE(m_fleet.updateStats()->displays().value(address(fleetIndex(model)).toString()).attempts, 0);
        }
        QCOMPARE(m_maxActive, 1);
        QCOMPARE(m_fleet.updateStats()->maxConcurrent(), 1);
    }
};

QTEST_MAIN(TestLanUpdateEndToEnd)
#include "tst_lanupdate_e2e.moc"
