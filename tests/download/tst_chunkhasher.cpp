#include "download/ChunkHasher.h"

#include <QtTest>

class tst_ChunkHasher : public QObject
{
    Q_OBJECT

private slots:
    void matchesTheWholeStream_data();
    void matchesTheWholeStream();
    void resetStartsAFreshStream();
    void destructionWithChunksQueuedEnds();
};

// Bytes that differ along the stream, so that chunks hashed out of order or twice give another sum.
static QByteArray stream(qint64 size)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = char(x);
    }
    return data;
}

void tst_ChunkHasher::matchesTheWholeStream_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("chunk");
    QTest::newRow("nothing") << qint64(0) << qint64(1);
    QTest::newRow("one byte") << qint64(1) << qint64(1);
    QTest::newRow("one chunk") << qint64(100000) << qint64(100000);
    QTest::newRow("many small chunks") << qint64(300000) << qint64(997);
    // Beyond the queue's bound: the owner waits for room instead of queueing it all.
    QTest::newRow("more than the queue holds") << 3 * ChunkHasher::MaxQueuedBytes + 5 << qint64(1024 * 1024);
    QTest::newRow("chunks larger than the queue") << 2 * ChunkHasher::MaxQueuedBytes << ChunkHasher::MaxQueuedBytes + 1;
}

void tst_ChunkHasher::matchesTheWholeStream()
{
    QFETCH(qint64, size);
    QFETCH(qint64, chunk);
    const QByteArray data = stream(size);
    ChunkHasher hasher(QCryptographicHash::Md5);
    for (qint64 offset = 0; offset < size; offset += chunk)
        hasher.addData(data.mid(offset, chunk));
    QCOMPARE(hasher.result().toHex(), QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

void tst_ChunkHasher::resetStartsAFreshStream()
{
    const QByteArray first = stream(2 * ChunkHasher::MaxQueuedBytes);
    const QByteArray second = stream(5000).mid(1000);
    ChunkHasher hasher(QCryptographicHash::Md5);
    for (qint64 offset = 0; offset < first.size(); offset += 65536)
        hasher.addData(first.mid(offset, 65536));
    // Straight after queueing, with most of the first stream not hashed yet.
    hasher.reset();
    hasher.addData(second);
    QCOMPARE(hasher.result().toHex(), QCryptographicHash::hash(second, QCryptographicHash::Md5).toHex());
    // A result leaves the stream open, as QCryptographicHash does.
    hasher.addData(first);
    QCOMPARE(hasher.result().toHex(), QCryptographicHash::hash(second + first, QCryptographicHash::Md5).toHex());
}

// The thread hashing while its owner goes away must neither hang nor outlive it (the test would
// then hang, or crash under the sanitizers).
void tst_ChunkHasher::destructionWithChunksQueuedEnds()
{
    const QByteArray chunk = stream(1024 * 1024);
    for (int round = 0; round < 20; ++round) {
        ChunkHasher hasher(QCryptographicHash::Sha512);
        for (int i = 0; i < 1 + round % 9; ++i)
            hasher.addData(chunk);
    }
}

QTEST_GUILESS_MAIN(tst_ChunkHasher)
#include "tst_chunkhasher.moc"
