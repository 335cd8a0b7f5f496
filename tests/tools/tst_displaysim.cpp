#include "SimControlFrame.h"
#include "SimDisplay.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>
#include <QtEndian>

// Each test case owns its addresses in 127.0.201.0/24, so several test
// programs can run beside each other.
namespace {

constexpr quint16 WebPort = 18080;

QHostAddress addr(int last)
{
    return QHostAddress(QStringLiteral("127.0.201.%1").arg(last));
}

// The request as a client frames it: SOH '0' '*' '0' type LL STX body ETX check CR.
QByteArray request(char type, const QByteArray &body)
{
    QByteArray f;
    f.append('\x01').append("0*0").append(type);
    f.append(QByteArray::number(body.size() + 2, 16).toUpper().rightJustified(2, '0'));
    f.append('\x02').append(body).append('\x03');
    char x = 0;
    for (int i = 1; i < f.size(); ++i)
        x ^= f.at(i);
    return f.append(x).append('\x0D');
}

// A reply checked the way a client must check it; returns the body, or an
// error text starting with "!".
QByteArray replyBody(const QByteArray &r, char *type = nullptr)
{
    if (r.size() < 11)
        return "!short";
    bool ok = false;
    const int length = r.mid(5, 2).toInt(&ok, 16);
    if (!ok || r.size() < length + 9)
        return "!length";
    if (r.at(0) != '\x01' || r.at(1) != '0' || r.at(2) != '0' || !QByteArray("0BDF").contains(r.at(4)))
        return "!header";
    if (r.at(7) != '\x02' || r.at(length + 6) != '\x03' || r.at(length + 8) != '\x0D')
        return "!delimiters";
    char x = 0;
    for (int i = 1; i <= length + 6; ++i)
        x ^= r.at(i);
    if (x != r.at(length + 7))
        return "!check";
    if (type)
        *type = r.at(4);
    return r.mid(8, length - 2);
}

int frameLength(const QByteArray &r)
{
    return r.size() < 7 ? -1 : r.mid(5, 2).toInt(nullptr, 16) + 9;
}

QByteArray searchRequest(quint16 sequence, quint32 type)
{
    QByteArray d(128, '\0');
    d.replace(0, 4, "ZRPJ");
    d[4] = 0x14;
    qToLittleEndian<quint16>(sequence, d.data() + 8);
    qToLittleEndian<quint16>(0x70, d.data() + 10);
    qToLittleEndian<quint32>(type, d.data() + 16);
    qToLittleEndian<quint32>(0x100, d.data() + 28);
    return d;
}

QByteArray text(const QByteArray &d, int offset, int width)
{
    const QByteArray f = d.mid(offset, width);
    const int nul = f.indexOf('\0');
    return nul < 0 ? f : f.left(nul);
}

SimDisplayConfig baseConfig()
{
    SimDisplayConfig c;
    c.webPort = WebPort;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(SimMisbehaviour)

class tst_DisplaySim : public QObject
{
    Q_OBJECT

private slots:
    void frameCodec_data();
    void frameCodec();
    void searchReply();
    void searchFaults_data();
    void searchFaults();
    void controlItems_data();
    void controlItems();
    void setCommandsChangeState();
    void controlFaults();
    void splitReply();
    void closeAfterItems();
    void listenerModes();
    void webIndexAndSecondAddress();

private:
    // Sends one request and waits for one whole reply frame.
    QByteArray exchange(QTcpSocket &s, char type, const QByteArray &body)
    {
        s.write(request(type, body));
        QByteArray r;
        const bool whole = QTest::qWaitFor([&] {
            r += s.readAll();
            return frameLength(r) > 0 && r.size() >= frameLength(r);
        }, 3000);
        return whole ? r : QByteArray(); // nothing fails the caller's frame check
    }
};

void tst_DisplaySim::frameCodec_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("left");

    const QByteArray model = QByteArray::fromHex("01302A304130360243323137031B0D");
    QTest::newRow("model name request") << model << int(SimControlFrame::Complete) << QByteArray("C217") << 0;
    QTest::newRow("two frames, first taken") << model + model << int(SimControlFrame::Complete) << QByteArray("C217")
                                             << model.size();
    QTest::newRow("cut before CR") << model.left(model.size() - 1) << int(SimControlFrame::NeedMore) << QByteArray()
                                   << model.size() - 1;
    QByteArray badCheck = model;
    badCheck[13] = 0x1A;
    QTest::newRow("bad check code") << badCheck << int(SimControlFrame::Malformed) << QByteArray() << 0;
    QTest::newRow("noise before SOH") << QByteArray("xx") + model << int(SimControlFrame::Malformed) << QByteArray()
                                      << model.size();
    QTest::newRow("length not hex") << QByteArray::fromHex("01302A3041305A") << int(SimControlFrame::Malformed)
                                    << QByteArray() << 6;
}

void tst_DisplaySim::frameCodec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, left);

    char type = 0;
    QByteArray got;
    QCOMPARE(int(SimControlFrame::take(bytes, &type, &got)), status);
    QCOMPARE(got, body);
    QCOMPARE(bytes.size(), left);
    if (status == SimControlFrame::Complete)
        QCOMPARE(type, 'A');
}

