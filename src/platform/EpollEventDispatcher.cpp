#include "platform/EpollEventDispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <QVarLengthArray>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr int EventsPerWait = 256;
constexpr qint64 NsPerMs = 1000000;

// What wakes each kind of notifier, as Qt's own loop reads poll's answer: a hang-up or an error
// wakes all three, so that a reader learns of the end and a writer of the failure.
struct NotifierEvents
{
    QSocketNotifier::Type type;
    quint32 asked;
    quint32 wakes;
};
constexpr NotifierEvents Kinds[] = {
    { QSocketNotifier::Read, EPOLLIN, EPOLLIN | EPOLLHUP | EPOLLERR },
    { QSocketNotifier::Write, EPOLLOUT, EPOLLOUT | EPOLLHUP | EPOLLERR },
    { QSocketNotifier::Exception, EPOLLPRI, EPOLLPRI | EPOLLHUP | EPOLLERR },
};

} // namespace

EpollEventDispatcher::EpollEventDispatcher(QObject *parent)
    : QAbstractEventDispatcher(parent)
    , m_loopThread(::pthread_self())
{
    m_epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_epollFd < 0 || m_wakeFd < 0)
        return;
    epoll_event event {};
    event.events = EPOLLIN;
    event.data.fd = m_wakeFd;
    if (::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, m_wakeFd, &event) != 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
}

EpollEventDispatcher::~EpollEventDispatcher()
{
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    if (m_epollFd >= 0)
        ::close(m_epollFd);
}

qint64 EpollEventDispatcher::nowNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 * NsPerMs + now.tv_nsec;
}

bool EpollEventDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags)
{
    m_interrupt.storeRelaxed(0);
    emit awake();
    m_postedMeanwhile = false;
    QCoreApplication::sendPostedEvents();

    const bool includeTimers = !flags.testFlag(QEventLoop::X11ExcludeTimers);
    const bool includeNotifiers = !flags.testFlag(QEventLoop::ExcludeSocketNotifiers);
    // What another thread posts from now on writes the wake-up descriptor, so waiting loses
    // nothing. What this thread posted while sending (Qt leaves those for the next pass) is due now.
    const bool mayWait = flags.testFlag(QEventLoop::WaitForMoreEvents) && !m_interrupt.loadRelaxed()
            && !m_postedMeanwhile;
    if (mayWait)
        emit aboutToBlock();
    if (m_interrupt.loadRelaxed())
        return false;

    const int timeoutMs = includeTimers ? waitMs(mayWait) : (mayWait ? -1 : 0);
    int activated = 0;
    if (includeNotifiers) {
        epoll_event events[EventsPerWait];
        const int ready = ::epoll_wait(m_epollFd, events, EventsPerWait, timeoutMs);
        if (ready > 0)
            activated += activateSocketNotifiers(events, ready);
    } else {
        // Sockets stay quiet, and ready ones must not end the wait: only a wake-up may.
        pollfd wake { m_wakeFd, POLLIN, 0 };
        if (::poll(&wake, 1, timeoutMs) > 0 && (wake.revents & POLLIN)) {
            clearWakeUp();
            ++activated;
        }
    }
    if (includeTimers)
        activated += activateTimers();
    return activated > 0;
}

int EpollEventDispatcher::activateSocketNotifiers(const void *readyEvents, int count)
{
    const auto *events = static_cast<const epoll_event *>(readyEvents);
    int activated = 0;
    // Every ready notifier is listed before any is activated: an activation may close a
    // descriptor whose number a new socket then takes in the same turn.
    for (int i = 0; i < count; ++i) {
        const int fd = events[i].data.fd;
        if (fd == m_wakeFd) {
            clearWakeUp();
            ++activated;
            continue;
        }
        const auto watch = m_watches.constFind(fd);
        if (watch == m_watches.cend())
            continue;
        for (const NotifierEvents &kind : Kinds) {
            QSocketNotifier *notifier = watch->notifiers[kind.type];
            if (notifier && (events[i].events & kind.wakes))
                m_pending.append(notifier);
        }
    }
    // A notifier switched off or deleted by an earlier handler leaves the list on the way.
    while (!m_pending.isEmpty()) {
        QSocketNotifier *notifier = m_pending.takeFirst();
        QEvent event(QEvent::SockAct);
        QCoreApplication::sendEvent(notifier, &event);
        ++activated;
    }
    return activated;
}

void EpollEventDispatcher::clearWakeUp()
{
    eventfd_t value = 0;
    ::eventfd_read(m_wakeFd, &value);
    m_wakeUps.storeRelease(0);
}

void EpollEventDispatcher::registerSocketNotifier(QSocketNotifier *notifier)
{
    const int fd = int(notifier->socket());
    const int type = int(notifier->type());
    if (fd < 0 || type < 0 || type > 2)
        return;
    Watch &watch = m_watches[fd];
    if (watch.notifiers[type] && watch.notifiers[type] != notifier)
        qWarning("EpollEventDispatcher: a second notifier of one kind for socket %d replaces the first", fd);
    watch.notifiers[type] = notifier;
    updateWatch(fd, watch);
}

void EpollEventDispatcher::unregisterSocketNotifier(QSocketNotifier *notifier)
{
    m_pending.removeAll(notifier);
    const int fd = int(notifier->socket());
    const auto it = m_watches.find(fd);
    if (it == m_watches.end())
        return;
    Watch &watch = *it;
    for (QSocketNotifier *&held : watch.notifiers) {
        if (held == notifier)
            held = nullptr;
    }
    if (!watch.notifiers[0] && !watch.notifiers[1] && !watch.notifiers[2]) {
        // The descriptor may already be closed, and with it gone from the set: nothing to undo then.
        if (watch.registered)
            ::epoll_ctl(m_epollFd, EPOLL_CTL_DEL, fd, nullptr);
        m_watches.erase(it);
        return;
    }
    updateWatch(fd, watch);
}

