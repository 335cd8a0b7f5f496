#pragma once

#include "catalogue/FirmwareRelease.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class DownloadExtractFirmware;

// One run of the offline download: a package job per release, all downloading at once, with
// the counters one progress display needs. Every job's instance number is its position in the
// run. A run ends with exactly one finished(), also when some or all of its jobs end inside
// start() because their packages were in the cache already.
class OfflineDownloadRun : public QObject
{
    Q_OBJECT

public:
    explicit OfflineDownloadRun(const QString &cacheFolder, QObject *parent = nullptr);
    ~OfflineDownloadRun() override;

    // Starts the jobs; ignored while a run is going on. A run whose jobs all end at once has
    // emitted finished() before this returns; a run without releases emits nothing.
    void start(const QList<FirmwareRelease> &releases);
    bool isRunning() const { return m_activeJobs > 0; }

    int jobCount() const { return m_jobs.size(); }
    int activeJobCount() const { return m_activeJobs; }
    int finishedJobCount() const { return jobCount() - m_activeJobs; }
    bool hadError() const { return m_error; }
    // The bytes the run expects: the sum of the releases' file sizes, or -1 when one of them
    // gives no positive size (the progress then cannot show a share).
    qint64 totalExpectedBytes() const { return m_totalExpected; }
    qint64 receivedBytes() const;

    // "Downloaded 1 of 3 files ( 2.0 MB/s)": finished jobs, all jobs, and the speed of the
    // whole run so far.
    static QString progressLabel(int finishedJobs, int jobCount, qint64 receivedBytes, qint64 elapsedMs);

signals:
    // The bytes all jobs received so far, and the label text (empty before any time has passed).
    void progressChanged(qint64 receivedBytes, const QString &label);
    void finished(bool error);

public slots:
    // Cancels every active job, the last first; each ends as a network error.
    void cancel();
    void downloadFirmwareprogressChanged(int instance, int m_progressValue, int m_progressTotal,
                                         QString m_progressMessage);
    void downloadFirmwareStatusChanged(int instance, int status);

private:
    const QString m_cacheFolder;
    QList<DownloadExtractFirmware *> m_jobs; // by instance; null once the job has ended
    QList<qint64> m_received;                // bytes per job
    qint64 m_totalExpected = 0;
    int m_activeJobs = 0;
    bool m_starting = false;
    bool m_error = false;
    QElapsedTimer m_clock;
};
