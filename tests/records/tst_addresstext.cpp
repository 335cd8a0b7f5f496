#include "records/AddressText.h"

#include <QRandomGenerator>
#include <QtTest>

class tst_AddressText : public QObject
{
    Q_OBJECT

private slots:
    void writesEachAddressOnce_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::newRow("all zero") << "0.0.0.0" << "0.0.0.0";
        QTest::newRow("all ones") << "255.255.255.255" << "255.255.255.255";
        QTest::newRow("one, two and three digits") << "10.0.4.199" << "10.0.4.199";
        QTest::newRow("loopback") << "127.0.77.1" << "127.0.77.1";
        QTest::newRow("IPv4-mapped, as a dual-stack socket reports a peer") << "::ffff:192.168.100.9" << "192.168.100.9";
        QTest::newRow("IPv6 as Qt writes it") << "fe80::1" << "fe80::1";
        QTest::newRow("no address") << "" << "";
    }

    void writesEachAddressOnce()
    {
        QFETCH(QString, address);
        QFETCH(QString, text);
        QCOMPARE(AddressText::of(QHostAddress(address)), text);
    }

    // The dotted form is written by hand; it must read exactly as Qt's for every IPv4 address.
    void sameAsQtForIPv4()
    {
        QRandomGenerator random(20261211);
        for (int i = 0; i < 200000; ++i) {
            const quint32 v4 = random.generate();
            QCOMPARE(AddressText::of(QHostAddress(v4)), QHostAddress(v4).toString());
        }
    }
};

QTEST_APPLESS_MAIN(tst_AddressText)
#include "tst_addresstext.moc"
