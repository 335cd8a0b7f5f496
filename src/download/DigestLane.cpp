#include "download/DigestLane.h"

#include "platform/Platform.h"

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

void DigestLane::begin(int fileHandle)
{
    endThread(true);
    m_hash.reset();
    m_tasks.clear();
    m_queuedBytes = 0;
    m_closing = false;
    m_roomAwaited = false;
    m_flushFailed = false;
    m_fileHandle = fileHandle;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->start();
}

void DigestLane::add(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    QMutexLocker lock(&m_mutex);
    m_tasks.enqueue({bytes, false});
    m_queuedBytes += bytes.size();
    m_wake.wakeOne();
}

void DigestLane::flush()
{
    QMutexLocker lock(&m_mutex);
    m_tasks.enqueue({QByteArray(), true});
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

bool DigestLane::flushFailed() const
{
    QMutexLocker lock(&m_mutex);
    return m_flushFailed;
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
            for (const Task &task : std::as_const(m_tasks))
                m_queuedBytes -= task.bytes.size();
            m_tasks.clear();
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
        Task task;
        int fileHandle = -1;
        {
            QMutexLocker lock(&m_mutex);
            while (m_tasks.isEmpty() && !m_closing)
                m_wake.wait(&m_mutex);
            if (m_tasks.isEmpty())
                return;
            task = m_tasks.dequeue();
            fileHandle = m_fileHandle;
        }
        bool synced = true;
        if (task.flush)
            synced = fileHandle < 0 || Platform::syncFileData(fileHandle);
        else
            m_hash.addData(task.bytes);

        bool tellRoom = false;
        {
            QMutexLocker lock(&m_mutex);
            m_queuedBytes -= task.bytes.size();
            if (!synced)
                m_flushFailed = true;
            if (m_roomAwaited && m_queuedBytes <= m_highMark / 2) {
                m_roomAwaited = false;
                tellRoom = true;
            }
        }
        if (tellRoom)
            emit drained();
    }
}
