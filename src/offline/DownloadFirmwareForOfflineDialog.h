#pragma once

#include <QDialog>
#include <QList>
#include <QString>

namespace Ui {
class DownloadFirmwareForOfflineDialog;
}

class DownloadedReleaseScan;
class FirmwareDatabase;
class OfflineDownloadRun;
class QListWidgetItem;
class QProgressDialog;

// Fills the firmware cache for chosen display models while there is an Internet connection, so
// that displays on a LAN without one can be updated later. Lists the LAN-capable models, marks
// the releases already downloaded, and downloads the checked ones in parallel.
class DownloadFirmwareForOfflineDialog : public QDialog
{
    Q_OBJECT

public:
    // The database is read, not owned; it must outlive the dialog.
    DownloadFirmwareForOfflineDialog(const QString &cacheFolder, const FirmwareDatabase *database,
                                     QWidget *parent = nullptr);
    ~DownloadFirmwareForOfflineDialog() override;

    // True while the cache is being checked for downloaded releases.
    bool isCheckingCache() const;
    bool isDownloading() const;

signals:
    // The list shows the downloaded releases as found by the latest check of the cache.
    void listRefreshed();

public slots:
    void on_download_pushButton_clicked();
    void on_cancel_pushButton_clicked();
    void on_listWidget_itemChanged(QListWidgetItem *item);
    void cancelDownload();
    // Ignored while a download runs: Close, Escape and the window's close button.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshList();
    void applyDownloadedReleases(const QList<int> &downloaded);
    void updateButtons();
    void runProgressChanged(qint64 receivedBytes, const QString &label);
    void runFinished(bool error);
    QList<int> checkedReleaseIndices() const;

    Ui::DownloadFirmwareForOfflineDialog *m_ui;
    const QString m_cacheFolder;
    const FirmwareDatabase *m_database;
    QList<int> m_downloaded;
    DownloadedReleaseScan *m_scan;
    OfflineDownloadRun *m_run;
    QProgressDialog *m_progress = nullptr;
    int m_progressShift = 0; // the progress bar counts in units of 2^shift bytes to stay within int
    bool m_lastRunFailed = false;
    QString m_statusBeforeCheck;
};
