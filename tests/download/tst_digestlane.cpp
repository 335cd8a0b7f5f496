#include "common/TestFiles.h"
#include "download/DigestLane.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

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
    // Three times what the lane holds, handed over at once as views of memory the arrays do not
    // own, each with a holder (as the downloader hands over its blocks): this takes no time,
    // while hashing it takes the lane tens of milliseconds.
    constexpr qsizetype PieceSize = 1024 * 1024;
    const QByteArray data = randomBytes(3 * DigestLane::DefaultHighMark, 11);
    DigestLane lane(QCryptographicHash::Md5);
    QSignalSpy drained(&lane, &DigestLane::drained);
    QList<std::weak_ptr<const void>> holders;
    int releasedWhenDrained = -1;
    auto released = [&holders] {
        return int(std::count_if(holders.cbegin(), holders.cend(), [](const auto &h) { return h.expired(); }));
    };
    connect(&lane, &DigestLane::drained, &lane, [&] { releasedWhenDrained = released(); }, Qt::DirectConnection);
    lane.begin();
    for (qsizetype offset = 0; offset < data.size(); offset += PieceSize) {
        auto holder = std::make_shared<int>(0);
        holders << holder;
        lane.add(QByteArray::fromRawData(data.constData() + offset, PieceSize), std::move(holder));
    }
    QVERIFY(lane.full());
    QVERIFY(drained.wait(10000));
    QVERIFY(!lane.full());
    QCOMPARE(lane.finish(), QCryptographicHash::hash(data, QCryptographicHash::Md5));
    QCOMPARE(drained.count(), 1);
    // Room is announced only once the hashed pieces' holders have let go: the owner reuses
    // their memory as soon as it hears of room.
    const int piecesHashedByThen = int((data.size() - DigestLane::DefaultHighMark / 2) / PieceSize);
    QVERIFY2(releasedWhenDrained >= piecesHashedByThen, qPrintable(QString::number(releasedWhenDrained)));
    QCOMPARE(released(), holders.size());
}

void tst_DigestLane::abandonDropsWhatIsQueued()
{
    const QByteArray data = randomBytes(4 * DigestLane::DefaultHighMark, 13);
    DigestLane lane(QCryptographicHash::Md5);
    auto holder = std::make_shared<int>(0);
    const std::weak_ptr<int> watch = holder;
    lane.begin();
    for (const QByteArray &piece : slices(data, 1024 * 1024))
        lane.add(piece, holder);
    holder.reset();
    lane.abandon();
    QVERIFY(!lane.full());
    QVERIFY(watch.expired()); // nothing queued keeps the owner's memory

    lane.begin();
    lane.add("second");
    QCOMPARE(lane.finish(), QCryptographicHash::hash("second", QCryptographicHash::Md5));
}

QTEST_GUILESS_MAIN(tst_DigestLane)
#include "tst_digestlane.moc"
