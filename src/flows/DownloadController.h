#pragma once

#include "catalogue/FirmwareRelease.h"
#include "download/FileDownloader.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class DownloadExtractFirmware;
class FirmwareDatabase;
struct DisplayTableState;

// The firmware downloads behind the window's update and USB commands: one job per distinct
// series a command needs, progress into the rows and the status bar, cancel, and, when the last
// job has ended, the command resumed. Works on the window's table state; reports through signals
// and leaves dialogs and the cursor to the window.
class DownloadController : public QObject
{
    Q_OBJECT

public:
    DownloadController(DisplayTableState &state, const FirmwareDatabase &database, const QString &cacheFolder,
                       QObject *parent = nullptr);
    ~DownloadController() override;

    // A job's instance number is its release's index here.
    const QList<FirmwareRelease> &pendingDownloads() const { return m_pending; }
    int runningJobs() const { return int(m_jobs.size()); }
    // The cache file names the running jobs write or read: their packages and unpacked files.
    QStringList filesInUse() const;

    // The update command. Emits confirmationRequested when every package is there already.
    void startUpdateDownloads();
    // The USB command for a row. Emits usbDriveDialogRequested when the package is there already.
    void startUsbDownloadForRow(int row);
    // The USB command for the release chosen in the model search (setUsbRelease first).
    void setUsbRelease(const FirmwareRelease &release) { m_usbRelease = release; }
    const FirmwareRelease &usbRelease() const { return m_usbRelease; }
    // Tests shorten how long a package download may go without a byte (FileDownloader).
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }
    void prepareUsbDriveForRelease();

    // The rows that show a release's download: their model is one of the release's models.
    QList<int> rowsOfRelease(const FirmwareRelease &release) const;

public slots:
    void downloadFirmwareprogressChanged(int instance, int m_progressValue, int m_progressTotal,
                                         QString m_progressMessage);
    void downloadFirmwareStatusChanged(int instance, int status);
    void cancel_download_clicked();

signals:
    void update_info(int row);
    // An empty text clears the status bar; a zero time-out keeps the text.
    void statusMessage(const QString &text, int timeoutMs);
    void uiUpdateNeeded(bool updateDescription);
    void cancelButtonVisible(bool visible);
    // The update command found every package: the window asks for confirmation.
    void confirmationRequested();
    // The USB command has its package: the window opens the drive dialog for this release.
    void usbDriveDialogRequested(const FirmwareRelease &release);
    // The USB download for a row finished: the window runs its USB command again for that row, the
    // one the command was given, whichever row is selected by then.
    void usbCommandResumed(int row);
    // A USB download failed without being cancelled: the window tells the user.
    void downloadFailed(const QString &text);

private:
    void startJob(int instance, const FirmwareRelease &release);
    bool isDownloaded(const FirmwareRelease &release) const;
    void refuseRefetch(const FirmwareRelease &release);

    DisplayTableState &m_state;
    const FirmwareDatabase &m_database;
    const QString m_cacheFolder;
    QList<FirmwareRelease> m_pending;
    QList<DownloadExtractFirmware *> m_jobs;
    FirmwareRelease m_usbRelease;
    int m_stallTimeoutMs = FileDownloader::StallTimeoutMs;
    int m_usbRow = -1;
    // Releases whose job succeeded in the running pass, and those handed on to the command that
    // resumes after it (see refuseRefetch).
    QStringList m_fetched;
    QStringList m_resumeFetched;
};
