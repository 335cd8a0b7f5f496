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
class ControlQueryGate : public QObject
{
    Q_OBJECT

public:
    // Enough to keep a LAN busy; few enough that each turn of the event loop stays cheap.
    static constexpr int DefaultLimit = 128;

    explicit ControlQueryGate(int limit = DefaultLimit, QObject *parent = nullptr);

    // start runs now when a place is free, else once one is; owner holds its place until leave().
    // Asking again while holding or awaiting a place changes nothing. A destroyed owner loses its
    // turn, or frees its place.
    void enter(QObject *owner, std::function<void()> start);
    void leave(QObject *owner);

    int limit() const { return m_limit; }
    int running() const { return int(m_running.size()); }
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
    QSet<QObject *> m_running;
    QList<Waiting> m_waiting;       // in the order asked
    QSet<QObject *> m_waitingKeys;
    bool m_starting = false;
};
