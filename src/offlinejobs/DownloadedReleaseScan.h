#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class FirmwareDatabase;
class QThread;

// Finds the listed releases whose firmware files are all in the cache, intact. That hashes every
// cached firmware file, which takes seconds with a full cache, so start() does it on a worker
// thread of its own and reports once through finished(); scan() is the same work in the caller.
// The worker gets copies of the releases and the folder and shares nothing else but a stop flag.
class DownloadedReleaseScan : public QObject
{
    Q_OBJECT

public:
    explicit DownloadedReleaseScan(QObject *parent = nullptr);
    // Stops a running scan and waits for the file being hashed.
    ~DownloadedReleaseScan() override;

    // Indices of the listed releases that are downloaded, ascending. Stops early, with what it
    // found so far, when stop becomes true.
    static QList<int> scan(const FirmwareDatabase &database, const QString &cacheFolder,
                           const std::atomic_bool *stop = nullptr);

    // Starts a scan in the background; a scan still running is stopped and its result dropped.
    void start(const FirmwareDatabase &database, const QString &cacheFolder);
    bool isRunning() const { return m_thread != nullptr; }

signals:
    void finished(const QList<int> &downloadedReleases);

private:
    void stopWorker();

    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic_bool> m_stop;
    quint64 m_generation = 0; // a worker reports only while it is the latest one
};