void EpollEventDispatcher::updateWatch(int fd, Watch &watch)
{
    quint32 wanted = 0;
    for (const NotifierEvents &kind : Kinds) {
        if (watch.notifiers[kind.type])
            wanted |= kind.asked;
    }
    if (watch.registered && wanted == watch.events)
        return;
    epoll_event event {};
    event.events = wanted;
    event.data.fd = fd;
    int result = ::epoll_ctl(m_epollFd, watch.registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, fd, &event);
    // A descriptor closed without its notifiers being switched off left the set on its own; the
    // number may now belong to another socket, which is added afresh.
    if (result != 0 && errno == ENOENT)
        result = ::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, fd, &event);
    else if (result != 0 && errno == EEXIST)
        result = ::epoll_ctl(m_epollFd, EPOLL_CTL_MOD, fd, &event);
    if (result != 0) {
        qWarning("EpollEventDispatcher: socket %d cannot be watched (errno %d)", fd, errno);
        watch.registered = false;
        return;
    }
    watch.registered = true;
    watch.events = wanted;
}

void EpollEventDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject *object)
{
    const qint64 intervalMs = qMax<qint64>(0, interval);
    insertTimer({ timerId, intervalMs, timerType, object, nowNs() + intervalMs * NsPerMs, false });
}

void EpollEventDispatcher::insertTimer(const Timer &timer)
{
    // After the timers of the same deadline, so that timers started together fire in that order.
    const auto at = std::upper_bound(m_timers.begin(), m_timers.end(), timer.deadlineNs,
                                     [](qint64 deadline, const Timer &t) { return deadline < t.deadlineNs; });
    m_timers.insert(at, timer);
}

std::vector<EpollEventDispatcher::Timer>::iterator EpollEventDispatcher::findTimer(int timerId)
{
    return std::find_if(m_timers.begin(), m_timers.end(), [timerId](const Timer &t) { return t.id == timerId; });
}

bool EpollEventDispatcher::unregisterTimer(int timerId)
{
    const auto it = findTimer(timerId);
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    return true;
}

bool EpollEventDispatcher::unregisterTimers(QObject *object)
{
    const auto kept = std::remove_if(m_timers.begin(), m_timers.end(), [object](const Timer &t) { return t.object == object; });
    const bool any = kept != m_timers.end();
    m_timers.erase(kept, m_timers.end());
    return any;
}

QList<QAbstractEventDispatcher::TimerInfo> EpollEventDispatcher::registeredTimers(QObject *object) const
{
    QList<TimerInfo> timers;
    for (const Timer &t : m_timers) {
        if (t.object == object)
            timers.append(TimerInfo(t.id, int(t.intervalMs), t.type));
    }
    return timers;
}

int EpollEventDispatcher::remainingTime(int timerId)
{
    const auto it = findTimer(timerId);
    if (it == m_timers.end())
        return -1;
    const qint64 left = it->deadlineNs - nowNs();
    return left <= 0 ? 0 : int((left + NsPerMs - 1) / NsPerMs);
}

int EpollEventDispatcher::waitMs(bool mayWait) const
{
    if (!mayWait)
        return 0;
    // The earliest timer whose handler is not running: one that is would only wake the loop in
    // vain for as long as its handler runs a nested loop.
    for (const Timer &t : m_timers) {
        if (t.inHandler)
            continue;
        const qint64 left = t.deadlineNs - nowNs();
        // Rounded up: waking before the deadline would only come back to wait again.
        return left <= 0 ? 0 : int(qMin<qint64>((left + NsPerMs - 1) / NsPerMs, INT_MAX));
    }
    return -1;
}

int EpollEventDispatcher::activateTimers()
{
    if (m_timers.empty())
        return 0;
    const qint64 now = nowNs();
    // The timers due at the start of the turn, in deadline order. One re-armed or started by a
    // handler waits for the next turn, so a zero-interval timer cannot hold the loop here.
    QVarLengthArray<int, 32> due;
    for (const Timer &t : m_timers) {
        if (t.deadlineNs > now)
            break;
        if (!t.inHandler)
            due.append(t.id);
    }
    int activated = 0;
    for (const int id : due) {
        auto it = findTimer(id);
        if (it == m_timers.end() || it->deadlineNs > now || it->inHandler)
            continue;
        // Re-armed before its handler runs, which may stop or restart it. A timer that fell
        // behind keeps its interval from now rather than firing to catch up.
        Timer timer = *it;
        m_timers.erase(it);
        timer.deadlineNs += timer.intervalMs * NsPerMs;
        if (timer.deadlineNs <= now)
            timer.deadlineNs = now + timer.intervalMs * NsPerMs;
        timer.inHandler = true;
        insertTimer(timer);

        QTimerEvent event(id);
        QCoreApplication::sendEvent(timer.object, &event);
        ++activated;

        it = findTimer(id);
        if (it != m_timers.end())
            it->inHandler = false;
    }
    return activated;
}

void EpollEventDispatcher::wakeUp()
{
    // Called for every event posted. From the loop's own thread the loop is not waiting, and
    // the next pass sends the event before it would.
    if (::pthread_equal(::pthread_self(), m_loopThread)) {
        m_postedMeanwhile = true;
        return;
    }
    if (m_wakeUps.testAndSetAcquire(0, 1))
        ::eventfd_write(m_wakeFd, 1);
}

void EpollEventDispatcher::interrupt()
{
    m_interrupt.storeRelaxed(1);
    wakeUp();
}
