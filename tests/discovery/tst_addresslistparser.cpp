#include "discovery/AddressListParser.h"

#include <QtTest>

namespace {

QStringList texts(const QList<QHostAddress> &addresses)
{
    QStringList out;
    for (const QHostAddress &a : addresses)
        out << a.toString();
    return out;
}

// n distinct addresses 10.200.x.y, as a comma-separated text.
QString manyAddresses(int n)
{
    QStringList items;
    for (int i = 0; i < n; ++i)
        items << QStringLiteral("10.200.%1.%2").arg(i / 250).arg(i % 250 + 1);
    return items.join(QLatin1Char(','));
}

} // namespace

class tst_AddressListParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void wildcardGivesWholeSubnet();
    void limitCountsWholeRangeEvenWhenListed();
    void outputListIsEmptiedFirst();
};

void tst_AddressListParser::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("addresses");

    const int L = AddressListParser::DefaultLimit;
    QTest::newRow("single") << "10.0.0.1" << L << 0 << 1 << QStringList{"10.0.0.1"};
    QTest::newRow("leading zeros vanish") << "010.000.001.002" << L << 0 << 1 << QStringList{"10.0.1.2"};
    QTest::newRow("group above 255") << "10.0.0.256" << L << 1 << 1 << QStringList{};
    QTest::newRow("host name") << "display-1" << L << 1 << 1 << QStringList{};
    QTest::newRow("three groups") << "10.1.1" << L << 1 << 1 << QStringList{};
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("١٠.0.0.1") << L << 1 << 1 << QStringList{};
    QTest::newRow("range") << "10.0.0.254 - 10.0.1.1" << L << 0 << 1
                           << QStringList{"10.0.0.254", "10.0.0.255", "10.0.1.0", "10.0.1.1"};
    QTest::newRow("short range") << "10.0.0.5 - 7" << L << 0 << 1 << QStringList{"10.0.0.5", "10.0.0.6", "10.0.0.7"};
    QTest::newRow("range end equals start") << "10.0.0.5 - 10.0.0.5" << L << 1 << 1 << QStringList{};
    QTest::newRow("range end before start") << "10.0.0.5 - 3" << L << 1 << 1 << QStringList{};
    QTest::newRow("short end above 255") << "10.0.0.5 - 300" << L << 1 << 1 << QStringList{};
    QTest::newRow("two dashes") << "10.0.0.1 - 10.0.0.2 - 10.0.0.3" << L << 1 << 1 << QStringList{};
    QTest::newRow("dash without end") << "10.0.0.1 -" << L << 1 << 1 << QStringList{};
    QTest::newRow("comment then address") << "# office, 10.1.1.1" << L << 0 << 2 << QStringList{"10.1.1.1"};
    QTest::newRow("error counts comments") << "# note, 10.1.1.1, 1.2.3" << L << 1 << 3 << QStringList{"10.1.1.1"};
    QTest::newRow("semicolon comment") << ";10.9.9.9\n10.1.1.2" << L << 0 << 2 << QStringList{"10.1.1.2"};
    QTest::newRow("tabs, lines, blanks") << " 10.0.0.2 \t\t10.0.0.1\n\n , 10.0.0.2" << L << 0 << 4
                                         << QStringList{"10.0.0.2", "10.0.0.1"};
    QTest::newRow("duplicates across items") << "10.0.0.3, 10.0.0.1 - 4" << L << 0 << 2
                                             << QStringList{"10.0.0.3", "10.0.0.1", "10.0.0.2", "10.0.0.4"};
    QTest::newRow("empty text") << "" << L << 3 << 0 << QStringList{};
    QTest::newRow("only comments") << "# a\n; b" << L << 3 << 2 << QStringList{};
    QTest::newRow("bad wildcard") << "10.0.*.*" << L << 1 << 1 << QStringList{};
    QTest::newRow("single over limit") << "10.0.0.1,10.0.0.2,10.0.0.3" << 2 << 2 << 3 << QStringList{"10.0.0.1", "10.0.0.2"};
    QTest::newRow("repeat at limit is fine") << "10.0.0.1,10.0.0.2,10.0.0.1" << 2 << 0 << 3 << QStringList{"10.0.0.1", "10.0.0.2"};
    QTest::newRow("range over limit") << "10.0.0.1 - 10.0.0.3" << 2 << 2 << 1 << QStringList{};
    QTest::newRow("whole IPv4 space") << "0.0.0.0 - 255.255.255.255" << L << 2 << 1 << QStringList{};
    // CIDR blocks: host addresses only, like the wildcard; any member's address names the block.
    QTest::newRow("block /30") << "192.0.2.0/30" << L << 0 << 1 << QStringList{"192.0.2.1", "192.0.2.2"};
    QTest::newRow("block from a member") << "192.0.2.6 / 30" << L << 0 << 1 << QStringList{"192.0.2.5", "192.0.2.6"};
    QTest::newRow("block /31 has no broadcast") << "192.0.2.8/31" << L << 0 << 1 << QStringList{"192.0.2.8", "192.0.2.9"};
    QTest::newRow("block /32") << "192.0.2.9/32" << L << 0 << 1 << QStringList{"192.0.2.9"};
    QTest::newRow("block and its duplicate") << "10.0.1.3/30, 10.0.1.2" << L << 0 << 2 << QStringList{"10.0.1.1", "10.0.1.2"};
    QTest::newRow("block prefix 33") << "192.0.2.0/33" << L << 1 << 1 << QStringList{};
    QTest::newRow("block without prefix") << "192.0.2.0/" << L << 1 << 1 << QStringList{};
    QTest::newRow("block with mask") << "192.0.2.0/255.255.255.0" << L << 1 << 1 << QStringList{};
    QTest::newRow("block in a range") << "192.0.2.0/30 - 5" << L << 1 << 1 << QStringList{};
    QTest::newRow("two slashes") << "192.0.2.0/30/2" << L << 1 << 1 << QStringList{};
    QTest::newRow("block /19 over limit") << "10.0.0.0/19" << L << 2 << 1 << QStringList{};
    QTest::newRow("block /0") << "0.0.0.0/0" << L << 2 << 1 << QStringList{};
    QTest::newRow("block after comment, over small limit") << "# lab, 10.0.0.0/29" << 5 << 2 << 2 << QStringList{};
}

