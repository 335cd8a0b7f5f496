#include "app/Tessel.h"
#include "ui_Tessel.h"

#include "app/AppSettings.h"
#include "app/FirmwareCacheFolder.h"
#include "log/LogMessageHandler.h"
#include "log/SV_Information_Dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int AssetTagColumn = 3;
constexpr int MacAddressColumn = 5;

}

Tessel::Tessel(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Tessel)
{
    panelColours.borderWidth = 3;

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

    applySettings(AppSettings::load());

    LogMessageHandler::install(logWindow);

    cacheFolder = FirmwareCacheFolder::path(true);
    qInfo() << "Local cache folder:" << QDir::toNativeSeparators(cacheFolder);
    if (!cacheFolder.isEmpty() && !QDir(cacheFolder).exists())
        QDir().mkpath(cacheFolder);

    ui->download_pushButton->setEnabled(false);

    QTableView *table = ui->display_list_tableView;
    table->sortByColumn(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->horizontalHeader()->setVisible(true);
    table->verticalHeader()->setVisible(true);
    connect(ui->menuView, &QMenu::aboutToShow, this, &Tessel::itemMenuAboutToShow);

    table->setTextElideMode(Qt::ElideRight);
    table->horizontalHeader()->setHighlightSections(false);
    QApplication::setFont(QApplication::font("QMenu"));

    applyColumnVisibility();

    searchMenu = new QMenu(this);

    auto *statusHolder = new QWidget(this);
    auto *statusLayout = new QHBoxLayout(statusHolder);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(0);
    cancelDownloadsButton = new QPushButton(tr("Cancel downloads"), statusHolder);
    cancelDownloadsButton->setObjectName(QStringLiteral("cancelDownloadsButton"));
    statusLayout->addWidget(cancelDownloadsButton);
    cancelDownloadsButton->hide();
    statusBar()->addPermanentWidget(statusHolder);

    applyTheme();
}

Tessel::~Tessel()
{
    currentSettings().save();
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
    updateLimit = settings.multiUpdateLimit;
    legacySupport = settings.legacySupport;

    const QScreen *screen = QGuiApplication::primaryScreen();
    if (settings.windowSizeFits(screen ? screen->geometry().size() : QSize()))
        resize(settings.windowWidth, settings.windowHeight);

    QComboBox *combo = ui->interface_selection_comboBox;
    QList<QVariant> userData;
    for (int i = 0; i < combo->count(); ++i)
        userData.append(combo->itemData(i));
    const int index = settings.adapterComboIndex(userData, adapterList.count());
    if (index >= 0)
        combo->setCurrentIndex(index);

    targetText = settings.ipAddressScanText;

    // Block the toggled slots: the columns are applied once the table has its model.
    const QSignalBlocker assetBlocker(ui->actionShow_Asset_Tag_column);
    const QSignalBlocker macBlocker(ui->actionShow_MAC_Address_column);
    ui->actionShow_Asset_Tag_column->setChecked(settings.showAssetTagColumn);
    ui->actionShow_MAC_Address_column->setChecked(settings.showMacAddressColumn);
}

AppSettings Tessel::currentSettings() const
{
    AppSettings s;
    s.multiUpdateLimit = updateLimit;
    s.legacySupport = legacySupport;
    s.windowWidth = width();
    s.windowHeight = height();
    s.lanDeviceIndex = ui->interface_selection_comboBox->currentData();
    s.ipAddressScanText = targetText;
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
    const QColor highlightedText = palette.color(QPalette::HighlightedText);
    ui->display_list_tableView->setStyleSheet(
        QStringLiteral("\nQTableView {outline:0; }\n  QTableView::item:selected   { background: %1; color: %2; }\n")
            .arg(highlight.name(QColor::HexArgb), highlightedText.name(QColor::HexArgb)));

    rebuildSearchMenu();
}

void Tessel::rebuildSearchMenu()
{
    searchMenu->clear();
    QAction *broadcast = searchMenu->addAction(Theme::themedIcon(QStringLiteral("search broadcast")),
                                               tr("Broadcast search", "search button menu text"));
    connect(broadcast, &QAction::triggered, this, &Tessel::on_pushButtonSearch_clicked);
    QAction *targeted = searchMenu->addAction(Theme::themedIcon(QStringLiteral("search target")),
                                              tr("Targeted search", "search button menu text"));
    connect(targeted, &QAction::triggered, this, &Tessel::UDPSearchStartNoForceBroadcast);
}

void Tessel::itemMenuAboutToShow()
{
    ui->actionLog->setChecked(logWindow->isVisible());
}

bool Tessel::event(QEvent *event)
{
    // A change of system appearance arrives here; QWidget does not pass it on to changeEvent().
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyTheme();
    return QMainWindow::event(event);
}

void Tessel::closeEvent(QCloseEvent *event)
{
    if (activeUpdates != 0) {
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

void Tessel::on_pushButtonSearch_clicked()
{
}

void Tessel::UDPSearchStartNoForceBroadcast()
{
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
