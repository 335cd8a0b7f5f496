#include "engine/QuillonEngine.h"

#include "discovery/AddressListParser.h"
#include "flows/CatalogueStartupFlow.h"
#include "flows/DownloadController.h"
#include "offlinejobs/OfflineDownloadRun.h"
#include "queue/PowerSaveChange.h"
#include "queue/UpdateQueue.h"
#include "queue/UpdateVerifier.h"
#include "reports/CsvWriter.h"
#include "reports/DisplayListExport.h"
#include "reports/ReportFile.h"
#include "search/SearchOrchestrator.h"
#include "history/UpdateHistoryRecorder.h"
#include "usbwriter/UsbDriveWriter.h"
#include "download/CacheFileName.h"
#include "settings/AppSettings.h"
#include "settings/FirmwareCacheFolder.h"
#include "update/UpdateStatusText.h"

#include <QDebug>
#include <QDir>
#include <QTimer>

#include <utility>

const QString QuillonEngine::WindowFrontEnd = QStringLiteral("window");
const QString QuillonEngine::CtlFrontEnd = QStringLiteral("quillonctl");

namespace {

// A session's status in its row: queued, running; anything else is idle.
constexpr int Running = 2;

QString addressKey(const QHostAddress &address)
{
    return DisplayListExport::addressText(address);
}

}

QuillonEngine::QuillonEngine(const QString &frontEnd, QObject *parent)
    : QObject(parent),
      m_frontEnd(frontEnd)
{
    // Handed to front ends that answer on a queued connection.
    qRegisterMetaType<UpdateConfirmation>();
    const AppSettings settings = AppSettings::load();
    m_state.updateLimit = settings.multiUpdateLimit;
    m_state.legacySupport = settings.legacySupport;
    m_state.rollout.firstPerModel = settings.rolloutFirstPerModel;
    m_state.rollout.maxFailures = settings.rolloutMaxFailures;
    m_firmwareServerUrl = settings.firmwareServerUrl;
    m_state.targetText = settings.ipAddressScanText;
    int item = 0;
    AddressListParser::parse(m_state.targetText, m_state.targetAddresses, item, AddressListParser::DefaultLimit);

    m_cacheFolder = FirmwareCacheFolder::path(true);
    qInfo() << "Local cache folder:" << QDir::toNativeSeparators(m_cacheFolder);
    if (!m_cacheFolder.isEmpty() && !QDir(m_cacheFolder).exists())
        QDir().mkpath(m_cacheFolder);

    m_adapters = NetworkAdapterList::fromSystem();
    wireParts();
}

QuillonEngine::~QuillonEngine()
{
    // Sessions, downloads and queries write into the rows: they go before the rows do.
    delete m_queue;
    m_queue = nullptr;
    delete m_powerSaveChange;
    m_powerSaveChange = nullptr;
    delete m_offline;
    m_offline = nullptr;
    delete m_downloads;
    m_downloads = nullptr;
    delete m_search;
    m_search = nullptr;
    delete m_catalogue;
    m_catalogue = nullptr;
}

