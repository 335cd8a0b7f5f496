#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QMutex>
#include <QObject>
#include <QQueue>
#include <QWaitCondition>

#include <memory>

class QThread;

// Hashes a download's bytes, and flushes the file they were written to, on a thread of its own and
// in the order they were handed over. The thread that receives and writes the bytes only queues
// them: the hashing then runs beside the network and the disk instead of after them, and the
// device takes the file in steps while it arrives instead of all of it at the commit.
class DigestLane : public QObject
{
    Q_OBJECT

public:
    // Queued bytes beyond which full() asks the owner to stop handing more; drained() follows
    // once half of that is left.
    static constexpr qint64 DefaultHighMark = 16 * 1024 * 1024;

    explicit DigestLane(QCryptographicHash::Algorithm algorithm, QObject *parent = nullptr);
    ~DigestLane() override;

    void setHighMark(qint64 bytes) { m_highMark = bytes; }

    // Starts a fresh digest on a fresh thread (dropping anything still queued from before).
    // fileHandle: the descriptor flush() syncs, as QFileDevice::handle() gives it; -1 for none.
    void begin(int fileHandle);
    void add(const QByteArray &bytes);
    // Syncs what was written to the file so far, after the bytes queued before it are hashed.
    void flush();
    // True when more than the high mark waits; drained() is then emitted once there is room again.
    bool full();
    // Waits for everything queued and ends the thread. The digest of every byte added since begin().
    QByteArray finish();
    // True when a flush since begin() was not confirmed by the device. Such an error is reported to
    // one sync only, so a later flush of the same file (the commit's) may well succeed.
    bool flushFailed() const;
    // Drops what is still queued, waits for the task in hand and ends the thread; no digest. The
    // owner calls it before closing the file, so that no flush meets a closed or reused descriptor.
    void abandon();

signals:
    // Emitted on the lane's thread; a receiver in another thread gets it queued.
    void drained();

private:
    struct Task
    {
        QByteArray bytes;
        bool flush = false;
    };

    void run();
    void endThread(bool dropQueued);

    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    QQueue<Task> m_tasks;
    qint64 m_queuedBytes = 0;
    qint64 m_highMark = DefaultHighMark;
    bool m_closing = false;
    bool m_roomAwaited = false;
    bool m_flushFailed = false;
    int m_fileHandle = -1;
    // Touched by the lane's thread only while it runs, by the owner only when it has ended.
    QCryptographicHash m_hash;
    std::unique_ptr<QThread> m_thread;
};
