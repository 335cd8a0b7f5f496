#pragma once

#include "SimLogEntry.h"

#include <QList>

// What one simulated display received, in order of arrival.
class SimRequestLog
{
public:
    void append(const SimLogEntry &entry);
    void countConnection(SimLogEntry::Channel channel);
    void clear();

    const QList<SimLogEntry> &entries() const { return m_entries; }
    QList<QByteArray> requests(SimLogEntry::Channel channel) const;
    QList<QByteArray> controlBodies() const { return requests(SimLogEntry::Channel::Control); }
    int count(SimLogEntry::Channel channel) const;
    int count(SimLogEntry::Channel channel, const QByteArray &request) const;
    int connections(SimLogEntry::Channel channel) const;
    bool isEmpty() const; // no request and no connection at all

private:
    QList<SimLogEntry> m_entries;
    int m_controlConnections = 0;
    int m_webConnections = 0;
};
