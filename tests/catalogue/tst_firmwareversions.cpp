#include "catalogue/FirmwareVersions.h"

#include <QtTest>

class tst_FirmwareVersions : public QObject
{
    Q_OBJECT

private slots:
    void compareVersions_data();
    void compareVersions();
    void compareWithoutErrorOut();
    void changeListsSince_data();
    void changeListsSince();
};

void tst_FirmwareVersions::compareVersions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("error");

    QTest::newRow("prefix and leading zero") << "R1.02" << "1.2" << 0 << 0;
    QTest::newRow("second part numerically newer") << "1.10" << "1.9" << 1 << 0;
    QTest::newRow("second part numerically older") << "1.9" << "1.10" << -1 << 0;
    QTest::newRow("first part decides") << "2.0" << "1.99" << 1 << 0;
    QTest::newRow("letters dropped inside") << "V2.10a" << "2.10" << 0 << 0;
    QTest::newRow("dash joins digits") << "1-2" << "12" << 0 << 0;
    QTest::newRow("spaces dropped") << " 1 . 2 " << "1.2" << 0 << 0;
    QTest::newRow("three parts") << "0.0.1" << "0.0.0" << 1 << 0;
    QTest::newRow("largest 32-bit part") << "2147483647" << "2147483646" << 1 << 0;
    QTest::newRow("different number of parts") << "1.2.3" << "1.2" << 0 << -1;
    QTest::newRow("empty against one part") << "" << "1" << 0 << -2;
    QTest::newRow("empty against two parts") << "" << "2.0" << 0 << -1;
    QTest::newRow("both empty") << "" << "" << 0 << -2;
    QTest::newRow("letters only") << "abc" << "7" << 0 << -2;
    QTest::newRow("empty middle part") << "1..2" << "1.0.2" << 0 << -2;
    QTest::newRow("empty part in b") << "1.0.2" << "1..2" << 0 << -2;
    QTest::newRow("empty last part after equal first") << "1.x" << "1.2" << 0 << -2;
    QTest::newRow("earlier part decides before an empty one") << "2." << "1.5" << 1 << 0;
    QTest::newRow("part beyond 32 bits") << "2147483648" << "1" << 0 << -2;
    QTest::newRow("non-ASCII digits are not digits") << "١.٢" << "1.2" << 0 << -2;
    QTest::newRow("full-width digits are not digits") << "１.2" << "1.2" << 0 << -2;
}

void tst_FirmwareVersions::compareVersions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, result);
    QFETCH(int, error);

    int gotError = 99;
    QCOMPARE(FirmwareVersions::compareVersions(a, b, &gotError), result);
    QCOMPARE(gotError, error);
    if (error == 0) {
        QCOMPARE(FirmwareVersions::compareVersions(b, a, &gotError), -result);
        QCOMPARE(gotError, 0);
    }
}

void tst_FirmwareVersions::compareWithoutErrorOut()
{
    QCOMPARE(FirmwareVersions::compareVersions(QStringLiteral("1.2"), QStringLiteral("1.10")), -1);
    QCOMPARE(FirmwareVersions::compareVersions(QStringLiteral("1"), QStringLiteral("1.1")), 0);
}

void tst_FirmwareVersions::changeListsSince_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<int>("error");

    // Earlier entries, in this file order: 2.00, "x", 1.9, 1.5.1.
    QTest::newRow("older than all: latest first, then file order; last comparison fails")
        << "2.10" << "1.5" << QStringList { "Llatest", "L200", "L190" } << -1;
    QTest::newRow("between entries") << "2.10" << "1.95" << QStringList { "Llatest", "L200" } << -1;
    QTest::newRow("same as latest") << "2.10" << "2.10" << QStringList {} << -1;
    QTest::newRow("newer than latest") << "2.10" << "R3.00" << QStringList {} << -1;
    QTest::newRow("three parts: only three-part entries compare")
        << "2.1.0" << "1.5.0" << QStringList { "Llatest", "L151" } << 0;
    QTest::newRow("latest does not compare: nothing else is looked at")
        << "7" << "" << QStringList {} << -2;
    QTest::newRow("no latest version") << "" << "1" << QStringList {} << -2;
}

void tst_FirmwareVersions::changeListsSince()
{
    QFETCH(QString, latest);
    QFETCH(QString, installed);
    QFETCH(QStringList, lists);
    QFETCH(int, error);

    FirmwareRelease release;
    release.changes = { QStringLiteral("r9"), latest, QStringLiteral("Llatest") };
    release.previousVersionChangeList = {
        { QString(), QStringLiteral("2.00"), QStringLiteral("L200") },
        { QString(), QStringLiteral("x"), QStringLiteral("Lx") },
        { QString(), QStringLiteral("1.9"), QStringLiteral("L190") },
        { QString(), QStringLiteral("1.5.1"), QStringLiteral("L151") },
    };

    int gotError = 99;
    QCOMPARE(FirmwareVersions::changeListsSince(release, installed, &gotError), lists);
    QCOMPARE(gotError, error);
}

QTEST_GUILESS_MAIN(tst_FirmwareVersions)
#include "tst_firmwareversions.moc"
