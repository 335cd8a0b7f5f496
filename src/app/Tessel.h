#pragma once

#include "platform/NetworkAdapterList.h"
#include "table/DisplayEntry.h"
#include "table/Theme.h"

#include <QMainWindow>

namespace Ui {
class Tessel;
}

class AppSettings;
class QMenu;
class QPushButton;
class SV_Information_Dialog;

// The application's one main window. It builds the form, owns the long-lived objects and turns
// their state into enabled commands; the work behind each command lives in the parts below app/.
class Tessel : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tessel(QWidget *parent = nullptr);
    ~Tessel() override;

    bool isDarkTheme() const { return darkTheme; }
    const PanelColours &panelColourSet() const { return panelColours; }
    const QString &cacheFolderPath() const { return cacheFolder; }
    const NetworkAdapterList &adapters() const { return adapterList; }
    SV_Information_Dialog *logDialog() const { return logWindow; }

signals:
    void update_info(int row);
    void addRow(int row);
    void resetAll();

public slots:
    // The "Log" action's check mark follows the log window's visibility.
    void itemMenuAboutToShow();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButtonSearch_clicked();
    void UDPSearchStartNoForceBroadcast();
    void on_actionExit_X_triggered();
    void on_actionLog_triggered();
    void on_actionShow_Asset_Tag_column_toggled(bool checked);
    void on_actionShow_MAC_Address_column_toggled(bool checked);

private:
    void fillAdapterCombo();
    void applySettings(const AppSettings &settings);
    AppSettings currentSettings() const;
    void applyColumnVisibility();
    void applyTheme();
    void rebuildSearchMenu();

    Ui::Tessel *ui;
    DisplayEntryList displayEntries;
    QString targetText;
    QString cacheFolder;
    NetworkAdapterList adapterList;
    int updateLimit = 5;
    bool legacySupport = false;
    int activeUpdates = 0;
    bool darkTheme = false;
    PanelColours panelColours;
    SV_Information_Dialog *logWindow = nullptr;
    QMenu *searchMenu = nullptr;
    QPushButton *cancelDownloadsButton = nullptr;
};
