#include "control/ControlFrame.h"

#include <QtTest>

namespace {

// Appends the check code (XOR of every byte after SOH through ETX) and the CR.
QByteArray closed(QByteArray frame)
{
    char check = 0;
    for (int i = 1; i < frame.size(); ++i)
        check ^= frame.at(i);
    return frame.append(check).append('\r');
}

// A reply frame put together by hand: SOH '0' '0' source type LL STX body ETX check CR.
QByteArray replyFrame(char type, const QByteArray &body)
{
    QByteArray f;
    f.append('\x01').append("00A").append(type);
    f.append(QByteArray::number(body.size() + 2, 16).toUpper().rightJustified(2, '0'));
    f.append('\x02').append(body).append('\x03');
    return closed(f);
}

} // namespace

class tst_ControlFrame : public QObject
{
    Q_OBJECT

private slots:
    void encodeExactBytes_data();
    void encodeExactBytes();
    void decode_data();
    void decode();
    void texts_data();
    void texts();
};

void tst_ControlFrame::encodeExactBytes_data()
{
    QTest::addColumn<char>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("model name") << 'A' << QByteArray("C217") << QByteArray::fromHex("01302A30413036024332313703 1B 0D");
    QTest::newRow("set VCP, length in hex") << 'E' << QByteArray("11F00002")
                                            << closed(QByteArray("\x01" "0*0E0A\x02" "11F00002\x03"));
}

void tst_ControlFrame::encodeExactBytes()
{
    QFETCH(char, type);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, frame);
    QCOMPARE(ControlFrame::encode(type, body).toHex(' '), frame.toHex(' '));
}

void tst_ControlFrame::decode_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("body");

    const QByteArray good = replyFrame('B', "C317505831");
    QTest::newRow("sound") << good << 0 << QByteArray("C317505831");
    QTest::newRow("bytes after CR ignored") << good + "\x01junk" << 0 << QByteArray("C317505831");
    QTest::newRow("lower-case length digits") << closed(QByteArray("\x01" "00AB0a\x02" "11111111\x03"))
                                              << 0 << QByteArray(8, '1');
    QTest::newRow("type 0") << replyFrame('0', "BE") << 0 << QByteArray("BE");
    QTest::newRow("split: first read only") << good.left(good.size() / 2) << -3001 << QByteArray();
    QTest::newRow("missing CR") << good.chopped(1) << -3001 << QByteArray();
    QTest::newRow("under 11 bytes") << good.left(10) << -3001 << QByteArray();
    QTest::newRow("wrong SOH") << QByteArray(good).replace(0, 1, "\x02") << -3001 << QByteArray();
    QTest::newRow("reserved byte") << QByteArray(good).replace(1, 1, "1") << -3001 << QByteArray();
    QTest::newRow("destination not 0") << QByteArray(good).replace(2, 1, "*") << -3001 << QByteArray();
    QTest::newRow("type A") << replyFrame('A', "C317") << -3001 << QByteArray();
    QTest::newRow("length not hex") << QByteArray(good).replace(5, 1, "G") << -3001 << QByteArray();
    QTest::newRow("length beyond data") << QByteArray(good).replace(5, 2, "FF") << -3001 << QByteArray();
    QTest::newRow("length below 2") << QByteArray(good).replace(5, 2, "01") << -3001 << QByteArray();
    QTest::newRow("no STX") << QByteArray(good).replace(7, 1, "X") << -3001 << QByteArray();
    QByteArray badCheck = good;
    badCheck[badCheck.size() - 2] = char(badCheck.at(badCheck.size() - 2) ^ 0xFF);
    QTest::newRow("check code") << badCheck << -3001 << QByteArray();
}

void tst_ControlFrame::decode()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, result);
    QFETCH(QByteArray, body);

    char type = 0;
    QByteArray decoded;
    QCOMPARE(ControlFrame::decode(reply, &type, &decoded), result);
    if (result == 0) {
        QCOMPARE(decoded, body);
        QCOMPARE(type, reply.at(4));
    }
}

void tst_ControlFrame::texts_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");

    QTest::newRow("hex pairs") << true << QByteArray("50582D353531") << true << "PX-551";
    QTest::newRow("hex lower case") << true << QByteArray("70782d") << true << "px-";
    QTest::newRow("hex ends at line feed") << true << QByteArray("41420A4344") << true << "AB";
    QTest::newRow("hex ends at NUL") << true << QByteArray("4142004344") << true << "AB";
    QTest::newRow("hex odd digit ignored") << true << QByteArray("41424") << true << "AB";
    QTest::newRow("hex not hex") << true << QByteArray("41ZZ") << false << "";
    QTest::newRow("hex cut at 127") << true << QByteArray("41").repeated(130) << true << QString(127, 'A');
    QTest::newRow("raw") << false << QByteArray("R1.200 ") << true << "R1.200 ";
    QTest::newRow("raw ends at line feed") << false << QByteArray("R1\nR2") << true << "R1";
    QTest::newRow("raw ends at NUL") << false << QByteArray("R1\0R2", 5) << true << "R1";
    QTest::newRow("raw cut at 127") << false << QByteArray(200, 'x') << true << QString(127, 'x');
    // Control characters from a display never reach the log or a table cell.
    QTest::newRow("hex without escape sequence") << true << QByteArray("1B5B33316D50581B5B306D") << true << "[31mPX[0m";
    QTest::newRow("hex without BEL, DEL, CR, tab") << true << QByteArray("500758097F2D310D") << true << "PX-1";
    QTest::newRow("hex without C1 CSI") << true << QByteArray("9B324A52312E30") << true << "2JR1.0";
    QTest::newRow("raw without escape sequence") << false << QByteArray("\x1b]0;pwned\x07R1.2\r") << true << "]0;pwnedR1.2";
    QTest::newRow("raw without DEL and controls") << false << QByteArray("T\x7f\x01\x1f" "AG") << true << "TAG";
}

void tst_ControlFrame::texts()
{
    QFETCH(bool, hex);
    QFETCH(QByteArray, input);
    QFETCH(bool, ok);
    QFETCH(QString, text);

    if (hex) {
        QString decoded;
        QCOMPARE(ControlFrame::hexText(input, &decoded), ok);
        if (ok)
            QCOMPARE(decoded, text);
    } else {
        QCOMPARE(ControlFrame::rawText(input), text);
    }
}

QTEST_APPLESS_MAIN(tst_ControlFrame)
#include "tst_controlframe.moc"