void QuillonEngine::wireParts()
{
    m_catalogue = new CatalogueStartupFlow(m_state, m_database, m_cacheFolder, this);
    m_catalogue->setSearchAllowedCheck([this] { return m_firstSearchCheck && m_firstSearchCheck(); });
    m_catalogue->useSavedServerUrl(m_firmwareServerUrl);
    connect(m_catalogue, &CatalogueStartupFlow::statusMessage, this, &QuillonEngine::statusMessage);
    connect(m_catalogue, &CatalogueStartupFlow::uiUpdateNeeded, this, &QuillonEngine::uiUpdateNeeded);
    connect(m_catalogue, &CatalogueStartupFlow::firstSearchDue, this, [this](bool targeted) { startSearch(!targeted); });
    connect(m_catalogue, &CatalogueStartupFlow::applicationUpdateCheckDue, this, &QuillonEngine::applicationUpdateCheckDue);

    m_search = new SearchOrchestrator(m_state, m_database, this);
    m_search->setAdapters(m_adapters.adapters());
    connect(m_search, &SearchOrchestrator::update_info, this, &QuillonEngine::rowChanged);
    connect(m_search, &SearchOrchestrator::addRow, this, &QuillonEngine::rowsAdded);
    connect(m_search, &SearchOrchestrator::resetAll, this, &QuillonEngine::rowsReset);
    connect(m_search, &SearchOrchestrator::statusMessage, this, &QuillonEngine::statusMessage);
    connect(m_search, &SearchOrchestrator::uiUpdateNeeded, this, &QuillonEngine::scheduleUiUpdate);
    connect(m_search, &SearchOrchestrator::awaitedDisplaysChanged, this, &QuillonEngine::awaitedDisplaysChanged);

    m_downloads = new DownloadController(m_state, m_database, m_cacheFolder, this);
    connect(m_downloads, &DownloadController::update_info, this, &QuillonEngine::rowChanged);
    connect(m_downloads, &DownloadController::statusMessage, this, &QuillonEngine::statusMessage);
    connect(m_downloads, &DownloadController::uiUpdateNeeded, this, &QuillonEngine::uiUpdateNeeded);
    connect(m_downloads, &DownloadController::cancelButtonVisible, this, &QuillonEngine::cancelDownloadsAvailable);
    connect(m_downloads, &DownloadController::confirmationRequested, this, &QuillonEngine::handOutConfirmation);
    // Resumed for the row the command was given: the selection may have moved while it downloaded.
    // Queued: the download that resumes it has not finished unwinding.
    connect(m_downloads, &DownloadController::usbCommandResumed, this, [this](int row) {
        startUsbDownloadForRow(row);
    }, Qt::QueuedConnection);
    connect(m_downloads, &DownloadController::usbDriveDialogRequested, this, &QuillonEngine::usbDriveReady);
    connect(m_downloads, &DownloadController::downloadFailed, this, &QuillonEngine::downloadFailed);

    m_queue = new UpdateQueue(m_state, m_database, m_cacheFolder, this);
    connect(m_queue, &UpdateQueue::update_info, this, &QuillonEngine::followQueueRow);
    connect(m_queue, &UpdateQueue::statusMessage, this, &QuillonEngine::statusMessage);
    connect(m_queue, &UpdateQueue::uiUpdateNeeded, this, &QuillonEngine::uiUpdateNeeded);
    connect(m_queue, &UpdateQueue::allFinished, this, &QuillonEngine::finishBatch);
    connect(m_queue, &UpdateQueue::verified, this, &QuillonEngine::verifiedInRecord);

    m_powerSaveChange = new PowerSaveChange(m_state, *m_search, this);
    connect(m_powerSaveChange, &PowerSaveChange::update_info, this, &QuillonEngine::rowChanged);
    connect(m_powerSaveChange, &PowerSaveChange::readyToQueue, this, &QuillonEngine::queueBatch);

    m_recorder = new UpdateHistoryRecorder(m_history, m_frontEnd, this);
    connect(m_recorder, &UpdateHistoryRecorder::writeFailed, this, [this](const QString &text) { emit statusMessage(text, 0); });
    connect(this, &QuillonEngine::batchStarted, m_recorder, &UpdateHistoryRecorder::startBatch);
    connect(this, &QuillonEngine::updateStarted, this, &QuillonEngine::recordUpdateStarted);
    connect(this, &QuillonEngine::updateSettled, this, &QuillonEngine::recordUpdateSettled);

    m_offline = new OfflineDownloadRun(m_cacheFolder, this);
    connect(m_offline, &OfflineDownloadRun::progressChanged, this, &QuillonEngine::offlineProgress);
    connect(m_offline, &OfflineDownloadRun::finished, this, &QuillonEngine::offlineFinished);
}

// Replies of a search arrive in bursts; the front end redraws once per burst, not once per reply.
void QuillonEngine::scheduleUiUpdate(bool updateDescription)
{
    m_pendingDescription = m_pendingDescription || updateDescription;
    if (m_uiUpdateScheduled)
        return;
    m_uiUpdateScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_uiUpdateScheduled = false;
        emit uiUpdateNeeded(std::exchange(m_pendingDescription, false));
    });
}

