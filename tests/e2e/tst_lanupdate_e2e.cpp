#include "app/Tessel.h"
#include "common/EngineFixture.h"
#include "common/TestFiles.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/OptionSetting.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "flows/DownloadController.h"
#include "log/LogMessageHandler.h"
#include "queue/UpdateQueue.h"
#include "records/DisplayTableState.h"
#include "reports/UpdateReport.h"
#include "table/displayListModel.h"

#include "SimUpdateStats.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>
#include <functional>
#include <unistd.h>

// A technician's LAN update from the window: ticked rows, "Update firmware via LAN", packages
// downloaded from the local firmware server, cautions and summary accepted, the power-save change,
// the queue within its limit (counted by the displays themselves), results and version checks in
// the table; cancel of downloads and of queued updates. The displays live on 127.0.77.x, apart
// from the demos' 127.0.74.x and 127.0.76.x.
namespace {

// A display of the fleet, and how it fails: 1 update fails, 2 every update request answered 401,
// 3 stops answering.
struct Planned : EngineFixture::Display
{
    int fault = 0;
};

const Planned Fleet[] = {
    { { "LG-141", "SERIES_CEDAR4", 1, 1, 1 } },
    { { "LG-242", "SERIES_LARCH", 2, 1, 0 } },
    { { "CG-343", "SERIES_CEDAR5", 3, 2 } },
    { { "CG-444", "SERIES_BIRCH", 4, 1, 2, true } },
    { { "CG-545", "SERIES_CEDAR5_UHD", 5, 3 } },
    { { "CG-646", "SERIES_CEDAR5_XN", 6 } },
    { { "RL-947", "SERIES_ROWAN_L", 9, 2 } },
    { { "RH-048", "SERIES_ROWAN_H", 10 } },
    { { "WL-149", "SERIES_WILLOW", 11, 1, 2, false, true } },
    { { "FX-350", "SERIES_CEDAR5", 3, 1, 2, false, false }, 1 },
    { { "AX-351", "SERIES_CEDAR5", 3, 1, 2, false, false }, 2 },
    { { "GX-352", "SERIES_CEDAR5", 3, 1, 2, false, false }, 3 },
};
constexpr int FleetSize = int(std::size(Fleet));

}

class TestLanUpdateEndToEnd : public QObject
{
    Q_OBJECT

    EngineFixture m_fixture { QStringLiteral("127.0.77"), QStringLiteral("127.0.78") };
    FwServer &m_server = m_fixture.server();
    SimFleet &m_fleet = m_fixture.fleet();
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

    QHostAddress address(int i) const { return m_fixture.address(i); }

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
        const QList<EngineFixture::Display> plan(std::begin(Fleet), std::end(Fleet));
        m_fixture.setUp(plan, 5, [](int i, SimDisplayConfig &c) {
            const Planned &p = Fleet[i];
            if (i == 2)
                c.assetTag = QStringLiteral("<img src=\"file:///etc/hostname\">");
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
        });
        if (QTest::currentTestFailed())
            return;
        m_window = std::make_unique<Tessel>();
        m_window->show();
        QVERIFY(QTest::qWaitFor([this] {
            return state().displayEntries.size() == FleetSize && !state().searching && state().searchAttempted
                    && state().pendingControlRequests == 0;
        }, 30000));
        QTest::qWait(100);
        m_window->engine()->useShortWaits();
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
        const QString list = m_fixture.homeFile(QStringLiteral("list.csv"));
        exportTo("actionExport_display_list", list);
        const QByteArray csv = TestFiles::readFile(list);
        QVERIFY2(csv.startsWith("\xEF\xBB\xBFModel Name,Serial Number,Asset Tag,IP Address,"), csv.left(200).constData());
        QCOMPARE(csv.count("\r\n"), FleetSize + 1);
        for (const Planned &p : Fleet)
            QVERIFY(csv.contains(QByteArray(p.model) + ",74A"));
        QVERIFY(csv.contains("\"<img src=\"\"file:///etc/hostname\"\">\""));

        const QString path = m_fixture.homeFile(QStringLiteral("report.json"));
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

    // File › "Export update report…" stays enabled after a search until the next batch starts,
    // and writes the batch as it was.
    void updateReportSurvivesSearch()
    {
        const QString before = m_fixture.homeFile(QStringLiteral("report.json"));
        action("actionAdvanced_network_search")->trigger();
        QVERIFY(QTest::qWaitFor([this] {
            return !state().searching && state().pendingControlRequests == 0 && state().displayEntries.size() == FleetSize;
        }, 30000));
        QVERIFY(!UpdateReport::hasLines(state()));
        QTRY_VERIFY(action("actionExport_update_report")->isEnabled());
        const QString after = m_fixture.homeFile(QStringLiteral("report-after-search.json"));
        exportTo("actionExport_update_report", after);
        QCOMPARE(QJsonDocument::fromJson(TestFiles::readFile(after)).array(),
                 QJsonDocument::fromJson(TestFiles::readFile(before)).array());
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
