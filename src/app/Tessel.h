#pragma once

#include "engine/QuillonEngine.h"
#include "theme/Theme.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QTimer>

namespace Ui {
class Tessel;
}

class AppSettings;
class MySortFilterProxyModel;
class QLabel;
class QMenu;
class QPushButton;
class SV_Information_Dialog;
class displayListModel;

// The application's one main window, a front end of QuillonEngine: it builds the form, forwards
// each command to the engine, asks the technician what the engine hands out to ask, and turns the
// engine's state into enabled commands.
class Tessel : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tessel(QWidget *parent = nullptr);
    ~Tessel() override;

    bool isDarkTheme() const { return darkTheme; }
    const PanelColours &panelColourSet() const { return panelColours; }
    QuillonEngine *engine() const { return m_engine; }
    const QString &cacheFolderPath() const { return m_engine->cacheFolder(); }
    const NetworkAdapterList &adapters() const { return m_engine->adapters(); }
    SV_Information_Dialog *logDialog() const { return logWindow; }
    const DisplayTableState &tableState() const { return m_engine->state(); }
    const FirmwareDatabase &database() const { return m_engine->database(); }
    SearchOrchestrator *searchOrchestrator() const { return m_engine->search(); }
    UpdateQueue *updateQueue() const { return m_engine->queue(); }

    // The last selected row of the table as a row of the display list, -1 when none is selected.
    int currentRow() const;
    // Every row against the held catalogue; see SearchOrchestrator.
    void evaluateFirmwareStatus(bool autoSelect);

signals:
    // A USB command has its firmware in the cache: the drive dialog opens (queued) from here.
    void usbDriveDialogRequested(const FirmwareRelease &release);

public slots:
    void update_ui(bool update_description_text = true);
    void selectionCurrentRowChanged(const QModelIndex &current, const QModelIndex &previous);
    void checkForApplicationUpdates(bool show_message_if_no_newer = false);
    // The "Log" action's check mark follows the log window's visibility.
    void itemMenuAboutToShow();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void downloadJsonData();
    void on_pushButtonSearch_clicked();
    void on_actionBroadcast_triggered();
    void on_actionAdvanced_network_search_triggered();
    void on_actionConfigureAdvanced_search_network_triggered();
    void on_actionRefreshSelected_triggered();
    void on_actionRefreshAll_triggered();
    void refresh_row_by_TcpClient(int row);
    void requestPowerOn_by_TcpClient(int row);
    void requestPowerOff_by_TcpClient(int row);
    void requestSetPowerSaveToAutoPowerSave_by_TcpClient(int row);
    void requestSetPowerSaveToAutoStandby_by_TcpClient(int row);
    void on_deselect_all_pushButton_clicked();
    void on_download_pushButton_clicked();
    void on_create_usb_drive_pushButton_clicked();
    void on_actionCreate_USB_drive_for_another_model_triggered();
    void on_actionCancel_all_queued_updates_via_LAN_triggered();
    void on_actionDownload_firmware_for_offline_use_triggered();
    void on_actionOption_T_triggered();
    void on_actionCreat_file_hash_triggered();
    void on_actionClear_downloaded_firmware_files_triggered();
    void on_actionOpen_firmware_download_folder_triggered();
    void on_actionVersion_A_triggered();
    void on_actionCheck_for_updates_triggered();
    void on_actionView_README_triggered();
    void checkForApplicationUpdatesNoMessageIfNewer();
    void cancel_download_clicked();
    void on_actionExit_X_triggered();
    // File menu exports: the table as CSV, and the last batch's report as CSV or JSON.
    void on_actionExport_display_list_triggered();
    void on_actionExport_update_report_triggered();
    void on_actionUpdate_history_triggered();
    void reportHistoryAtStart();
    void on_actionLog_triggered();
    void on_actionShow_Asset_Tag_column_toggled(bool checked);
    void on_actionShow_MAC_Address_column_toggled(bool checked);
    void showStatusMessage(const QString &text, int timeoutMs);
    // The engine hands out what to ask before a LAN update; the answer goes back to it.
    void confirm_firmware_update(const UpdateConfirmation &request);
    void openUsbDriveDialog(const FirmwareRelease &release);
    void showDownloadFailure(const QString &text);
    // The status bar's count of displays whose reply is still awaited, their addresses in its tool tip.
    void showAwaitedDisplays(int count, const QStringList &addresses);

private:
    void fillAdapterCombo();
    void applySettings(const AppSettings &settings);
    AppSettings currentSettings() const;
    void applyColumnVisibility();
    void applyTheme();
    void rebuildSearchMenu();
    void attachSearchMenu();
    void setBusyCursor(bool busy);
    void refreshInfoPanel(int row);
    void restoreWindowPlace(const AppSettings &settings);
    void showLanUpdateBlockers(const QStringList &blockers);
    void showUsbButtonText(const QString &modelName);

    Ui::Tessel *ui;
    QuillonEngine *m_engine = nullptr;
    displayListModel *model = nullptr;
    MySortFilterProxyModel *proxy = nullptr;
    bool busyCursorShown = false;
    // Where the last export went; the next save dialog opens there.
    QString exportFolder;
    QString shownPanelHtml;
    bool darkTheme = false;
    PanelColours panelColours;
    SV_Information_Dialog *logWindow = nullptr;
    QMenu *searchMenu = nullptr;
    QPushButton *cancelDownloadsButton = nullptr;
    QLabel *awaitedLabel = nullptr;
    QLabel *blockerLabel = nullptr;
};
