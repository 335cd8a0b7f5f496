#include "control/ControlQueryGate.h"

#include <utility>

ControlQueryGate::ControlQueryGate(QObject *parent)
    : ControlQueryGate(DefaultLimit, DefaultParkLimit, parent)
{
}

ControlQueryGate::ControlQueryGate(int limit, int parkLimit, QObject *parent)
    : QObject(parent),
      m_limit(qMax(1, limit)),
      m_parkLimit(qMax(0, parkLimit))
{
}

void ControlQueryGate::enter(QObject *owner, std::function<void()> start)
{
    if (!owner || m_running.contains(owner) || m_parked.contains(owner) || m_waitingKeys.contains(owner))
        return;
    connect(owner, &QObject::destroyed, this, &ControlQueryGate::ownerDestroyed, Qt::UniqueConnection);
    m_waiting.append({ owner, owner, std::move(start) });
    m_waitingKeys.insert(owner);
    startWaiting();
}

void ControlQueryGate::leave(QObject *owner)
{
    if (!owner)
        return;
    if (m_running.remove(owner)) {
        disconnect(owner, &QObject::destroyed, this, &ControlQueryGate::ownerDestroyed);
        startWaiting();
    } else if (m_parked.remove(owner)) {
        disconnect(owner, &QObject::destroyed, this, &ControlQueryGate::ownerDestroyed);
    } else if (m_waitingKeys.remove(owner)) {
        disconnect(owner, &QObject::destroyed, this, &ControlQueryGate::ownerDestroyed);
        m_waiting.removeIf([owner](const Waiting &entry) { return entry.key == owner; });
    }
}

bool ControlQueryGate::park(QObject *owner)
{
    if (!owner || !m_running.contains(owner) || m_parked.size() >= m_parkLimit)
        return false;
    m_running.remove(owner);
    m_parked.insert(owner);
    startWaiting();
    return true;
}

void ControlQueryGate::unpark(QObject *owner)
{
    if (owner && m_parked.remove(owner))
        m_running.insert(owner);
}

void ControlQueryGate::ownerDestroyed(QObject *owner)
{
    if (m_running.remove(owner))
        startWaiting();
    else if (m_parked.remove(owner))
        return;
    else if (m_waitingKeys.remove(owner))
        m_waiting.removeIf([owner](const Waiting &entry) { return entry.key == owner; });
}

void ControlQueryGate::startWaiting()
{
    // A start that ends its query at once calls leave() and so back in here: the outer loop goes on.
    if (m_starting)
        return;
    m_starting = true;
    while (m_running.size() < m_limit && !m_waiting.isEmpty()) {
        Waiting next = m_waiting.takeFirst();
        m_waitingKeys.remove(next.key);
        if (next.owner.isNull())
            continue;
        m_running.insert(next.key);
        next.start();
    }
    m_starting = false;
}
