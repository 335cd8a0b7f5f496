#include "records/SeriesCode.h"

#include <QtTest>

class tst_SeriesCode : public QObject
{
    Q_OBJECT

private slots:
    void seriesCodeForName_data();
    void seriesCodeForName();
    void powerSaveRule_data();
    void powerSaveRule();
};

void tst_SeriesCode::seriesCodeForName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");

    QTest::newRow("cedar4") << "SERIES_CEDAR4" << 1;
    QTest::newRow("larch") << "SERIES_LARCH" << 2;
    QTest::newRow("cedar5") << "SERIES_CEDAR5" << 3;
    QTest::newRow("birch") << "SERIES_BIRCH" << 4;
    QTest::newRow("cedar5 uhd") << "SERIES_CEDAR5_UHD" << 5;
    QTest::newRow("cedar5 xn") << "SERIES_CEDAR5_XN" << 6;
    QTest::newRow("maple a is 8") << "SERIES_MAPLE_A" << 8;
    QTest::newRow("maple b is 7") << "SERIES_MAPLE_B" << 7;
    QTest::newRow("rowan l") << "SERIES_ROWAN_L" << 9;
    QTest::newRow("rowan h") << "SERIES_ROWAN_H" << 10;
    QTest::newRow("willow") << "SERIES_WILLOW" << 11;
    QTest::newRow("lower case") << "series_maple_b" << 7;
    QTest::newRow("mixed case") << "Series_Cedar5_Uhd" << 5;
    QTest::newRow("trailing space") << "SERIES_CEDAR5 " << 0;
    QTest::newRow("prefix of a longer name") << "SERIES_CEDAR" << 0;
    QTest::newRow("unknown") << "SERIES_OAK" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_SeriesCode::seriesCodeForName()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(SeriesCode::seriesCodeForName(name), code);
}

void tst_SeriesCode::powerSaveRule_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("powerSaveMode");
    QTest::addColumn<bool>("hasSetting");
    QTest::addColumn<bool>("switchedOff");

    QTest::newRow("cedar4, auto power save") << 1 << 0 << true << true;
    QTest::newRow("larch, auto standby") << 2 << 1 << true << true;
    QTest::newRow("larch, already off") << 2 << 2 << true << false;
    QTest::newRow("cedar4, unknown setting") << 1 << -1 << true << false;
    QTest::newRow("cedar4, not read") << 1 << -2 << true << false;
    QTest::newRow("no series, auto power save") << 0 << 0 << false << false;
    QTest::newRow("cedar5, auto standby") << 3 << 1 << false << false;
    QTest::newRow("willow, auto power save") << 11 << 0 << false << false;
}

void tst_SeriesCode::powerSaveRule()
{
    QFETCH(int, series);
    QFETCH(int, powerSaveMode);
    QFETCH(bool, hasSetting);
    QFETCH(bool, switchedOff);
    QCOMPARE(SeriesCode::hasPowerSaveSetting(series), hasSetting);
    QCOMPARE(SeriesCode::powerSaveMustBeSwitchedOff(series, powerSaveMode), switchedOff);
}

QTEST_GUILESS_MAIN(tst_SeriesCode)
#include "tst_seriescode.moc"
