#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QMutex>
#include <QObject>
#include <QQueue>
#include <QWaitCondition>

#include <memory>

class QThread;

// Hashes a download's bytes on a thread of its own, in the order they were handed over. The thread
// that receives and writes the bytes only queues them: the hashing then runs beside the network
// and the disk instead of after them.
class DigestLane : public QObject
{
    Q_OBJECT

public:
    // Queued bytes beyond which full() asks the owner to stop handing more; drained() follows
    // once half of that is left. The disk never holds the hashing up (syncs run elsewhere), so a
    // few blocks of slack are enough, and each block more is fresh memory to fault in.
    static constexpr qint64 DefaultHighMark = 8 * 1024 * 1024;

    explicit DigestLane(QCryptographicHash::Algorithm algorithm, QObject *parent = nullptr);
    ~DigestLane() override;

    void setHighMark(qint64 bytes) { m_highMark = bytes; }

    // Starts a fresh digest on a fresh thread (dropping anything still queued from before).
    void begin();
    // The holder, if any, is kept until the bytes are hashed and let go of before drained() says
    // there is room: for bytes the array does not own (QByteArray::fromRawData).
    void add(const QByteArray &bytes, std::shared_ptr<const void> holder = nullptr);
    // True when more than the high mark waits; drained() is then emitted once there is room again.
    bool full();
    // Waits for everything queued and ends the thread. The digest of every byte added since begin().
    QByteArray finish();
    // Drops what is still queued, waits for the piece in hand and ends the thread; no digest.
    void abandon();

signals:
    // Emitted on the lane's thread; a receiver in another thread gets it queued.
    void drained();

private:
    void run();
    void endThread(bool dropQueued);

    QMutex m_mutex;
    QWaitCondition m_wake;
    struct Piece
    {
        QByteArray bytes;
        std::shared_ptr<const void> holder;
    };
    QQueue<Piece> m_queue;
    qint64 m_queuedBytes = 0;
    qint64 m_highMark = DefaultHighMark;
    bool m_closing = false;
    bool m_roomAwaited = false;
    // Touched by the lane's thread only while it runs, by the owner only when it has ended.
    QCryptographicHash m_hash;
    std::unique_ptr<QThread> m_thread;
};
