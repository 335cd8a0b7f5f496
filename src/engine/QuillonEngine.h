#pragma once

#include "catalogue/FirmwareDatabase.h"
#include "queue/UpdateVerifier.h"
#include "catalogue/FirmwareRelease.h"
#include "engine/UpdateConfirmation.h"
#include "history/UpdateAttempt.h"
#include "history/UpdateHistory.h"
#include "platform/NetworkAdapterList.h"
#include "queue/UpdateSummary.h"
#include "records/DisplayTableState.h"
#include "reports/UpdateReport.h"

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class AppSettings;
class CatalogueStartupFlow;
class DownloadController;
class OfflineDownloadRun;
class PowerSaveChange;
class SearchOrchestrator;
class UpdateQueue;
class UpdateHistoryRecorder;

// The one assembly of Quillon's widget-free parts: the table state, the catalogue, the search,
// the package downloads, the power-save change and the update queue, with the settings they read
// and the cache folder. The window and quillonctl are front ends of it: they call its operations
// and show what it reports. Where the window asks the technician (cautions, confirmation) the
// engine hands out the data and waits for the answer through a call; it never shows a widget.
class QuillonEngine : public QObject
{
    Q_OBJECT

public:
    // The front ends, as the engine records them.
    static const QString WindowFrontEnd;
    static const QString CtlFrontEnd;

    // Reads the stored settings and the cache folder; frontEnd says who drives the engine.
    explicit QuillonEngine(const QString &frontEnd, QObject *parent = nullptr);
    ~QuillonEngine() override;

    const QString &frontEnd() const { return m_frontEnd; }
    DisplayTableState &state() { return m_state; }
    const DisplayTableState &state() const { return m_state; }
    const FirmwareDatabase &database() const { return m_database; }
    const QString &cacheFolder() const { return m_cacheFolder; }
    const NetworkAdapterList &adapters() const { return m_adapters; }
    // Opens the update history of this user. Updates an earlier run began and never ended are
    // marked interrupted and returned, oldest first, for the front end to tell the technician;
    // warning receives what opening had to do (a damaged file moved aside, no history at all).
    QList<UpdateAttempt> openHistory(QString *warning);
    UpdateHistory &history() { return m_history; }
    // A USB drive a front end wrote for the release (UsbDriveWriter's result), kept in the history.
    void recordUsbDrive(const QString &drive, const FirmwareRelease &release, const QStringList &files, int result);
    // Files a download or a queued session still holds open: clearing the cache leaves them.
    QStringList filesInUse() const;

    // The parts, for the tests that drive one of them against the engine's state.
    SearchOrchestrator *search() const { return m_search; }
    CatalogueStartupFlow *catalogueFlow() const { return m_catalogue; }
    DownloadController *downloads() const { return m_downloads; }
    UpdateQueue *queue() const { return m_queue; }
    PowerSaveChange *powerSaveChange() const { return m_powerSaveChange; }

    // Settings the parts read. The window writes them back when it closes (storeSettings).
    void setUpdateLimit(int limit);
    void setRolloutPolicy(const RolloutPolicy &policy);
    // The firmware server the catalogue is read from at the next start; empty for the maker's.
    void setFirmwareServerUrl(const QString &url);
    const QString &firmwareServerUrl() const { return m_firmwareServerUrl; }
    void setLegacySupport(bool enabled);
    void setTargets(const QList<QHostAddress> &addresses, const QString &text);
    void setInterfaceSelection(const QVariant &data);
    void storeSettings(AppSettings &settings) const;
    // The cautions are the technician's to accept; a front end that was told so (--yes) says it here.
    void acceptCautions();
    // Every wait of the sessions, the queue and the version check shortened so that a batch of
    // simulated displays ends in seconds (tests, and quillonctl's hidden option).
    void useShortWaits();
    // Asked when the catalogue has settled at start: may the first search start now? Without a
    // check there is no first search: the front end decides when to search.
    void setFirstSearchCheck(std::function<bool()> check);

    // The catalogue from the firmware server, merged with the cache folder's copy.
    void loadCatalogue();
    bool isCatalogueLoading() const { return m_state.databaseDownloadInFlight; }

    // A broadcast search, or a targeted one of the stored targets. False when it did not start:
    // a confirmed batch still owns the table, or the search itself could not start.
    bool startSearch(bool broadcast);
    bool isSearchSettled() const { return !m_state.searching && m_state.pendingControlRequests == 0; }
    void refreshRow(int row);
    void refreshAll();
    void requestPowerOn(int row);
    void requestPowerOff(int row);
    void requestAutoPowerSave(int row);
    void requestAutoStandby(int row);
    void uncheckIdleRows();

