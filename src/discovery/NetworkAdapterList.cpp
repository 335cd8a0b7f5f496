#include "discovery/NetworkAdapterList.h"

#include <QNetworkInterface>

NetworkAdapterList NetworkAdapterList::fromSystem()
{
    QList<NetworkAdapter> adapters;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        if (!interface.isValid() || !flags.testFlag(QNetworkInterface::IsUp)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        if (interface.type() != QNetworkInterface::Ethernet && interface.type() != QNetworkInterface::Wifi)
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            bool ipOk = false;
            bool maskOk = false;
            const quint32 ip = entry.ip().toIPv4Address(&ipOk);
            const quint32 mask = entry.netmask().toIPv4Address(&maskOk);
            if (!ipOk || !maskOk || ip == 0 || mask == 0)
                continue;
            const bool known = std::any_of(adapters.cbegin(), adapters.cend(),
                                           [&entry](const NetworkAdapter &a) { return a.ip == entry.ip(); });
            if (known)
                continue;
            adapters.append({ interface.humanReadableName(), entry.ip(), entry.broadcast(),
                              flags.testFlag(QNetworkInterface::IsUp) });
        }
    }
    return NetworkAdapterList(adapters);
}

NetworkAdapter NetworkAdapterList::at(int index) const
{
    return index >= 0 && index < m_adapters.size() ? m_adapters.at(index) : NetworkAdapter();
}
