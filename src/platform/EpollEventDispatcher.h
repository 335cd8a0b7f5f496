#pragma once

#include <QAbstractEventDispatcher>
#include <QAtomicInt>
#include <QHash>
#include <QList>

#include <vector>

#include <pthread.h>

class QSocketNotifier;

// An event loop for a thread without windows that waits in epoll instead of poll. Qt's own loops
// hand the kernel every socket on every turn, so a search of thousands of displays, with a few
// hundred control connections open at once, spends most of its time having the kernel look at
// sockets that have nothing to say. epoll keeps the set in the kernel and returns only the ready
// ones; a notifier switched on or off costs one call.
//
// It behaves as Qt's own Unix loop does: posted events first, then ready sockets, then due timers;
// a socket's read notifier also wakes on hang-up and error; a timer does not fire again while its
// own handler runs; and a notifier or timer removed by an earlier handler of the same turn is not
// activated. Timers of every type keep their interval to the millisecond: a command-line program
// has no wake-ups to save.
class EpollEventDispatcher : public QAbstractEventDispatcher
{
    Q_OBJECT

public:
    explicit EpollEventDispatcher(QObject *parent = nullptr);
    ~EpollEventDispatcher() override;

    // False when the system would not give the epoll set or the wake-up descriptor; such a
    // dispatcher must not be installed.
    bool isValid() const { return m_epollFd >= 0 && m_wakeFd >= 0; }

    bool processEvents(QEventLoop::ProcessEventsFlags flags) override;

    void registerSocketNotifier(QSocketNotifier *notifier) override;
    void unregisterSocketNotifier(QSocketNotifier *notifier) override;

    void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject *object) override;
    bool unregisterTimer(int timerId) override;
    bool unregisterTimers(QObject *object) override;
    QList<TimerInfo> registeredTimers(QObject *object) const override;
    int remainingTime(int timerId) override;

    void wakeUp() override;
    void interrupt() override;

private:
    struct Timer
    {
        int id;
        qint64 intervalMs;
        Qt::TimerType type;
        QObject *object;
        qint64 deadlineNs;
        bool inHandler;
    };
    // The notifiers of one descriptor, by QSocketNotifier::Type, and the events asked of epoll.
    struct Watch
    {
        QSocketNotifier *notifiers[3] = {};
        quint32 events = 0;
        bool registered = false;
    };

    static qint64 nowNs();
    void insertTimer(const Timer &timer);
    std::vector<Timer>::iterator findTimer(int timerId);
    int waitMs(bool mayWait) const;
    void updateWatch(int fd, Watch &watch);
    void clearWakeUp();
    int activateSocketNotifiers(const void *events, int count);
    int activateTimers();

    int m_epollFd = -1;
    int m_wakeFd = -1;
    // The thread the loop runs in: its own posts need no descriptor to wake it, only a note that
    // this turn must not wait.
    const pthread_t m_loopThread;
    bool m_postedMeanwhile = false;
    QAtomicInt m_wakeUps;
    QAtomicInt m_interrupt;
    // Sorted by deadline, earliest first.
    std::vector<Timer> m_timers;
    QHash<int, Watch> m_watches;
    // Notifiers found ready in this turn and not yet activated.
    QList<QSocketNotifier *> m_pending;
};
