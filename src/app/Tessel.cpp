#include "app/Tessel.h"
#include "ui_Tessel.h"

#include "settings/AppSettings.h"
#include "app/CommandAvailability.h"
#include "settings/FirmwareCacheFolder.h"
#include "dialogs/About_Dialog.h"
#include "dialogs/OptionSetting.h"
#include "discovery/AddressListParser.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "search/SearchOrchestrator.h"
#include "maintenance/ApplicationUpdateCheck.h"
#include "flows/CatalogueStartupFlow.h"
#include "maintenance/FileHashListing.h"
#include "maintenance/FirmwareCache.h"
#include "maintenance/ReadmeFile.h"
#include "flows/DownloadController.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "queue/PowerSaveChange.h"
#include "queue/UpdateQueue.h"
#include "queue/UpdateSummary.h"
#include "log/LogMessageHandler.h"
#include "log/SV_Information_Dialog.h"
#include "offline/DownloadFirmwareForOfflineDialog.h"
#include "usb/CreateUSBDriveDialog.h"
#include "usb/search_model_dialog.h"
#include "platform/Platform.h"
#include "panel/DisplayInfoPanel.h"
#include "table/MySortFilterProxyModel.h"
#include "table/displayListModel.h"
#include "update/UpdateStatusText.h"
#include "reports/CsvWriter.h"
#include "reports/DisplayListExport.h"
#include "reports/ReportFile.h"
#include "reports/UpdateReport.h"
#include "dialogs/UpdateHistoryDialog.h"
#include "history/UpdateHistory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int AssetTagColumn = displayListModel::AssetTagColumn;
constexpr int MacAddressColumn = displayListModel::MacAddressColumn;

}

