#include "offlinejobs/OfflineDownloadRun.h"

#include "download/DownloadExtractFirmware.h"

#include <QCoreApplication>

OfflineDownloadRun::OfflineDownloadRun(const QString &cacheFolder, QObject *parent)
    : QObject(parent),
      m_cacheFolder(cacheFolder)
{
}

OfflineDownloadRun::~OfflineDownloadRun()
{
    // Deleting a job deletes its downloader, which removes an unfinished package file.
    qDeleteAll(m_jobs);
}

void OfflineDownloadRun::start(const QList<FirmwareRelease> &releases)
{
    if (isRunning() || m_starting || releases.isEmpty())
        return;
    qDeleteAll(m_jobs);
    m_jobs.clear();
    m_received = QList<qint64>(releases.size(), 0);
    m_error = false;
    m_totalExpected = 0;
    for (const FirmwareRelease &release : releases) {
        if (m_totalExpected < 0)
            break;
        m_totalExpected = release.fileSize > 0 ? m_totalExpected + release.fileSize : -1;
    }

    // Every job counts as active before the first one starts: a job whose package is cached
    // ends inside its start(), and the run must neither miss that end nor end before the
    // remaining jobs have started.
    m_activeJobs = releases.size();
    m_starting = true;
    m_clock.start();
    for (int instance = 0; instance < releases.size(); ++instance) {
        auto *job = new DownloadExtractFirmware(instance, releases.at(instance), m_cacheFolder, this);
        m_jobs.append(job);
        connect(job, &DownloadExtractFirmware::progressChanged, this,
                &OfflineDownloadRun::downloadFirmwareprogressChanged);
        connect(job, &DownloadExtractFirmware::statusChanged, this, &OfflineDownloadRun::downloadFirmwareStatusChanged);
        job->start();
    }
    m_starting = false;
    if (m_activeJobs == 0) {
        m_clock.invalidate();
        emit finished(m_error);
    }
}

qint64 OfflineDownloadRun::receivedBytes() const
{
    qint64 sum = 0;
    for (qint64 bytes : m_received)
        sum += bytes;
    return sum;
}

QString OfflineDownloadRun::progressLabel(int finishedJobs, int jobCount, qint64 receivedBytes, qint64 elapsedMs)
{
    double speed = receivedBytes * 1000.0 / double(qMax<qint64>(elapsedMs, 1));
    // The units read as the downloader's own, so they share its translations.
    QString unit;
    if (speed < 1024) {
        unit = QCoreApplication::translate("FileDownloader", "bytes/sec", "download speed");
    } else if (speed < 1024 * 1024) {
        speed /= 1024;
        unit = QCoreApplication::translate("FileDownloader", "kB/s", "download speed");
    } else {
        speed /= 1024 * 1024;
        unit = QCoreApplication::translate("FileDownloader", "MB/s", "download speed");
    }
    return QCoreApplication::translate("DownloadFirmwareForOfflineDialog", "Downloaded %1 of %2 files (%3 %4)",
                                       "1=files remaining, 2=total files to download 3=download speed 4=speed units")
        .arg(finishedJobs)
        .arg(jobCount)
        .arg(QString::number(speed, 'f', 1).rightJustified(3), unit);
}

void OfflineDownloadRun::cancel()
{
    // A snapshot: a cancelled job ends at once and leaves the list while this loop runs.
    const QList<DownloadExtractFirmware *> jobs = m_jobs;
    for (auto it = jobs.crbegin(); it != jobs.crend(); ++it) {
        if (*it)
            (*it)->cancel();
    }
}

void OfflineDownloadRun::downloadFirmwareprogressChanged(int instance, int m_progressValue, int m_progressTotal,
                                                         QString m_progressMessage)
{
    Q_UNUSED(m_progressTotal)
    Q_UNUSED(m_progressMessage)
    if (instance < 0 || instance >= m_received.size())
        return;
    m_received[instance] = qMax(0, m_progressValue);
    const qint64 received = receivedBytes();
    QString label;
    if (m_clock.isValid() && m_clock.elapsed() > 0)
        label = progressLabel(finishedJobCount(), jobCount(), received, m_clock.elapsed());
    emit progressChanged(received, label);
}

void OfflineDownloadRun::downloadFirmwareStatusChanged(int instance, int status)
{
    // Each job ends once; anything else is not a job of this run.
    if (instance < 0 || instance >= m_jobs.size() || !m_jobs.at(instance))
        return;
    if (status != 0)
        m_error = true;
    m_jobs[instance]->deleteLater();
    m_jobs[instance] = nullptr;
    --m_activeJobs;
    if (m_activeJobs > 0 || m_starting)
        return;
    m_clock.invalidate();
    emit finished(m_error);
}