void tst_DisplaySim::searchReply()
{
    SimDisplayConfig c = baseConfig();
    c.modelName = QStringLiteral("PX-551");
    c.macAddress = QByteArray::fromHex("0A0B0C0D0E0F");
    c.seriesCode = 69;
    c.idChar = 'A';
    c.secondAddress = QHostAddress(QStringLiteral("192.168.1.10"));
    c.fwVersions = { QStringLiteral("F1"), QStringLiteral("123456789"), QString(), QStringLiteral("F4") };
    c.mainFwVersion = QStringLiteral("R2.100");
    SimDisplay display(c);
    QCOMPARE(display.start(addr(1)), 0);

    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    client.writeDatagram(searchRequest(0xBEEF, 3), addr(1), 5320);
    QTRY_VERIFY(client.hasPendingDatagrams());
    const QNetworkDatagram dg = client.receiveDatagram();
    const QByteArray d = dg.data();

    QCOMPARE(d.size(), 256);
    QCOMPARE(dg.senderAddress(), addr(1));
    QCOMPARE(d.left(4), QByteArray("ZRPD"));
    QCOMPARE(qFromLittleEndian<quint16>(d.constData() + 8), quint16(0xBEEF));
    QCOMPARE(qFromLittleEndian<quint32>(d.constData() + 16), 3u);
    QVERIFY(!text(d, 32, 24).isEmpty());
    QCOMPARE(d.mid(56, 6), QByteArray::fromHex("0A0B0C0D0E0F"));
    QCOMPARE(text(d, 96, 48), QByteArray("PX-551"));
    QVERIFY(qFromLittleEndian<quint32>(d.constData() + 148) & 0x100);
    QCOMPARE(quint8(d.at(152)), quint8('A'));
    QCOMPARE(quint8(d.at(156)), quint8(69));
    QCOMPARE(d.mid(168, 4), QByteArray::fromHex("C0A8010A"));
    QCOMPARE(text(d, 180, 9), QByteArray("F1"));
    QCOMPARE(d.mid(189, 9), QByteArray("123456789")); // fills its field: no NUL
    QCOMPARE(text(d, 198, 9), QByteArray());
    QCOMPARE(text(d, 207, 9), QByteArray("F4"));
    QCOMPARE(text(d, 226, 30), QByteArray("R2.100"));

    // The broadcast reply is type 2, and the client's acknowledgement is taken silently.
    client.writeDatagram(searchRequest(0xBEF0, 2), addr(1), 5320);
    QTRY_VERIFY(client.hasPendingDatagrams());
    const QByteArray b = client.receiveDatagram().data();
    QCOMPARE(qFromLittleEndian<quint32>(b.constData() + 16), 2u);
    QByteArray ack = searchRequest(0xBEF0, 5).leftJustified(256, '\0');
    client.writeDatagram(ack, addr(1), 5320);
    QTRY_COMPARE(display.requestLog().requests(SimLogEntry::Channel::Search),
                 (QList<QByteArray>{ "3", "2", "5" }));
    QTest::qWait(100);
    QVERIFY(!client.hasPendingDatagrams());
}

void tst_DisplaySim::searchFaults_data()
{
    QTest::addColumn<SimMisbehaviour>("fault");
    QTest::addColumn<int>("size");      // -1: no reply at all
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<int>("sequence");

    SimMisbehaviour m;
    m.searchSilent = true;
    QTest::newRow("silent") << m << -1 << QByteArray() << 0;
    m = {};
    m.wrongSequence = true;
    QTest::newRow("wrong sequence") << m << 256 << QByteArray("ZRPD") << 0x1235;
    m = {};
    m.wrongMagic = true;
    QTest::newRow("wrong magic") << m << 256 << QByteArray("XXXX") << 0x1234;
    m = {};
    m.searchReplySize = 255;
    QTest::newRow("255 bytes") << m << 255 << QByteArray("ZRPD") << 0x1234;
    m.searchReplySize = 257;
    QTest::newRow("257 bytes") << m << 257 << QByteArray("ZRPD") << 0x1234;
}

