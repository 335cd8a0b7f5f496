#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QMutex>
#include <QQueue>
#include <QWaitCondition>

#include <memory>

class QThread;

// Hashes a stream of chunks, in the order given, on a thread of its own: while one chunk is hashed
// the next is already being received and written, so a download runs at the speed of hashing
// instead of hashing plus network plus disk. The chunks are shared, not copied. At most
// MaxQueuedBytes wait to be hashed; addData() waits for room beyond that, so a slow hash holds the
// transfer back instead of piling it up in memory.
class ChunkHasher
{
public:
    static constexpr qint64 MaxQueuedBytes = 8 * 1024 * 1024;

    explicit ChunkHasher(QCryptographicHash::Algorithm algorithm);
    // Drops what is still queued; waits only for the chunk being hashed.
    ~ChunkHasher();

    ChunkHasher(const ChunkHasher &) = delete;
    ChunkHasher &operator=(const ChunkHasher &) = delete;

    // Starts a new stream; what was queued and not hashed yet is dropped.
    void reset();
    void addData(const QByteArray &chunk);
    // The hash of every chunk given since the last reset; waits until they are all hashed.
    QByteArray result();

private:
    void run();
    void waitUntilIdle(QMutexLocker<QMutex> &lock);

    QMutex m_mutex;
    QWaitCondition m_changed;
    QQueue<QByteArray> m_queue;
    qint64 m_queuedBytes = 0;         // in the queue, not counting the chunk being hashed
    bool m_hashing = false;           // the thread holds a chunk taken off the queue
    bool m_stopping = false;
    QCryptographicHash m_hash;        // the thread's while it hashes, the owner's while idle
    std::unique_ptr<QThread> m_thread;
};
