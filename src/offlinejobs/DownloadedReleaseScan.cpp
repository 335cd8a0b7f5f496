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
    const quint64 generation = ++m_generation;
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, this, [this, generation, result]() {
        if (generation != m_generation)
            return; // stopped or replaced: its result is stale
        m_thread = nullptr;
        emit finished(*result);
    });
    m_thread->start();
}

void DownloadedReleaseScan::stopWorker()
{
    if (!m_thread)
        return;
    ++m_generation;
    m_stop->store(true);
    m_thread->wait();
    // Deleting it also drops its own pending deleteLater.
    delete m_thread;
    m_thread = nullptr;
}