void tst_DisplaySim::searchFaults()
{
    QFETCH(SimMisbehaviour, fault);
    QFETCH(int, size);
    QFETCH(QByteArray, magic);
    QFETCH(int, sequence);

    SimDisplayConfig c = baseConfig();
    c.misbehaviour = fault;
    SimDisplay display(c);
    QCOMPARE(display.start(addr(2)), 0);
    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    client.writeDatagram(searchRequest(0x1234, 2), addr(2), 5320);
    QTRY_COMPARE(display.requestLog().count(SimLogEntry::Channel::Search), 1);
    if (size < 0) {
        QTest::qWait(150);
        QVERIFY(!client.hasPendingDatagrams());
        return;
    }
    QTRY_VERIFY(client.hasPendingDatagrams());
    const QByteArray d = client.receiveDatagram().data();
    QCOMPARE(d.size(), size);
    QCOMPARE(d.left(4), magic);
    QCOMPARE(int(qFromLittleEndian<quint16>(d.constData() + 8)), sequence);
}

void tst_DisplaySim::controlItems_data()
{
    QTest::addColumn<char>("type");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<char>("replyType");
    QTest::addColumn<QByteArray>("reply");

    // Model "PX-551", serial "61A00001BA", power on, power save 0, firmware
    // texts from the default config, asset tag of 40 characters.
    QTest::newRow("model name") << 'A' << QByteArray("C217") << 'B' << QByteArray("C317" + QByteArray("PX-551").toHex().toUpper());
    QTest::newRow("power status") << 'A' << QByteArray("01D6") << 'B' << QByteArray("0200D60000040001");
    QTest::newRow("serial") << 'A' << QByteArray("C216") << 'B' << QByteArray("C316" + QByteArray("61A00001BA").toHex().toUpper());
    QTest::newRow("main firmware") << 'A' << QByteArray("C03F") << 'B' << QByteArray("C13F" + QByteArray("R1.200").toHex().toUpper());
    QTest::newRow("asset tag first half") << 'A' << QByteArray("C00B0020") << 'B' << QByteArray("C10BABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    QTest::newRow("asset tag second half") << 'A' << QByteArray("C00B2020") << 'B' << QByteArray("C10B6789");
    QTest::newRow("power save read") << 'A' << QByteArray("CA0B00") << 'B' << QByteArray("CB0B0000");
    QTest::newRow("firmware groups") << 'A' << QByteArray("C03E") << 'B'
        << QByteArray("C13E" + QByteArray("R1.000\0\0R2.000\0\0R3.000\0\0R4.000\0\0", 32).toHex().toUpper());
    QTest::newRow("main firmware by index") << 'A' << QByteArray("CA0200") << 'B' << QByteArray("CB020000R1.200");
    QTest::newRow("firmware 4 by index") << 'A' << QByteArray("CA0204") << 'B' << QByteArray("CB020004R4.000");
    QTest::newRow("firmware index 5") << 'A' << QByteArray("CA0205") << 'B' << QByteArray("CB020105");
    QTest::newRow("VCP 02 3E") << 'C' << QByteArray("023E") << 'D' << QByteArray("00023E00FFFF0041");
    QTest::newRow("VCP 11 F0") << 'C' << QByteArray("11F0") << 'D' << QByteArray("0011F000FFFF0001");
    QTest::newRow("VCP 13 06") << 'C' << QByteArray("1306") << 'D' << QByteArray("00130600FFFF00C8");
    QTest::newRow("VCP unknown") << 'C' << QByteArray("1234") << 'D' << QByteArray("01123400FFFF0000");
    QTest::newRow("upload request") << 'E' << QByteArray("13070001") << 'F' << QByteArray("00130700FFFF3A7C");
    QTest::newRow("update start") << 'E' << QByteArray("13030001") << 'F' << QByteArray("00130300FFFF0001");
    QTest::newRow("unknown command") << 'A' << QByteArray("C999") << 'B' << QByteArray("BE");
}

void tst_DisplaySim::controlItems()
{
    QFETCH(char, type);
    QFETCH(QByteArray, body);
    QFETCH(char, replyType);
    QFETCH(QByteArray, reply);

    SimDisplayConfig c = baseConfig();
    c.assetTag = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    SimDisplay display(c);
    QCOMPARE(display.start(addr(3)), 0);
    QTcpSocket s;
    s.connectToHost(addr(3), 7142);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);

    char gotType = 0;
    QCOMPARE(replyBody(exchange(s, type, body), &gotType), reply);
    QCOMPARE(gotType, replyType);
    QCOMPARE(display.requestLog().controlBodies(), QList<QByteArray>{ body });
}

