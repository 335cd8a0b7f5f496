#pragma once

#include "discovery/NetworkAdapter.h"

#include <QList>

// The interfaces a broadcast search can go out on: wired or wireless, up and not loopback, one
// entry per distinct IPv4 address with a netmask.
class NetworkAdapterList
{
public:
    NetworkAdapterList() = default;
    explicit NetworkAdapterList(const QList<NetworkAdapter> &adapters) : m_adapters(adapters) {}

    static NetworkAdapterList fromSystem();

    int count() const { return m_adapters.size(); }
    bool isEmpty() const { return m_adapters.isEmpty(); }
    // An index beyond the list yields an empty entry.
    NetworkAdapter at(int index) const;
    const QList<NetworkAdapter> &adapters() const { return m_adapters; }

private:
    QList<NetworkAdapter> m_adapters;
};
