#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QString>

// One usable IPv4 address of a network interface, as offered to the search.
struct NetworkAdapter
{
    QString humanReadableName;
    QHostAddress ip;
    QHostAddress broadcast;
    bool isUp = false;
};

// What the adapter list needs to know of one interface; QNetworkInterface cannot be built by hand.
struct NetworkInterfaceSnapshot
{
    QString humanReadableName;
    bool valid = false;
    bool up = false;
    bool loopback = false;
    QNetworkInterface::InterfaceType type = QNetworkInterface::Unknown;
    QList<QNetworkAddressEntry> addresses;

    static NetworkInterfaceSnapshot of(const QNetworkInterface &iface);
};

// The usable network adapters, built once: interfaces that are valid, up, Ethernet or Wi-Fi and
// not loopback; one entry per IPv4 address with a non-zero address and netmask, each address once.
class NetworkAdapterList
{
public:
    NetworkAdapterList() = default;
    explicit NetworkAdapterList(const QList<NetworkInterfaceSnapshot> &interfaces);

    static NetworkAdapterList fromSystem();

    int count() const { return int(m_adapters.size()); }
    bool isEmpty() const { return m_adapters.isEmpty(); }
    // An empty entry for an index outside the list.
    NetworkAdapter at(int index) const;
    const QList<NetworkAdapter> &adapters() const { return m_adapters; }

private:
    QList<NetworkAdapter> m_adapters;
};
