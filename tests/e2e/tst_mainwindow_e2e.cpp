#include "app/Tessel.h"
#include "fwserver/FwServer.h"
#include "log/LogMessageHandler.h"
#include "records/DisplayTableState.h"

#include "SimDisplay.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <unistd.h>

// The whole window against simulated displays on 127.0.73.x and a local firmware server: start-up
// catalogue download, the first (targeted) search, the table a technician reads, and the commands
// of the table and the menus.
namespace {

const int AddressColumn = 4;

struct FleetDisplay
{
    int lastByte;
    const char *model;
    const char *serial;
    quint8 series;
    const char *mainFw;
    int powerMode;
    bool silent;
};

// Addresses .5 to .10, so that sorting by text and sorting by number differ.
const FleetDisplay Fleet[] = {
    { 5, "PX-551", "61A00005BA", 3, "R1.200", 1, false },  // newer firmware for the LAN
    { 6, "MX-431B", "72B00006CC", 7, "R1.300", 4, false }, // up to date, in standby
    { 7, "PX-461", "43C00007DA", 1, "R2.100", 1, false },  // older series, up to date
    { 8, "WX-651", "95D00008EE", 11, "R0.900", 1, false }, // newer firmware, USB only
    { 9, "QX-101", "11E00009FF", 5, "R3.000", 1, false },  // not in the catalogue
    { 10, "PX-551", "61A00010BA", 3, "R1.200", 1, true },  // search answers, control port refuses
};

QString address(int lastByte)
{
    return QStringLiteral("127.0.73.%1").arg(lastByte);
}

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"),
                     QStringLiteral("Quillon"));
}

} // namespace

