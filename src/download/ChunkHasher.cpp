#include "download/ChunkHasher.h"

#include <QThread>

ChunkHasher::ChunkHasher(QCryptographicHash::Algorithm algorithm)
    : m_hash(algorithm)
{
}

ChunkHasher::~ChunkHasher()
{
    if (!m_thread)
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
        m_queue.clear();
        m_queuedBytes = 0;
        m_changed.wakeAll();
    }
    m_thread->wait();
}

void ChunkHasher::reset()
{
    QMutexLocker lock(&m_mutex);
    m_queue.clear();
    m_queuedBytes = 0;
    m_changed.wakeAll();
    waitUntilIdle(lock);
    m_hash.reset();
}

void ChunkHasher::addData(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return;
    // The thread starts with the first chunk: a downloader that never receives one needs none.
    if (!m_thread) {
        m_thread.reset(QThread::create([this] { run(); }));
        m_thread->start();
    }
    QMutexLocker lock(&m_mutex);
    while (m_queuedBytes >= MaxQueuedBytes)
        m_changed.wait(&m_mutex);
    m_queue.enqueue(chunk);
    m_queuedBytes += chunk.size();
    m_changed.wakeAll();
}

QByteArray ChunkHasher::result()
{
    QMutexLocker lock(&m_mutex);
    waitUntilIdle(lock);
    return m_hash.result();
}

void ChunkHasher::waitUntilIdle(QMutexLocker<QMutex> &lock)
{
    Q_UNUSED(lock);
    while (!m_queue.isEmpty() || m_hashing)
        m_changed.wait(&m_mutex);
}

void ChunkHasher::run()
{
    QMutexLocker lock(&m_mutex);
    for (;;) {
        while (m_queue.isEmpty() && !m_stopping)
            m_changed.wait(&m_mutex);
        if (m_stopping)
            return;
        const QByteArray chunk = m_queue.dequeue();
        m_queuedBytes -= chunk.size();
        m_hashing = true;
        lock.unlock();
        m_hash.addData(chunk);
        lock.relock();
        m_hashing = false;
        m_changed.wakeAll();
    }
}
