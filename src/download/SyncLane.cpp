#include "download/SyncLane.h"

#include "platform/Platform.h"

#include <QMutexLocker>
#include <QThread>

SyncLane::SyncLane() = default;

SyncLane::~SyncLane()
{
    endThread(true);
}

void SyncLane::begin(int fileHandle)
{
    endThread(true);
    m_requested = false;
    m_closing = false;
    m_failed = false;
    m_fileHandle = fileHandle;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->start();
}

void SyncLane::request()
{
    QMutexLocker lock(&m_mutex);
    m_requested = true;
    m_wake.wakeOne();
}

bool SyncLane::finish()
{
    endThread(false);
    return !m_failed;
}

void SyncLane::abandon()
{
    endThread(true);
}

void SyncLane::endThread(bool dropRequested)
{
    if (!m_thread)
        return;
    {
        QMutexLocker lock(&m_mutex);
        if (dropRequested)
            m_requested = false;
        m_closing = true;
        m_wake.wakeOne();
    }
    m_thread->wait();
    m_thread.reset();
}

void SyncLane::run()
{
    for (;;) {
        int fileHandle = -1;
        {
            QMutexLocker lock(&m_mutex);
            while (!m_requested && !m_closing)
                m_wake.wait(&m_mutex);
            if (!m_requested)
                return;
            m_requested = false;
            fileHandle = m_fileHandle;
        }
        const bool synced = Platform::syncFileData(fileHandle);
        if (!synced) {
            QMutexLocker lock(&m_mutex);
            m_failed = true;
        }
    }
}
