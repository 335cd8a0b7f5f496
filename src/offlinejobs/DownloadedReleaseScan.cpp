#include "offlinejobs/DownloadedReleaseScan.h"

#include "catalogue/FirmwareDatabase.h"
#include "download/DownloadExtractFirmware.h"
#include "offlinejobs/OfflineModelList.h"

#include <QThread>

DownloadedReleaseScan::DownloadedReleaseScan(QObject *parent)
    : QObject(parent)
{
}

DownloadedReleaseScan::~DownloadedReleaseScan()
{
    stopWorker();
}

QList<int> DownloadedReleaseScan::scan(const FirmwareDatabase &database, const QString &cacheFolder,
                                       const std::atomic_bool *stop)
{
    QList<int> downloaded;
    const QList<FirmwareRelease> &releases = database.releases();
    for (int index = 0; index < releases.size(); ++index) {
        if (stop && stop->load())
            break;
        // Releases that are not listed cannot be checked, so their files need not be hashed.
        if (!OfflineModelList::isListed(releases.at(index)))
            continue;
        const DownloadExtractFirmware job(index, releases.at(index), cacheFolder);
        if (job.isAlreadyDownloaded())
            downloaded.append(index);
    }
    return downloaded;
}

void DownloadedReleaseScan::start(const FirmwareDatabase &database, const QString &cacheFolder)
{
    stopWorker();
    auto stop = std::make_shared<std::atomic_bool>(false);
    auto result = std::make_shared<QList<int>>();
    // A copy for the worker: the caller's database may change or go while the worker runs.
    FirmwareDatabase copy = database;
    m_thread = QThread::create([copy, cacheFolder, stop, result]() { *result = scan(copy, cacheFolder, stop.get()); });
    m_stop = stop;
    m_result = result;
    QThread *thread = m_thread;
    connect(thread, &QThread::finished, this, [this, thread]() {
        thread->deleteLater();
        if (thread != m_thread)
            return; // stopped and replaced; its result is stale
        m_thread = nullptr;
        const QList<int> downloaded = *m_result;
        emit finished(downloaded);
    });
    m_thread->start();
}

void DownloadedReleaseScan::stopWorker()
{
    if (!m_thread)
        return;
    m_stop->store(true);
    m_thread->wait();
    QThread *thread = m_thread;
    m_thread = nullptr;
    disconnect(thread, nullptr, this, nullptr);
    thread->deleteLater();
}
