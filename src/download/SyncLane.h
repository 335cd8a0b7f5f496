#pragma once

#include <QMutex>
#include <QWaitCondition>

#include <memory>

class QThread;

// Syncs a file's written data to its device on a thread of its own, so that neither the network
// nor the hashing waits for the disk: a sync of a virtual disk or a slow drive can take a tenth
// of a second and more. Each sync covers everything written before it starts, so a request made
// while one runs is folded into the next one, and any number of them into a single sync.
class SyncLane
{
public:
    SyncLane();
    ~SyncLane();

    SyncLane(const SyncLane &) = delete;
    SyncLane &operator=(const SyncLane &) = delete;

    // Starts afresh for the file with this descriptor (as QFileDevice::handle() gives it).
    void begin(int fileHandle);
    // Asks for a sync of what has been written so far; returns at once.
    void request();
    // Waits for the sync asked for last and ends the thread. False when any sync since begin()
    // was not confirmed by the device: such an error is reported to one sync only, so a later
    // sync of the same file (the commit's) may well succeed.
    bool finish();
    // Drops a sync not yet started, waits for one in hand and ends the thread. The owner calls it
    // before closing the file, so that no sync meets a closed or reused descriptor.
    void abandon();

private:
    void run();
    void endThread(bool dropRequested);

    QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_requested = false;
    bool m_closing = false;
    bool m_failed = false;
    int m_fileHandle = -1;
    std::unique_ptr<QThread> m_thread;
};
