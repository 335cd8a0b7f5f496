#include "common/TestFiles.h"
#include "download/DigestLane.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

namespace {

using TestFiles::randomBytes;

// The pieces a download hands over: shared slices of one buffer, as replies deliver them.
QList<QByteArray> slices(const QByteArray &data, qsizetype size)
{
    QList<QByteArray> pieces;
    for (qsizetype offset = 0; offset < data.size(); offset += size)
        pieces << data.mid(offset, size);
    return pieces;
}

} // namespace

class tst_DigestLane : public QObject
{
    Q_OBJECT

private slots:
    void digestOfEverythingHandedOver_data();
    void digestOfEverythingHandedOver();
    void fullUntilHalfIsHashed();
    void unconfirmedFlushIsReported();
    void abandonDropsWhatIsQueued();
};

void tst_DigestLane::digestOfEverythingHandedOver_data()
{
    QTest::addColumn<qsizetype>("total");
    QTest::addColumn<qsizetype>("slice");
    QTest::addColumn<int>("flushEvery");     // slices between flushes of the file; 0: none
    QTest::addColumn<bool>("withFile");

    QTest::newRow("nothing at all") << qsizetype(0) << qsizetype(1) << 0 << false;
    QTest::newRow("one byte") << qsizetype(1) << qsizetype(1) << 0 << false;
    QTest::newRow("uneven slices, no file") << qsizetype(1000003) << qsizetype(65537) << 0 << false;
    QTest::newRow("flushes between slices of a real file") << qsizetype(5000000) << qsizetype(100000) << 7 << true;
    QTest::newRow("a flush after every slice") << qsizetype(300000) << qsizetype(4096) << 1 << true;
}

void tst_DigestLane::digestOfEverythingHandedOver()
{
    QFETCH(qsizetype, total);
    QFETCH(qsizetype, slice);
    QFETCH(int, flushEvery);
    QFETCH(bool, withFile);

    const QByteArray data = randomBytes(total, 7);
    QTemporaryFile file;
    QVERIFY(file.open());
    DigestLane lane(QCryptographicHash::Md5);
    lane.begin(withFile ? file.handle() : -1);
    int count = 0;
    for (const QByteArray &piece : slices(data, slice)) {
        if (withFile)
            QCOMPARE(file.write(piece), piece.size());
        lane.add(piece);
        if (flushEvery > 0 && ++count % flushEvery == 0)
            lane.flush();
    }
    QCOMPARE(lane.finish(), QCryptographicHash::hash(data, QCryptographicHash::Md5));
    QVERIFY(!lane.flushFailed());
}

void tst_DigestLane::fullUntilHalfIsHashed()
{
    // Three times what the lane holds, handed over at once: slices share the buffer, so this
    // takes no time, while hashing it takes the lane tens of milliseconds.
    const QByteArray data = randomBytes(3 * DigestLane::DefaultHighMark, 11);
    DigestLane lane(QCryptographicHash::Md5);
    QSignalSpy drained(&lane, &DigestLane::drained);
    lane.begin(-1);
    for (const QByteArray &piece : slices(data, 1024 * 1024))
        lane.add(piece);
    QVERIFY(lane.full());
    QVERIFY(drained.wait(10000));
    QVERIFY(!lane.full());
    QCOMPARE(lane.finish(), QCryptographicHash::hash(data, QCryptographicHash::Md5));
    QCOMPARE(drained.count(), 1);
}

void tst_DigestLane::unconfirmedFlushIsReported()
{
    // A pipe cannot be synced: the lane's flush fails as it would on a device that reports an error.
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    DigestLane lane(QCryptographicHash::Md5);
    lane.begin(ends[1]);
    lane.add("package");
    lane.flush();
    QCOMPARE(lane.finish(), QCryptographicHash::hash("package", QCryptographicHash::Md5));
    QVERIFY(lane.flushFailed());

    // The next digest starts clean.
    lane.begin(-1);
    lane.flush();
    lane.finish();
    QVERIFY(!lane.flushFailed());
    ::close(ends[0]);
    ::close(ends[1]);
}

void tst_DigestLane::abandonDropsWhatIsQueued()
{
    const QByteArray data = randomBytes(4 * DigestLane::DefaultHighMark, 13);
    DigestLane lane(QCryptographicHash::Md5);
    lane.begin(-1);
    for (const QByteArray &piece : slices(data, 1024 * 1024))
        lane.add(piece);
    lane.abandon();
    QVERIFY(!lane.full());

    lane.begin(-1);
    lane.add("second");
    QCOMPARE(lane.finish(), QCryptographicHash::hash("second", QCryptographicHash::Md5));
}

QTEST_GUILESS_MAIN(tst_DigestLane)
#include "tst_digestlane.moc"