void tst_DisplaySim::setCommandsChangeState()
{
    SimDisplay display(baseConfig());
    QCOMPARE(display.start(addr(4)), 0);
    QSignalSpy changed(&display, &SimDisplay::stateChanged);
    QTcpSocket s;
    s.connectToHost(addr(4), 7142);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);

    QCOMPARE(replyBody(exchange(s, 'A', "C203D60004")), QByteArray("00C203D60004"));
    QCOMPARE(replyBody(exchange(s, 'A', "01D6")), QByteArray("0200D60000040004"));
    QCOMPARE(display.config().powerMode, 4);
    QCOMPARE(replyBody(exchange(s, 'A', "C203D60001")), QByteArray("00C203D60001"));
    QCOMPARE(display.config().powerMode, 1);

    QCOMPARE(replyBody(exchange(s, 'A', "CA0B0102")), QByteArray("CB0B0002"));
    QCOMPARE(replyBody(exchange(s, 'A', "CA0B00")), QByteArray("CB0B0002"));
    QCOMPARE(display.config().powerSaveSetting, 2);

    QCOMPARE(replyBody(exchange(s, 'E', "11F00002")), QByteArray("0011F000FFFF0002"));
    QCOMPARE(replyBody(exchange(s, 'C', "11F0")), QByteArray("0011F000FFFF0002"));
    QCOMPARE(replyBody(exchange(s, 'E', "11EE0002")), QByteArray("0011EE00FFFF0002"));
    QCOMPARE(display.config().vcpValues.value(0x11EE), quint16(2));
    QCOMPARE(changed.count(), 5);

    QCOMPARE(display.requestLog().controlBodies(),
             (QList<QByteArray>{ "C203D60004", "01D6", "C203D60001", "CA0B0102", "CA0B00", "11F00002", "11F0",
                                 "11EE0002" }));
    QCOMPARE(display.requestLog().connections(SimLogEntry::Channel::Control), 1);
}

void tst_DisplaySim::controlFaults()
{
    SimDisplayConfig c = baseConfig();
    c.misbehaviour.beItems = { QStringLiteral("C03F") };
    c.misbehaviour.badCheckItems = { QStringLiteral("C216") };
    c.misbehaviour.silentItems = { QStringLiteral("C217") };
    c.vcpResults[0x11F0] = 0x01;
    SimDisplay display(c);
    QCOMPARE(display.start(addr(5)), 0);
    QTcpSocket s;
    s.connectToHost(addr(5), 7142);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);

    char type = 0;
    QCOMPARE(replyBody(exchange(s, 'A', "C03F"), &type), QByteArray("BE"));
    QCOMPARE(type, 'B');
    QCOMPARE(replyBody(exchange(s, 'A', "C216")), QByteArray("!check"));
    QCOMPARE(replyBody(exchange(s, 'C', "11F0")).left(2), QByteArray("01"));

    s.write(request('A', "C217"));
    QTRY_COMPARE(display.requestLog().count(SimLogEntry::Channel::Control, "C217"), 1);
    QTest::qWait(150);
    QCOMPARE(s.bytesAvailable(), 0);

    // A frame the display cannot read is logged and not answered.
    s.write(QByteArray::fromHex("01302A30413036024332313703000D"));
    QTRY_COMPARE(display.requestLog().count(SimLogEntry::Channel::Control, "!malformed"), 1);
    QTest::qWait(100);
    QCOMPARE(s.bytesAvailable(), 0);
}

void tst_DisplaySim::splitReply()
{
    SimDisplayConfig c = baseConfig();
    c.misbehaviour.splitItems = { QStringLiteral("C217") };
    c.misbehaviour.splitDelayMs = 300;
    SimDisplay display(c);
    QCOMPARE(display.start(addr(6)), 0);
    QTcpSocket s;
    s.connectToHost(addr(6), 7142);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);

    s.write(request('A', "C217"));
    QTRY_VERIFY(s.bytesAvailable() > 0);
    QByteArray first = s.readAll();
    QVERIFY(first.size() < frameLength(first) || frameLength(first) < 0);
    QVERIFY(replyBody(first).startsWith('!'));
    QTRY_VERIFY(s.bytesAvailable() > 0);
    QCOMPARE(replyBody(first + s.readAll()), QByteArray("C317" + QByteArray("PX-551").toHex().toUpper()));
}

