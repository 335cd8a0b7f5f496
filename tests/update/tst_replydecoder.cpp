#include "update/ReplyDecoder.h"

#include <QtTest>
#include <zlib.h>

// Reply bodies decoded by their declared content encoding, fed whole or a few bytes at a time,
// against the cap on decoded bytes.
namespace {

constexpr qint64 Cap = 256 * 1024;

QByteArray compressed(const QByteArray &body, int windowBits)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(body.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData()));
    z.avail_in = uInt(body.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.truncate(int(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray gzip(const QByteArray &body) { return compressed(body, 16 + MAX_WBITS); }
QByteArray zlibDeflate(const QByteArray &body) { return compressed(body, MAX_WBITS); }
QByteArray rawDeflate(const QByteArray &body) { return compressed(body, -MAX_WBITS); }

const QByteArray Status = "{\"upload\": 2, \"paccheck_result\": 100, \"result_code\": 100}\r\n";

} // namespace

class ReplyDecoderTest : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
};

void ReplyDecoderTest::decodes_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<ReplyDecoder::Status>("status");
    QTest::addColumn<QByteArray>("body");

    using S = ReplyDecoder::Status;
    const QByteArray atCap(Cap, 'x');
    const QByteArray overCap(Cap + 1, 'x');
    QTest::newRow("plain") << QByteArray() << Status << S::Ok << Status;
    QTest::newRow("identity") << QByteArray("identity") << Status << S::Ok << Status;
    QTest::newRow("gzip") << QByteArray("gzip") << gzip(Status) << S::Ok << Status;
    QTest::newRow("gzip, name in capitals") << QByteArray(" GZIP ") << gzip(Status) << S::Ok << Status;
    QTest::newRow("deflate, zlib-wrapped") << QByteArray("deflate") << zlibDeflate(Status) << S::Ok << Status;
    QTest::newRow("deflate, bare") << QByteArray("deflate") << rawDeflate(Status) << S::Ok << Status;
    QTest::newRow("gzip of nothing") << QByteArray("gzip") << gzip(QByteArray()) << S::Ok << QByteArray();
    QTest::newRow("declared gzip, empty body") << QByteArray("gzip") << QByteArray() << S::Ok << QByteArray();
    QTest::newRow("plain, exactly the cap") << QByteArray() << atCap << S::Ok << atCap;
    QTest::newRow("gzip, exactly the cap") << QByteArray("gzip") << gzip(atCap) << S::Ok << atCap;
    QTest::newRow("plain, one byte over") << QByteArray() << overCap << S::TooLarge << QByteArray();
    QTest::newRow("gzip, one byte over") << QByteArray("gzip") << gzip(overCap) << S::TooLarge << QByteArray();
    QTest::newRow("gzip bomb, 64 MiB of zeros") << QByteArray("gzip") << gzip(QByteArray(64 << 20, '\0'))
                                                << S::TooLarge << QByteArray();
    QTest::newRow("deflate bomb") << QByteArray("deflate") << zlibDeflate(QByteArray(8 << 20, 'a'))
                                  << S::TooLarge << QByteArray();
    QTest::newRow("gzip cut short") << QByteArray("gzip") << gzip(Status).left(20) << S::Corrupt << QByteArray();
    QTest::newRow("declared gzip, sent plain") << QByteArray("gzip") << Status << S::Corrupt << QByteArray();
    QTest::newRow("declared deflate, one byte") << QByteArray("deflate") << QByteArray("x") << S::Corrupt << QByteArray();
    QTest::newRow("gzip with a flipped byte")
        << QByteArray("gzip") << [] { QByteArray b = gzip(Status); b[b.size() - 6] = char(b[b.size() - 6] ^ 0x55); return b; }()
        << S::Corrupt << QByteArray();
    QTest::newRow("brotli was not offered") << QByteArray("br") << Status << S::Unsupported << QByteArray();
    QTest::newRow("two encodings") << QByteArray("gzip, gzip") << gzip(gzip(Status)) << S::Unsupported << QByteArray();
}

void ReplyDecoderTest::decodes()
{
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, wire);
    QFETCH(ReplyDecoder::Status, status);
    QFETCH(QByteArray, body);

    // Whole, and as a socket hands it over: in small and uneven pieces.
    for (const int piece : { int(wire.size()) + 1, 1, 7, 1000 }) {
        ReplyDecoder decoder(encoding, Cap);
        for (int at = 0; at < wire.size(); at += piece)
            decoder.feed(wire.mid(at, piece));
        QCOMPARE(decoder.finish(), status);
        QCOMPARE(decoder.body(), body);
        QVERIFY(decoder.body().size() <= Cap);
    }
}

QTEST_GUILESS_MAIN(ReplyDecoderTest)
#include "tst_replydecoder.moc"
