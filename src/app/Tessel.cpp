#include "app/Tessel.h"
#include "ui_Tessel.h"

#include "settings/AppSettings.h"
#include "app/CommandAvailability.h"
#include "dialogs/About_Dialog.h"
#include "dialogs/OptionSetting.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "maintenance/ApplicationUpdateCheck.h"
#include "flows/CatalogueStartupFlow.h"
#include "flows/FirmwareServer.h"
#include "maintenance/FileHashListing.h"
#include "maintenance/FirmwareCache.h"
#include "maintenance/ReadmeFile.h"
#include "reports/ExportFileName.h"
#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "dialogs/UpdateWarningMessageDialog.h"
#include "queue/UpdateSummary.h"
#include "search/SearchOrchestrator.h"
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
#include "dialogs/UpdateHistoryDialog.h"
#include "history/InterruptedUpdatesNotice.h"

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

    // Installed before the engine is made, so that the log window has its first lines.
    LogMessageHandler::install(logWindow);
    m_engine = new QuillonEngine(QuillonEngine::WindowFrontEnd, this);
    // Opened once the event loop runs, so that its notice opens over the shown window; no update
    // can start before then.
    QTimer::singleShot(0, this, &Tessel::reportHistoryAtStart);

    fillAdapterCombo();
    ui->interface_selection_label->hide();
    ui->interface_selection_comboBox->hide();

    const AppSettings stored = AppSettings::load();
    applySettings(stored);

    m_engine->setInterfaceSelection(ui->interface_selection_comboBox->currentData());
    connect(ui->interface_selection_comboBox, &QComboBox::currentIndexChanged, this,
            [this] { m_engine->setInterfaceSelection(ui->interface_selection_comboBox->currentData()); });
    connect(m_engine, &QuillonEngine::statusMessage, this, &Tessel::showStatusMessage);
    connect(m_engine, &QuillonEngine::uiUpdateNeeded, this, &Tessel::update_ui);

    ui->download_pushButton->setEnabled(false);
    model->setEntries(&m_engine->state().displayEntries);

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
    // Long status texts stay on one line, in a status column as wide as they are (the table
    // scrolls sideways); wrapped they were cut off mid-sentence in a second line.
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
    connect(m_engine, &QuillonEngine::rowChanged, model, &displayListModel::rowChanged);
    connect(m_engine, &QuillonEngine::rowsAdded, model, &displayListModel::addRow);
    connect(m_engine, &QuillonEngine::rowsReset, model, &displayListModel::resetAll);
    connect(model, &displayListModel::need_update_ui, this, [this] { update_ui(); });

    applyColumnVisibility();

    searchMenu = new QMenu(this);
    rebuildSearchMenu();
    attachSearchMenu();

    // The first search follows the enabled commands, computed from the state as update_ui does.
    m_engine->setFirstSearchCheck([this] { return CommandAvailability::evaluate(m_engine->state(), -1).search; });
    connect(m_engine, &QuillonEngine::applicationUpdateCheckDue, this, &Tessel::checkForApplicationUpdatesNoMessageIfNewer);
    downloadJsonData();

    connect(m_engine, &QuillonEngine::cancelDownloadsAvailable, this, [this](bool shown) { cancelDownloadsButton->setVisible(shown); });
    // Queued: each opens a modal dialog, and the download that asked for it has not finished unwinding.
    connect(m_engine, &QuillonEngine::confirmationRequested, this, &Tessel::confirm_firmware_update, Qt::QueuedConnection);
    connect(m_engine, &QuillonEngine::usbDriveReady, this, &Tessel::usbDriveDialogRequested);
    connect(this, &Tessel::usbDriveDialogRequested, this, &Tessel::openUsbDriveDialog, Qt::QueuedConnection);
    connect(m_engine, &QuillonEngine::downloadFailed, this, &Tessel::showDownloadFailure, Qt::QueuedConnection);

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
    // Why "Update firmware via LAN" is off: a standing condition, so it holds its own place and
    // the passing messages (search results, downloads) keep theirs.
    blockerLabel = new QLabel(statusHolder);
    blockerLabel->setObjectName(QStringLiteral("lanUpdateBlockersLabel"));
    blockerLabel->setTextFormat(Qt::PlainText);
    blockerLabel->setContentsMargins(6, 0, 6, 0);
    blockerLabel->hide();
    statusLayout->insertWidget(0, blockerLabel);
    connect(m_engine, &QuillonEngine::awaitedDisplaysChanged, this, &Tessel::showAwaitedDisplays);
    statusBar()->addPermanentWidget(statusHolder);

    applyTheme();
}