void tst_DisplaySim::closeAfterItems()
{
    SimDisplayConfig c = baseConfig();
    c.misbehaviour.closeAfterItems = 2;
    SimDisplay display(c);
    QCOMPARE(display.start(addr(7)), 0);
    QTcpSocket s;
    s.connectToHost(addr(7), 7142);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);

    QVERIFY(!replyBody(exchange(s, 'A', "C217")).startsWith('!'));
    QVERIFY(!replyBody(exchange(s, 'A', "01D6")).startsWith('!'));
    s.write(request('A', "C216"));
    QTRY_COMPARE(s.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(s.readAll(), QByteArray());
    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{ "C217", "01D6", "C216" }));
}

void tst_DisplaySim::listenerModes()
{
    SimDisplay display(baseConfig());
    QCOMPARE(display.start(addr(8)), 0);

    SimMisbehaviour m;
    m.control = SimMisbehaviour::Listener::Refuse;
    display.setMisbehaviour(m);
    QTcpSocket refused;
    QSignalSpy error(&refused, &QTcpSocket::errorOccurred);
    refused.connectToHost(addr(8), 7142);
    QTRY_COMPARE(error.count(), 1);
    QCOMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);

    m.control = SimMisbehaviour::Listener::NeverReply;
    display.setMisbehaviour(m);
    QTcpSocket s;
    s.connectToHost(addr(8), 7142);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);
    s.write(request('A', "C217"));
    QTRY_COMPARE(display.requestLog().controlBodies(), QList<QByteArray>{ "C217" });
    QTest::qWait(150);
    QCOMPARE(s.bytesAvailable(), 0);
}

void tst_DisplaySim::webIndexAndSecondAddress()
{
    SimDisplayConfig c = baseConfig();
    c.secondAddress = addr(10);
    c.serveSecondAddress = true;
    SimDisplay display(c);
    QCOMPARE(display.start(addr(9)), 0);

    const auto get = [](const QHostAddress &host, const QByteArray &path) {
        QTcpSocket s;
        s.connectToHost(host, WebPort);
        [&] { QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState); }();
        s.write("GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        QByteArray all;
        [&] { QTRY_VERIFY((all += s.readAll(), s.state() == QAbstractSocket::UnconnectedState)); }();
        return all + s.readAll();
    };

    QByteArray page = get(addr(9), "/index.html");
    QVERIFY(page.startsWith("HTTP/1.1 200"));
    QVERIFY(!page.contains("/Logon/"));
    display.setLocked(true);
    page = get(addr(9), "/index.html");
    QVERIFY(page.contains("/Logon/"));
    QVERIFY(get(addr(9), "/nothing").startsWith("HTTP/1.1 404"));
    SimDisplayConfig empty = display.config();
    empty.indexPage = QByteArray("");
    display.setConfig(empty);
    page = get(addr(9), "/index.html");
    QVERIFY(page.startsWith("HTTP/1.1 200"));
    QVERIFY(page.endsWith("\r\n\r\n"));
    QVERIFY(page.contains("Content-Length: 0\r\n"));
    empty.indexPage = QByteArray();
    display.setConfig(empty);

    page = get(addr(10), "/");
    QVERIFY(page.startsWith("HTTP/1.1 200"));
    QVERIFY(page.indexOf("\r\n\r\n") + 4 < page.size());
    QCOMPARE(display.requestLog().requests(SimLogEntry::Channel::Web),
             (QList<QByteArray>{ "GET /index.html", "GET /index.html", "GET /nothing", "GET /index.html", "GET /" }));

    // A route added later serves the body it was sent.
    display.webRouter().addRoute("POST", "/upload", [](const SimHttpRequest &r) {
        return SimHttpResponse::text(200, QByteArray::number(r.body.size()) + ' ' + r.header("X-Api-Key"));
    });
    QTcpSocket s;
    s.connectToHost(addr(9), WebPort);
    QTRY_COMPARE(s.state(), QAbstractSocket::ConnectedState);
    s.write("POST /upload?x=1 HTTP/1.1\r\nx-api-key: k1\r\nContent-Length: 5\r\n\r\nab");
    QTest::qWait(50);
    s.write("cde");
    QByteArray reply;
    QTRY_VERIFY((reply += s.readAll(), reply.endsWith("5 k1")));
}

QTEST_GUILESS_MAIN(tst_DisplaySim)
#include "tst_displaysim.moc"
