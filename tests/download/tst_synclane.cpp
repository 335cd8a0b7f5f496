#include "download/SyncLane.h"

#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

// A pipe cannot be synced: a sync of it fails as one of a device that reports an error would.
class tst_SyncLane : public QObject
{
    Q_OBJECT

private slots:
    void finishReportsWhatTheSyncsFound_data();
    void finishReportsWhatTheSyncsFound();
    void nextFileStartsClean();
    void abandonWhileSyncing();
};

void tst_SyncLane::finishReportsWhatTheSyncsFound_data()
{
    QTest::addColumn<bool>("pipe");
    QTest::addColumn<int>("requests");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("nothing asked of a pipe") << true << 0 << true;
    QTest::newRow("one sync of a pipe, asked just before the end") << true << 1 << false;
    QTest::newRow("many syncs of a pipe, folded") << true << 200 << false;
    QTest::newRow("many syncs of a real file") << false << 50 << true;
}

void tst_SyncLane::finishReportsWhatTheSyncsFound()
{
    QFETCH(bool, pipe);
    QFETCH(int, requests);
    QFETCH(bool, confirmed);

    int ends[2] = {-1, -1};
    QTemporaryFile file;
    int handle = -1;
    if (pipe) {
        QCOMPARE(::pipe(ends), 0);
        handle = ends[1];
    } else {
        QVERIFY(file.open());
        handle = file.handle();
    }
    SyncLane lane;
    lane.begin(handle);
    for (int i = 0; i < requests; ++i) {
        if (!pipe)
            QCOMPARE(file.write(QByteArray(64 * 1024, char(i))), 64 * 1024);
        lane.request();
    }
    // A sync asked for must have run by the time finish() answers: the last request is never lost.
    QCOMPARE(lane.finish(), confirmed);
    if (pipe) {
        ::close(ends[0]);
        ::close(ends[1]);
    }
}

void tst_SyncLane::nextFileStartsClean()
{
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    SyncLane lane;
    lane.begin(ends[1]);
    lane.request();
    QVERIFY(!lane.finish());

    QTemporaryFile file;
    QVERIFY(file.open());
    lane.begin(file.handle());
    lane.request();
    QVERIFY(lane.finish());
    ::close(ends[0]);
    ::close(ends[1]);
}

void tst_SyncLane::abandonWhileSyncing()
{
    // Abandoned with syncs running or asked for, the lane ends before the descriptor closes, and
    // takes a new file afterwards.
    QTemporaryFile file;
    QVERIFY(file.open());
    SyncLane lane;
    for (int round = 0; round < 20; ++round) {
        lane.begin(file.handle());
        QCOMPARE(file.write(QByteArray(256 * 1024, 'x')), 256 * 1024);
        lane.request();
        lane.request();
        lane.abandon();
    }
    lane.begin(file.handle());
    lane.request();
    QVERIFY(lane.finish());
}

QTEST_GUILESS_MAIN(tst_SyncLane)
#include "tst_synclane.moc"
