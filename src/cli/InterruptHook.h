#pragma once

#include <QObject>

class QSocketNotifier;

// Ctrl-C as a Qt signal. The system's handler only writes a byte into a pipe (Linux) or posts
// an event (Windows); the work runs on the event loop, so a running update's objects are never
// touched from inside a signal handler. One hook at a time; the default handling comes back when
// it is destroyed.
class InterruptHook : public QObject
{
    Q_OBJECT

public:
    explicit InterruptHook(QObject *parent = nullptr);
    ~InterruptHook() override;

    bool isInstalled() const { return m_installed; }
    int count() const { return m_count; }

signals:
    // Once per Ctrl-C; count() tells which one it was.
    void interrupted(int count);

private:
    // Called through the event loop by the system's handler.
    Q_INVOKABLE void deliver();

    bool m_installed = false;
    int m_count = 0;
#ifndef Q_OS_WIN
    int m_pipe[2] = { -1, -1 };
    QSocketNotifier *m_notifier = nullptr;
#endif
};