    // The LAN update: the packages of the ticked rows are downloaded, then confirmationRequested
    // hands out what to ask; confirmUpdate(true) runs the power-save change and queues the batch.
    void startUpdate();
    bool isConfirmationPending() const { return m_confirmationPending; }
    UpdateSummary::Texts summaryTexts(UpdateSummary::Options options) const;
    void confirmUpdate(bool accepted);
    // From confirmation until its last session settles: the table belongs to the batch.
    bool isBatchRunning() const { return m_state.batchRunning; }
    // Nothing of an update is left running: no power-save change, queue, session or version check.
    bool updatesSettled() const;
    // Every queued update goes back to idle, also one a power-save change has not queued yet;
    // running sessions go on.
    void cancelQueuedUpdates();
    void cancelDownloads();

    // The USB drive's package for a row's model, or for a release chosen by model.
    void startUsbDownloadForRow(int row);
    void startUsbDownloadForRelease(const FirmwareRelease &release);
    // Packages kept for offline use; offlineProgress and offlineFinished report the run.
    void startOfflineDownload(const QList<FirmwareRelease> &releases);
    void cancelOfflineDownload();

    // The last batch's record: one line per display it started, kept until the next batch
    // starts, also when a search has replaced the table since.
    QList<UpdateReport::Line> lastBatchReport() const;
    bool hasLastBatchReport() const;
    // The files of File › Export; an empty text, or the error to show. A file written is named
    // in a statusMessage. order lists the table's rows as shown.
    QString exportDisplayList(const QString &path, const QList<int> &order, bool showAssetTag);
    QString exportUpdateReport(const QString &path, bool json);

signals:
    // An empty text clears the status bar; a zero time-out keeps the text.
    void statusMessage(const QString &text, int timeoutMs);
    void uiUpdateNeeded(bool updateDescription);
    // A row changed (-1: every row), rows were added up to count, the table was emptied.
    void rowChanged(int row);
    void rowsAdded(int count);
    void rowsReset();
    void awaitedDisplaysChanged(int count, const QStringList &addresses);
    void cancelDownloadsAvailable(bool available);
    // Every package of the ticked rows is in: ask, then answer through confirmUpdate.
    void confirmationRequested(const UpdateConfirmation &request);
    // The USB command's package is in the cache: the drive can be written for this release.
    void usbDriveReady(const FirmwareRelease &release);
    void downloadFailed(const QString &text);
    void applicationUpdateCheckDue();
    void offlineProgress(qint64 receivedBytes, const QString &label);
    void offlineFinished(bool failed);

    // The points of a batch in one place: it was confirmed, a row's session was just started (no
    // request of it has reached the display yet), a row's session settled, a display told the
    // version it came back with, and the last session settled.
    void batchStarted();
    void updateStarted(int row);
    void updateSettled(int row);
    void updateVerified(const QHostAddress &address, int outcome, const QString &version);
    void batchFinished();

private:
    void wireParts();
    void scheduleUiUpdate(bool updateDescription);
    void handOutConfirmation();
    void queueBatch();
    void finishBatch();
    void followQueueRow(int row);
    void keepBatchRecord();
    void recordUpdateStarted(int row);
    void recordUpdateSettled(int row);
    void verifiedInRecord(const QHostAddress &address, int outcome, const QString &version,
                          const UpdateVerifier::Finding &finding);

    const QString m_frontEnd;
    DisplayTableState m_state;
    FirmwareDatabase m_database;
    QString m_cacheFolder;
    // Every update either front end runs is written here, from the engine's own signals.
    UpdateHistory m_history;
    UpdateHistoryRecorder *m_recorder = nullptr;
    QString m_firmwareServerUrl; // the saved one; empty for the maker's server
    NetworkAdapterList m_adapters;
    CatalogueStartupFlow *m_catalogue = nullptr;
    SearchOrchestrator *m_search = nullptr;
    DownloadController *m_downloads = nullptr;
    UpdateQueue *m_queue = nullptr;
    PowerSaveChange *m_powerSaveChange = nullptr;
    OfflineDownloadRun *m_offline = nullptr;
    std::function<bool()> m_firstSearchCheck;
    bool m_uiUpdateScheduled = false;
    bool m_pendingDescription = false;
    bool m_confirmationPending = false;
    bool m_batchCancelled = false;
    // Each address's session status as last seen, to tell starts and settles apart.
    QHash<QString, int> m_sessionStatus;
    // While the table holds the last batch its rows are the record; a search keeps a copy first.
    bool m_recordInTable = false;
    DisplayEntryList m_record;
};
