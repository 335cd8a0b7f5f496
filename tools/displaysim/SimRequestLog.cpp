#include "SimRequestLog.h"

void SimRequestLog::append(const SimLogEntry &entry)
{
    m_entries.append(entry);
}

void SimRequestLog::countConnection(SimLogEntry::Channel channel)
{
    if (channel == SimLogEntry::Channel::Control)
        ++m_controlConnections;
    else if (channel == SimLogEntry::Channel::Web)
        ++m_webConnections;
}

void SimRequestLog::clear()
{
    m_entries.clear();
    m_controlConnections = 0;
    m_webConnections = 0;
}

QList<QByteArray> SimRequestLog::requests(SimLogEntry::Channel channel) const
{
    QList<QByteArray> out;
    for (const SimLogEntry &e : m_entries)
        if (e.channel == channel)
            out.append(e.request);
    return out;
}

int SimRequestLog::count(SimLogEntry::Channel channel) const
{
    int n = 0;
    for (const SimLogEntry &e : m_entries)
        n += e.channel == channel;
    return n;
}

int SimRequestLog::count(SimLogEntry::Channel channel, const QByteArray &request) const
{
    int n = 0;
    for (const SimLogEntry &e : m_entries)
        n += e.channel == channel && e.request == request;
    return n;
}

int SimRequestLog::connections(SimLogEntry::Channel channel) const
{
    if (channel == SimLogEntry::Channel::Control)
        return m_controlConnections;
    if (channel == SimLogEntry::Channel::Web)
        return m_webConnections;
    return 0;
}

bool SimRequestLog::isEmpty() const
{
    return m_entries.isEmpty() && m_controlConnections == 0 && m_webConnections == 0;
}
