#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>

// Lets at most a fixed number of control queries talk to displays at the same time; the others
// wait their turn in the order they asked. Every open socket and running timer makes each turn of
// the event loop dearer, so a sweep of thousands of displays all at once spent most of its time
// polling and timed itself out on a busy machine.
//
// A query that is only waiting for a display's web page may step aside (park) for as long as the
// page takes: a page may take seconds to answer, or never answer and run into its time-out, and a
// parked query adds one quiet socket, not work for every turn. A sweep where a thousand pages
// stall then ends in about one time-out, instead of one per gate's width of displays. Parking has
// a budget of its own, so the descriptors stay bounded.
class ControlQueryGate : public QObject
{
    Q_OBJECT

public:
    // Enough to keep a LAN busy; few enough that each turn of the event loop stays cheap.
    static constexpr int DefaultLimit = 128;
    // Two sockets each (the idle control connection and the page's): a few thousand descriptors.
    static constexpr int DefaultParkLimit = 1024;

    // The search's gate: DefaultLimit places and DefaultParkLimit parked queries.
    explicit ControlQueryGate(QObject *parent = nullptr);
    // No parking unless parkLimit is given.
    explicit ControlQueryGate(int limit, int parkLimit = 0, QObject *parent = nullptr);

    // start runs now when a place is free, else once one is; owner holds its place until leave().
    // Asking again while holding or awaiting a place changes nothing. A destroyed owner loses its
    // turn, or frees its place.
    void enter(QObject *owner, std::function<void()> start);
    void leave(QObject *owner);

    // A running owner that waits on something slow frees its place for the next in line, if the
    // parking budget allows; false if it keeps its place. unpark() takes it back as running at
    // once, even beyond the limit: it was let in already, and a new owner starts only once the
    // running are fewer than the limit again.
    bool park(QObject *owner);
    void unpark(QObject *owner);

    int limit() const { return m_limit; }
    int parkLimit() const { return m_parkLimit; }
    int running() const { return int(m_running.size()); }
    int parked() const { return int(m_parked.size()); }
    int waiting() const { return int(m_waiting.size()); }

private:
    struct Waiting
    {
        QObject *key;               // compared only, never used: the owner may be half destroyed
        QPointer<QObject> owner;
        std::function<void()> start;
    };

    void ownerDestroyed(QObject *owner);
    void startWaiting();

    const int m_limit;
    const int m_parkLimit;
    QSet<QObject *> m_running;
    QSet<QObject *> m_parked;
    QList<Waiting> m_waiting;       // in the order asked
    QSet<QObject *> m_waitingKeys;
    bool m_starting = false;
};
