#include "platform/NetworkAdapterList.h"

#include <algorithm>

NetworkInterfaceSnapshot NetworkInterfaceSnapshot::of(const QNetworkInterface &iface)
{
    NetworkInterfaceSnapshot s;
    s.humanReadableName = iface.humanReadableName();
    s.valid = iface.isValid();
    s.up = iface.flags().testFlag(QNetworkInterface::IsUp);
    s.loopback = iface.flags().testFlag(QNetworkInterface::IsLoopBack)
        || iface.type() == QNetworkInterface::Loopback;
    s.type = iface.type();
    s.addresses = iface.addressEntries();
    return s;
}

NetworkAdapterList::NetworkAdapterList(const QList<NetworkInterfaceSnapshot> &interfaces)
{
    for (const NetworkInterfaceSnapshot &iface : interfaces) {
        if (!iface.valid || !iface.up || iface.loopback)
            continue;
        if (iface.type != QNetworkInterface::Ethernet && iface.type != QNetworkInterface::Wifi)
            continue;
        for (const QNetworkAddressEntry &entry : iface.addresses) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() != QAbstractSocket::IPv4Protocol || ip.toIPv4Address() == 0
                || entry.netmask().toIPv4Address() == 0)
                continue;
            // A loopback address on a mislabelled interface would make the search talk to itself.
            if (ip.isLoopback())
                continue;
            const bool known = std::any_of(m_adapters.cbegin(), m_adapters.cend(),
                                           [&ip](const NetworkAdapter &a) { return a.ip == ip; });
            if (known)
                continue;
            m_adapters.append({ iface.humanReadableName, ip, entry.broadcast(), iface.up });
        }
    }
}

NetworkAdapterList NetworkAdapterList::fromSystem()
{
    QList<NetworkInterfaceSnapshot> snapshots;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    snapshots.reserve(all.size());
    for (const QNetworkInterface &iface : all)
        snapshots.append(NetworkInterfaceSnapshot::of(iface));
    return NetworkAdapterList(snapshots);
}

NetworkAdapter NetworkAdapterList::at(int index) const
{
    if (index < 0 || index >= m_adapters.size())
        return {};
    return m_adapters.at(index);
}
