#include "download/DigestLane.h"

#include <QMutexLocker>
#include <QThread>

DigestLane::DigestLane(QCryptographicHash::Algorithm algorithm, QObject *parent)
    : QObject(parent),
      m_hash(algorithm)
{
}

DigestLane::~DigestLane()
{
    endThread(true);
}

void DigestLane::begin()
{
    endThread(true);
    m_hash.reset();
    m_queue.clear();
    m_queuedBytes = 0;
    m_closing = false;
    m_roomAwaited = false;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->start();
}

void DigestLane::add(const QByteArray &bytes, std::shared_ptr<const void> holder)
{
    if (bytes.isEmpty())
        return;
    QMutexLocker lock(&m_mutex);
    m_queue.enqueue(Piece{bytes, std::move(holder)});
    m_queuedBytes += bytes.size();
    m_wake.wakeOne();
}

bool DigestLane::full()
{
    QMutexLocker lock(&m_mutex);
    if (m_queuedBytes <= m_highMark)
        return false;
    m_roomAwaited = true;
    return true;
}

QByteArray DigestLane::finish()
{
    endThread(false);
    return m_hash.result();
}

void DigestLane::abandon()
{
    endThread(true);
}

void DigestLane::endThread(bool dropQueued)
{
    if (!m_thread)
        return;
    {
        QMutexLocker lock(&m_mutex);
        if (dropQueued) {
            for (const Piece &piece : std::as_const(m_queue))
                m_queuedBytes -= piece.bytes.size();
            m_queue.clear();
        }
        m_closing = true;
        m_wake.wakeOne();
    }
    m_thread->wait();
    m_thread.reset();
}

void DigestLane::run()
{
    for (;;) {
        Piece piece;
        {
            QMutexLocker lock(&m_mutex);
            while (m_queue.isEmpty() && !m_closing)
                m_wake.wait(&m_mutex);
            if (m_queue.isEmpty())
                return;
            piece = m_queue.dequeue();
        }
        const qsizetype size = piece.bytes.size();
        m_hash.addData(piece.bytes);
        // Let go before saying there is room, so that the block is free for reuse by then.
        piece = Piece();

        bool tellRoom = false;
        {
            QMutexLocker lock(&m_mutex);
            m_queuedBytes -= size;
            if (m_roomAwaited && m_queuedBytes <= m_highMark / 2) {
                m_roomAwaited = false;
                tellRoom = true;
            }
        }
        if (tellRoom)
            emit drained();
    }
}
