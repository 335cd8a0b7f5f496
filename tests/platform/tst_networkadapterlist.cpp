#include "platform/NetworkAdapterList.h"

#include <QtTest>

namespace {
QNetworkAddressEntry entry(const char *ip, const char *mask, const char *broadcast = nullptr)
{
    QNetworkAddressEntry e;
    e.setIp(QHostAddress(QString::fromLatin1(ip)));
    e.setNetmask(QHostAddress(QString::fromLatin1(mask)));
    if (broadcast)
        e.setBroadcast(QHostAddress(QString::fromLatin1(broadcast)));
    return e;
}

NetworkInterfaceSnapshot iface(const char *name, QNetworkInterface::InterfaceType type,
                               QList<QNetworkAddressEntry> addresses, bool up = true, bool loopback = false)
{
    NetworkInterfaceSnapshot s;
    s.humanReadableName = QString::fromLatin1(name);
    s.valid = true;
    s.up = up;
    s.loopback = loopback;
    s.type = type;
    s.addresses = addresses;
    return s;
}
}

class tst_NetworkAdapterList : public QObject
{
    Q_OBJECT

private slots:
    void onlyUsableIPv4AddressesOfUsableInterfaces()
    {
        NetworkInterfaceSnapshot invalid = iface("invalid", QNetworkInterface::Ethernet,
                                                 { entry("10.1.0.5", "255.255.0.0") });
        invalid.valid = false;
        const QList<NetworkInterfaceSnapshot> all = {
            iface("lo", QNetworkInterface::Loopback, { entry("127.0.0.1", "255.0.0.0", "127.255.255.255") }, true, true),
            iface("eth0", QNetworkInterface::Ethernet,
                  { entry("10.99.0.2", "255.255.255.0", "10.99.0.255"),
                    entry("fe80::1", "ffff:ffff:ffff:ffff::"),
                    entry("0.0.0.0", "255.0.0.0"),
                    entry("10.98.0.2", "0.0.0.0") }),
            iface("down", QNetworkInterface::Ethernet, { entry("10.97.0.2", "255.255.255.0") }, false),
            iface("tun0", QNetworkInterface::Virtual, { entry("10.96.0.2", "255.255.255.0") }),
            iface("wlan0", QNetworkInterface::Wifi,
                  { entry("192.0.2.7", "255.255.255.0", "192.0.2.255"), entry("10.99.0.2", "255.255.255.0") }),
            iface("odd", QNetworkInterface::Ethernet, { entry("127.0.0.9", "255.0.0.0") }),
            invalid,
        };
        const NetworkAdapterList list(all);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.at(0).humanReadableName, QStringLiteral("eth0"));
        QCOMPARE(list.at(0).ip, QHostAddress(QStringLiteral("10.99.0.2")));
        QCOMPARE(list.at(0).broadcast, QHostAddress(QStringLiteral("10.99.0.255")));
        QVERIFY(list.at(0).isUp);
        QCOMPARE(list.at(1).humanReadableName, QStringLiteral("wlan0"));
        QCOMPARE(list.at(1).ip, QHostAddress(QStringLiteral("192.0.2.7")));
    }

    void indexOutsideTheListGivesAnEmptyEntry()
    {
        const NetworkAdapterList list({ iface("eth0", QNetworkInterface::Ethernet, { entry("10.99.0.2", "255.255.255.0") }) });
        for (int index : { -1, 1, 1000 }) {
            const NetworkAdapter a = list.at(index);
            QVERIFY(a.ip.isNull());
            QVERIFY(a.humanReadableName.isEmpty());
            QVERIFY(!a.isUp);
        }
    }

    void systemListNeverHoldsLoopback()
    {
        const NetworkAdapterList list = NetworkAdapterList::fromSystem();
        for (const NetworkAdapter &a : list.adapters())
            QVERIFY2(!a.ip.isLoopback(), qPrintable(a.ip.toString()));
    }
};

QTEST_GUILESS_MAIN(tst_NetworkAdapterList)
#include "tst_networkadapterlist.moc"
