#include "common/TestFiles.h"
#include "download/DigestLane.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTest>

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
    void abandonDropsWhatIsQueued();
};

void tst_DigestLane::digestOfEverythingHandedOver_data()
{
    QTest::addColumn<qsizetype>("total");
    QTest::addColumn<qsizetype>("slice");

    QTest::newRow("nothing at all") << qsizetype(0) << qsizetype(1);
    QTest::newRow("one byte") << qsizetype(1) << qsizetype(1);
    QTest::newRow("uneven slices") << qsizetype(1000003) << qsizetype(65537);
    QTest::newRow("many small slices") << qsizetype(300000) << qsizetype(4096);
}

void tst_DigestLane::digestOfEverythingHandedOver()
{
    QFETCH(qsizetype, total);
    QFETCH(qsizetype, slice);

    const QByteArray data = randomBytes(total, 7);
    DigestLane lane(QCryptographicHash::Md5);
    lane.begin();
    for (const QByteArray &piece : slices(data, slice))
        lane.add(piece);
    QCOMPARE(lane.finish(), QCryptographicHash::hash(data, QCryptographicHash::Md5));
}

void tst_DigestLane::fullUntilHalfIsHashed()
{
    // Three times what the lane holds, handed over at once: slices share the buffer, so this
    // takes no time, while hashing it takes the lane tens of milliseconds.
    const QByteArray data = randomBytes(3 * DigestLane::DefaultHighMark, 11);
    DigestLane lane(QCryptographicHash::Md5);
    QSignalSpy drained(&lane, &DigestLane::drained);
    lane.begin();
    for (const QByteArray &piece : slices(data, 1024 * 1024))
        lane.add(piece);
    QVERIFY(lane.full());
    QVERIFY(drained.wait(10000));
    QVERIFY(!lane.full());
    QCOMPARE(lane.finish(), QCryptographicHash::hash(data, QCryptographicHash::Md5));
    QCOMPARE(drained.count(), 1);
}

void tst_DigestLane::abandonDropsWhatIsQueued()
{
    const QByteArray data = randomBytes(4 * DigestLane::DefaultHighMark, 13);
    DigestLane lane(QCryptographicHash::Md5);
    lane.begin();
    for (const QByteArray &piece : slices(data, 1024 * 1024))
        lane.add(piece);
    lane.abandon();
    QVERIFY(!lane.full());

    lane.begin();
    lane.add("second");
    QCOMPARE(lane.finish(), QCryptographicHash::hash("second", QCryptographicHash::Md5));
}

QTEST_GUILESS_MAIN(tst_DigestLane)
#include "tst_digestlane.moc"
