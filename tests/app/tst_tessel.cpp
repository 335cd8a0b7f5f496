#include "common/TestPalette.h"
#include "app/Tessel.h"
#include "table/MyTableView.h"
#include "search/SearchOrchestrator.h"
#include "log/LogMessageHandler.h"
#include "log/SV_Information_Dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

namespace {

using TestPalette::render;
using TestPalette::setWindowLightness;

}

class tst_Tessel : public QObject
{
    Q_OBJECT

    QTemporaryDir settingsDir;
    QtMessageHandler testHandler = nullptr;

    static QSettings store()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvern"),
                         QStringLiteral("Quillon"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir.isValid());
        // The window downloads the catalogue as it is built: keep that on this machine, where
        // nothing listens, so no search follows and nothing leaves for the maker's server.
        qputenv("QUILLON_FIRMWARE_URL", "http://127.0.0.1:1/firmwareupdates/");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
        QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    void cleanupTestCase()
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    }

    void init()
    {
        QSettings s = store();
        s.clear();
        s.sync();
        testHandler = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(testHandler);
    }

    void cleanup()
    {
        LogMessageHandler::uninstall();
        QApplication::setPalette(QPalette());
    }

    void formWidgets_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("text");
        QTest::newRow("search") << "pushButtonSearch" << "QPushButton" << "Search network for displays ";
        QTest::newRow("update") << "download_pushButton" << "QPushButton" << "Update firmware via LAN";
        QTest::newRow("usb") << "create_usb_drive_pushButton" << "QPushButton"
                             << "Create firmware USB drive for selected display...";
        QTest::newRow("deselect") << "deselect_all_pushButton" << "QPushButton" << "Deselect all";
        QTest::newRow("list label") << "labelPDList" << "QLabel" << "Detected Display List";
        QTest::newRow("adapter label") << "interface_selection_label" << "QLabel" << "Broadcast search LAN interface:";
        QTest::newRow("adapter combo") << "interface_selection_comboBox" << "QComboBox" << "";
        QTest::newRow("table") << "display_list_tableView" << "QTableView" << "";
        QTest::newRow("panel") << "info_textBrowser" << "QTextBrowser" << "";
        QTest::newRow("splitter") << "splitter" << "QSplitter" << "";
        QTest::newRow("cancel downloads") << "cancelDownloadsButton" << "QPushButton" << "Cancel downloads";
    }

    void formWidgets()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, className);
        QFETCH(QString, text);
        Tessel window;
        QWidget *w = window.findChild<QWidget *>(objectName);
        QVERIFY2(w, qPrintable(objectName));
        QVERIFY(w->inherits(qPrintable(className)));
        if (auto *button = qobject_cast<QPushButton *>(w))
            QCOMPARE(button->text(), text);
        if (auto *label = qobject_cast<QLabel *>(w))
            QCOMPARE(label->text(), text);
    }

    void constructionState()
    {
        Tessel window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Quillon"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.size(), QSize(871, 566));

        auto *search = window.findChild<QPushButton *>("pushButtonSearch");
        QVERIFY(search->isCheckable() && !search->isChecked());
        QVERIFY(!search->isEnabled());
        QVERIFY(!window.findChild<QPushButton *>("download_pushButton")->isEnabled());
        QVERIFY(window.findChild<QWidget *>("interface_selection_comboBox")->isHidden());
        QVERIFY(window.findChild<QWidget *>("interface_selection_label")->isHidden());
        QVERIFY(window.findChild<QWidget *>("cancelDownloadsButton")->isHidden());
        QVERIFY(!window.findChild<QMenu *>("menuDebug")->menuAction()->isVisible());
        QVERIFY(window.findChild<QTextBrowser *>("info_textBrowser")->openExternalLinks());

        auto *table = window.findChild<QTableView *>("display_list_tableView");
        QCOMPARE(table->focusPolicy(), Qt::StrongFocus);
        QVERIFY(table->alternatingRowColors());
        QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
        // The status column reaches the window's edge by the view's own fitting, which also lets
        // it grow past the edge for a long text (tst_mytableview): the header must not stretch it.
        QVERIFY(!table->horizontalHeader()->stretchLastSection());
        QVERIFY(qobject_cast<MyTableView *>(table));
        QVERIFY(!table->horizontalHeader()->highlightSections());
        QCOMPARE(table->textElideMode(), Qt::ElideRight);
        QVERIFY(table->isSortingEnabled());
        QVERIFY(table->styleSheet().contains(QStringLiteral("QTableView::item:selected")));

        auto *combo = window.findChild<QComboBox *>("interface_selection_comboBox");
        QCOMPARE(combo->count(), window.adapters().count() + 1);
        QCOMPARE(combo->itemData(0).toInt(), window.adapters().isEmpty() ? -1 : -2);
        QCOMPARE(combo->itemText(0), window.adapters().isEmpty() ? QStringLiteral("None") : QStringLiteral("All"));
        for (int i = 0; i < window.adapters().count(); ++i)
            QCOMPARE(combo->itemData(i + 1).toInt(), i);

        // The log window exists, is reachable and got the cache folder line.
        QVERIFY(window.logDialog());
        QCOMPARE(LogMessageHandler::logWindow(), window.logDialog());
        QVERIFY(window.logDialog()->isHidden());
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Firmware";
        QCOMPARE(window.cacheFolderPath(), cache);
        QVERIFY(QFileInfo(cache).isDir());
        QVERIFY2(window.logDialog()->text().contains(
                     QStringLiteral("| Local cache folder: \"%1\"").arg(QDir::toNativeSeparators(cache))),
                 qPrintable(window.logDialog()->text()));
    }

    void menusAndActions_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("bar") << "menuBar" << QStringList { "&File", "&Tools", "&View", "&Help" };
        QTest::newRow("file") << "menuFile"
                             << QStringList { QString::fromUtf8("Export display list…"),
                                              QString::fromUtf8("Export update report…"),
                                              QString::fromUtf8("Update history…"), "-", "E&xit" };
        QTest::newRow("tools") << "menuTools" << QStringList {
            "&Search network for displays", "&Configure Targeted search...", "-",
            "Create firmware &USB drive by model...", "Download firmware for offline use...", "-",
            "Refresh display information", "-", "Cancel all queued updates via LAN", "-",
            "Application settings...", "Debug", "Clear downloaded firmware files", "Open firmware download folder" };
        QTest::newRow("search") << "menuSearch_network_for_displays" << QStringList { "Broadcast search", "Targeted search" };
        QTest::newRow("refresh") << "menuRefresh_display_information" << QStringList { "Selected", "All" };
        QTest::newRow("debug") << "menuDebug" << QStringList { "Generate file hash info" };
        QTest::newRow("view") << "menuView" << QStringList { "Log", "Show Asset Tag column", "Show MAC Address column" };
        QTest::newRow("help") << "menuHelp" << QStringList { "About...", "Check for updates", "View README" };
    }

    // An empty table still exports its header; the update report waits for a batch. The save
    // dialog suggests a dated name, the status bar names the file written, and the next export
    // starts in the same folder, also after the window has been closed and opened again.
    void exportDisplayListWithoutRows()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QString path = settingsDir.filePath(QStringLiteral("list.csv"));
        const QString suggested = QStringLiteral("quillon-displays-%1.csv")
                                          .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QString offeredName;
        QString offeredFolder;
        QTimer answerer;
        answerer.setInterval(20);
        connect(&answerer, &QTimer::timeout, this, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                offeredName = name ? name->text() : QString();
                offeredFolder = dialog->directory().absolutePath();
                // As a user types it: the whole path into the name field, then Save.
                if (name)
                    name->setText(path);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
            }
        });
        {
            Tessel window;
            QVERIFY(!window.findChild<QAction *>("actionExport_update_report")->isEnabled());
            answerer.start();
            window.findChild<QAction *>("actionExport_display_list")->trigger();
            answerer.stop();
            QCOMPARE(offeredName, suggested);
            QCOMPARE(window.statusBar()->currentMessage(),
                     QStringLiteral("Display list written to ") + QDir::toNativeSeparators(path));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray csv = file.readAll();
        QVERIFY2(csv.startsWith("\xEF\xBB\xBFModel Name,Serial Number,Asset Tag,IP Address,"), csv.constData());
        QCOMPARE(csv.count("\r\n"), 1);

        Tessel again;
        offeredFolder.clear();
        // Another name: an existing file would stop the dialog with its overwrite question.
        path = settingsDir.filePath(QStringLiteral("list-2.csv"));
        answerer.start();
        again.findChild<QAction *>("actionExport_display_list")->trigger();
        answerer.stop();
        QCOMPARE(offeredFolder, QDir(settingsDir.path()).absolutePath());
    }

    void menusAndActions()
    {
        QFETCH(QString, menu);
        QFETCH(QStringList, entries);
        Tessel window;
        QWidget *w = window.findChild<QWidget *>(menu);
        QVERIFY2(w, qPrintable(menu));
        QStringList seen;
        for (QAction *a : w->actions())
            seen.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(seen, entries);
    }

    void actionsHaveTheirIcons_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("icon");
        QTest::newRow("broadcast") << "actionBroadcast" << "search broadcast";
        QTest::newRow("targeted") << "actionAdvanced_network_search" << "search target";
        QTest::newRow("configure") << "actionConfigureAdvanced_search_network" << "search settings";
        QTest::newRow("usb by model") << "actionCreate_USB_drive_for_another_model" << "usb drive";
        QTest::newRow("offline") << "actionDownload_firmware_for_offline_use" << "cloud download";
        QTest::newRow("refresh selected") << "actionRefreshSelected" << "refresh";
        QTest::newRow("refresh all") << "actionRefreshAll" << "refresh all";
        QTest::newRow("cancel queued") << "actionCancel_all_queued_updates_via_LAN" << "cancel";
        QTest::newRow("settings") << "actionOption_T" << "settings";
        QTest::newRow("log") << "actionLog" << "log";
        QTest::newRow("check updates") << "actionCheck_for_updates" << "app update";
    }

    void actionsHaveTheirIcons()
    {
        QFETCH(QString, action);
        QFETCH(QString, icon);
        Tessel window;
        auto *a = window.findChild<QAction *>(action);
        QVERIFY2(a, qPrintable(action));
        QCOMPARE(render(a->icon()), render(Theme::themedIcon(icon)));
    }

    void unusedFormActionsExist()
    {
        Tessel window;
        for (const char *name : { "actionOpenProject_P", "actionUpdate_U", "actionDebug_test",
                                  "actionClear_download_cache", "actionSearch_network_for_displays_Advanced_search" })
            QVERIFY2(window.findChild<QAction *>(name), name);
    }

    void storedSettingsAreAppliedAndWrittenBack()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        {
            QSettings s = store();
            s.setValue("Settings/Main Dialog Width", screen.width() - 100);
            s.setValue("Settings/Main Dialog Height", screen.height() - 100);
            s.setValue("Settings/Show Asset Tag Column", false);
            s.setValue("Settings/Show MAC Address Column", true);
            s.setValue("Settings/Multi Update Limit", 7);
            s.setValue("Settings/LDS", 1);
            s.setValue("Settings/IP Address Scan Text", "127.0.0.5");
            s.setValue("Settings/LAN Device Index", 999);
        }
        int firstAdapterItem = 0;
        {
            Tessel window;
            firstAdapterItem = window.adapters().isEmpty() ? -1 : -2;
            QCOMPARE(window.size(), screen - QSize(100, 100));
            QVERIFY(!window.findChild<QAction *>("actionShow_Asset_Tag_column")->isChecked());
            QVERIFY(window.findChild<QAction *>("actionShow_MAC_Address_column")->isChecked());
            QCOMPARE(window.findChild<QComboBox *>("interface_selection_comboBox")->currentIndex(), 0);
            window.findChild<QAction *>("actionShow_MAC_Address_column")->trigger();
        }
        QSettings s = store();
        QCOMPARE(s.value("Settings/Main Dialog Width").toInt(), screen.width() - 100);
        QCOMPARE(s.value("Settings/Show MAC Address Column").toBool(), false);
        QCOMPARE(s.value("Settings/Show Asset Tag Column").toBool(), false);
        QCOMPARE(s.value("Settings/Multi Update Limit").toInt(), 7);
        QCOMPARE(s.value("Settings/LDS").toInt(), 0);
        QCOMPARE(s.value("Settings/IP Address Scan Text").toString(), QStringLiteral("127.0.0.5"));
        // The stored adapter no longer exists: the combo stayed on its first item, which is written.
        QCOMPARE(s.value("Settings/LAN Device Index").toInt(), firstAdapterItem);
    }

    void fullScreenWidthIsRefused()
    {
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        {
            QSettings s = store();
            s.setValue("Settings/Main Dialog Width", screen.width());
            s.setValue("Settings/Main Dialog Height", 300);
        }
        Tessel window;
        QCOMPARE(window.size(), QSize(871, 566));
    }

    void paletteChangeSwapsIconsAndColours()
    {
        setWindowLightness(240);
        Tessel window;
        QVERIFY(!window.isDarkTheme());
        QCOMPARE(window.panelColourSet().colours.value(0), QStringLiteral("#ffffff"));
        auto *search = window.findChild<QPushButton *>("pushButtonSearch");
        const QImage lightIcon = render(search->icon());
        auto *table = window.findChild<QTableView *>("display_list_tableView");
        const QString lightSheet = table->styleSheet();

        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::Highlight, QColor(200, 100, 0));
        QApplication::setPalette(dark);
        // Qt posts the change to the window.
        QTRY_VERIFY(window.isDarkTheme());
        QCOMPARE(window.panelColourSet().colours.value(0), QStringLiteral("#000000"));
        QCOMPARE(render(search->icon()), render(QIcon(QStringLiteral(":/resources/dark/search.svg"))));
        QVERIFY(render(search->icon()) != lightIcon);
        QVERIFY(table->styleSheet() != lightSheet);
        QVERIFY(table->styleSheet().contains(QStringLiteral("#99c86400")));
    }

    // With no row selected the panel holds the help callouts; they take the new colours at once,
    // not at the next click.
    void paletteChangeRebuildsThePanelWithoutASelectedRow()
    {
        setWindowLightness(240);
        Tessel window;
        auto *panel = window.findChild<QTextBrowser *>("info_textBrowser");
        QCOMPARE(window.currentRow(), -1);
        const QString lightHtml = panel->toHtml();
        QVERIFY(lightHtml.contains(window.panelColourSet().colours.value(0), Qt::CaseInsensitive));

        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        QApplication::setPalette(dark);
        QTRY_VERIFY(window.isDarkTheme());
        QVERIFY(panel->toHtml() != lightHtml);
    }

    // Beyond width and height: the place, the maximised state, the splitter and the table's
    // sort order come back on the next start.
    void windowPlaceAndTableStateComeBack()
    {
        {
            QSettings s = store();
            s.setValue("Settings/Main Dialog Width", 780);
            s.setValue("Settings/Main Dialog Height", 500);
        }
        QByteArray splitterState;
        {
            Tessel window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.move(30, 20);
            auto *splitter = window.findChild<QSplitter *>("splitter");
            splitter->setSizes({ 150, 250 });
            splitterState = splitter->saveState();
            auto *table = window.findChild<QTableView *>("display_list_tableView");
            table->sortByColumn(4, Qt::DescendingOrder);
            window.showMaximized();
            QTRY_VERIFY(window.isMaximized());
        }
        {
            QSettings s = store();
            QCOMPARE(s.value("Settings/Main Dialog Width").toInt(), 780);
            QCOMPARE(s.value("Settings/Main Window Maximized").toBool(), true);
            QVERIFY(s.contains("Settings/Main Window Position"));
        }
        Tessel again;
        QVERIFY(again.windowState() & Qt::WindowMaximized);
        auto *header = again.findChild<QTableView *>("display_list_tableView")->horizontalHeader();
        QCOMPARE(header->sortIndicatorSection(), 4);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(again.findChild<QSplitter *>("splitter")->saveState(), splitterState);
        QCOMPARE(again.size(), QSize(780, 500));
    }

    // A place on a screen that is no longer there is not used; the stored size still is.
    void windowPlaceOffEveryScreenIsIgnored()
    {
        {
            QSettings s = store();
            s.setValue("Settings/Main Dialog Width", 780);
            s.setValue("Settings/Main Dialog Height", 500);
            s.setValue("Settings/Main Window Position", QPoint(40000, 40000));
            s.setValue("Settings/Display Table Header", QByteArray("not a header state"));
        }
        Tessel window;
        QCOMPARE(window.size(), QSize(780, 500));
        QVERIFY(window.pos() != QPoint(40000, 40000));
        QVERIFY(!(window.windowState() & Qt::WindowMaximized));
        QCOMPARE(window.findChild<QTableView *>("display_list_tableView")->horizontalHeader()->count(), 10);
    }

    // The status bar says how many displays are still awaited, their addresses in the tool tip
    // (a long list shortened), and nothing once none is.
    void statusBarNamesTheAwaitedDisplays()
    {
        Tessel window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *label = window.findChild<QLabel *>("awaitedDisplaysLabel");
        QVERIFY(label);
        QVERIFY(!label->isVisible());

        emit window.searchOrchestrator()->awaitedDisplaysChanged(2, { "127.0.9.1", "127.0.9.7" });
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("Waiting for 2 display(s)"));
        QCOMPARE(label->toolTip(), QStringLiteral("127.0.9.1\n127.0.9.7"));

        QStringList many;
        for (int i = 1; i <= 25; ++i)
            many << QStringLiteral("127.0.9.%1").arg(i);
        emit window.searchOrchestrator()->awaitedDisplaysChanged(25, many);
        QCOMPARE(label->text(), QStringLiteral("Waiting for 25 display(s)"));
        const QStringList lines = label->toolTip().split('\n');
        QCOMPARE(lines.size(), 21);
        QCOMPARE(lines.first(), QStringLiteral("127.0.9.1"));
        QCOMPARE(lines.last(), QStringLiteral("and 5 more"));

        emit window.searchOrchestrator()->awaitedDisplaysChanged(0, {});
        QVERIFY(!label->isVisible());
        QVERIFY(label->toolTip().isEmpty());
    }

    // The USB button keeps its width whatever the selected model: a long name is elided and the
    // whole text goes to the tool tip; a short one shows whole.
    void usbButtonKeepsItsWidth_data()
    {
        QTest::addColumn<QString>("modelName");
        QTest::addColumn<bool>("elided");
        QTest::newRow("short") << QStringLiteral("QX-551") << false;
        QTest::newRow("long") << QStringLiteral("ZX-9000 Ultra Wide Conference Edition 75 inch") << true;
        QTest::newRow("ampersand") << QStringLiteral("R&D-1") << false;
    }

    void usbButtonKeepsItsWidth()
    {
        QFETCH(QString, modelName);
        QFETCH(bool, elided);
        Tessel window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *usb = window.findChild<QPushButton *>("create_usb_drive_pushButton");
        auto *download = window.findChild<QPushButton *>("download_pushButton");
        window.update_ui(false);
        const int width = usb->width();
        const QPoint downloadPlace = download->pos();

        // One display on loopback where nothing answers; its row carries the model name.
        DISPLAY_UDP_SEARCH_REPLY_INFO info;
        info.ipAddress = QHostAddress(QStringLiteral("127.0.9.1"));
        info.modelName = modelName;
        window.searchOrchestrator()->device_results_DisplaySearchUDP(info);
        auto *table = window.findChild<QTableView *>("display_list_tableView");
        table->selectRow(0);
        window.update_ui(false);
        QCoreApplication::processEvents();

        QCOMPARE(window.currentRow(), 0);
        QCOMPARE(usb->width(), width);
        QCOMPARE(download->pos(), downloadPlace);
        const QString full = QStringLiteral("Create firmware USB drive for %1 display...").arg(modelName);
        if (elided) {
            QVERIFY2(usb->text().contains(QChar(0x2026)), qPrintable(usb->text()));
            QCOMPARE(usb->toolTip(), full);
        } else {
            QString shown = full;
            QCOMPARE(usb->text(), shown.replace(QLatin1Char('&'), QLatin1String("&&")));
            QVERIFY(usb->toolTip().isEmpty());
        }
        QVERIFY(usb->fontMetrics().horizontalAdvance(usb->text()) < usb->width());
    }

    // A ticked row that keeps "Update firmware via LAN" off is named in the button's tool tip and
    // the status bar; unticking it takes both back and its error stays in its status cell.
    void lanUpdateBlockerIsNamed()
    {
        Tessel window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int i = 1; i <= 2; ++i) {
            DISPLAY_UDP_SEARCH_REPLY_INFO info;
            info.ipAddress = QHostAddress(QStringLiteral("127.0.82.%1").arg(i));
            info.modelName = QStringLiteral("PX-551");
            window.searchOrchestrator()->device_results_DisplaySearchUDP(info);
        }
        DisplayTableState &state = window.engine()->state();
        // Nothing listens there: the queries fail at once and leave the rows alone after that.
        QTRY_VERIFY_WITH_TIMEOUT(window.engine()->isSearchSettled()
                                         && std::none_of(state.displayEntries.cbegin(), state.displayEntries.cend(),
                                                         [](const DisplayEntry &row) { return row.controlRequest; }),
                                 10000);
        state.databaseLoaded = true;
        for (DisplayEntry &row : state.displayEntries) {
            row.selected = true;
            row.commStatus = 0;
            row.powerState = 1;
            row.firmwareStatus = FirmwareStatus::NewForLan;
        }
        state.displayEntries[0].commStatus = 2;
        window.update_ui(false);

        auto *button = window.findChild<QPushButton *>("download_pushButton");
        const QString why = QStringLiteral("127.0.82.1: the address for firmware updates cannot be reached — untick it to update the others");
        auto *label = window.findChild<QLabel *>("lanUpdateBlockersLabel");
        QVERIFY(label);
        QVERIFY(!button->isEnabled());
        QCOMPARE(button->toolTip(), why);
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), why);
        // A passing message does not push it out of the status bar.
        window.statusBar()->showMessage(QStringLiteral("Found 2 display(s) on LAN"));
        QVERIFY(label->isVisible());

        // Both ticked rows blocking: the first named, the tool tip lists both.
        state.displayEntries[1].commStatus = 1;
        window.update_ui(false);
        QCOMPARE(button->toolTip().split('\n').size(), 2);
        QVERIFY2(label->text().startsWith(why + " (and 1 more"), qPrintable(label->text()));
        state.displayEntries[1].commStatus = 0;

        state.displayEntries[0].selected = false;
        window.update_ui(false);
        QVERIFY(button->isEnabled());
        QVERIFY(button->toolTip().isEmpty());
        QVERIFY(!label->isVisible());
        auto *table = window.findChild<QTableView *>("display_list_tableView");
        const QAbstractItemModel *model = table->model();
        bool shown = false;
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                shown = shown || model->index(row, column).data().toString()
                        == QStringLiteral("Error: Firmware update IP address is unreachable.");
            }
        }
        QVERIFY(shown);
    }

    // A README that cannot be opened is named with its path.
    void missingReadmeIsNamed()
    {
        const QString expected = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/ReadMe.html");
        if (QFile::exists(expected))
            QSKIP("a ReadMe.html lies beside the test program");
        Tessel window;
        QString boxText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxText = box->text();
                box->accept();
            }
        });
        closer.start(20);
        window.findChild<QAction *>("actionView_README")->trigger();
        closer.stop();
        QCOMPARE(boxText, QStringLiteral("Unable to open README file.\n") + expected);
    }

    // With no file manager to start, the technician is told where the folder is.
    void noFileManagerNamesTheFolder()
    {
        QTemporaryDir emptyBin;
        QVERIFY(emptyBin.isValid());
        Tessel window;
        QVERIFY(QDir().mkpath(window.cacheFolderPath()));

        QString boxText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxText = box->text();
                box->accept();
            }
        });
        closer.start(20);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(emptyBin.path()));
        window.findChild<QAction *>("actionOpen_firmware_download_folder")->trigger();
        qputenv("PATH", oldPath);
        closer.stop();

        QVERIFY2(boxText.contains(QDir::toNativeSeparators(window.cacheFolderPath())), qPrintable(boxText));
    }

    void logActionShowsAndHidesTheLogWindow()
    {
        Tessel window;
        auto *log = window.findChild<QAction *>("actionLog");
        log->trigger();
        QVERIFY(window.logDialog()->isVisible());
        window.itemMenuAboutToShow();
        QVERIFY(log->isChecked());
        log->trigger();
        QVERIFY(!window.logDialog()->isVisible());
        window.itemMenuAboutToShow();
        QVERIFY(!log->isChecked());
    }

    void missingDownloadFolderIsExplainedThenTheFileManagerOpens()
    {
        // A stand-in for the desktop's xdg-open that records what it was asked to open.
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString record = bin.filePath(QStringLiteral("opened.txt"));
        const QString script = bin.filePath(QStringLiteral("xdg-open"));
        {
            QFile f(script);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                        .arg(record).toUtf8());
        }
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        Tessel window;
        QVERIFY(QDir(window.cacheFolderPath()).removeRecursively());

        QString boxTitle;
        QString boxText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxTitle = box->windowTitle();
                boxText = box->text();
                box->accept();
            }
        });
        closer.start(20);

        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + oldPath);
        window.findChild<QAction *>("actionOpen_firmware_download_folder")->trigger();
        qputenv("PATH", oldPath);
        closer.stop();

        QCOMPARE(boxTitle, QStringLiteral("Open File Location"));
        QCOMPARE(boxText, QStringLiteral("File does not exist"));
        // Then the file manager opens at its default place.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile opened(record);
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(opened.readAll()), QDir::homePath());
    }
};

QTEST_MAIN(tst_Tessel)
#include "tst_tessel.moc"
