#include "update/ChunkedBodyReader.h"
#include "update/ReplyHeadReader.h"

#include <QtTest>

// The reply head and chunk readers on hostile and odd input, fed whole and byte by byte: a
// display's reply arrives in any split.
class ReplyFramingTest : public QObject
{
    Q_OBJECT

private slots:
    void heads_data();
    void heads();
    void headBoundIsCountedOverInterimHeads();
    void chunks_data();
    void chunks();
};

namespace {

using Head = ReplyHeadReader;

// Feeds the input in pieces of the given size (0: whole); returns the status and what is left.
Head::Status feedHead(Head &reader, const QByteArray &input, int piece, QByteArray *rest)
{
    QByteArray left;
    Head::Status status = Head::Status::NeedMore;
    for (int at = 0; at < input.size(); at += piece > 0 ? piece : int(input.size())) {
        QByteArray bytes = input.mid(at, piece > 0 ? piece : input.size());
        if (status != Head::Status::NeedMore) {
            left += bytes;
            continue;
        }
        status = reader.feed(bytes);
        left += bytes;
    }
    *rest = left;
    return status;
}

} // namespace

void ReplyFramingTest::heads_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("length");
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<int>("overflow");

    const int complete = int(Head::Status::Complete);
    const int needMore = int(Head::Status::NeedMore);
    const int tooLarge = int(Head::Status::TooLarge);
    const int malformed = int(Head::Status::Malformed);
    const int none = int(Head::Overflow::None);
    const QByteArray filler = "X-Filler: " + QByteArray(100, 'a') + "\r\n";

    QTest::newRow("plain") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK") << complete << 200
                           << QByteArray("2") << QByteArray("OK") << none;
    QTest::newRow("bare line feeds") << QByteArray("HTTP/1.0 404 Not Found\nContent-Length: 0\n\nnext") << complete << 404
                                     << QByteArray("0") << QByteArray("next") << none;
    QTest::newRow("no reason phrase") << QByteArray("HTTP/1.1 204\r\n\r\n") << complete << 204 << QByteArray()
                                      << QByteArray() << none;
    QTest::newRow("header names in any case, values trimmed")
        << QByteArray("HTTP/1.1 200 OK\r\ncontent-LENGTH:   7  \r\n\r\n") << complete << 200 << QByteArray("7")
        << QByteArray() << none;
    QTest::newRow("interim 100 Continue skipped")
        << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 401 Unauthorized\r\nContent-Length: 3\r\n\r\nabc") << complete
        << 401 << QByteArray("3") << QByteArray("abc") << none;
    QTest::newRow("incomplete") << QByteArray("HTTP/1.1 200 OK\r\nContent-Le") << needMore << 0 << QByteArray()
                                << QByteArray() << none;
    QTest::newRow("not HTTP") << QByteArray("<html>OK</html>\r\n\r\n") << malformed << 0 << QByteArray() << QByteArray()
                              << none;
    QTest::newRow("HTTP/2 status line") << QByteArray("HTTP/2 200\r\n\r\n") << malformed << 0 << QByteArray()
                                        << QByteArray() << none;
    QTest::newRow("letters for a code") << QByteArray("HTTP/1.1 2x0 OK\r\n\r\n") << malformed << 0 << QByteArray()
                                        << QByteArray() << none;
    QTest::newRow("four-digit code") << QByteArray("HTTP/1.1 2000 OK\r\n\r\n") << malformed << 0 << QByteArray()
                                     << QByteArray() << none;
    QTest::newRow("head just under 64 KiB")
        << "HTTP/1.1 200 OK\r\n" + filler.repeated(575) + "Content-Length: 1\r\n\r\nx" << complete << 200
        << QByteArray("1") << QByteArray("x") << none;
    QTest::newRow("header block over 64 KiB")
        << "HTTP/1.1 200 OK\r\n" + filler.repeated(700) + "Content-Length: 1\r\n\r\nx" << tooLarge << 0 << QByteArray()
        << QByteArray() << int(Head::Overflow::HeaderBlock);
    QTest::newRow("header line without end")
        << "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nX-Filler: " + QByteArray(200000, 'a') << tooLarge << 0
        << QByteArray() << QByteArray() << int(Head::Overflow::HeaderLine);
    QTest::newRow("status line without end") << "HTTP/1.1 200 " + QByteArray(200000, 'a') << tooLarge << 0
                                             << QByteArray() << QByteArray() << int(Head::Overflow::StatusLine);
    QTest::newRow("endless interim heads")
        << QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(4000) << tooLarge << 0 << QByteArray() << QByteArray()
        << int(Head::Overflow::HeaderBlock);
}

