#include "download/BlockPool.h"

#include <QSet>
#include <QTest>

#include <thread>

class tst_BlockPool : public QObject
{
    Q_OBJECT

private slots:
    void blockComesBackOnlyWhenNobodyElseHoldsIt();
    void takenBlockIsWrittenInPlace();
    void releasedByAnotherThread();
};

void tst_BlockPool::blockComesBackOnlyWhenNobodyElseHoldsIt()
{
    BlockPool pool(1024);
    QByteArray first = pool.take();
    QVERIFY(first.isEmpty());
    QVERIFY(first.capacity() >= 1024);
    first.append(QByteArray(1000, 'a'));
    const char *firstMemory = first.constData();

    QByteArray lane = first; // the hashing lane still holds the bytes
    pool.handBack(std::move(first));
    QByteArray second = pool.take();
    QVERIFY(second.constData() != firstMemory);
    QCOMPARE(lane, QByteArray(1000, 'a'));

    lane = QByteArray(); // the lane is done with them
    QByteArray third = pool.take();
    QCOMPARE(third.constData(), firstMemory);
    QVERIFY(third.isEmpty());
    QCOMPARE(pool.blocksHeld(), 0);

    // A block that has grown too small for a batch is not kept.
    pool.handBack(QByteArray("tiny"));
    QCOMPARE(pool.blocksHeld(), 0);
}

void tst_BlockPool::takenBlockIsWrittenInPlace()
{
    // Filling a block up to the block size must neither move it nor touch another holder's bytes.
    BlockPool pool(64 * 1024);
    QByteArray block = pool.take();
    block.append(QByteArray(64 * 1024, 'x'));
    QByteArray held = block;
    pool.handBack(std::move(block));
    held = QByteArray();

    QByteArray again = pool.take();
    const char *memory = again.constData();
    again.resize(64 * 1024);
    QCOMPARE(again.constData(), memory);
    std::fill(again.begin(), again.end(), 'y');
    QCOMPARE(again, QByteArray(64 * 1024, 'y'));
}

void tst_BlockPool::releasedByAnotherThread()
{
    // The lane lets go on its own thread while the owner keeps taking blocks.
    BlockPool pool(4096);
    QList<QByteArray> handedToLane;
    for (int i = 0; i < 200; ++i) {
        QByteArray block = pool.take();
        block.append(QByteArray(4096, char(i)));
        handedToLane << block;
        pool.handBack(std::move(block));
    }
    bool intact = true;
    std::thread lane([&intact, list = std::move(handedToLane)]() mutable {
        for (int i = 0; i < list.size(); ++i)
            intact = intact && list.at(i) == QByteArray(4096, char(i));
        list.clear();
    });
    lane.join();
    QVERIFY(intact);
    QSet<const char *> memories;
    for (int i = 0; i < 200; ++i) {
        QByteArray block = pool.take();
        QVERIFY(block.isEmpty());
        memories.insert(block.constData());
    }
    QCOMPARE(memories.size(), 200);
    QCOMPARE(pool.blocksHeld(), 0);
}

QTEST_GUILESS_MAIN(tst_BlockPool)
#include "tst_blockpool.moc"
