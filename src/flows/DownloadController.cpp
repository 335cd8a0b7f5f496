#include "flows/DownloadController.h"

#include "catalogue/FirmwareDatabase.h"
#include "download/DownloadExtractFirmware.h"
#include "records/DisplayTableState.h"

#include <QDebug>
#include <QHash>
#include <QMetaObject>

#include <utility>

namespace {

QString modelsText(const FirmwareRelease &release)
{
    return release.models.join(QLatin1String(", "));
}

QString releaseKey(const FirmwareRelease &release)
{
    return release.downloadLoc + QLatin1Char('\n') + release.fileChecksum;
}

bool wantsFirmware(const DisplayEntry &row)
{
    return row.selected
            && (row.firmwareStatus == FirmwareStatus::NewForLan || row.firmwareStatus == FirmwareStatus::NotComparable
                || row.firmwareStatus == FirmwareStatus::UpToDate);
}

}

DownloadController::DownloadController(DisplayTableState &state, const FirmwareDatabase &database,
                                       const QString &cacheFolder, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_database(database)
    , m_cacheFolder(cacheFolder)
{
}

DownloadController::~DownloadController()
{
    // Jobs still running report into nothing once the window goes.
    for (DownloadExtractFirmware *job : std::as_const(m_jobs))
        job->disconnect(this);
}

QList<int> DownloadController::rowsOfRelease(const FirmwareRelease &release) const
{
    QList<int> rows;
    for (int row = 0; row < m_state.displayEntries.size(); ++row) {
        if (release.models.contains(m_state.displayEntries.at(row).modelName, Qt::CaseInsensitive))
            rows.append(row);
    }
    return rows;
}

bool DownloadController::isDownloaded(const FirmwareRelease &release) const
{
    const DownloadExtractFirmware probe(0, release, m_cacheFolder);
    return probe.isAlreadyDownloaded();
}

// A package fetched and checked a moment ago whose files still fail the cache check: the
// catalogue disagrees with itself (a size that is not the package's, say). Fetched again it would
// end the same way, for ever; it counts as a failed download instead.
void DownloadController::refuseRefetch(const FirmwareRelease &release)
{
    for (int row : rowsOfRelease(release)) {
        m_state.displayEntries[row].downloadState = 1;
        emit update_info(row);
    }
    qInfo().noquote() << "Error"
                      << QStringLiteral("\"%1\"").arg(DownloadExtractFirmware::downloadErrorText(
                                 DownloadExtractFirmware::StatusChecksumMismatch))
                      << "downloading firmware for:" << modelsText(release);
    emit statusMessage(tr("Download error"), 5000);
}

void DownloadController::startJob(int instance, const FirmwareRelease &release)
{
    auto *job = new DownloadExtractFirmware(instance, release, m_cacheFolder, this);
    job->setStallTimeout(m_stallTimeoutMs);
    connect(job, &DownloadExtractFirmware::progressChanged, this, &DownloadController::downloadFirmwareprogressChanged);
    connect(job, &DownloadExtractFirmware::statusChanged, this, &DownloadController::downloadFirmwareStatusChanged);
    m_state.cancelRequested = false;
    m_jobs.append(job);
    emit cancelButtonVisible(true);
    ++m_state.activeDownloads;
    // A job can end inside start() (files already there, a name refused). Started from the event
    // loop, no job ends before the command has started all of its jobs and set its resume flag.
    // A cancel that came first ends the job through the normal end-of-job path.
    QMetaObject::invokeMethod(
            job,
            [this, job, instance] {
                if (m_state.cancelRequested)
                    job->statusChangedIn(instance, DownloadExtractFirmware::StatusNetworkError);
                else
                    job->start();
            },
            Qt::QueuedConnection);
}

void DownloadController::startUpdateDownloads()
{
    const QStringList fetched = std::exchange(m_resumeFetched, {});
    m_pending.clear();
    QStringList startedSeries;
    QStringList refused;
    bool releaseFound = false;
    // Hashing a package set costs seconds; a hundred rows of one model need it once.
    QHash<QString, bool> downloaded;

    for (int row = 0; row < m_state.displayEntries.size(); ++row) {
        DisplayEntry &entry = m_state.displayEntries[row];
        if (!wantsFirmware(entry))
            continue;
        FirmwareRelease release;
        if (m_database.findRelease(entry.modelName, entry.serialNumber, release) != 0)
            continue;
        releaseFound = true;
        const QString key = releaseKey(release);
        auto known = downloaded.constFind(key);
        if (known == downloaded.constEnd())
            known = downloaded.insert(key, isDownloaded(release));

        if (known.value()) {
            qInfo().noquote() << "Firmware downloaded and verified for models:" << modelsText(release);
            entry.downloadState = 3;
        } else if (fetched.contains(key)) {
            if (!refused.contains(key)) {
                refused.append(key);
                refuseRefetch(release);
            }
        } else {
            entry.downloadState = 2;
            entry.downloadPercent = 0;
            if (!startedSeries.contains(release.seriesName)) {
                startJob(int(m_pending.size()), release);
                m_pending.append(release);
                startedSeries.append(release.seriesName);
                qInfo().noquote() << "Starting firmware download for:" << modelsText(release);
            }
        }
        emit update_info(row);
    }
    emit uiUpdateNeeded(false);

    if (!m_pending.isEmpty())
        m_state.updateDownloadPending = true;
    else if (releaseFound && refused.isEmpty())
        emit confirmationRequested();
}

void DownloadController::startUsbDownloadForRow(int row)
{
    const QStringList fetched = std::exchange(m_resumeFetched, {});
    if (!m_state.isValidRow(row))
        return;
    DisplayEntry &entry = m_state.displayEntries[row];
    FirmwareRelease release;
    if (m_database.findRelease(entry.modelName, entry.serialNumber, release) != 0 || release.updateViaUSB == 0)
        return;
    if (isDownloaded(release)) {
        qInfo().noquote() << "Firmware for model" << entry.modelName << "is already downloaded.";
        emit usbDriveDialogRequested(release);
        return;
    }
    if (fetched.contains(releaseKey(release))) {
        refuseRefetch(release);
        emit downloadFailed(DownloadExtractFirmware::downloadErrorText(DownloadExtractFirmware::StatusChecksumMismatch));
        return;
    }
    m_state.usbDownloadPending = true;
    m_usbRow = row;
    m_pending = { release };
    entry.downloadState = 2;
    entry.downloadPercent = 0;
    emit update_info(row);
    startJob(0, release);
    emit uiUpdateNeeded(false);
}

void DownloadController::prepareUsbDriveForRelease()
{
    const QStringList fetched = std::exchange(m_resumeFetched, {});
    if (isDownloaded(m_usbRelease)) {
        qInfo().noquote() << "Firmware is already downloaded.";
        emit usbDriveDialogRequested(m_usbRelease);
        return;
    }
    if (fetched.contains(releaseKey(m_usbRelease))) {
        refuseRefetch(m_usbRelease);
        emit downloadFailed(DownloadExtractFirmware::downloadErrorText(DownloadExtractFirmware::StatusChecksumMismatch));
        return;
    }
    m_state.modelDownloadPending = true;
    m_pending = { m_usbRelease };
    for (int row : rowsOfRelease(m_usbRelease)) {
        DisplayEntry &entry = m_state.displayEntries[row];
        entry.downloadState = 2;
        entry.downloadPercent = 0;
        emit update_info(row);
    }
    startJob(0, m_usbRelease);
    emit uiUpdateNeeded(false);
}

void DownloadController::downloadFirmwareprogressChanged(int instance, int m_progressValue, int m_progressTotal,
                                                         QString m_progressMessage)
{
    if (instance >= 0 && instance < m_pending.size()) {
        const int percent = m_progressTotal < 1 ? -1 : int(qint64(m_progressValue) * 100.0 / m_progressTotal);
        for (int row : rowsOfRelease(m_pending.at(instance))) {
            m_state.displayEntries[row].downloadPercent = qBound(-1, percent, 100);
            emit update_info(row);
        }
    }

    if (!m_state.usbDownloadPending && !m_state.modelDownloadPending) {
        emit statusMessage(tr("Downloading %1 files", "1=number of downloads").arg(m_state.activeDownloads), 0);
    } else if (m_progressTotal >= 1) {
        // A server may send more than it announced; the bar never says more than 100%.
        const int percent = qBound(0, int((qint64(m_progressValue) * 100.0 + 0.5) / m_progressTotal), 100);
        emit statusMessage(tr("Downloading %1% %2", "1=progress percentage 2=message")
                                   .arg(percent)
                                   .arg(m_progressMessage),
                           0);
    }
}

void DownloadController::downloadFirmwareStatusChanged(int instance, int status)
{
    const bool validInstance = instance >= 0 && instance < m_pending.size();
    const bool failed = !validInstance || status != 0;
    if (validInstance) {
        const FirmwareRelease &release = m_pending.at(instance);
        for (int row : rowsOfRelease(release)) {
            DisplayEntry &entry = m_state.displayEntries[row];
            if (failed) {
                entry.downloadState = 1;
                qInfo().noquote() << "Error" << QStringLiteral("\"%1\"").arg(DownloadExtractFirmware::downloadErrorText(status))
                                  << "downloading firmware for:" << modelsText(release);
            } else {
                entry.downloadState = 3;
                if (entry.selected)
                    qInfo().noquote() << "Downloaded firmware for:" << modelsText(release);
            }
            emit update_info(row);
        }
        if (!failed)
            m_fetched.append(releaseKey(release));
    }

    auto *job = qobject_cast<DownloadExtractFirmware *>(sender());
    if (job && m_jobs.removeOne(job)) {
        job->disconnect(this);
        job->deleteLater();
    }

    m_state.activeDownloads = qMax(0, m_state.activeDownloads - 1);
    if (m_state.activeDownloads > 0)
        return;

    emit cancelButtonVisible(false);
    const QStringList fetched = std::exchange(m_fetched, {});
    qInfo().noquote() << "All downloads complete status:" << DownloadExtractFirmware::downloadErrorText(status);
    if (!failed)
        emit statusMessage(tr("Download complete"), 5000);
    else if (m_state.cancelRequested)
        emit statusMessage(tr("Download canceled"), 5000);
    else
        emit statusMessage(tr("Download error"), 5000);

    if (m_state.usbDownloadPending) {
        m_state.usbDownloadPending = false;
        emit uiUpdateNeeded(false);
        if (!failed) {
            m_resumeFetched = fetched;
            emit usbCommandResumed(m_usbRow);
        } else if (!m_state.cancelRequested)
            emit downloadFailed(DownloadExtractFirmware::downloadErrorText(status));
    }
    if (m_state.modelDownloadPending) {
        m_state.modelDownloadPending = false;
        emit uiUpdateNeeded(false);
        if (!failed) {
            m_resumeFetched = fetched;
            prepareUsbDriveForRelease();
        } else if (!m_state.cancelRequested)
            emit downloadFailed(DownloadExtractFirmware::downloadErrorText(status));
    }
    if (m_state.updateDownloadPending) {
        m_state.updateDownloadPending = false;
        emit uiUpdateNeeded(false);
        if (!failed) {
            m_resumeFetched = fetched;
            startUpdateDownloads();
        }
    }
    emit uiUpdateNeeded(true);
}

void DownloadController::cancel_download_clicked()
{
    m_state.cancelRequested = true;
    // A job may end inside cancel() and leave the list.
    const QList<DownloadExtractFirmware *> jobs = m_jobs;
    for (auto it = jobs.crbegin(); it != jobs.crend(); ++it) {
        if (m_jobs.contains(*it))
            (*it)->cancel();
    }
}

QStringList DownloadController::filesInUse() const
{
    QStringList names;
    for (const DownloadExtractFirmware *job : m_jobs) {
        names << job->packageFileName();
        for (const UnpackedFileEntry &file : job->release().unpackedFileInfo)
            names << file.fileName;
    }
    return names;
}