class TestMainWindowEndToEnd : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QTemporaryDir m_serverRoot;
    FwServer m_server;
    std::vector<std::unique_ptr<SimDisplay>> m_displays;
    std::unique_ptr<Tessel> m_window;

    QTableView *table() const { return m_window->findChild<QTableView *>("display_list_tableView"); }
    QAction *action(const char *name) const { return m_window->findChild<QAction *>(name); }
    QPushButton *button(const char *name) const { return m_window->findChild<QPushButton *>(name); }
    SimDisplay *display(int lastByte) const { return m_displays.at(lastByte - 5).get(); }

    QString cell(int viewRow, int column) const
    {
        return table()->model()->index(viewRow, column).data().toString();
    }

    int viewRowOf(int lastByte) const
    {
        const QAbstractItemModel *model = table()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (cell(row, AddressColumn) == address(lastByte))
                return row;
        }
        return -1;
    }

    bool settled() const
    {
        const DisplayTableState &state = m_window->tableState();
        return state.displayEntries.size() == int(std::size(Fleet)) && !state.searching
                && state.pendingControlRequests == 0 && state.searchAttempted;
    }

    // Opens the row's right-click menu and chooses an item, as a user would.
    void chooseFromRowMenu(int viewRow, const QString &text)
    {
        bool chosen = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *item : menu->actions()) {
                if (item->text() == text && item->isEnabled()) {
                    chosen = true;
                    item->trigger();
                }
            }
            menu->close();
        });
        poll.start();
        const QRect cellRect = table()->visualRect(table()->model()->index(viewRow, 1));
        emit table()->customContextMenuRequested(cellRect.center());
        poll.stop();
        QVERIFY2(chosen, qPrintable(text));
    }

    // Runs work on the modal dialog a command opens, then lets the command go on.
    void onModalDialog(QAction *command, const std::function<void(QDialog *)> &work)
    {
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || seen)
                return;
            seen = true;
            work(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        poll.start();
        command->trigger();
        poll.stop();
        QVERIFY(seen);
    }

    void startWindow()
    {
        m_window = std::make_unique<Tessel>();
        m_window->show();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid() && m_serverRoot.isValid());
        qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath("config"));
        QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillon"));

        QVERIFY(QFile::copy(QStringLiteral(QUILLON_TESTDATA "/pd_firmware_releases.json"),
                            m_serverRoot.filePath("pd_firmware_releases.json")));
        m_server.setRoot(m_serverRoot.path());
        m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
        QVERIFY(m_server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
        qputenv("QUILLON_FIRMWARE_URL", m_server.url(QString()).toString().toUtf8());

        for (const FleetDisplay &planned : Fleet) {
            SimDisplayConfig config;
            config.modelName = QString::fromLatin1(planned.model);
            config.serialNumber = QString::fromLatin1(planned.serial);
            config.seriesCode = planned.series;
            config.mainFwVersion = QString::fromLatin1(planned.mainFw);
            config.powerMode = planned.powerMode;
            config.macAddress = QByteArray::fromHex("0016AA7300") + char(planned.lastByte);
            if (planned.silent)
                config.misbehaviour.control = SimMisbehaviour::Listener::Refuse;
            // Port 80 needs root; elsewhere the web page checks simply find no page.
            if (::geteuid() != 0)
                config.webPort = 18080;
            auto sim = std::make_unique<SimDisplay>(config);
            QCOMPARE(sim->start(QHostAddress(address(planned.lastByte))), 0);
            m_displays.push_back(std::move(sim));
        }

        {
            QSettings s = store();
            s.setValue("Settings/IP Address Scan Text", "# lab rack\n127.0.73.5 - 10");
        }
        startWindow();
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 30000);
        // The information panel and the controls follow on the event loop.
        QTest::qWait(50);
    }

    void cleanupTestCase()
    {
        m_window.reset();
        LogMessageHandler::uninstall();
    }

    void startupUsedCatalogueAndTargets()
    {
        QCOMPARE(m_window->database().databaseVersion, 12);
        QVERIFY(m_window->tableState().databaseLoaded);
        QVERIFY(m_server.requestedPaths().contains("/firmwareupdates/pd_firmware_releases.json"));
        QVERIFY(QFile::exists(m_window->cacheFolderPath() + "/pd_firmware_releases.json"));
        QCOMPARE(m_window->tableState().targetAddresses.size(), 6);
        // The targeted search asked exactly the listed displays.
        for (const auto &sim : m_displays)
            QVERIFY(!sim->requestLog().entries().isEmpty());
        QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Found 6 display(s) on LAN"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void tableShowsEachDisplay_data()
    {
        QTest::addColumn<int>("lastByte");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("availability");
        QTest::addColumn<QString>("status");
        QTest::newRow("newer for LAN") << 5 << "PX-551" << "61A00005BA" << "Power On" << "R1.200"
                                       << "New version 1.300 available" << "";
        QTest::newRow("up to date, standby") << 6 << "MX-431B" << "72B00006CC" << "Standby" << "R1.300"
                                             << "Up-to-date" << "";
        QTest::newRow("older series") << 7 << "PX-461" << "43C00007DA" << "Power On" << "R2.100"
                                      << "Up-to-date" << "";
        QTest::newRow("USB only") << 8 << "WX-651" << "95D00008EE" << "Power On" << "R0.900"
                                  << "New version 1.000 available" << "Update via USB only";
        QTest::newRow("unknown model") << 9 << "QX-101" << "11E00009FF" << "Power On" << "R3.000"
                                       << "None available for this model" << "";
        QTest::newRow("silent on TCP") << 10 << "PX-551" << "" << "Unknown" << "R1.200"
                                       << "New version 1.300 available" << "Unable to communicate with display.";
    }

    void tableShowsEachDisplay()
    {
        QFETCH(int, lastByte);
        const int row = viewRowOf(lastByte);
        QVERIFY(row >= 0);
        QTEST(cell(row, 1), "model");
        QTEST(cell(row, 2), "serial");
        QTEST(cell(row, 6), "power");
        QTEST(cell(row, 7), "firmware");
        QTEST(cell(row, 8), "availability");
        QTEST(cell(row, 9), "status");
    }

    void updateCommandFollowsCheckedRows()
    {
        // Both PX-551 rows were chosen by the search; the one that cannot be reached blocks the update.
        QAbstractItemModel *model = table()->model();
        const QModelIndex good = model->index(viewRowOf(5), 0);
        const QModelIndex silent = model->index(viewRowOf(10), 0);
        QCOMPARE(good.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(silent.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!button("download_pushButton")->isEnabled());
        QVERIFY(button("deselect_all_pushButton")->isEnabled());

        QVERIFY(model->setData(silent, Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(button("download_pushButton")->isEnabled());

        QTest::mouseClick(button("deselect_all_pushButton"), Qt::LeftButton);
        QCOMPARE(good.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!button("download_pushButton")->isEnabled());
        QVERIFY(!button("deselect_all_pushButton")->isEnabled());
        QVERIFY(model->setData(good, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(button("download_pushButton")->isEnabled());
    }

    void searchButtonOffersBothSearches()
    {
        QMenu *menu = button("pushButtonSearch")->menu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Broadcast search"));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Targeted search"));
        QVERIFY(button("pushButtonSearch")->isEnabled());
        QVERIFY(action("actionAdvanced_network_search")->isEnabled());
    }

    void sortsByAddressAsNumbers()
    {
        table()->sortByColumn(AddressColumn, Qt::AscendingOrder);
        QStringList shown;
        for (int row = 0; row < table()->model()->rowCount(); ++row)
            shown << cell(row, AddressColumn);
        QCOMPARE(shown, (QStringList { address(5), address(6), address(7), address(8), address(9), address(10) }));
        table()->sortByColumn(AddressColumn, Qt::DescendingOrder);
        QCOMPARE(cell(0, AddressColumn), address(10));
        QCOMPARE(cell(5, AddressColumn), address(5));
    }

    void refreshSelectedRow()
    {
        // The display changes behind the window's back; a refresh of its row shows it.
        display(7)->setPowerMode(4);
        const int row = viewRowOf(7);
        table()->selectRow(row);
        QTRY_COMPARE(m_window->currentRow(), m_window->tableState().rowForAddress(QHostAddress(address(7))));
        QTRY_VERIFY(action("actionRefreshSelected")->isEnabled());
        QTRY_VERIFY(button("create_usb_drive_pushButton")->text().contains("PX-461"));

        action("actionRefreshSelected")->trigger();
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Refreshing display information from 1 display(s)..."));
        QVERIFY(!action("actionRefreshSelected")->isEnabled());
        QVERIFY(!button("pushButtonSearch")->isEnabled());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTRY_COMPARE_WITH_TIMEOUT(cell(viewRowOf(7), 6), QStringLiteral("Standby"), 10000);
        QTRY_VERIFY(m_window->tableState().pendingControlRequests == 0);
        QCOMPARE(m_window->statusBar()->currentMessage(), QString());
        QVERIFY(action("actionRefreshSelected")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void catalogueCommandsAreOffered()
    {
        // PX-461 is current, its release may go on a USB drive and the catalogue is loaded: the USB
        // drive, by-model and offline download commands are offered. Leaving the row for the one
        // the catalogue does not know leaves only the USB button off.
        QVERIFY(m_window->currentRow() >= 0);
        QVERIFY(action("actionRefreshSelected")->isEnabled());
        QVERIFY(button("create_usb_drive_pushButton")->isEnabled());
        QVERIFY(action("actionCreate_USB_drive_for_another_model")->isEnabled());
        QVERIFY(action("actionDownload_firmware_for_offline_use")->isEnabled());

        table()->selectRow(viewRowOf(9));
        QTRY_VERIFY(button("create_usb_drive_pushButton")->text().contains("QX-101"));
        QVERIFY(!button("create_usb_drive_pushButton")->isEnabled());
        QVERIFY(action("actionCreate_USB_drive_for_another_model")->isEnabled());
        QVERIFY(action("actionDownload_firmware_for_offline_use")->isEnabled());
        table()->selectRow(viewRowOf(7));
        QTRY_VERIFY(button("create_usb_drive_pushButton")->text().contains("PX-461"));
    }

    void powerOffThenOnFromTheRowMenu()
    {
        const int row = viewRowOf(5);
        chooseFromRowMenu(row, QStringLiteral("Power Off"));
        QTRY_COMPARE_WITH_TIMEOUT(cell(viewRowOf(5), 6), QStringLiteral("Standby"), 10000);
        QCOMPARE(display(5)->config().powerMode, 4);

        chooseFromRowMenu(viewRowOf(5), QStringLiteral("Power On"));
        QTRY_COMPARE_WITH_TIMEOUT(cell(viewRowOf(5), 6), QStringLiteral("Power On"), 10000);
        QCOMPARE(display(5)->config().powerMode, 1);
        QTRY_VERIFY(m_window->tableState().pendingControlRequests == 0);
        QVERIFY(!m_window->tableState().powerRequestPending);
    }

    void targetListDecidesTheSearchButton()
    {
        QAction *configure = action("actionConfigureAdvanced_search_network");
        onModalDialog(configure, [](QDialog *dialog) {
            auto *text = dialog->findChild<QPlainTextEdit *>("ip_list_plainTextEdit");
            QVERIFY(text);
            text->setPlainText(QString());
            QTest::mouseClick(dialog->findChild<QPushButton *>("scan_pushButton"), Qt::LeftButton);
        });
        QVERIFY(m_window->tableState().targetAddresses.isEmpty());
        QVERIFY(!button("pushButtonSearch")->menu());
        QVERIFY(!action("actionAdvanced_network_search")->isEnabled());

        onModalDialog(configure, [](QDialog *dialog) {
            QCOMPARE(dialog->findChild<QPlainTextEdit *>("ip_list_plainTextEdit")->toPlainText(), QString());
            dialog->findChild<QPlainTextEdit *>("ip_list_plainTextEdit")->setPlainText("# lab rack\n127.0.73.5 - 10");
            QTest::mouseClick(dialog->findChild<QPushButton *>("scan_pushButton"), Qt::LeftButton);
        });
        QCOMPARE(m_window->tableState().targetAddresses.size(), 6);
        QVERIFY(button("pushButtonSearch")->menu());
        QVERIFY(action("actionAdvanced_network_search")->isEnabled());

        // Cancel leaves the list as it was.
        onModalDialog(configure, [](QDialog *dialog) {
            dialog->findChild<QPlainTextEdit *>("ip_list_plainTextEdit")->setPlainText("127.0.73.5");
        });
        QCOMPARE(m_window->tableState().targetAddresses.size(), 6);
    }

    void aboutShowsTheDatabaseVersion()
    {
        onModalDialog(action("actionVersion_A"), [](QDialog *dialog) {
            const QList<QLabel *> labels = dialog->findChildren<QLabel *>();
            const bool shown = std::any_of(labels.cbegin(), labels.cend(), [](const QLabel *label) {
                return label->text().contains("Firmware database version: 12<br>");
            });
            QVERIFY(shown);
        });
    }

    void settingsSurviveRestart()
    {
        QAction *mac = action("actionShow_MAC_Address_column");
        QVERIFY(!mac->isChecked());
        mac->trigger();
        QVERIFY(!table()->isColumnHidden(5));

        m_window.reset();
        QSettings s = store();
        QCOMPARE(s.value("Settings/Show MAC Address Column").toBool(), true);
        QCOMPARE(s.value("Settings/IP Address Scan Text").toString(), QStringLiteral("# lab rack\n127.0.73.5 - 10"));

        startWindow();
        QVERIFY(action("actionShow_MAC_Address_column")->isChecked());
        QVERIFY(!table()->isColumnHidden(5));
        QCOMPARE(m_window->tableState().targetAddresses.size(), 6);
        QVERIFY(button("pushButtonSearch")->menu());
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 30000);
        QCOMPARE(cell(viewRowOf(6), 5), QStringLiteral("00-16-AA-73-00-06"));
    }
};

QTEST_MAIN(TestMainWindowEndToEnd)
#include "tst_mainwindow_e2e.moc"
