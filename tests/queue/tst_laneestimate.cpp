#include "queue/LaneEstimate.h"

#include <QTest>

namespace {

// status 1 queued, 2 running; a running row's clock is started elapsedSecs ago (whole seconds).
DisplayEntry row(int durationSecs, int status = 1, bool selected = true, int downloadState = 3)
{
    DisplayEntry e;
    e.selected = selected;
    e.downloadState = downloadState;
    e.updateDurationSecs = durationSecs;
    e.updateStatus = status;
    return e;
}

DisplayEntryList rowsOf(const QList<int> &durations)
{
    DisplayEntryList rows;
    for (int d : durations)
        rows.append(row(d));
    return rows;
}

}

class tst_LaneEstimate : public QObject
{
    Q_OBJECT

private slots:
    void queuedBatch_data();
    void queuedBatch();
    void runningRowsKeepTheirLanes();
    void rowsThatDoNotCount();
    void minutesSeconds_data();
    void minutesSeconds();
};

void tst_LaneEstimate::queuedBatch_data()
{
    QTest::addColumn<QList<int>>("durations");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("expected");
    QTest::newRow("600/300/300, limit 5") << QList<int> { 600, 300, 300 } << 5 << 600;
    QTest::newRow("600/300/300, limit 1") << QList<int> { 600, 300, 300 } << 1 << 1200;
    QTest::newRow("two of 600, limit 1") << QList<int> { 600, 600 } << 1 << 1200;
    QTest::newRow("two of 600, limit 5") << QList<int> { 600, 600 } << 5 << 600;
    // Smallest lane first, the first on a tie: 600 | 300+300 | ... with two lanes.
    QTest::newRow("600/300/300, limit 2") << QList<int> { 600, 300, 300 } << 2 << 600;
    QTest::newRow("300/300/600, limit 2") << QList<int> { 300, 300, 600 } << 2 << 900;
    QTest::newRow("21 rows of 60, limit 20") << QList<int>(21, 60) << 20 << 120;
    QTest::newRow("nothing") << QList<int>() << 5 << 0;
    QTest::newRow("limit 0 counts as one lane") << QList<int> { 10, 10 } << 0 << 20;
}

void tst_LaneEstimate::queuedBatch()
{
    QFETCH(QList<int>, durations);
    QFETCH(int, limit);
    QFETCH(int, expected);
    const DisplayEntryList rows = rowsOf(durations);
    QCOMPARE(LaneEstimate::seconds(rows, limit, LaneEstimate::Mode::Remaining), expected);
    QCOMPARE(LaneEstimate::seconds(rows, limit, LaneEstimate::Mode::WholeBatch), expected);
}

void tst_LaneEstimate::runningRowsKeepTheirLanes()
{
    // Two lanes, two running rows (one started long ago, overrun), one queued row.
    DisplayEntryList rows { row(600, 2), row(100, 2), row(300, 1) };
    rows[0].updateTimer.start();
    rows[1].updateTimer.start();
    // Lane 0: 600, lane 1: 100 + 300 queued.
    QCOMPARE(LaneEstimate::seconds(rows, 2, LaneEstimate::Mode::Remaining), 600);
    // A running row beyond the lanes is not counted: limit 1 keeps only the first.
    QCOMPARE(LaneEstimate::seconds(rows, 1, LaneEstimate::Mode::Remaining), 900);
    // The batch before starting counts everything as queued.
    QCOMPARE(LaneEstimate::seconds(rows, 1, LaneEstimate::Mode::WholeBatch), 1000);

    // An overrun session gives a negative lane; the estimate stays at 0.
    DisplayEntryList overrun { row(1, 2) };
    overrun[0].updateTimer.start();
    QTest::qWait(1100);
    QCOMPARE(LaneEstimate::seconds(overrun, 1, LaneEstimate::Mode::Remaining), 0);
}

void tst_LaneEstimate::rowsThatDoNotCount()
{
    const DisplayEntryList rows {
        row(600, 1, false),    // not checked
        row(600, 1, true, 2),  // still downloading
        row(0, 1),             // no duration in the catalogue
        row(600, 0),           // neither queued nor running
        row(60, 1),
    };
    QCOMPARE(LaneEstimate::seconds(rows, 5, LaneEstimate::Mode::Remaining), 60);
    // The batch ignores the update state but not the check, the download or the duration.
    QCOMPARE(LaneEstimate::seconds(rows, 1, LaneEstimate::Mode::WholeBatch), 660);
}

void tst_LaneEstimate::minutesSeconds_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "00:00";
    QTest::newRow("9") << 9 << "00:09";
    QTest::newRow("600") << 600 << "10:00";
    QTest::newRow("1200") << 1200 << "20:00";
    QTest::newRow("99:59") << 5999 << "99:59";
    QTest::newRow("100 minutes") << 6000 << "100:00";
    QTest::newRow("negative") << -5 << "00:00";
}

void tst_LaneEstimate::minutesSeconds()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(LaneEstimate::minutesSeconds(seconds), text);
}

QTEST_GUILESS_MAIN(tst_LaneEstimate)
#include "tst_laneestimate.moc"