Tessel::~Tessel()
{
    currentSettings().save();
    setBusyCursor(false);
    // The table lets go of the rows before the engine and its rows are destroyed; the model, a
    // child, lives until the base class has gone.
    ui->display_list_tableView->setModel(nullptr);
    model->setEntries(nullptr);
    model->resetAll();
    delete m_engine;
    m_engine = nullptr;
    delete ui;
}

void Tessel::fillAdapterCombo()
{
    QComboBox *combo = ui->interface_selection_comboBox;
    combo->clear();
    const NetworkAdapterList &adapterList = m_engine->adapters();
    if (adapterList.isEmpty())
        combo->addItem(tr("None"), -1);
    else
        combo->addItem(tr("All"), -2);
    for (int i = 0; i < adapterList.count(); ++i)
        combo->addItem(adapterList.at(i).humanReadableName, i);
}

void Tessel::applySettings(const AppSettings &settings)
{
    model->setLegacySupport(m_engine->state().legacySupport);

    const QScreen *screen = QGuiApplication::primaryScreen();
    if (settings.windowSizeFits(screen ? screen->geometry().size() : QSize()))
        resize(settings.windowWidth, settings.windowHeight);
    restoreWindowPlace(settings);

    QComboBox *combo = ui->interface_selection_comboBox;
    QList<QVariant> userData;
    for (int i = 0; i < combo->count(); ++i)
        userData.append(combo->itemData(i));
    const int index = settings.adapterComboIndex(userData, m_engine->adapters().count());
    if (index >= 0)
        combo->setCurrentIndex(index);

    // Block the toggled slots: the columns are applied once the table has its model.
    const QSignalBlocker assetBlocker(ui->actionShow_Asset_Tag_column);
    const QSignalBlocker macBlocker(ui->actionShow_MAC_Address_column);
    ui->actionShow_Asset_Tag_column->setChecked(settings.showAssetTagColumn);
    ui->actionShow_MAC_Address_column->setChecked(settings.showMacAddressColumn);
    exportFolder = settings.exportFolder;
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
    m_engine->storeSettings(s);
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
    s.showAssetTagColumn = ui->actionShow_Asset_Tag_column->isChecked();
    s.showMacAddressColumn = ui->actionShow_MAC_Address_column->isChecked();
    s.exportFolder = exportFolder;
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
    ui->pushButtonSearch->setMenu(tableState().targetAddresses.isEmpty() ? nullptr : searchMenu);
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
    return tableState().isValidRow(source.row()) ? source.row() : -1;
}

void Tessel::evaluateFirmwareStatus(bool autoSelect)
{
    m_engine->search()->evaluateFirmwareStatus(autoSelect);
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
    ui->display_list_tableView->fitColumnsToContents();

    const int row = currentRow();
    const DisplayTableState &state = tableState();
    const CommandAvailability can = CommandAvailability::evaluate(state, row);
    setBusyCursor(can.busyCursor);

    ui->pushButtonSearch->setEnabled(can.search);
    ui->actionBroadcast->setEnabled(can.search);
    ui->actionConfigureAdvanced_search_network->setEnabled(can.search);
    ui->actionAdvanced_network_search->setEnabled(can.targetedSearch);
    ui->actionCancel_all_queued_updates_via_LAN->setEnabled(can.cancelQueuedUpdates);
    ui->download_pushButton->setEnabled(can.updateViaLan);
    showLanUpdateBlockers(can.lanUpdateBlockers);
    ui->actionRefreshAll->setEnabled(can.refreshAll);
    ui->actionRefreshSelected->setEnabled(can.refreshSelected);

    if (update_description_text)
        refreshInfoPanel(row);

    showUsbButtonText(row >= 0 ? state.displayEntries.at(row).modelName : QString());
    ui->create_usb_drive_pushButton->setEnabled(can.usbDrive);
    ui->actionCreate_USB_drive_for_another_model->setEnabled(can.catalogueTools);
    ui->actionDownload_firmware_for_offline_use->setEnabled(can.catalogueTools);
    ui->deselect_all_pushButton->setEnabled(can.deselectAll);
    ui->actionClear_downloaded_firmware_files->setEnabled(can.clearDownloads);
    // The last batch's report stays exportable, also after a search, until the next batch starts.
    ui->actionExport_update_report->setEnabled(!state.batchRunning && state.activeUpdates == 0
                                               && m_engine->hasLastBatchReport());
}