Tessel::Tessel(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Tessel)
{
    panelColours.borderWidth = 3;
    model = new displayListModel(this);
    model->setStatusTextLookup(&UpdateStatusText::text);

    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Quillon"));
    setWindowIcon(QIcon(QStringLiteral(":/images/Tessel.ico")));

    logWindow = new SV_Information_Dialog(this);
    ui->menuDebug->menuAction()->setVisible(false);
    ui->pushButtonSearch->setEnabled(false);

    adapterList = NetworkAdapterList::fromSystem();
    fillAdapterCombo();
    ui->interface_selection_label->hide();
    ui->interface_selection_comboBox->hide();

    const AppSettings stored = AppSettings::load();
    applySettings(stored);

    search = new SearchOrchestrator(state, firmwareDatabase, this);
    search->setAdapters(adapterList.adapters());
    search->setInterfaceSelection(ui->interface_selection_comboBox->currentData());
    connect(ui->interface_selection_comboBox, &QComboBox::currentIndexChanged, this,
            [this] { search->setInterfaceSelection(ui->interface_selection_comboBox->currentData()); });
    connect(search, &SearchOrchestrator::update_info, this, &Tessel::update_info);
    connect(search, &SearchOrchestrator::addRow, this, &Tessel::addRow);
    connect(search, &SearchOrchestrator::resetAll, this, &Tessel::resetAll);
    connect(search, &SearchOrchestrator::statusMessage, this, &Tessel::showStatusMessage);
    connect(search, &SearchOrchestrator::uiUpdateNeeded, this, &Tessel::scheduleUpdateUi);

    LogMessageHandler::install(logWindow);

    cacheFolder = FirmwareCacheFolder::path(true);
    qInfo() << "Local cache folder:" << QDir::toNativeSeparators(cacheFolder);
    if (!cacheFolder.isEmpty() && !QDir(cacheFolder).exists())
        QDir().mkpath(cacheFolder);

    ui->download_pushButton->setEnabled(false);
    model->setEntries(&state.displayEntries);

    proxy = new MySortFilterProxyModel(this);
    proxy->setSourceModel(model);
    auto *table = ui->display_list_tableView;
    table->sortByColumn(-1, Qt::AscendingOrder);
    table->setModel(proxy);
    // Before sorting is switched on, so that the stored sort column and order are the first sort.
    if (!stored.tableHeaderState.isEmpty())
        table->horizontalHeader()->restoreState(stored.tableHeaderState);
    table->setSortingEnabled(true);
    table->horizontalHeader()->setVisible(true);
    table->verticalHeader()->setVisible(true);

    connect(table, &MyTableView::refreshRow, this, &Tessel::refresh_row_by_TcpClient);
    connect(table, &MyTableView::requestPowerOn, this, &Tessel::requestPowerOn_by_TcpClient);
    connect(table, &MyTableView::requestPowerOff, this, &Tessel::requestPowerOff_by_TcpClient);
    connect(table, &MyTableView::requestSetPowerSaveToAutoPowerSave, this,
            &Tessel::requestSetPowerSaveToAutoPowerSave_by_TcpClient);
    connect(table, &MyTableView::requestSetPowerSaveToAutoStandby, this,
            &Tessel::requestSetPowerSaveToAutoStandby_by_TcpClient);
    connect(ui->menuView, &QMenu::aboutToShow, this, &Tessel::itemMenuAboutToShow);

    table->setTextElideMode(Qt::ElideRight);
    // Long status texts stay on one line and end in "...", their whole text is the tool tip;
    // wrapped they were cut off mid-sentence in a second line.
    table->setWordWrap(false);
    // update_ui fits the columns after every reply of a search; measuring only the rows in view
    // keeps that cost flat however many displays the table holds.
    table->horizontalHeader()->setResizeContentsPrecision(0);
    table->horizontalHeader()->setHighlightSections(false);
    // The table is what a technician works in: give it the larger part of the window.
    ui->splitter->setSizes({ 600, 400 });
    if (!stored.splitterState.isEmpty())
        ui->splitter->restoreState(stored.splitterState);
    QApplication::setFont(QApplication::font("QMenu"));
    // The panel's small icons stand in a line of text: centred on it, not standing on its baseline.
    ui->info_textBrowser->document()->setDefaultStyleSheet(QStringLiteral("img { vertical-align: middle; }"));

    connect(table->selectionModel(), &QItemSelectionModel::currentChanged, this, &Tessel::selectionCurrentRowChanged);
    connect(this, &Tessel::update_info, model, &displayListModel::rowChanged);
    connect(this, &Tessel::addRow, model, &displayListModel::addRow);
    connect(this, &Tessel::resetAll, model, &displayListModel::resetAll);
    connect(model, &displayListModel::need_update_ui, this, [this] { update_ui(); });

    applyColumnVisibility();

    searchMenu = new QMenu(this);
    rebuildSearchMenu();
    attachSearchMenu();

    catalogueFlow = new CatalogueStartupFlow(state, firmwareDatabase, cacheFolder, this);
    catalogueFlow->setSearchAllowedCheck([this] { return ui->pushButtonSearch->isEnabled(); });
    connect(catalogueFlow, &CatalogueStartupFlow::statusMessage, this, &Tessel::showStatusMessage);
    connect(catalogueFlow, &CatalogueStartupFlow::uiUpdateNeeded, this, &Tessel::update_ui);
    connect(catalogueFlow, &CatalogueStartupFlow::firstSearchDue, this, &Tessel::startFirstSearch);
    connect(catalogueFlow, &CatalogueStartupFlow::applicationUpdateCheckDue, this,
            &Tessel::checkForApplicationUpdatesNoMessageIfNewer);
    downloadJsonData();

    // The LAN update: package downloads, the power-save change and the queue work on the state;
    // this window shows their texts and dialogs.
    downloads = new DownloadController(state, firmwareDatabase, cacheFolder, this);
    connect(downloads, &DownloadController::update_info, this, &Tessel::update_info);
    connect(downloads, &DownloadController::statusMessage, this, &Tessel::showStatusMessage);
    connect(downloads, &DownloadController::uiUpdateNeeded, this, &Tessel::update_ui);
    connect(downloads, &DownloadController::cancelButtonVisible, this, [this](bool shown) { cancelDownloadsButton->setVisible(shown); });
    connect(downloads, &DownloadController::confirmationRequested, this, &Tessel::confirm_firmware_update, Qt::QueuedConnection);
    // Resumed for the row the command was given: the selection may have moved while it downloaded.
    connect(downloads, &DownloadController::usbCommandResumed, this, [this](int row) {
        setBusyCursor(true);
        downloads->startUsbDownloadForRow(row);
        update_ui(true);
    }, Qt::QueuedConnection);
    connect(downloads, &DownloadController::usbDriveDialogRequested, this, &Tessel::usbDriveDialogRequested);
    // Queued: the dialog is modal, and the download that asked for it has not finished unwinding.
    connect(this, &Tessel::usbDriveDialogRequested, this, &Tessel::openUsbDriveDialog, Qt::QueuedConnection);
    connect(downloads, &DownloadController::downloadFailed, this, &Tessel::showDownloadFailure, Qt::QueuedConnection);
    queue = new UpdateQueue(state, firmwareDatabase, cacheFolder, this);
    connect(queue, &UpdateQueue::update_info, this, &Tessel::update_info);
    connect(queue, &UpdateQueue::statusMessage, this, &Tessel::showStatusMessage);
    connect(queue, &UpdateQueue::uiUpdateNeeded, this, &Tessel::update_ui);
    powerSaveChange = new PowerSaveChange(state, *search, this);
    connect(powerSaveChange, &PowerSaveChange::update_info, this, &Tessel::update_info);
    connect(powerSaveChange, &PowerSaveChange::readyToQueue, queue, &UpdateQueue::queueUpdates);

    auto *statusHolder = new QWidget(this);
    auto *statusLayout = new QHBoxLayout(statusHolder);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(0);
    cancelDownloadsButton = new QPushButton(tr("Cancel downloads"), statusHolder);
    cancelDownloadsButton->setObjectName(QStringLiteral("cancelDownloadsButton"));
    connect(cancelDownloadsButton, &QPushButton::clicked, this, &Tessel::cancel_download_clicked);
    statusLayout->addWidget(cancelDownloadsButton);
    cancelDownloadsButton->hide();
    // What a search still waits for: one display that accepts a connection and never answers
    // holds the table, and the technician must be able to see which one.
    awaitedLabel = new QLabel(statusHolder);
    awaitedLabel->setObjectName(QStringLiteral("awaitedDisplaysLabel"));
    awaitedLabel->setTextFormat(Qt::PlainText);
    awaitedLabel->setContentsMargins(6, 0, 6, 0);
    awaitedLabel->hide();
    statusLayout->insertWidget(0, awaitedLabel);
    connect(search, &SearchOrchestrator::awaitedDisplaysChanged, this, &Tessel::showAwaitedDisplays);
    statusBar()->addPermanentWidget(statusHolder);

    applyTheme();
}