void tst_AddressListParser::parse()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(int, result);
    QFETCH(int, item);
    QFETCH(QStringList, addresses);

    QList<QHostAddress> list;
    int itemNumber = -1;
    QCOMPARE(AddressListParser::parse(text, list, itemNumber, limit), result);
    QCOMPARE(itemNumber, item);
    QCOMPARE(texts(list), addresses);
}

void tst_AddressListParser::wildcardGivesWholeSubnet()
{
    QList<QHostAddress> list;
    int item = 0;
    QCOMPARE(AddressListParser::parse(QStringLiteral("192.168.1.*"), list, item, 4096), 0);
    QCOMPARE(list.size(), 254);
    QCOMPARE(list.first().toString(), QStringLiteral("192.168.1.1"));
    QCOMPARE(list.last().toString(), QStringLiteral("192.168.1.254"));

    // Seventeen subnets are 4318 addresses: the seventeenth item breaks the limit.
    QStringList items;
    for (int i = 0; i < 17; ++i)
        items << QStringLiteral("10.%1.0.*").arg(i);
    QCOMPARE(AddressListParser::parse(items.join(QLatin1Char('\n')), list, item, 4096), 2);
    QCOMPARE(item, 17);
    QCOMPARE(list.size(), 16 * 254);
}

void tst_AddressListParser::limitCountsWholeRangeEvenWhenListed()
{
    // 4000 addresses already include 10.200.0.1 .. 10.200.0.250; the wildcard of that /24 adds only
    // four new ones, yet its full count of 254 is what is checked against the limit.
    const QString text = manyAddresses(4000) + QStringLiteral(", 10.200.0.*");
    QList<QHostAddress> list;
    int item = 0;
    QCOMPARE(AddressListParser::parse(text, list, item, 4096), 2);
    QCOMPARE(item, 4001);
    QCOMPARE(list.size(), 4000);

    QCOMPARE(AddressListParser::parse(manyAddresses(4096), list, item, 4096), 0);
    QCOMPARE(list.size(), 4096);
}

void tst_AddressListParser::outputListIsEmptiedFirst()
{
    QList<QHostAddress> list{QHostAddress("1.1.1.1")};
    int item = 0;
    QCOMPARE(AddressListParser::parse(QStringLiteral("# nothing"), list, item, 4096), 3);
    QVERIFY(list.isEmpty());
}

QTEST_APPLESS_MAIN(tst_AddressListParser)
#include "tst_addresslistparser.moc"