// A greyed-out button says why: the tool tip lists every ticked row that keeps it off, the
// status bar names the first (with how many more) for as long as they block it.
void Tessel::showLanUpdateBlockers(const QStringList &blockers)
{
    const QString list = blockers.join(QLatin1Char('\n'));
    ui->download_pushButton->setToolTip(list);
    blockerLabel->setText(CommandAvailability::blockerSummary(blockers));
    blockerLabel->setToolTip(list);
    blockerLabel->setVisible(!blockers.isEmpty());
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

void Tessel::refreshInfoPanel(int row)
{
    const DisplayTableState &state = tableState();
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
    const bool found = entry && database().findRelease(entry->modelName, entry->serialNumber, release) == 0;
    // Laying out the panel costs more than building it; most calls come from replies for other
    // rows and leave its text as it is.
    const QString html = panel.build(entry, found ? &release : nullptr);
    if (html == shownPanelHtml)
        return;
    shownPanelHtml = html;
    // Laid out with the scroll bar hidden, a long panel brings the bar in and is laid out again at
    // the narrower width (more than once as the bar comes and goes): most of the cost of a row
    // change. With the bar shown it is laid out once; one that fits hides the bar again after.
    QTextBrowser *view = ui->info_textBrowser;
    const Qt::ScrollBarPolicy policy = view->verticalScrollBarPolicy();
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHtml(html);
    view->setVerticalScrollBarPolicy(policy);
}

void Tessel::selectionCurrentRowChanged(const QModelIndex &current, const QModelIndex &previous)
{
    DisplayTableState &state = m_engine->state();
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
    if (tableState().activeUpdates != 0 || tableState().batchRunning) {
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
    m_engine->loadCatalogue();
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
    m_engine->startSearch(true);
}

void Tessel::on_actionAdvanced_network_search_triggered()
{
    m_engine->startSearch(false);
}

void Tessel::on_actionConfigureAdvanced_search_network_triggered()
{
    AdvancedIPSearchDialog dialog(this);
    dialog.setText(tableState().targetText);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_engine->setTargets(dialog.addresses(), dialog.text());
    attachSearchMenu();
    update_ui(false);
}

void Tessel::on_actionRefreshSelected_triggered()
{
    refresh_row_by_TcpClient(currentRow());
}

void Tessel::on_actionRefreshAll_triggered()
{
    m_engine->refreshAll();
}

void Tessel::refresh_row_by_TcpClient(int row)
{
    m_engine->refreshRow(row);
}

void Tessel::requestPowerOn_by_TcpClient(int row)
{
    m_engine->requestPowerOn(row);
}

void Tessel::requestPowerOff_by_TcpClient(int row)
{
    m_engine->requestPowerOff(row);
}

void Tessel::requestSetPowerSaveToAutoPowerSave_by_TcpClient(int row)
{
    m_engine->requestAutoPowerSave(row);
}

void Tessel::requestSetPowerSaveToAutoStandby_by_TcpClient(int row)
{
    m_engine->requestAutoStandby(row);
}

void Tessel::on_deselect_all_pushButton_clicked()
{
    m_engine->uncheckIdleRows();
}

void Tessel::on_download_pushButton_clicked()
{
    setBusyCursor(true);
    m_engine->startUpdate();
}

void Tessel::on_create_usb_drive_pushButton_clicked()
{
    setBusyCursor(true);
    m_engine->startUsbDownloadForRow(currentRow());
}

void Tessel::showDownloadFailure(const QString &text)
{
    QMessageBox::information(this, windowTitle(), text, QMessageBox::Ok);
}

void Tessel::confirm_firmware_update(const UpdateConfirmation &request)
{
    UpdateSummary::Options options;
    options.showAssetTag = ui->actionShow_Asset_Tag_column->isChecked();
    options.headerColour = QGuiApplication::palette().color(QPalette::Base).name(QColor::HexRgb);
    options.note1IconPath = Theme::themedIconPath(QStringLiteral("reset power"));
    const UpdateSummary::Texts texts = m_engine->summaryTexts(options);

    if (request.cautionsNeeded) {
        UpdateWarningMessageDialog cautions(this);
        if (cautions.exec() != QDialog::Accepted) {
            m_engine->confirmUpdate(false);
            return;
        }
        m_engine->acceptCautions();
    }
    ConfirmWithScrollMsgAreaDialog summary(this, windowTitle(), texts.header, texts.table, texts.message);
    m_engine->confirmUpdate(summary.exec() == QDialog::Accepted);
}

void Tessel::on_actionCreate_USB_drive_for_another_model_triggered()
{
    search_model_dialog chooser(m_engine->database(), this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    FirmwareRelease release;
    if (chooser.getSelectedRelease(release) != 0 || release.downloadLoc.isEmpty())
        return;
    m_engine->startUsbDownloadForRelease(release);
}

void Tessel::openUsbDriveDialog(const FirmwareRelease &release)
{
    setBusyCursor(false);
    CreateUSBDriveDialog dialog(cacheFolderPath(), release, this);
    connect(&dialog, &CreateUSBDriveDialog::driveWritten, m_engine,
            [this, release](const QString &root, const QStringList &files, int result) {
                m_engine->recordUsbDrive(root, release, files, result);
            });
    dialog.exec();
    update_ui(true);
}

void Tessel::on_actionDownload_firmware_for_offline_use_triggered()
{
    DownloadFirmwareForOfflineDialog(cacheFolderPath(), &m_engine->database(), this).exec();
}

void Tessel::on_actionCancel_all_queued_updates_via_LAN_triggered()
{
    m_engine->cancelQueuedUpdates();
}

void Tessel::cancel_download_clicked()
{
    m_engine->cancelDownloads();
}

void Tessel::on_actionOption_T_triggered()
{
    const QList<FirmwareRelease> &releases = database().releases();
    const bool anyLegacy = std::any_of(releases.cbegin(), releases.cend(),
                                       [](const FirmwareRelease &r) { return r.legacyModel != 0; });
    const DisplayTableState &state = tableState();
    OptionSetting dialog(anyLegacy, state.legacySupport, state.updateLimit, this);
    dialog.setRolloutPolicy(state.rollout);
    dialog.setFirmwareServerUrl(m_engine->firmwareServerUrl(), FirmwareServer::environmentBaseUrl());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_engine->setUpdateLimit(dialog.updateLimit());
    m_engine->setRolloutPolicy(dialog.rolloutPolicy());
    // The catalogue is read at start: a new server is asked from the next start on.
    m_engine->setFirmwareServerUrl(dialog.firmwareServerUrl());
    model->setLegacySupport(dialog.legacySupportEnabled());
    m_engine->setLegacySupport(dialog.legacySupportEnabled());
}

void Tessel::on_actionCreat_file_hash_triggered()
{
    ui->info_textBrowser->setHtml(FileHashListing::html(cacheFolderPath()));
    shownPanelHtml.clear();
}

void Tessel::on_actionClear_downloaded_firmware_files_triggered()
{
    // The command is off while jobs run; should one start meanwhile, its files stay.
    statusBar()->showMessage(FirmwareCache::clearedText(
            FirmwareCache::clearFirmwareFiles(cacheFolderPath(), m_engine->filesInUse())));
}

void Tessel::on_actionOpen_firmware_download_folder_triggered()
{
    if (cacheFolderPath().isEmpty() || !QFileInfo::exists(cacheFolderPath())) {
        QMessageBox::critical(this, FirmwareCache::missingFolderTitle(), FirmwareCache::missingFolderText());
        Platform::showInFileManager(QString());
        return;
    }
    // Without a file manager nothing would open: give the technician the folder to go to.
    if (!Platform::showInFileManager(cacheFolderPath())) {
        QMessageBox::information(this, FirmwareCache::missingFolderTitle(),
                                 tr("No file manager could be started. The firmware download folder is:\n%1",
                                    "1=folder path")
                                         .arg(QDir::toNativeSeparators(cacheFolderPath())));
    }
}

void Tessel::on_actionVersion_A_triggered()
{
    About_Dialog dialog(this, CatalogueStartupFlow::databaseVersionText(database()),
                        database().aboutURLs);
    dialog.exec();
}

void Tessel::checkForApplicationUpdates(bool show_message_if_no_newer)
{
    const ApplicationUpdateCheck::Result result =
            ApplicationUpdateCheck::check(database(), tableState().databaseLoaded, show_message_if_no_newer);
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
    const Platform::OpenResult result = ReadmeFile::open(folder);
    if (result != Platform::OpenResult::Opened)
        QMessageBox::information(this, windowTitle(), ReadmeFile::failureText(result, folder));
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
    const QString suggested = ExportFileName::suggestedPath(exportFolder,
                                                            ExportFileName::displayList(QDateTime::currentDateTime()));
    const QString path = QFileDialog::getSaveFileName(this, tr("Export display list"), suggested, tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QList<int> order;
    for (int row = 0; row < proxy->rowCount(); ++row)
        order.append(proxy->mapToSource(proxy->index(row, 0)).row());
    const QString error = m_engine->exportDisplayList(path, order, ui->actionShow_Asset_Tag_column->isChecked());
    if (!error.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), error);
        return;
    }
    exportFolder = QFileInfo(path).absolutePath();
}

void Tessel::on_actionExport_update_report_triggered()
{
    QString filter;
    // Named after the batch's start, so that two batches of a day keep apart.
    QDateTime started;
    for (const UpdateReport::Line &line : m_engine->lastBatchReport()) {
        if (line.started.isValid() && (!started.isValid() || line.started < started))
            started = line.started;
    }
    const QString suggested = ExportFileName::suggestedPath(
            exportFolder, ExportFileName::updateReport(started.isValid() ? started.toLocalTime()
                                                                         : QDateTime::currentDateTime(),
                                                       false));
    const QString path = QFileDialog::getSaveFileName(this, tr("Export update report"), suggested,
                                                      tr("CSV files (*.csv);;JSON files (*.json)"), &filter);
    if (path.isEmpty())
        return;
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) || filter.contains(QLatin1String("*.json"));
    const QString error = m_engine->exportUpdateReport(path, json);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), error);
        return;
    }
    exportFolder = QFileInfo(path).absolutePath();
}

void Tessel::on_actionUpdate_history_triggered()
{
    UpdateHistoryDialog dialog(m_engine->history(), this);
    dialog.exec();
}

// What opening the history found at start: a damaged file moved aside, or updates an earlier run
// left unfinished. Shown without blocking the start; the names come from displays, so plain text.
void Tessel::reportHistoryAtStart()
{
    QString warning;
    const QList<UpdateAttempt> interrupted = m_engine->openHistory(&warning);
    QStringList texts;
    if (!warning.isEmpty())
        texts << warning;
    if (!interrupted.isEmpty())
        texts << InterruptedUpdatesNotice::text(interrupted);
    if (texts.isEmpty())
        return;
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(), texts.join(QStringLiteral("\n\n")), QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    if (!interrupted.isEmpty())
        box->setDetailedText(InterruptedUpdatesNotice::displayList(interrupted));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