Tessel::~Tessel()
{
    currentSettings().save();
    setBusyCursor(false);
    // The search object and its queries go before the rows they write into, and the table lets go
    // of the rows before they are destroyed with this object's members (the model, a child, lives
    // until the base class has gone).
    // Sessions and downloads write into the rows: they go first.
    delete queue;
    queue = nullptr;
    delete downloads;
    downloads = nullptr;
    delete search;
    search = nullptr;
    ui->display_list_tableView->setModel(nullptr);
    model->setEntries(nullptr);
    model->resetAll();
    delete ui;
}

void Tessel::fillAdapterCombo()
{
    QComboBox *combo = ui->interface_selection_comboBox;
    combo->clear();
    if (adapterList.isEmpty())
        combo->addItem(tr("None"), -1);
    else
        combo->addItem(tr("All"), -2);
    for (int i = 0; i < adapterList.count(); ++i)
        combo->addItem(adapterList.at(i).humanReadableName, i);
}

void Tessel::applySettings(const AppSettings &settings)
{
    state.updateLimit = settings.multiUpdateLimit;
    state.legacySupport = settings.legacySupport;
    model->setLegacySupport(state.legacySupport);

    const QScreen *screen = QGuiApplication::primaryScreen();
    if (settings.windowSizeFits(screen ? screen->geometry().size() : QSize()))
        resize(settings.windowWidth, settings.windowHeight);
    restoreWindowPlace(settings);

    QComboBox *combo = ui->interface_selection_comboBox;
    QList<QVariant> userData;
    for (int i = 0; i < combo->count(); ++i)
        userData.append(combo->itemData(i));
    const int index = settings.adapterComboIndex(userData, adapterList.count());
    if (index >= 0)
        combo->setCurrentIndex(index);

    state.targetText = settings.ipAddressScanText;
    int item = 0;
    AddressListParser::parse(state.targetText, state.targetAddresses, item, AddressListParser::DefaultLimit);

    // Block the toggled slots: the columns are applied once the table has its model.
    const QSignalBlocker assetBlocker(ui->actionShow_Asset_Tag_column);
    const QSignalBlocker macBlocker(ui->actionShow_MAC_Address_column);
    ui->actionShow_Asset_Tag_column->setChecked(settings.showAssetTagColumn);
    ui->actionShow_MAC_Address_column->setChecked(settings.showMacAddressColumn);
}