void ReplyFramingTest::heads()
{
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(int, code);
    QFETCH(QByteArray, length);
    QFETCH(QByteArray, rest);
    QFETCH(int, overflow);
    for (const int piece : { 0, 1, 7, 4096 }) {
        Head reader;
        QByteArray left;
        QCOMPARE(int(feedHead(reader, input, piece, &left)), status);
        QCOMPARE(int(reader.overflow()), overflow);
        if (status != int(Head::Status::Complete))
            continue;
        QCOMPARE(reader.statusCode(), code);
        QCOMPARE(reader.header("Content-Length"), length);
        QCOMPARE(left, rest);
    }
}

// Heads of "100 Continue" cannot be used to read without bound either: they count together.
void ReplyFramingTest::headBoundIsCountedOverInterimHeads()
{
    Head reader;
    QByteArray interim = QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(2000);   // 50 KB
    QCOMPARE(reader.feed(interim), Head::Status::NeedMore);
    QByteArray more = "HTTP/1.1 200 OK\r\n" + QByteArray("X-A: b\r\n").repeated(2500) + "\r\n";   // 20 KB
    QCOMPARE(reader.feed(more), Head::Status::TooLarge);
}

void ReplyFramingTest::chunks_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("rest");

    const int done = int(ChunkedBodyReader::Status::Done);
    const int needMore = int(ChunkedBodyReader::Status::NeedMore);
    const int malformed = int(ChunkedBodyReader::Status::Malformed);
    QTest::newRow("two chunks") << QByteArray("2\r\nOK\r\n3\r\n!!!\r\n0\r\n\r\n") << done << QByteArray("OK!!!")
                                << QByteArray();
    QTest::newRow("hex sizes, extensions, trailer")
        << QByteArray("a;name=value\r\n0123456789\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-Sum: 1\r\n\r\nnext")
        << done << QByteArray("0123456789abcdefghijklmnopqrstuvwxyz") << QByteArray("next");
    QTest::newRow("bare line feeds") << QByteArray("2\nOK\n0\n\n") << done << QByteArray("OK") << QByteArray();
    QTest::newRow("empty body") << QByteArray("0\r\n\r\n") << done << QByteArray() << QByteArray();
    QTest::newRow("cut off in a chunk") << QByteArray("5\r\nab") << needMore << QByteArray("ab") << QByteArray();
    QTest::newRow("no last chunk yet") << QByteArray("2\r\nOK\r\n") << needMore << QByteArray("OK") << QByteArray();
    QTest::newRow("size not hex") << QByteArray("zz\r\nOK\r\n0\r\n\r\n") << malformed << QByteArray() << QByteArray();
    QTest::newRow("negative size") << QByteArray("-2\r\nOK\r\n0\r\n\r\n") << malformed << QByteArray() << QByteArray();
    QTest::newRow("size past any reply") << QByteArray("ffffffffffffffff\r\n") << malformed << QByteArray() << QByteArray();
    QTest::newRow("data longer than its size") << QByteArray("2\r\nOKAY\r\n0\r\n\r\n") << malformed << QByteArray("OK")
                                               << QByteArray();
    QTest::newRow("size line without end") << "1" + QByteArray(5000, '0') << malformed << QByteArray() << QByteArray();
    QTest::newRow("endless trailer") << "0\r\n" + QByteArray("X-T: aaaaaaaaaaaaaaaa\r\n").repeated(4000) << malformed
                                     << QByteArray() << QByteArray();
}

void ReplyFramingTest::chunks()
{
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, rest);
    for (const int piece : { 0, 1, 3, 1000 }) {
        ChunkedBodyReader reader;
        QByteArray out;
        QByteArray left;
        ChunkedBodyReader::Status got = ChunkedBodyReader::Status::NeedMore;
        const int step = piece > 0 ? piece : int(input.size());
        for (int at = 0; at < input.size(); at += step) {
            QByteArray bytes = input.mid(at, step);
            if (got == ChunkedBodyReader::Status::NeedMore)
                got = reader.feed(bytes, out);
            left += bytes;
        }
        QCOMPARE(int(got), status);
        QCOMPARE(out, body);
        if (got == ChunkedBodyReader::Status::Done)
            QCOMPARE(left, rest);
    }
}

QTEST_GUILESS_MAIN(ReplyFramingTest)
#include "tst_replyframing.moc"
