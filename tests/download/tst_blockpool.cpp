#include "download/BlockPool.h"

#include <QSet>
#include <QTest>

#include <cstring>
#include <thread>

class tst_BlockPool : public QObject
{
    Q_OBJECT

private slots:
    void blockComesBackOnlyWhenNobodyElseHoldsIt();
    void takenBlockIsFilledInPlace();
    void releasedByAnotherThread();
};

static void fill(PoolBlock &block, char byte, qsizetype count)
{
    std::memset(block.end(), byte, size_t(count));
    block.grow(count);
}

void tst_BlockPool::blockComesBackOnlyWhenNobodyElseHoldsIt()
{
    BlockPool pool(1024);
    std::shared_ptr<PoolBlock> first = pool.take();
    QVERIFY(first);
    QCOMPARE(first->size(), 0);
    QCOMPARE(first->room(), 1024);
    fill(*first, 'a', 1000);
    const char *firstMemory = first->constData();

    std::shared_ptr<const void> lane = first; // the hashing lane still holds the bytes
    const QByteArray laneView = first->view();
    pool.handBack(std::move(first));
    std::shared_ptr<PoolBlock> second = pool.take();
    QVERIFY(second->constData() != firstMemory);
    QCOMPARE(laneView, QByteArray(1000, 'a'));

    lane.reset(); // the lane is done with them
    std::shared_ptr<PoolBlock> third = pool.take();
    QCOMPARE(static_cast<const void *>(third->constData()), static_cast<const void *>(firstMemory));
    QCOMPARE(third->size(), 0);
    QCOMPARE(pool.blocksHeld(), 0);

    // A block smaller than a batch is not kept.
    pool.handBack(std::make_shared<PoolBlock>(16));
    QCOMPARE(pool.blocksHeld(), 0);
}

void tst_BlockPool::takenBlockIsFilledInPlace()
{
    // Filling a block to the brim in steps neither moves it nor runs past its end; the view
    // shows exactly what was filled.
    BlockPool pool(64 * 1024);
    std::shared_ptr<PoolBlock> block = pool.take();
    const char *memory = block->constData();
    fill(*block, 'x', 1000);
    fill(*block, 'y', block->room());
    QVERIFY(block->isFull());
    QCOMPARE(static_cast<const void *>(block->constData()), static_cast<const void *>(memory));
    block->grow(1); // counts no more than there is room for
    QCOMPARE(block->size(), 64 * 1024);
    QCOMPARE(block->view(), QByteArray(1000, 'x') + QByteArray(64 * 1024 - 1000, 'y'));
    pool.handBack(std::move(block));

    std::shared_ptr<PoolBlock> again = pool.take();
    QCOMPARE(static_cast<const void *>(again->constData()), static_cast<const void *>(memory));
    QCOMPARE(again->view(), QByteArray());
}

void tst_BlockPool::releasedByAnotherThread()
{
    // The lane reads and lets go on its own thread while the owner keeps taking blocks.
    BlockPool pool(4096);
    QList<std::shared_ptr<PoolBlock>> handedToLane;
    for (int i = 0; i < 200; ++i) {
        std::shared_ptr<PoolBlock> block = pool.take();
        fill(*block, char(i), 4096);
        handedToLane << block;
        pool.handBack(std::move(block));
    }
    bool intact = true;
    std::thread lane([&intact, list = std::move(handedToLane)]() mutable {
        for (int i = 0; i < list.size(); ++i)
            intact = intact && list.at(i)->view() == QByteArray(4096, char(i));
        list.clear();
    });
    lane.join();
    QVERIFY(intact);
    QSet<const char *> memories;
    for (int i = 0; i < 200; ++i) {
        std::shared_ptr<PoolBlock> block = pool.take();
        QCOMPARE(block->size(), 0);
        memories.insert(block->constData());
    }
    QCOMPARE(memories.size(), 200);
    QCOMPARE(pool.blocksHeld(), 0);
}

QTEST_GUILESS_MAIN(tst_BlockPool)
#include "tst_blockpool.moc"