void Tessel::restoreWindowPlace(const AppSettings &settings)
{
    QList<QRect> screenAreas;
    for (const QScreen *each : QGuiApplication::screens())
        screenAreas.append(each->availableGeometry());
    if (settings.windowPositionFits(screenAreas))
        move(settings.windowPosition);
    if (settings.windowMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

AppSettings Tessel::currentSettings() const
{
    AppSettings s;
    s.multiUpdateLimit = state.updateLimit;
    s.legacySupport = state.legacySupport;
    // A maximised window keeps the size and place it returns to when it is restored.
    const bool maximized = isMaximized();
    const QRect normal = maximized && normalGeometry().isValid() ? normalGeometry() : QRect(pos(), size());
    s.windowWidth = normal.width();
    s.windowHeight = normal.height();
    // A window that was never shown has no place of its own to remember.
    s.windowPositionStored = windowHandle() != nullptr;
    s.windowPosition = normal.topLeft();
    s.windowMaximized = maximized;
    s.splitterState = ui->splitter->saveState();
    s.tableHeaderState = ui->display_list_tableView->horizontalHeader()->saveState();
    s.lanDeviceIndex = ui->interface_selection_comboBox->currentData();
    s.ipAddressScanText = state.targetText;
    s.showAssetTagColumn = ui->actionShow_Asset_Tag_column->isChecked();
    s.showMacAddressColumn = ui->actionShow_MAC_Address_column->isChecked();
    return s;
}

void Tessel::applyColumnVisibility()
{
    QTableView *table = ui->display_list_tableView;
    table->setColumnHidden(AssetTagColumn, !ui->actionShow_Asset_Tag_column->isChecked());
    table->setColumnHidden(MacAddressColumn, !ui->actionShow_MAC_Address_column->isChecked());
}

void Tessel::applyTheme()
{
    darkTheme = Theme::isDarkAppearance();
    panelColours = Theme::panelColours(darkTheme);

    ui->create_usb_drive_pushButton->setIcon(Theme::themedIcon(QStringLiteral("usb drive")));
    ui->pushButtonSearch->setIcon(Theme::themedIcon(QStringLiteral("search")));
    ui->download_pushButton->setIcon(Theme::themedIcon(QStringLiteral("update_lan")));
    ui->menuSearch_network_for_displays->setIcon(Theme::themedIcon(QStringLiteral("search")));
    ui->menuRefresh_display_information->setIcon(Theme::themedIcon(QStringLiteral("refresh")));

    const struct {
        QAction *action;
        const char *icon;
    } actionIcons[] = {
        { ui->actionBroadcast, "search broadcast" },
        { ui->actionAdvanced_network_search, "search target" },
        { ui->actionConfigureAdvanced_search_network, "search settings" },
        { ui->actionCreate_USB_drive_for_another_model, "usb drive" },
        { ui->actionDownload_firmware_for_offline_use, "cloud download" },
        { ui->actionRefreshSelected, "refresh" },
        { ui->actionRefreshAll, "refresh all" },
        { ui->actionCancel_all_queued_updates_via_LAN, "cancel" },
        { ui->actionOption_T, "settings" },
        { ui->actionLog, "log" },
        { ui->actionCheck_for_updates, "app update" },
    };
    for (const auto &entry : actionIcons)
        entry.action->setIcon(Theme::themedIcon(QString::fromLatin1(entry.icon)));

    // Re-set so that the selection colours below are taken from the new palette.
    ui->display_list_tableView->setStyleSheet(QString());
    if (logWindow)
        logWindow->refreshIcons();

    const QPalette palette = QGuiApplication::palette();
    QColor highlight = palette.color(QPalette::Highlight);
    highlight.setAlphaF(0.6f);
    // No text colour here: the style already draws selected text in the highlighted-text colour,
    // and a colour set by the sheet also paints the check mark, white on the white box.
    ui->display_list_tableView->setStyleSheet(
        QStringLiteral("\nQTableView {outline:0; }\n  QTableView::item:selected   { background: %1; }\n")
            .arg(highlight.name(QColor::HexArgb)));

    // With or without a selected row: the callouts of the empty panel carry the old colours too.
    shownPanelHtml.clear();
    refreshInfoPanel(currentRow());
    rebuildSearchMenu();
}

void Tessel::rebuildSearchMenu()
{
    searchMenu->clear();
    QAction *broadcast = searchMenu->addAction(Theme::themedIcon(QStringLiteral("search broadcast")),
                                               tr("Broadcast search", "search button menu text"));
    connect(broadcast, &QAction::triggered, this, &Tessel::on_actionBroadcast_triggered);
    QAction *targeted = searchMenu->addAction(Theme::themedIcon(QStringLiteral("search target")),
                                              tr("Targeted search", "search button menu text"));
    connect(targeted, &QAction::triggered, this, &Tessel::on_actionAdvanced_network_search_triggered);
}

// With no targets the button searches at once; with targets it offers both kinds of search.
void Tessel::attachSearchMenu()
{
    ui->pushButtonSearch->setMenu(state.targetAddresses.isEmpty() ? nullptr : searchMenu);
}

int Tessel::currentRow() const
{
    const QItemSelectionModel *selection = ui->display_list_tableView->selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty())
        return -1;
    const QModelIndex source = proxy->mapToSource(rows.last());
    return state.isValidRow(source.row()) ? source.row() : -1;
}

void Tessel::evaluateFirmwareStatus(bool autoSelect)
{
    search->evaluateFirmwareStatus(autoSelect);
}

void Tessel::setBusyCursor(bool busy)
{
    if (busy == busyCursorShown)
        return;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    busyCursorShown = busy;
}

void Tessel::update_ui(bool update_description_text)
{
    QTableView *table = ui->display_list_tableView;
    for (int column = 0; column < model->columnCount() - 1; ++column)
        table->resizeColumnToContents(column);

    const int row = currentRow();
    const CommandAvailability can = CommandAvailability::evaluate(state, row);
    setBusyCursor(can.busyCursor);

    ui->pushButtonSearch->setEnabled(can.search);
    ui->actionBroadcast->setEnabled(can.search);
    ui->actionConfigureAdvanced_search_network->setEnabled(can.search);
    ui->actionAdvanced_network_search->setEnabled(can.targetedSearch);
    ui->actionCancel_all_queued_updates_via_LAN->setEnabled(can.cancelQueuedUpdates);
    ui->download_pushButton->setEnabled(can.updateViaLan);
    ui->actionRefreshAll->setEnabled(can.refreshAll);
    ui->actionRefreshSelected->setEnabled(can.refreshSelected);

    if (update_description_text)
        refreshInfoPanel(row);

    showUsbButtonText(row >= 0 ? state.displayEntries.at(row).modelName : QString());
    ui->create_usb_drive_pushButton->setEnabled(can.usbDrive);
    ui->actionCreate_USB_drive_for_another_model->setEnabled(can.catalogueTools);
    ui->actionDownload_firmware_for_offline_use->setEnabled(can.catalogueTools);
    ui->deselect_all_pushButton->setEnabled(can.deselectAll);
    ui->actionExport_update_report->setEnabled(state.activeUpdates == 0 && UpdateReport::hasLines(state));
}

// The button keeps the width of its generic label whatever the model: a long model name is
// elided and the whole text is the tool tip, so its neighbours never move.
void Tessel::showUsbButtonText(const QString &modelName)
{
    QPushButton *button = ui->create_usb_drive_pushButton;
    const QString generic = tr("Create firmware USB drive for selected display...");
    if (button->property("genericText").toString() != generic) {
        button->setProperty("genericText", generic);
        button->setText(generic);
        button->setMinimumWidth(0);
        button->setMaximumWidth(QWIDGETSIZE_MAX);
        button->setFixedWidth(button->sizeHint().width());
    }
    if (modelName.isEmpty()) {
        button->setText(generic);
        button->setToolTip(QString());
        return;
    }
    const QString full = tr("Create firmware USB drive for %1 display...", "1=model name").arg(modelName);
    const QFontMetrics metrics = button->fontMetrics();
    const int room = metrics.horizontalAdvance(generic)
            - metrics.horizontalAdvance(tr("Create firmware USB drive for %1 display...", "1=model name").arg(QString()));
    const QString name = metrics.elidedText(modelName, Qt::ElideRight, qMax(room, metrics.averageCharWidth() * 4));
    // A display's own text on a button: "&" must not turn into a shortcut.
    QString shown = name;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    button->setText(tr("Create firmware USB drive for %1 display...", "1=model name").arg(shown));
    button->setToolTip(name == modelName ? QString() : full);
}

void Tessel::showAwaitedDisplays(int count, const QStringList &addresses)
{
    if (count <= 0) {
        awaitedLabel->hide();
        awaitedLabel->clear();
        awaitedLabel->setToolTip(QString());
        return;
    }
    awaitedLabel->setText(tr("Waiting for %1 display(s)", "1=number of displays whose reply is awaited").arg(count));
    // A search of a thousand displays must not make a tool tip taller than the screen.
    constexpr int MaxListed = 20;
    QStringList lines = addresses.mid(0, MaxListed);
    if (addresses.size() > MaxListed)
        lines << tr("and %1 more", "1=number of further displays").arg(addresses.size() - MaxListed);
    awaitedLabel->setToolTip(lines.join(QLatin1Char('\n')));
    awaitedLabel->show();
}

// Replies of a search arrive in bursts; the controls follow once per burst, not once per reply.
void Tessel::scheduleUpdateUi(bool updateDescription)
{
    pendingUpdateDescription = pendingUpdateDescription || updateDescription;
    if (updateUiScheduled)
        return;
    updateUiScheduled = true;
    QTimer::singleShot(0, this, [this] {
        updateUiScheduled = false;
        const bool description = pendingUpdateDescription;
        pendingUpdateDescription = false;
        update_ui(description);
    });
}

void Tessel::refreshInfoPanel(int row)
{
    DisplayInfoPanel::WindowState panelState;
    panelState.searchAttempted = state.searchAttempted;
    panelState.searching = state.searching;
    panelState.databaseLoaded = state.databaseLoaded;
    panelState.rowCount = state.displayEntries.size();
    panelState.darkTheme = darkTheme;
    panelState.colours = panelColours;
    const DisplayInfoPanel panel(panelState, &Theme::themedIconPath, &UpdateStatusText::text);

    const DisplayEntry *entry = state.isValidRow(row) ? &state.displayEntries.at(row) : nullptr;
    FirmwareRelease release;
    const bool found = entry && firmwareDatabase.findRelease(entry->modelName, entry->serialNumber, release) == 0;
    // Laying out the panel costs more than building it; most calls come from replies for other
    // rows and leave its text as it is.
    const QString html = panel.build(entry, found ? &release : nullptr);
    if (html == shownPanelHtml)
        return;
    shownPanelHtml = html;
    ui->info_textBrowser->setHtml(html);
}

void Tessel::selectionCurrentRowChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (current.row() == previous.row() && !state.selectionRefreshPending)
        return;
    if (ui->display_list_tableView->selectionModel()->hasSelection())
        state.selectionRefreshPending = false;
    QTimer::singleShot(0, this, [this] { update_ui(true); });
}

