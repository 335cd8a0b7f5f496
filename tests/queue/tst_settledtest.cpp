#include "queue/SettledTest.h"

#include <QTest>

using Statuses = SettledTest::ComponentStatuses;
Q_DECLARE_METATYPE(Statuses)

class tst_SettledTest : public QObject
{
    Q_OBJECT

private slots:
    void hasSettled_data();
    void hasSettled();
};

void tst_SettledTest::hasSettled_data()
{
    QTest::addColumn<int>("sessionStatus");
    QTest::addColumn<Statuses>("components");
    QTest::addColumn<int>("series");
    QTest::addColumn<bool>("settled");

    QTest::newRow("running") << 2 << Statuses { 3, 2, 0, 0, 0, 0 } << 3 << false;
    QTest::newRow("running, component done") << 2 << Statuses { 3, 0, 0, 0, 0, 0 } << 3 << false;
    QTest::newRow("complete") << 3 << Statuses { 3, 3, 0, 0, 0, 0 } << 3 << true;
    QTest::newRow("timeout") << -3 << Statuses { -3, 0, 0, 0, 0, 0 } << 9 << true;
    QTest::newRow("update failed") << 4 << Statuses { 4, 0, 0, 0, 0, 0 } << 11 << true;
    QTest::newRow("retrying upload") << 3 << Statuses { -5, 0, 0, 0, 0, 0 } << 3 << false;
    // A failed retry ends a single-file series, or any session that reports the failure.
    QTest::newRow("-4, series 1") << 3 << Statuses { -4, 0, 0, 0, 0, 0 } << 1 << true;
    QTest::newRow("-4, series 2") << -1 << Statuses { -4, 0, 0, 0, 0, 0 } << 2 << true;
    QTest::newRow("-4, session failed") << 4 << Statuses { -4, 2, 0, 0, 0, 0 } << 5 << true;
    // Another component is still being followed.
    QTest::newRow("-4, series 5, followed") << 3 << Statuses { -4, 2, 0, 0, 0, 0 } << 5 << false;
    // Ended with a result though no component ever moved: it must free its lane.
    QTest::newRow("no component, failed") << -1 << Statuses {} << 3 << true;
    QTest::newRow("no component, complete") << 3 << Statuses {} << 3 << true;
    // Just started, not yet saying "running": not a result.
    QTest::newRow("just started, idle") << 0 << Statuses {} << 3 << false;
    QTest::newRow("just started, queued") << 1 << Statuses {} << 3 << false;
    QTest::newRow("retry under way, nothing moved") << -5 << Statuses {} << 3 << false;
}

void tst_SettledTest::hasSettled()
{
    QFETCH(int, sessionStatus);
    QFETCH(Statuses, components);
    QFETCH(int, series);
    QFETCH(bool, settled);
    QCOMPARE(SettledTest::hasSettled(sessionStatus, components, series), settled);
}

QTEST_GUILESS_MAIN(tst_SettledTest)
#include "tst_settledtest.moc"