void QuillonEngine::setUpdateLimit(int limit)
{
    if (limit > 0)
        m_state.updateLimit = limit;
}

void QuillonEngine::setRolloutPolicy(const RolloutPolicy &policy)
{
    m_state.rollout = policy;
}

void QuillonEngine::setFirmwareServerUrl(const QString &url)
{
    m_firmwareServerUrl = url;
}

void QuillonEngine::setLegacySupport(bool enabled)
{
    m_state.legacySupport = enabled;
    emit rowChanged(-1);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::setTargets(const QList<QHostAddress> &addresses, const QString &text)
{
    m_state.targetAddresses = addresses;
    m_state.targetText = text;
}

void QuillonEngine::setInterfaceSelection(const QVariant &data)
{
    m_search->setInterfaceSelection(data);
}

void QuillonEngine::storeSettings(AppSettings &settings) const
{
    settings.multiUpdateLimit = m_state.updateLimit;
    settings.legacySupport = m_state.legacySupport;
    settings.rolloutFirstPerModel = m_state.rollout.firstPerModel;
    settings.rolloutMaxFailures = m_state.rollout.maxFailures;
    settings.firmwareServerUrl = m_firmwareServerUrl;
    settings.ipAddressScanText = m_state.targetText;
}

void QuillonEngine::acceptCautions()
{
    m_state.cautionsAccepted = true;
}

void QuillonEngine::useShortWaits()
{
    m_queue->setTickInterval(100);
    SessionParams params;
    params.tickMs = 100;
    params.stepTimeoutSecs = 4;
    params.retryPauseMs = 200;
    params.waitMs = 200;
    params.legacyWritingWaitMs = 300;
    params.legacyTimeoutSecs = 3;
    params.tcpStepTimeoutSecs = 4;
    params.tcpStartTimeoutSecs = 4;
    params.updateStartWaitMs = 1500;
    m_queue->setSessionParams(params);
    UpdateVerifier::Params verify;
    verify.pollIntervalMs = 200;
    verify.maxWaitMs = 4000;
    m_queue->setVerifierParams(verify);
}

void QuillonEngine::setFirstSearchCheck(std::function<bool()> check)
{
    m_firstSearchCheck = std::move(check);
}

void QuillonEngine::loadCatalogue()
{
    m_catalogue->downloadJsonData();
}

bool QuillonEngine::startSearch(bool broadcast)
{
    // The sessions of a confirmed batch find their rows in this table; a search would empty it.
    if (m_state.batchRunning) {
        qInfo().noquote() << "Search refused: a LAN update batch is running.";
        return false;
    }
    keepBatchRecord();
    m_search->startSearch(broadcast);
    emit uiUpdateNeeded(true);
    return m_state.searching;
}

void QuillonEngine::refreshRow(int row)
{
    m_search->refresh_row_by_TcpClient(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::refreshAll()
{
    for (int row = 0; row < m_state.displayEntries.size(); ++row)
        m_search->refresh_row_by_TcpClient(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::requestPowerOn(int row)
{
    m_search->requestPowerOn_by_TcpClient(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::requestPowerOff(int row)
{
    m_search->requestPowerOff_by_TcpClient(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::requestAutoPowerSave(int row)
{
    m_search->requestSetPowerSaveToAutoPowerSave_by_TcpClient(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::requestAutoStandby(int row)
{
    m_search->requestSetPowerSaveToAutoStandby_by_TcpClient(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::uncheckIdleRows()
{
    const QList<int> changed = m_state.uncheckIdleRows();
    for (int row : changed)
        emit rowChanged(row);
    if (!changed.isEmpty())
        emit uiUpdateNeeded(true);
}

void QuillonEngine::startUpdate()
{
    if (m_state.batchRunning)
        return;
    m_downloads->startUpdateDownloads();
    emit uiUpdateNeeded(true);
}

void QuillonEngine::handOutConfirmation()
{
    UpdateConfirmation request;
    request.cautionsNeeded = !m_state.cautionsAccepted;
    request.updateLimit = m_state.updateLimit;
    for (const DisplayEntry &entry : qAsConst(m_state.displayEntries)) {
        if (UpdateSummary::isListed(entry))
            request.listed.append(entry.address);
    }
    m_confirmationPending = true;
    emit confirmationRequested(request);
}

QList<UpdateAttempt> QuillonEngine::openHistory(QString *warning)
{
    m_history.open();
    if (warning)
        *warning = m_history.takeWarning();
    if (!m_history.isOpen())
        return {};
    return m_history.markInterrupted();
}

// Written in the tick that starts the session, before its first request leaves: a run that
// dies mid-update leaves a pending row the next start finds.
void QuillonEngine::recordUpdateStarted(int row)
{
    if (!m_history.isOpen() || !m_state.isValidRow(row))
        return;
    const DisplayEntry &entry = m_state.displayEntries.at(row);
    FirmwareRelease release;
    m_database.findRelease(entry.modelName, entry.serialNumber, release);
    m_recorder->sessionStarting(addressKey(entry.address), entry.modelName, entry.serialNumber, entry.displaySeries,
                                entry.firmwareBefore, entry.latestVersion,
                                CacheFileName::fromDownloadLocation(release.downloadLoc), release.fileChecksum,
                                entry.updateRollout);
}

void QuillonEngine::recordUpdateSettled(int row)
{
    if (!m_history.isOpen() || !m_state.isValidRow(row))
        return;
    const DisplayEntry &entry = m_state.displayEntries.at(row);
    m_recorder->sessionSettled(addressKey(entry.address), entry.resultStatus, UpdateStatusText::text(entry.resultStatus));
}

void QuillonEngine::recordUsbDrive(const QString &drive, const FirmwareRelease &release, const QStringList &files,
                                   int result)
{
    if (!m_history.isOpen())
        return;
    // The models it is for and the version a display reports after installing it.
    const QString version = release.changes.version.isEmpty() ? release.version : release.changes.version;
    const QString releaseText = release.models.isEmpty() ? version : release.models.join(QStringLiteral(", ")) + QLatin1Char(' ') + version;
    m_recorder->usbDriveCreated(QDir::toNativeSeparators(drive), releaseText, files, result,
                                UsbDriveWriter::resultText(result));
}

QStringList QuillonEngine::filesInUse() const
{
    return m_downloads->filesInUse() + m_queue->filesInUse();
}

UpdateSummary::Texts QuillonEngine::summaryTexts(UpdateSummary::Options options) const
{
    options.updateLimit = m_state.updateLimit;
    options.database = &m_database;
    options.rollout = m_state.rollout;
    return UpdateSummary::build(m_state.displayEntries, options);
}

void QuillonEngine::confirmUpdate(bool accepted)
{
    if (!m_confirmationPending)
        return;
    m_confirmationPending = false;
    if (!accepted || m_state.batchRunning)
        return;
    // The batch runs from here: before the queue's first tick nothing may replace its rows.
    m_state.batchRunning = true;
    m_batchCancelled = false;
    m_recordInTable = true;
    m_record.clear();
    emit batchStarted();
    if (!m_powerSaveChange->start())
        queueBatch();
    emit uiUpdateNeeded(true);
}

void QuillonEngine::queueBatch()
{
    if (!m_state.batchRunning)
        return;
    if (m_batchCancelled || m_queue->queueUpdates() == 0)
        finishBatch();
}

void QuillonEngine::finishBatch()
{
    if (!m_state.batchRunning)
        return;
    m_state.batchRunning = false;
    emit batchFinished();
    emit uiUpdateNeeded(true);
}

bool QuillonEngine::updatesSettled() const
{
    if (m_state.batchRunning || m_state.powerSaveChangePending || m_state.pendingControlRequests > 0
        || m_queue->isTicking() || m_state.activeUpdates > 0 || m_queue->verificationsRunning() > 0)
        return false;
    for (const DisplayEntry &entry : m_state.displayEntries) {
        if (entry.updateStatus != 0)
            return false;
    }
    return true;
}

void QuillonEngine::cancelQueuedUpdates()
{
    // A power-save change still waiting for its replies must not queue the batch afterwards.
    if (m_state.batchRunning)
        m_batchCancelled = true;
    m_queue->cancelQueued();
}

void QuillonEngine::cancelDownloads()
{
    m_downloads->cancel_download_clicked();
}

void QuillonEngine::followQueueRow(int row)
{
    if (m_state.isValidRow(row)) {
        const DisplayEntry &entry = m_state.displayEntries.at(row);
        const QString key = addressKey(entry.address);
        const int before = m_sessionStatus.value(key, 0);
        const int now = entry.updateStatus;
        if (now == 0)
            m_sessionStatus.remove(key);
        else
            m_sessionStatus.insert(key, now);
        if (now == Running && before != Running)
            emit updateStarted(row);
        else if (before == Running && now != Running)
            emit updateSettled(row);
    }
    emit rowChanged(row);
}

void QuillonEngine::startUsbDownloadForRow(int row)
{
    m_downloads->startUsbDownloadForRow(row);
    emit uiUpdateNeeded(true);
}

void QuillonEngine::startUsbDownloadForRelease(const FirmwareRelease &release)
{
    m_downloads->setUsbRelease(release);
    m_downloads->prepareUsbDriveForRelease();
    emit uiUpdateNeeded(true);
}

void QuillonEngine::startOfflineDownload(const QList<FirmwareRelease> &releases)
{
    m_offline->start(releases);
}

void QuillonEngine::cancelOfflineDownload()
{
    m_offline->cancel();
}

// A search is about to replace the table: the rows of the last batch are kept as they stand.
void QuillonEngine::keepBatchRecord()
{
    if (!m_recordInTable)
        return;
    m_recordInTable = false;
    m_record.clear();
    for (const DisplayEntry &entry : qAsConst(m_state.displayEntries)) {
        // A row the rollout policy held back belongs to the batch as much as one that ran.
        if (!entry.updateStartedAt.isValid() && !entry.heldBack)
            continue;
        DisplayEntry kept = entry;
        kept.updateSession = nullptr;
        m_record.append(kept);
    }
}

// A version check that ends after a search has replaced the table still belongs in the record,
// written as the queue writes it into a row.
void QuillonEngine::verifiedInRecord(const QHostAddress &address, int outcome, const QString &version,
                                     const UpdateVerifier::Finding &finding)
{
    if (m_history.isOpen())
        m_recorder->verificationFinished(addressKey(address), finding.version, outcome, UpdateVerifier::rowText(finding));
    emit updateVerified(address, outcome, version);
    if (m_recordInTable)
        return;
    for (DisplayEntry &entry : m_record) {
        if (entry.address.isEqual(address, QHostAddress::TolerantConversion))
            UpdateVerifier::applyTo(entry, finding);
    }
}

QList<UpdateReport::Line> QuillonEngine::lastBatchReport() const
{
    if (m_recordInTable)
        return UpdateReport::lines(m_state, m_state.legacySupport, &UpdateStatusText::text);
    DisplayTableState kept;
    kept.displayEntries = m_record;
    return UpdateReport::lines(kept, m_state.legacySupport, &UpdateStatusText::text);
}

bool QuillonEngine::hasLastBatchReport() const
{
    return m_recordInTable ? UpdateReport::hasLines(m_state) : !m_record.isEmpty();
}

QString QuillonEngine::exportDisplayList(const QString &path, const QList<int> &order, bool showAssetTag)
{
    DisplayListExport::Options options;
    options.showAssetTag = showAssetTag;
    options.legacySupport = m_state.legacySupport;
    options.statusText = &UpdateStatusText::text;
    const QString error = ReportFile::write(path, CsvWriter::document(DisplayListExport::table(m_state, order, options)));
    if (error.isEmpty())
        emit statusMessage(tr("Display list written to %1", "1=file").arg(QDir::toNativeSeparators(path)), 0);
    return error;
}

QString QuillonEngine::exportUpdateReport(const QString &path, bool json)
{
    const QList<UpdateReport::Line> lines = lastBatchReport();
    const QString error = ReportFile::write(path, json ? UpdateReport::json(lines)
                                                        : CsvWriter::document(UpdateReport::table(lines)));
    if (error.isEmpty())
        emit statusMessage(tr("Update report written to %1", "1=file").arg(QDir::toNativeSeparators(path)), 0);
    return error;
}