void Tessel::itemMenuAboutToShow()
{
    ui->actionLog->setChecked(logWindow->isVisible());
}

void Tessel::changeEvent(QEvent *event)
{
    // An unshown window hears of a new application palette only as its own palette changing.
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)
        applyTheme();
    QMainWindow::changeEvent(event);
}

void Tessel::closeEvent(QCloseEvent *event)
{
    if (state.activeUpdates != 0) {
        const auto answer = QMessageBox::warning(
            this, windowTitle(), tr("Firmware update is in progress.\n\nAre you sure you want to quit?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void Tessel::downloadJsonData()
{
    catalogueFlow->downloadJsonData();
}

void Tessel::startFirstSearch(bool targeted)
{
    if (targeted)
        on_actionAdvanced_network_search_triggered();
    else
        on_actionBroadcast_triggered();
}

void Tessel::showStatusMessage(const QString &text, int timeoutMs)
{
    if (text.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(text, timeoutMs);
}

void Tessel::on_pushButtonSearch_clicked()
{
    on_actionBroadcast_triggered();
}

void Tessel::on_actionBroadcast_triggered()
{
    search->startSearch(true);
    update_ui(true);
}

void Tessel::on_actionAdvanced_network_search_triggered()
{
    search->startSearch(false);
    update_ui(true);
}

void Tessel::on_actionConfigureAdvanced_search_network_triggered()
{
    AdvancedIPSearchDialog dialog(this);
    dialog.setText(state.targetText);
    if (dialog.exec() != QDialog::Accepted)
        return;
    state.targetAddresses = dialog.addresses();
    state.targetText = dialog.text();
    attachSearchMenu();
    update_ui(false);
}

void Tessel::on_actionRefreshSelected_triggered()
{
    refresh_row_by_TcpClient(currentRow());
}

void Tessel::on_actionRefreshAll_triggered()
{
    for (int row = 0; row < state.displayEntries.size(); ++row)
        search->refresh_row_by_TcpClient(row);
    update_ui(true);
}

void Tessel::refresh_row_by_TcpClient(int row)
{
    search->refresh_row_by_TcpClient(row);
    update_ui(true);
}

void Tessel::requestPowerOn_by_TcpClient(int row)
{
    search->requestPowerOn_by_TcpClient(row);
    update_ui(true);
}

void Tessel::requestPowerOff_by_TcpClient(int row)
{
    search->requestPowerOff_by_TcpClient(row);
    update_ui(true);
}

void Tessel::requestSetPowerSaveToAutoPowerSave_by_TcpClient(int row)
{
    search->requestSetPowerSaveToAutoPowerSave_by_TcpClient(row);
    update_ui(true);
}

void Tessel::requestSetPowerSaveToAutoStandby_by_TcpClient(int row)
{
    search->requestSetPowerSaveToAutoStandby_by_TcpClient(row);
    update_ui(true);
}

void Tessel::on_deselect_all_pushButton_clicked()
{
    const QList<int> changed = state.uncheckIdleRows();
    for (int row : changed)
        emit update_info(row);
    if (!changed.isEmpty())
        update_ui(true);
}

void Tessel::on_download_pushButton_clicked()
{
    setBusyCursor(true);
    downloads->startUpdateDownloads();
    update_ui(true);
}

void Tessel::on_create_usb_drive_pushButton_clicked()
{
    setBusyCursor(true);
    downloads->startUsbDownloadForRow(currentRow());
    update_ui(true);
}

void Tessel::prepareUsbDriveForRelease()
{
    downloads->prepareUsbDriveForRelease();
    update_ui(true);
}

void Tessel::downloadFirmwareprogressChanged(int instance, int m_progressValue, int m_progressTotal, QString m_progressMessage)
{
    downloads->downloadFirmwareprogressChanged(instance, m_progressValue, m_progressTotal, m_progressMessage);
}

void Tessel::downloadFirmwareStatusChanged(int instance, int status)
{
    downloads->downloadFirmwareStatusChanged(instance, status);
}

void Tessel::showDownloadFailure(const QString &text)
{
    QMessageBox::information(this, windowTitle(), text, QMessageBox::Ok);
}

void Tessel::confirm_firmware_update()
{
    UpdateSummary::Options options;
    options.updateLimit = state.updateLimit;
    options.showAssetTag = ui->actionShow_Asset_Tag_column->isChecked();
    options.headerColour = QGuiApplication::palette().color(QPalette::Base).name(QColor::HexRgb);
    options.note1IconPath = Theme::themedIconPath(QStringLiteral("reset power"));
    const UpdateSummary::Texts texts = UpdateSummary::build(state.displayEntries, options);

    if (!state.cautionsAccepted) {
        UpdateWarningMessageDialog cautions(this);
        if (cautions.exec() != QDialog::Accepted)
            return;
        state.cautionsAccepted = true;
    }
    ConfirmWithScrollMsgAreaDialog summary(this, windowTitle(), texts.header, texts.table, texts.message);
    // Room for the table of displays above the notes; the dialog's own size showed three rows.
    summary.resize(summary.size().expandedTo(QSize(820, 600)).boundedTo(screen()->availableSize()));
    if (summary.exec() != QDialog::Accepted)
        return;
    if (!powerSaveChange->start())
        queue->queueUpdates();
    update_ui(true);
}

void Tessel::on_actionCreate_USB_drive_for_another_model_triggered()
{
    search_model_dialog chooser(firmwareDatabase, this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    FirmwareRelease release;
    if (chooser.getSelectedRelease(release) != 0 || release.downloadLoc.isEmpty())
        return;
    downloads->setUsbRelease(release);
    prepareUsbDriveForRelease();
}

void Tessel::openUsbDriveDialog(const FirmwareRelease &release)
{
    setBusyCursor(false);
    CreateUSBDriveDialog dialog(cacheFolder, release, this);
    dialog.exec();
    update_ui(true);
}

void Tessel::on_actionDownload_firmware_for_offline_use_triggered()
{
    DownloadFirmwareForOfflineDialog(cacheFolder, &firmwareDatabase, this).exec();
}

void Tessel::on_actionCancel_all_queued_updates_via_LAN_triggered()
{
    queue->cancelQueued();
}

void Tessel::FirmUpdateTimerHandle()
{
    queue->FirmUpdateTimerHandle();
}

void Tessel::cancel_download_clicked()
{
    downloads->cancel_download_clicked();
}

void Tessel::on_actionOption_T_triggered()
{
    const QList<FirmwareRelease> &releases = firmwareDatabase.releases();
    const bool anyLegacy = std::any_of(releases.cbegin(), releases.cend(),
                                       [](const FirmwareRelease &r) { return r.legacyModel != 0; });
    OptionSetting dialog(anyLegacy, state.legacySupport, state.updateLimit, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    state.legacySupport = dialog.legacySupportEnabled();
    state.updateLimit = dialog.updateLimit();
    model->setLegacySupport(state.legacySupport);
    emit update_info(-1);
    update_ui(true);
}

void Tessel::on_actionCreat_file_hash_triggered()
{
    ui->info_textBrowser->setHtml(FileHashListing::html(cacheFolder));
    shownPanelHtml.clear();
}

void Tessel::on_actionClear_downloaded_firmware_files_triggered()
{
    statusBar()->showMessage(FirmwareCache::clearedText(FirmwareCache::clearFirmwareFiles(cacheFolder)));
}

void Tessel::on_actionOpen_firmware_download_folder_triggered()
{
    if (cacheFolder.isEmpty() || !QFileInfo::exists(cacheFolder)) {
        QMessageBox::critical(this, FirmwareCache::missingFolderTitle(), FirmwareCache::missingFolderText());
        Platform::showInFileManager(QString());
        return;
    }
    // Without a file manager nothing would open: give the technician the folder to go to.
    if (!Platform::showInFileManager(cacheFolder)) {
        QMessageBox::information(this, FirmwareCache::missingFolderTitle(),
                                 tr("No file manager could be started. The firmware download folder is:\n%1",
                                    "1=folder path")
                                         .arg(QDir::toNativeSeparators(cacheFolder)));
    }
}

void Tessel::on_actionVersion_A_triggered()
{
    About_Dialog dialog(this, CatalogueStartupFlow::databaseVersionText(firmwareDatabase),
                        firmwareDatabase.aboutURLs);
    dialog.exec();
}

void Tessel::checkForApplicationUpdates(bool show_message_if_no_newer)
{
    const ApplicationUpdateCheck::Result result =
            ApplicationUpdateCheck::check(firmwareDatabase, state.databaseLoaded, show_message_if_no_newer);
    if (!result.message.isEmpty())
        QMessageBox::information(this, windowTitle(), result.message);
}

void Tessel::checkForApplicationUpdatesNoMessageIfNewer()
{
    checkForApplicationUpdates(false);
}

void Tessel::on_actionCheck_for_updates_triggered()
{
    checkForApplicationUpdates(true);
}

void Tessel::on_actionView_README_triggered()
{
    const QString folder = QCoreApplication::applicationDirPath();
    if (!ReadmeFile::open(folder)) {
        QMessageBox::information(this, windowTitle(),
                                 ReadmeFile::unableToOpenText() + QLatin1Char('\n')
                                         + QDir::toNativeSeparators(ReadmeFile::url(folder).toLocalFile()));
    }
}

void Tessel::on_actionExit_X_triggered()
{
    QApplication::closeAllWindows();
}

void Tessel::on_actionLog_triggered()
{
    if (logWindow->isHidden()) {
        logWindow->show();
        logWindow->raise();
        logWindow->activateWindow();
    } else {
        logWindow->close();
    }
}

void Tessel::on_actionShow_Asset_Tag_column_toggled(bool checked)
{
    ui->display_list_tableView->setColumnHidden(AssetTagColumn, !checked);
}

void Tessel::on_actionShow_MAC_Address_column_toggled(bool checked)
{
    ui->display_list_tableView->setColumnHidden(MacAddressColumn, !checked);
}

void Tessel::on_actionExport_display_list_triggered()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Export display list"), QString(), tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QList<int> order;
    for (int row = 0; row < proxy->rowCount(); ++row)
        order.append(proxy->mapToSource(proxy->index(row, 0)).row());
    DisplayListExport::Options options;
    options.showAssetTag = ui->actionShow_Asset_Tag_column->isChecked();
    options.legacySupport = state.legacySupport;
    options.statusText = &UpdateStatusText::text;
    const QString error = ReportFile::write(path, CsvWriter::document(DisplayListExport::table(state, order, options)));
    if (!error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
}

void Tessel::on_actionExport_update_report_triggered()
{
    QString filter;
    const QString path = QFileDialog::getSaveFileName(this, tr("Export update report"), QString(),
                                                      tr("CSV files (*.csv);;JSON files (*.json)"), &filter);
    if (path.isEmpty())
        return;
    const QList<UpdateReport::Line> lines = UpdateReport::lines(state, state.legacySupport, &UpdateStatusText::text);
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) || filter.contains(QLatin1String("*.json"));
    const QString error = ReportFile::write(path, json ? UpdateReport::json(lines) : CsvWriter::document(UpdateReport::table(lines)));
    if (!error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
}

void Tessel::on_actionUpdate_history_triggered()
{
    UpdateHistory history;
    history.open();
    const QString warning = history.takeWarning();
    if (!warning.isEmpty())
        QMessageBox::warning(this, windowTitle(), warning);
    UpdateHistoryDialog dialog(history, this);
    dialog.exec();
}
