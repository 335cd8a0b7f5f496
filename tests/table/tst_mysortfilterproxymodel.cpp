#include "table/MySortFilterProxyModel.h"
#include "table/displayListModel.h"

#include <QtTest>

class tst_MySortFilterProxyModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sortsColumn_data();
    void sortsColumn();
    void followsSourceChanges();
    void resortsChangedRowsByItself();
};

namespace {

DisplayEntry entry(const QString &address, const QString &modelName)
{
    DisplayEntry e;
    e.address = QHostAddress(address);
    e.modelName = modelName;
    return e;
}

QStringList columnInViewOrder(const QAbstractItemModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

}

void tst_MySortFilterProxyModel::initTestCase()
{
    // The name order must not depend on the machine's language settings.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_MySortFilterProxyModel::sortsColumn_data()
{
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("expected");

    const QStringList addresses { "10.0.0.2", "9.255.255.255", "192.168.0.1", "10.0.0.10", "1.2.3.4" };
    const QStringList names(addresses.size(), QStringLiteral("QX-551"));
    QTest::newRow("addresses by number") << addresses << names << 4 << int(Qt::AscendingOrder)
                                         << QStringList { "1.2.3.4", "9.255.255.255", "10.0.0.2", "10.0.0.10", "192.168.0.1" };
    QTest::newRow("addresses by number, descending")
        << addresses << names << 4 << int(Qt::DescendingOrder)
        << QStringList { "192.168.0.1", "10.0.0.10", "10.0.0.2", "9.255.255.255", "1.2.3.4" };
    QTest::newRow("mapped IPv4 shown as IPv4") << QStringList { "::ffff:10.0.0.2", "9.0.0.1" } << QStringList { "A", "B" }
                                               << 4 << int(Qt::AscendingOrder) << QStringList { "9.0.0.1", "10.0.0.2" };
    QTest::newRow("IPv6 texts by locale") << QStringList { "fe80::2", "fe80::10" } << QStringList { "A", "B" } << 4
                                          << int(Qt::AscendingOrder) << QStringList { "fe80::10", "fe80::2" };

    const QStringList fourAddresses { "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4" };
    QTest::newRow("names by locale, not by code point")
        << fourAddresses << QStringList { "cherry", "Banana", "apple", "Äpfel" } << 1 << int(Qt::AscendingOrder)
        << QStringList { "Äpfel", "apple", "Banana", "cherry" };
    // Any column compares addresses by number, but an octet above 255 makes the text a name.
    QTest::newRow("address as a name") << fourAddresses.mid(0, 2) << QStringList { "10.0.0.1", "9.0.0.1" } << 1
                                       << int(Qt::AscendingOrder) << QStringList { "9.0.0.1", "10.0.0.1" };
    QTest::newRow("octet above 255") << fourAddresses.mid(0, 2) << QStringList { "30.1.1.1", "256.1.1.1" } << 1
                                     << int(Qt::AscendingOrder) << QStringList { "256.1.1.1", "30.1.1.1" };
    // A name that merely contains an address is still a name.
    QTest::newRow("address inside a name") << fourAddresses.mid(0, 2) << QStringList { "QX 9.0.0.1", "QX 10.0.0.1" } << 1
                                           << int(Qt::AscendingOrder) << QStringList { "QX 10.0.0.1", "QX 9.0.0.1" };
}

void tst_MySortFilterProxyModel::sortsColumn()
{
    QFETCH(QStringList, addresses);
    QFETCH(QStringList, names);
    QFETCH(int, column);
    QFETCH(int, order);
    QFETCH(QStringList, expected);

    DisplayEntryList entries;
    for (int i = 0; i < addresses.size(); ++i)
        entries << entry(addresses.at(i), names.at(i));
    displayListModel model;
    model.setEntries(&entries);
    MySortFilterProxyModel proxy;
    proxy.setSourceModel(&model);

    proxy.sort(column, Qt::SortOrder(order));
    QCOMPARE(columnInViewOrder(proxy, column), expected);
}

void tst_MySortFilterProxyModel::followsSourceChanges()
{
    DisplayEntryList entries { entry("10.0.0.2", "A"), entry("9.0.0.1", "B") };
    displayListModel model;
    model.setEntries(&entries);
    MySortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.sort(displayListModel::AddressColumn);

    entries << entry("2.0.0.1", "C");
    model.addRow(int(entries.size()));
    QCOMPARE(columnInViewOrder(proxy, displayListModel::AddressColumn),
             (QStringList { "2.0.0.1", "9.0.0.1", "10.0.0.2" }));

    entries[2].address = QHostAddress(QStringLiteral("11.0.0.1"));
    model.rowChanged(2);
    proxy.sort(displayListModel::AddressColumn);
    QCOMPARE(columnInViewOrder(proxy, displayListModel::AddressColumn),
             (QStringList { "9.0.0.1", "10.0.0.2", "11.0.0.1" }));
}

// The model announces a changed row for the display role only; that must be enough for the proxy
// to move the row, without anyone sorting again.
void tst_MySortFilterProxyModel::resortsChangedRowsByItself()
{
    DisplayEntryList entries { entry("10.0.0.1", "B"), entry("10.0.0.2", "C") };
    displayListModel model;
    model.setEntries(&entries);
    MySortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    proxy.sort(displayListModel::ModelNameColumn);
    QCOMPARE(columnInViewOrder(proxy, displayListModel::ModelNameColumn), (QStringList { "B", "C" }));

    entries[1].modelName = QStringLiteral("A");
    model.rowChanged(1);
    QCOMPARE(columnInViewOrder(proxy, displayListModel::ModelNameColumn), (QStringList { "A", "B" }));
}

QTEST_MAIN(tst_MySortFilterProxyModel)
#include "tst_mysortfilterproxymodel.moc"
