#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimMultipartStream.h"
#include "SimUpdateStats.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QHttpMultiPart>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QUuid>

// The simulator's update side driven by clients written here from the wire
// formats, not by the product: every dialect's happy path, the upload key,
// faults and the reboot. Addresses in 127.0.203.0/24.
namespace {

constexpr quint16 WebPort = 18083;

QHostAddress addr(int last)
{
    return QHostAddress(QStringLiteral("127.0.203.%1").arg(last));
}

QByteArray stamp()
{
    return QTime::currentTime().toString(QStringLiteral("hhmmsszzz")).toLatin1();
}

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

QByteArray firmware(int size, char seed)
{
    QByteArray d(size, '\0');
    for (int i = 0; i < size; ++i)
        d[i] = char(seed + i * 31 + (i >> 9));
    return d;
}

// Body A (with the e-mail part) or Body B, built by hand as the displays expect it.
QByteArray multipartBody(const QByteArray &fileName, const QByteArray &content, bool withEmail)
{
    QByteArray b = "--AaB03x\r\n";
    if (withEmail)
        b += "Content-Disposition: form-data; name=\"email\"\r\n\r\nnobody@example.invalid\r\n--AaB03x\r\n";
    b += "Content-Disposition: form-data; name=\"updatefile\"; filename=\"" + fileName + "\"\r\n";
    b += "Content-Transfer-Encoding: binary\r\n\r\n" + content + "\r\n--AaB03x--\r\n";
    return b;
}

struct Reply {
    int status = -1; // -1: no reply (connection closed or nothing within the wait)
    QByteArray head;
    QByteArray body;
};

// One request over its own connection, bytes exactly as given.
Reply exchange(const QHostAddress &host, const QByteArray &bytes, int waitMs = 3000)
{
    QTcpSocket s;
    s.connectToHost(host, WebPort);
    Reply r;
    if (!s.waitForConnected(2000))
        return r;
    s.write(bytes);
    QByteArray all;
    (void)QTest::qWaitFor([&] {
        all += s.readAll();
        const int end = all.indexOf("\r\n\r\n");
        if (end < 0)
            return s.state() == QAbstractSocket::UnconnectedState;
        const int at = all.toLower().indexOf("content-length: ");
        const int length = at < 0 ? 0 : all.mid(at + 16, all.indexOf('\r', at) - at - 16).toInt();
        return all.size() >= end + 4 + length;
    }, waitMs);
    const int end = all.indexOf("\r\n\r\n");
    if (end < 0)
        return r;
    r.head = all.left(end);
    r.body = all.mid(end + 4);
    r.status = all.mid(9, 3).toInt();
    return r;
}

QByteArray textCommand(const QByteArray &method, const QByteArray &target, const QByteArray &host,
                       const QByteArray &body)
{
    QByteArray r = method + ' ' + target + " HTTP/1.1\r\nX-Requested-With: XMLHttpRequest\r\n"
                   "Accept: text/plain, */*\r\nAccept-Language: ja\r\nContent-type: text/plain;charset=UTF-8\r\n"
                   "Accept-Encoding: gzip, deflate\r\nHost: " + host + "\r\n";
    if (method == "POST")
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return r + "Connection: Keep-Alive\r\nCache-Control: no-cache\r\n\r\n" + body;
}

QByteArray jsonPoll(const QByteArray &target, const QByteArray &host)
{
    return "GET " + target + " HTTP/1.1\r\nX-Requested-With: XMLHttpRequest\r\n"
           "Accept: application/json, text/javascript, */*\r\nAccept-Language: ja\r\n"
           "Accept-Encoding: gzip, deflate\r\nHost: " + host + "\r\nConnection: Keep-Alive\r\n\r\n";
}

QByteArray uploadRequest(const QByteArray &target, const QByteArray &body, const QByteArray &separator)
{
    return "POST " + target + " HTTP/1.1\r\nHost: updater\r\nContent-type: multipart/form-data" + separator
        + " boundary=AaB03x\r\nCache-Control: no-cache\r\nAccept: */*\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// The value of key in a reply, read as a client reads it: after the key's
// quotes and colon, up to the next comma or closing brace.
QList<int> values(const QByteArray &reply, const QByteArray &key)
{
    QList<int> out;
    int at = 0;
    while ((at = reply.indexOf("\"" + key + "\"", at)) >= 0) {
        const int colon = reply.indexOf(':', at);
        int stop = colon;
        while (stop < reply.size() && reply.at(stop) != ',' && reply.at(stop) != '}')
            ++stop;
        out.append(reply.mid(colon + 1, stop - colon - 1).replace('"', "").trimmed().toInt());
        at = stop;
    }
    return out;
}

// A control request as a client frames it: SOH '0' '*' '0' type LL STX body ETX check CR.
QByteArray frame(char type, const QByteArray &body)
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

// The control protocol, one request per call on a kept connection.
class Control
{
public:
    explicit Control(const QHostAddress &host) { m_socket.connectToHost(host, 7142); m_socket.waitForConnected(2000); }

    // "D"/"F" replies: result and value; {-1, -1} for no or another reply.
    QPair<int, int> vcp(char type, const QByteArray &body)
    {
        if (m_socket.state() != QAbstractSocket::ConnectedState)
            return { -1, -1 };
        m_socket.write(frame(type, body));
        QByteArray r;
        (void)QTest::qWaitFor([&] { r += m_socket.readAll(); return r.endsWith('\r'); }, 3000);
        if (r.size() < 11 + 16 || (r.at(4) != 'D' && r.at(4) != 'F'))
            return { -1, -1 };
        const QByteArray b = r.mid(8, 16);
        return { b.left(2).toInt(nullptr, 16), b.right(4).toInt(nullptr, 16) };
    }

private:
    QTcpSocket m_socket;
};

SimDisplayConfig config(int series)
{
    SimDisplayConfig c;
    c.seriesCode = quint8(series);
    c.webPort = WebPort;
    c.update.rebootMs = 200;
    c.update.abandonMs = 5000;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(SimStepFault)

class tst_DisplaySimUpdate : public QObject
{
    Q_OBJECT

private slots:
    void multipartStream_data();
    void multipartStream();
    void dialects_data();
    void dialects();
    void cgictrlSequence_data();
    void cgictrlSequence();
    void stampedSequence();
    void chunkedSequence_data();
    void chunkedSequence();
    void legacySequence_data();
    void legacySequence();
    void uploadSequence();
    void uploadKey_data();
    void uploadKey();
    void stepFaults_data();
    void stepFaults();
    void failingComponents();
    void progressFaults();
    void concurrencyAndReboot();
    void throttledUpload();
    void expectContinue();
    void persistentDropAndHostileBody();
    void hostileRequests_data();
    void hostileRequests();
    void replyShapes_data();
    void replyShapes();
};

void tst_DisplaySimUpdate::multipartStream_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("piece");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("parts");

    const QByteArray a = multipartBody("a.bin", firmware(9000, 'x'), true);
    for (int piece : { 1, 3, 17, 4096, 100000 })
        QTest::addRow("body A in pieces of %d", piece) << a << piece << true << 2;
    // The delimiter inside the content without its leading CRLF is content.
    QTest::newRow("boundary text in content") << multipartBody("b", "x--AaB03x--\r\ny", false) << 5 << true << 1;
    QTest::newRow("empty file") << multipartBody("e", QByteArray(), false) << 1 << true << 1;
    QTest::newRow("no closing boundary") << a.left(a.size() - 12) << 64 << false << 2;
    QTest::newRow("bytes after the end") << a + "x" << 64 << false << 2;
    QTest::newRow("closing boundary without CRLF") << a.left(a.size() - 2) << 64 << false << 2;
    QTest::newRow("another boundary") << QByteArray(a).replace("AaB03x", "ZZ") << 64 << false << 0;
}

void tst_DisplaySimUpdate::multipartStream()
{
    QFETCH(QByteArray, body);
    QFETCH(int, piece);
    QFETCH(bool, valid);
    QFETCH(int, parts);
    SimMultipartStream stream("AaB03x");
    for (int at = 0; at < body.size(); at += piece)
        stream.feed(body.mid(at, piece));
    QCOMPARE(stream.finish(), valid);
    QCOMPARE(stream.parts().size(), parts);
    if (!valid)
        return;
    const SimMultipartPart &file = stream.parts().last();
    const int start = body.indexOf("binary\r\n\r\n") + 10;
    const QByteArray content = body.mid(start, body.size() - start - 14);
    QCOMPARE(file.name, QByteArray("updatefile"));
    QCOMPARE(file.size, qint64(content.size()));
    QCOMPARE(file.md5, md5(content));
    QCOMPARE(file.headerLines.last(), QByteArray("Content-Transfer-Encoding: binary"));
    if (parts == 2)
        QCOMPARE(stream.parts().first().content, QByteArray("nobody@example.invalid"));

    QCOMPARE(SimMultipartStream::boundaryOf("multipart/form-data, boundary=AaB03x"), QByteArray("AaB03x"));
    QCOMPARE(SimMultipartStream::boundaryOf("multipart/form-data; boundary=\"boundary_.oOo._x\""), QByteArray("boundary_.oOo._x"));
    QCOMPARE(SimMultipartStream::boundaryOf("text/plain; boundary=x"), QByteArray());
}

// Each series answers its own dialect and 404 to the others.
void tst_DisplaySimUpdate::dialects_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<int>>("statuses"); // series 1, 3, 9, 10, 11, 7

    const QByteArray uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1();
    QTest::newRow("cgictrl check poll") << jsonPoll("/update/FileCheckResult.json?_=" + stamp(), "h")
                                        << QList<int>{ 404, 200, 404, 404, 404, 404 };
    QTest::newRow("stamped check poll") << textCommand("GET", "/pjctrl?CRM=" + stamp(), "h", QByteArray())
                                        << QList<int>{ 404, 404, 404, 200, 404, 404 };
    QTest::newRow("chunked check poll") << QByteArray("GET /pjctrl?CRM=0&_=" + uuid + " HTTP/1.1\r\n\r\n")
                                        << QList<int>{ 404, 404, 200, 404, 404, 404 };
    QTest::newRow("chunked poll, upper-case UUID")
        << QByteArray("GET /pjctrl?CRM=0&_=" + uuid.toUpper() + " HTTP/1.1\r\n\r\n")
        << QList<int>{ 404, 404, 404, 404, 404, 404 };
    QTest::newRow("ampersand before the time stamp")
        << textCommand("POST", "/cgi-bin/cgictrl?UM=00T=1&t=" + stamp(), "h", QByteArray())
        << QList<int>{ 404, 404, 404, 404, 404, 404 };
    QTest::newRow("legacy upload") << uploadRequest("/cgi-bin/cgictrl?U=46213", multipartBody("f", "x", true), ",")
                                   << QList<int>{ 200, 404, 404, 404, 404, 404 };
    QTest::newRow("upload without key") << QByteArray("POST /upload HTTP/1.1\r\nContent-Length: 0\r\n\r\n")
                                        << QList<int>{ 404, 404, 404, 404, -1, 404 };
}

void tst_DisplaySimUpdate::dialects()
{
    QFETCH(QByteArray, request);
    QFETCH(QList<int>, statuses);
    QList<SimDisplayConfig> configs;
    for (int series : { 1, 3, 9, 10, 11, 7 })
        configs.append(config(series));
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(10), configs), 0);
    QList<int> got;
    for (SimDisplay *d : fleet.displays())
        got.append(exchange(d->address(), request, 1000).status);
    QCOMPARE(got, statuses);
}

void tst_DisplaySimUpdate::cgictrlSequence_data()
{
    QTest::addColumn<QByteArray>("components");
    QTest::addColumn<int>("polls"); // result polls until every asked component reads 204
    QTest::newRow("one component") << QByteArray("1") << 4;
    QTest::newRow("components 1 and 3") << QByteArray("1,3") << 7;
}

void tst_DisplaySimUpdate::cgictrlSequence()
{
    QFETCH(QByteArray, components);
    QFETCH(int, polls);
    SimDisplayConfig c = config(3);
    c.update.firmwareAfterMain = QStringLiteral("R9.000");
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(1), { c }), 0);
    SimDisplay *d = fleet.displays().first();
    const QHostAddress host = addr(1);
    const QByteArray h = host.toString().toLatin1();
    const QByteArray cgi = "/cgi-bin/cgictrl";

    // Before the standby request nothing may be uploaded.
    const QByteArray file = firmware(70000, 'a');
    const QByteArray body = multipartBody("pkg.bin", file, true);
    QCOMPARE(exchange(host, uploadRequest(cgi + "?CM=00t=" + stamp(), body, ",")).body, QByteArray("NG\r\n"));

    QCOMPARE(exchange(host, textCommand("POST", cgi + "?MM=00t=" + stamp(), h, "undefined\r\n")).body, QByteArray("OK\r\n"));
    QVERIFY(d->isUpdating());
    QCOMPARE(fleet.updateStats()->current(), 1);
    QCOMPARE(exchange(host, textCommand("POST", cgi + "?TCM=00t=" + stamp(), h, "undefined\r\n")).body, QByteArray("OK\r\n"));
    Reply r = exchange(host, jsonPoll("/update/FileCheckResult.json?_=" + stamp(), h));
    QCOMPARE(values(r.body, "upload"), QList<int>{ 1 });
    QCOMPARE(exchange(host, uploadRequest(cgi + "?CM=00t=" + stamp(), body, ",")).body, QByteArray("OK\r\n"));

    // Check result: stored, checking, then every component 100.
    QList<QByteArray> checks;
    for (int i = 0; i < 3; ++i)
        checks.append(exchange(host, jsonPoll("/update/FileCheckResult.json?_=" + stamp(), h)).body);
    QCOMPARE(values(checks.at(0), "upload"), QList<int>{ 0 });
    QCOMPARE(values(checks.at(1), "paccheck_result"), QList<int>{ 100 });
    QCOMPARE(values(checks.at(1), "result_code"), (QList<int>{ 50, 50, 50, 50 }));
    QCOMPARE(values(checks.at(2), "upload"), QList<int>{ 2 });
    QCOMPARE(values(checks.at(2), "result_code"), (QList<int>{ 100, 100, 100, 100 }));

    QCOMPARE(exchange(host, textCommand("POST", cgi + "?TUM=00t=" + stamp(), h, QByteArray())).body, QByteArray("OK\r\n"));
    QCOMPARE(exchange(host, textCommand("POST", cgi + "?UM=00T=" + components + "t=" + stamp(), h, QByteArray())).body,
             QByteArray("OK\r\n"));
    QList<QList<int>> codes;
    for (int i = 0; i < polls; ++i)
        codes.append(values(exchange(host, jsonPoll("/update/UpdateResult.json?=_" + stamp(), h)).body, "result_code"));
    if (components == "1") {
        QCOMPARE(codes, (QList<QList<int>>{ { 0, 204, 204, 204 }, { 50, 204, 204, 204 }, { 100, 204, 204, 204 },
                                            { 204, 204, 204, 204 } }));
    } else {
        QCOMPARE(codes.at(0), (QList<int>{ 0, 204, 202, 204 }));
        QCOMPARE(codes.at(3), (QList<int>{ 204, 204, 0, 204 }));
        QCOMPARE(codes.last(), (QList<int>{ 204, 204, 204, 204 }));
    }
    QVERIFY(!d->isUpdating());
    QCOMPARE(d->updateOutcome(), QByteArray("complete"));

    // What the display received, byte for byte.
    const QList<SimWebCapture> uploads = d->webCaptures("upload");
    QCOMPARE(uploads.size(), 2);
    const SimWebCapture &u = uploads.last();
    QCOMPARE(u.bodySize, qint64(body.size()));
    QCOMPARE(u.bodyMd5, md5(body));
    QVERIFY(u.multipartValid);
    QCOMPARE(u.parts.size(), 2);
    QCOMPARE(u.parts.at(0).name, QByteArray("email"));
    QCOMPARE(u.parts.at(1).filename, QByteArray("pkg.bin"));
    QCOMPARE(u.parts.at(1).md5, md5(file));
    QCOMPARE(u.headers.at(1), qMakePair(QByteArray("Content-type"), QByteArray("multipart/form-data, boundary=AaB03x")));
    QCOMPARE(d->updateCapture().packageMd5, md5(file));
    QCOMPARE(d->updateCapture().updateRequests.last().size(), components.count(',') + 1);
    const SimWebCapture standby = d->webCaptures("standby").first();
    QCOMPARE(standby.body, QByteArray("undefined\r\n"));
    QCOMPARE(standby.headers.first().first, QByteArray("X-Requested-With"));
    QCOMPARE(standby.headers.size(), 9);

    // Reboot: silent, then back with the new firmware.
    QTRY_VERIFY(d->isRebooting());
    QCOMPARE(exchange(host, jsonPoll("/", h), 500).status, -1);
    QTRY_VERIFY(!d->isRebooting());
    QCOMPARE(d->config().mainFwVersion, QStringLiteral("R9.000"));
    QCOMPARE(exchange(host, jsonPoll("/", h)).status, 200);
    QCOMPARE(fleet.updateStats()->maxConcurrent(), 1);
    QCOMPARE(fleet.updateStats()->displays().value(host.toString()).mainFw, QStringLiteral("R9.000"));
}

void tst_DisplaySimUpdate::stampedSequence()
{
    SimDisplayConfig c = config(10);
    c.update.checkPolls = 0; // the verdict at the first poll
    c.update.progressStep = 100;
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(3), { c }), 0);
    SimDisplay *d = fleet.displays().first();
    const QHostAddress host = addr(3);
    const QByteArray h = "x";

    QCOMPARE(exchange(host, textCommand("POST", "/pjctrl?J=" + stamp(), h, "undefined\r\n")).status, 200);
    QCOMPARE(values(exchange(host, textCommand("GET", "/pjctrl?CIM=" + stamp(), h, {})).body, "upload"), QList<int>{ 1 });
    const QByteArray file = firmware(5000, 's');
    const QByteArray body = multipartBody("rh.bin", file, false);
    QCOMPARE(exchange(host, uploadRequest("/pjctrl?CM=00t=" + stamp(), body, ";")).body, QByteArray("OK\r\n"));
    const QByteArray check = exchange(host, textCommand("GET", "/pjctrl?CRM=" + stamp(), h, {})).body;
    QCOMPARE(values(check, "upload"), QList<int>{ 2 });
    QCOMPARE(values(check, "paccheck_result"), QList<int>{ 100 });
    QCOMPARE(values(check, "result_code"), (QList<int>{ 100, 100, 100, 100 }));
    QCOMPARE(exchange(host, textCommand("POST", "/pjctrl?UM=00T=2t=" + stamp(), h, {})).body, QByteArray("OK\r\n"));
    QList<int> second;
    for (int i = 0; i < 3; ++i)
        second.append(values(exchange(host, textCommand("GET", "/pjctrl?URM=" + stamp(), h, {})).body, "result_code").value(1));
    QCOMPARE(second, (QList<int>{ 0, 100, 204 }));
    QCOMPARE(d->updateOutcome(), QByteArray("complete"));
    const SimWebCapture u = d->webCaptures("upload").first();
    QCOMPARE(u.parts.size(), 1);
    QCOMPARE(u.parts.first().md5, md5(file));
    QCOMPARE(u.headers.at(1).second, QByteArray("multipart/form-data; boundary=AaB03x"));
}

// The cleaning a client of this dialect applies before parsing the JSON.
QJsonObject cleaned(const QByteArray &reply)
{
    QString t = QString::fromLatin1(reply);
    t.remove(QRegularExpression(QStringLiteral("//.*")));
    t.replace(QRegularExpression(QStringLiteral("\\,(\\s*[\\}\\]])")), QStringLiteral("\\1"));
    return QJsonDocument::fromJson(t.toLatin1()).object();
}

void tst_DisplaySimUpdate::chunkedSequence_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<qint64>>("chunks");
    QTest::newRow("one chunk exactly") << 512000 << QList<qint64>{ 512000 };
    QTest::newRow("one byte more") << 512001 << QList<qint64>{ 512000, 1 };
    QTest::newRow("1,000,000 bytes") << 1000000 << QList<qint64>{ 512000, 488000 };
}

void tst_DisplaySimUpdate::chunkedSequence()
{
    QFETCH(int, size);
    QFETCH(QList<qint64>, chunks);
    SimDisplayConfig c = config(9);
    c.update.components = 2;
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(4), { c }), 0);
    SimDisplay *d = fleet.displays().first();
    const QHostAddress host = addr(4);
    const auto url = [](const QByteArray &q) {
        return "/pjctrl?" + q + "&_=" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1();
    };
    const auto get = [&](const QByteArray &q) {
        return exchange(host, "GET " + url(q) + " HTTP/1.1\r\nHost: x\r\n\r\n");
    };
    const auto post = [&](const QByteArray &q, const QByteArray &body) {
        return exchange(host, "POST " + url(q) + " HTTP/1.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                              "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    };

    QCOMPARE(get("J=0").status, 200);
    QCOMPARE(post("CIM=0", {}).status, 200);
    const QByteArray file = firmware(size, 'c');
    QCOMPARE(post("CM=00", "filesize=" + QByteArray::number(size)).status, 200);
    for (int at = 0; at < size; at += 512000)
        QCOMPARE(post("CM=00", file.mid(at, 512000)).status, 200);
    QCOMPARE(d->updateCapture().chunkSizes, chunks);
    QCOMPARE(d->updateCapture().announcedSizes, QList<qint64>{ size });
    QCOMPARE(d->updateCapture().packageMd5, md5(file));

    // Commented JSON with trailing commas: parses once cleaned.
    QList<QJsonObject> checks;
    for (int i = 0; i < 3; ++i) {
        const QByteArray raw = get("CRM=0").body;
        QVERIFY(raw.contains("//"));
        QVERIFY(raw.contains(",}") || raw.contains(",\n]"));
        checks.append(cleaned(raw));
    }
    QCOMPARE(checks.at(0).value("paccheck_result").toString(), QStringLiteral("0"));
    QCOMPARE(checks.at(2).value("paccheck_result").toString(), QStringLiteral("100"));
    const QJsonArray fw = checks.at(2).value("fwcheck_result").toArray();
    QCOMPARE(fw.size(), 6);
    QCOMPARE(fw.at(1).toObject().value("result_code").toInt(), 100);
    QVERIFY(fw.at(2).toObject().isEmpty());

    QCOMPARE(post("UM=00T=9", {}).status, 200);
    QList<QPair<int, int>> states; // Firmware, result_code of the first update_sts entry
    for (int i = 0; i < 7; ++i) {
        const QJsonObject o = cleaned(get("URM=0").body).value("update_sts").toArray().first().toObject();
        states.append({ o.value("Firmware").toInt(), o.value("result_code").toInt() });
    }
    QCOMPARE(states, (QList<QPair<int, int>>{ { 1, 0 }, { 1, 50 }, { 1, 100 }, { 2, 0 }, { 2, 50 }, { 2, 100 }, { 2, 204 } }));
    QCOMPARE(d->updateOutcome(), QByteArray("complete"));
}

void tst_DisplaySimUpdate::legacySequence_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("writingMs");
    QTest::addColumn<QList<QByteArray>>("answers"); // for three uploads
    QTest::addColumn<QByteArray>("outcome");
    QTest::addColumn<int>("quietMs");
    QTest::newRow("written") << 0 << 0
                             << QList<QByteArray>{ "File written successfully", "File written successfully",
                                                   "File written successfully" } << QByteArray("complete") << 300;
    // Each upload comes after the quiet time and takes longer than the
    // 100 ms before the reboot: it cancels the reboot due.
    QTest::newRow("quiet time shorter than the gaps")
        << 0 << 0 << QList<QByteArray>{ "File written successfully", "File written successfully",
                                         "File written successfully" } << QByteArray("complete") << 1;
    QTest::newRow("still writing") << 0 << 100
                                   << QList<QByteArray>{ "Image file writing.", "Image file writing.",
                                                         "Image file writing." } << QByteArray("complete") << 300;
    QTest::newRow("fails twice") << 2 << 0
                                 << QList<QByteArray>{ "File write error", "File write error",
                                                       "File written successfully" } << QByteArray("complete") << 300;
    QTest::newRow("fails three times") << 3 << 0
                                       << QList<QByteArray>{ "File write error", "File write error",
                                                             "File write error" } << QByteArray("failed") << 300;
}

void tst_DisplaySimUpdate::legacySequence()
{
    QFETCH(int, failures);
    QFETCH(int, writingMs);
    QFETCH(QList<QByteArray>, answers);
    QFETCH(QByteArray, outcome);
    QFETCH(int, quietMs);
    SimDisplayConfig c = config(1);
    c.update.legacyWriteFailures = failures;
    c.update.legacyWritingMs = writingMs;
    c.update.legacyQuietMs = quietMs;
    const bool slow = quietMs < 10;
    if (slow) {
        SimStepFault f;
        f.step = "upload";
        f.readBytesPerSecond = 1000000;
        c.update.faults = { f };
    }
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(5), { c }), 0);
    SimDisplay *d = fleet.displays().first();
    for (int i = 0; i < 3; ++i) {
        const QByteArray body = multipartBody("fw" + QByteArray::number(i) + ".bin", firmware((slow ? 200000 : 2000) + i, 'l'), true);
        const Reply r = exchange(addr(5), uploadRequest("/cgi-bin/cgictrl?U=46213", body, ","));
        QCOMPARE(r.status, 200);
        QVERIFY2(r.body.contains(answers.at(i)), r.body.constData());
        QVERIFY(d->isUpdating() || slow);
        QTest::qWait(slow ? 30 : 0);
    }
    QTRY_COMPARE(d->updateOutcome(), outcome);
    QCOMPARE(d->updateCapture().packages, 3 - failures);
    QTRY_COMPARE(d->isRebooting(), outcome == "complete");
}

void tst_DisplaySimUpdate::uploadSequence()
{
    SimDisplayConfig c = config(11);
    c.uploadKeyValue = 0x0a7c;
    c.update.firmwareAfterComponents = { QStringLiteral("1.50") };
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(2), { c }), 0);
    SimDisplay *d = fleet.displays().first();
    const QHostAddress host = addr(2);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fw.bin"));
    const QByteArray file = firmware(300000, 'w');
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    const auto upload = [&](const QByteArray &key) {
        auto *multi = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data; name=\"file\"; filename=\"%1\"").arg(path));
        auto *f = new QFile(path, multi);
        f->open(QIODevice::ReadOnly);
        part.setBodyDevice(f);
        multi->append(part);
        QNetworkRequest request(QUrl(QStringLiteral("http://%1:%2/upload").arg(host.toString()).arg(WebPort)));
        if (!key.isNull())
            request.setRawHeader("X-Api-Key", key);
        QNetworkReply *reply = nam.post(request, multi);
        multi->setParent(reply);
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(5000);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->deleteLater();
        return status;
    };
    const QByteArray key = md5("KaVeRoLu0a7c\n");

    Control ctl(host);
    QCOMPARE(ctl.vcp('E', "13070001"), qMakePair(0, 0x0a7c));
    QVERIFY(d->isUpdating());
    QCOMPARE(ctl.vcp('C', "11F0"), qMakePair(0, 1));
    QCOMPARE(upload(key), 0); // the web server is off: no HTTP answer at all
    QCOMPARE(ctl.vcp('E', "11F00002"), qMakePair(0, 2));
    QCOMPARE(upload(key), 200);
    QCOMPARE(ctl.vcp('E', "11F00001"), qMakePair(0, 1));
    QCOMPARE(ctl.vcp('C', "1306"), qMakePair(0, 200)); // not started yet
    QCOMPARE(ctl.vcp('E', "13030001").first, 0);
    QList<int> progress;
    for (int i = 0; i < 5; ++i)
        progress.append(ctl.vcp('C', "1306").second);
    QCOMPARE(progress, (QList<int>{ 200, 0, 50, 100, 200 }));
    QCOMPARE(d->updateOutcome(), QByteArray("complete"));

    const SimUpdateCapture &cap = d->updateCapture();
    // The client's network library sends a request again once when the
    // connection closes without an answer.
    QVERIFY(cap.apiKeys.size() >= 2);
    QCOMPARE(cap.apiKeys.count(key), cap.apiKeys.size());
    QCOMPARE(cap.packageMd5, md5(file));
    QCOMPARE(cap.packageName, path.toUtf8());
    const SimWebCapture u = d->webCaptures("upload").last();
    QCOMPARE(u.parts.size(), 1);
    QCOMPARE(u.parts.first().headerLines.size(), 1);
    QCOMPARE(u.status, 200);

    QTRY_VERIFY(d->isRebooting());
    QTRY_VERIFY(!d->isRebooting());
    QCOMPARE(d->config().fwVersions.first(), QStringLiteral("1.50"));
    QTcpSocket after;
    after.connectToHost(host, 7142);
    QVERIFY(after.waitForConnected(2000));
    after.write(frame('A', "CA0201"));
    QByteArray text;
    QTRY_VERIFY((text += after.readAll(), text.endsWith('\r')));
    QVERIFY2(text.contains("CB020001" "1.50"), text.constData());
    QCOMPARE(d->config().mainFwVersion, c.mainFwVersion); // not configured: unchanged
}

void tst_DisplaySimUpdate::uploadKey_data()
{
    QTest::addColumn<QByteArray>("prefix");     // configured on the display
    QTest::addColumn<QByteArray>("keyText");    // hashed by the client; "-" = no header
    QTest::addColumn<bool>("requested");        // upload request (13h 07h) made first
    QTest::addColumn<int>("status");
    QTest::newRow("right key") << QByteArray("KaVeRoLu") << QByteArray("KaVeRoLu0b0e\n") << true << 200;
    QTest::newRow("other prefix configured") << QByteArray("AbCdEfGh") << QByteArray("AbCdEfGh0b0e\n") << true << 200;
    QTest::newRow("default prefix on a display that wants another")
        << QByteArray("AbCdEfGh") << QByteArray("KaVeRoLu0b0e\n") << true << 403;
    QTest::newRow("upper-case digits") << QByteArray("KaVeRoLu") << QByteArray("KaVeRoLu0B0E\n") << true << 403;
    QTest::newRow("no leading zero") << QByteArray("KaVeRoLu") << QByteArray("KaVeRoLub0e\n") << true << 403;
    QTest::newRow("no line feed") << QByteArray("KaVeRoLu") << QByteArray("KaVeRoLu0b0e") << true << 403;
    QTest::newRow("no key") << QByteArray("KaVeRoLu") << QByteArray("-") << true << 403;
    QTest::newRow("no upload request") << QByteArray("KaVeRoLu") << QByteArray("KaVeRoLu0b0e\n") << false << 403;
}

void tst_DisplaySimUpdate::uploadKey()
{
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, keyText);
    QFETCH(bool, requested);
    QFETCH(int, status);
    SimDisplayConfig c = config(11);
    c.uploadKeyValue = 0x0b0e;
    c.update.uploadKeyPrefix = prefix;
    c.vcpValues[0x11F0] = 2; // server on
    SimDisplay d(c);
    QCOMPARE(d.start(addr(6)), 0);
    Control ctl(addr(6));
    if (requested)
        QCOMPARE(ctl.vcp('E', "13070001"), qMakePair(0, 0x0b0e));

    // Any boundary, written by a client other than the network library.
    const QByteArray file = firmware(1000, 'k');
    const QByteArray body = "--xyz123\r\nContent-Disposition: form-data; name=\"file\"; filename=\"/tmp/a b.bin\"\r\n\r\n"
        + file + "\r\n--xyz123--\r\n";
    QByteArray req = "POST /upload HTTP/1.1\r\nHost: h\r\nContent-Type: multipart/form-data; boundary=\"xyz123\"\r\n";
    if (keyText != "-")
        req += "X-Api-Key: " + md5(keyText) + "\r\n";
    req += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    QCOMPARE(exchange(addr(6), req).status, status);
    QCOMPARE(d.updateCapture().apiKeys.size(), 1);
    QCOMPARE(d.updateCapture().packageMd5, status == 200 ? md5(file) : QByteArray());
    QCOMPARE(d.updateCapture().packageName, status == 200 ? QByteArray("/tmp/a b.bin") : QByteArray());
    QCOMPARE(ctl.vcp('E', "13030001").first, status == 200 ? 0 : 1); // no start without a package
}

void tst_DisplaySimUpdate::stepFaults_data()
{
    QTest::addColumn<SimStepFault>("fault");
    QTest::addColumn<QList<int>>("statuses");   // of three standby requests; -1 = no answer
    QTest::addColumn<int>("minMs");             // the first answer came this late at least

    SimStepFault f;
    f.step = "standby";
    f.status = 401;
    QTest::newRow("401 always") << f << QList<int>{ 401, 401, 401 } << 0;
    f.status = 500;
    f.skip = 1;
    f.times = 1;
    QTest::newRow("500 on the second only") << f << QList<int>{ 200, 500, 200 } << 0;
    f = SimStepFault();
    f.step = "*";
    f.delayMs = 300;
    f.times = 1;
    QTest::newRow("first answer delayed") << f << QList<int>{ 200, 200, 200 } << 300;
    f = SimStepFault();
    f.step = "standby";
    f.neverReply = true;
    f.times = 2;
    QTest::newRow("held back twice") << f << QList<int>{ -1, -1, 200 } << 0;
    f = SimStepFault();
    f.step = "upload";
    f.status = 401;
    QTest::newRow("fault on another step") << f << QList<int>{ 200, 200, 200 } << 0;
}

void tst_DisplaySimUpdate::stepFaults()
{
    QFETCH(SimStepFault, fault);
    QFETCH(QList<int>, statuses);
    QFETCH(int, minMs);
    SimDisplayConfig c = config(3);
    c.update.faults = { fault };
    SimDisplay d(c);
    QCOMPARE(d.start(addr(7)), 0);
    QList<int> got;
    QElapsedTimer clock;
    clock.start();
    Reply first;
    for (int i = 0; i < 3; ++i) {
        const Reply r = exchange(addr(7), textCommand("POST", "/cgi-bin/cgictrl?MM=00t=" + stamp(), "h", "undefined\r\n"), 600);
        if (i == 0) {
            first = r;
            QVERIFY(clock.elapsed() >= minMs);
        }
        got.append(r.status);
    }
    QCOMPARE(got, statuses);
    if (statuses.first() == 401)
        QVERIFY(first.head.contains("\r\nWWW-Authenticate: Basic realm="));
    QCOMPARE(d.webCaptures("standby").size(), 3);
}

void tst_DisplaySimUpdate::failingComponents()
{
    // A connection dropped in the middle of an upload, then a component
    // that fails its check, on one cgictrl display; then one that fails its
    // update.
    SimDisplayConfig c = config(4);
    c.update.checkPolls = 0;
    c.update.progressStep = 100;
    SimStepFault drop;
    drop.step = "upload";
    drop.dropAfterBytes = 20000;
    drop.times = 1;
    c.update.faults = { drop };
    c.update.checkFailComponent = 2;
    SimDisplay d(c);
    QCOMPARE(d.start(addr(8)), 0);
    const QHostAddress host = addr(8);
    const auto post = [&](const QByteArray &q) {
        return exchange(host, textCommand("POST", "/cgi-bin/cgictrl?" + q + stamp(), "h", "undefined\r\n"));
    };
    const QByteArray body = multipartBody("p.bin", firmware(200000, 'd'), true);
    QCOMPARE(post("MM=00t=").status, 200);
    QCOMPARE(exchange(host, uploadRequest("/cgi-bin/cgictrl?CM=00t=" + stamp(), body, ",")).status, -1);
    const SimWebCapture dropped = d.webCaptures("upload").first();
    QVERIFY(!dropped.complete);
    QVERIFY(dropped.bodySize >= 20000 && dropped.bodySize < body.size());
    QCOMPARE(d.updateCapture().packages, 0);

    QCOMPARE(exchange(host, uploadRequest("/cgi-bin/cgictrl?CM=00t=" + stamp(), body, ",")).body, QByteArray("OK\r\n"));
    const QByteArray check = exchange(host, jsonPoll("/update/FileCheckResult.json?_=" + stamp(), "h")).body;
    QCOMPARE(values(check, "result_code"), (QList<int>{ 100, 300, 100, 100 }));
    QCOMPARE(d.updateOutcome(), QByteArray("failed"));
    QCOMPARE(post("TUM=00t=").body, QByteArray("NG\r\n")); // a failed check does not lead on

    SimDisplayConfig failing = d.config();
    failing.update.checkFailComponent = -1;
    failing.update.updateFailComponent = 1;
    failing.update.faults.clear();
    d.setConfig(failing);
    QCOMPARE(post("MM=00t=").status, 200);
    QCOMPARE(exchange(host, uploadRequest("/cgi-bin/cgictrl?CM=00t=" + stamp(), body, ",")).body, QByteArray("OK\r\n"));
    QCOMPARE(values(exchange(host, jsonPoll("/update/FileCheckResult.json?_=" + stamp(), "h")).body, "upload"), QList<int>{ 2 });
    QCOMPARE(post("TUM=00t=").body, QByteArray("OK\r\n"));
    QCOMPARE(exchange(host, textCommand("POST", "/cgi-bin/cgictrl?UM=00T=1,2t=" + stamp(), "h", {})).body, QByteArray("OK\r\n"));
    QList<QList<int>> codes;
    for (int i = 0; i < 4; ++i)
        codes.append(values(exchange(host, jsonPoll("/update/UpdateResult.json?=_" + stamp(), "h")).body, "result_code").mid(0, 2));
    QCOMPARE(codes, (QList<QList<int>>{ { 0, 202 }, { 500, 0 }, { 500, 100 }, { 500, 204 } }));
    QCOMPARE(d.updateOutcome(), QByteArray("failed"));
    QVERIFY(!d.isRebooting());
}

void tst_DisplaySimUpdate::progressFaults()
{
    // Upload dialect: the display's faults seen through the control protocol.
    SimDisplayConfig c = config(11);
    c.vcpValues[0x11F0] = 2;
    c.update.httpServerEnableRejected = true;
    c.update.updateFailComponent = 1;
    SimDisplay d(c);
    QCOMPARE(d.start(addr(9)), 0);
    Control ctl(addr(9));
    QCOMPARE(ctl.vcp('E', "11F00002").first, 1);
    QCOMPARE(ctl.vcp('E', "11F00001"), qMakePair(0, 1)); // disabling is not refused
    QCOMPARE(ctl.vcp('E', "11F00002").first, 1);

    const auto run = [&]() {
        d.setVcpValue(0x11F0, 2);
        const QByteArray key = md5("KaVeRoLu" + QByteArray::number(d.config().uploadKeyValue, 16).rightJustified(4, '0') + "\n");
        const QByteArray body = "--b\r\nContent-Disposition: form-data; name=\"file\"; filename=\"f\"\r\n\r\nxyz\r\n--b--\r\n";
        ctl.vcp('E', "13070001");
        const Reply r = exchange(addr(9), "POST /upload HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=b\r\nX-Api-Key: "
                                          + key + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        ctl.vcp('E', "13030001");
        QList<int> progress;
        for (int i = 0; i < 5; ++i)
            progress.append(ctl.vcp('C', "1306").second);
        return qMakePair(r.status, progress);
    };
    QCOMPARE(run(), qMakePair(200, QList<int>{ 200, 0, 208, 208, 208 }));
    QCOMPARE(d.updateOutcome(), QByteArray("failed"));

    SimDisplayConfig never = d.config();
    never.update.updateFailComponent = -1;
    never.update.updateNeverStarts = true;
    d.setConfig(never);
    QCOMPARE(run(), qMakePair(200, QList<int>{ 200, 200, 200, 200, 200 }));
    QVERIFY(d.isUpdating());

    never.update.updateNeverStarts = false;
    never.update.checkFailComponent = 0;
    d.setConfig(never);
    QCOMPARE(run(), qMakePair(400, QList<int>{ 200, 200, 200, 200, 200 }));
    QCOMPARE(d.updateOutcome(), QByteArray("failed"));
}

void tst_DisplaySimUpdate::concurrencyAndReboot()
{
    QList<SimDisplayConfig> configs;
    for (int i = 0; i < 3; ++i) {
        SimDisplayConfig c = config(3);
        c.update.abandonMs = 300;
        c.update.checkPolls = 0;
        c.update.progressStep = 100;
        c.update.neverReturn = i == 2;
        c.update.firmwareAfterMain = QStringLiteral("R5.000");
        configs.append(c);
    }
    SimFleet fleet;
    QCOMPARE(fleet.start(addr(20), configs), 0);
    SimUpdateStats *stats = fleet.updateStats();
    const auto standby = [](const QHostAddress &host) {
        return exchange(host, textCommand("POST", "/cgi-bin/cgictrl?MM=00t=" + stamp(), "h", "undefined\r\n")).status;
    };
    // Two at once, then both abandoned; then the third alone.
    QCOMPARE(standby(addr(20)), 200);
    QCOMPARE(standby(addr(21)), 200);
    QCOMPARE(stats->current(), 2);
    // Polls alone do not begin an update.
    exchange(addr(22), jsonPoll("/update/UpdateResult.json?=_" + stamp(), "h"));
    QCOMPARE(stats->current(), 2);
    QTRY_COMPARE(stats->current(), 0);
    QCOMPARE(stats->displays().value(addr(20).toString()).outcome, QByteArray("abandoned"));

    const QHostAddress host = addr(22);
    QCOMPARE(standby(host), 200);
    QCOMPARE(exchange(host, uploadRequest("/cgi-bin/cgictrl?CM=00t=" + stamp(), multipartBody("a", "b", true), ",")).status, 200);
    exchange(host, jsonPoll("/update/FileCheckResult.json?_=" + stamp(), "h"));
    exchange(host, textCommand("POST", "/cgi-bin/cgictrl?TUM=00t=" + stamp(), "h", {}));
    exchange(host, textCommand("POST", "/cgi-bin/cgictrl?UM=00T=1t=" + stamp(), "h", {}));
    for (int i = 0; i < 3; ++i)
        exchange(host, jsonPoll("/update/UpdateResult.json?=_" + stamp(), "h"));
    QCOMPARE(stats->current(), 0);
    QCOMPARE(stats->maxConcurrent(), 2);
    QCOMPARE(stats->displays().value(host.toString()).outcome, QByteArray("complete"));
    QTRY_VERIFY(stats->displays().value(host.toString()).gone);
    QTest::qWait(400);
    Control ctl(host);
    QCOMPARE(ctl.vcp('C', "11F0").first, -1); // never back
    QCOMPARE(exchange(host, jsonPoll("/", "h"), 300).status, -1);
    QCOMPARE(stats->toJson().value("maxConcurrent").toInt(), 2);
}

void tst_DisplaySimUpdate::throttledUpload()
{
    // A slow but steady link: the client sees its upload progress all along,
    // not all at once into socket buffers and then a long silence.
    SimDisplayConfig c = config(3);
    SimStepFault slow;
    slow.step = "upload";
    slow.readBytesPerSecond = 4000000;
    c.update.faults = { slow };
    SimDisplay d(c);
    QCOMPARE(d.start(addr(30)), 0);
    QCOMPARE(exchange(addr(30), textCommand("POST", "/cgi-bin/cgictrl?MM=00t=" + stamp(), "h", "undefined\r\n")).status, 200);

    const QByteArray file = firmware(12000000, 't');
    const QByteArray body = multipartBody("slow.bin", file, true);
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(QUrl(QStringLiteral("http://%1:%2/cgi-bin/cgictrl?CM=00t=%3")
                                     .arg(addr(30).toString()).arg(WebPort).arg(QString::fromLatin1(stamp()))));
    request.setRawHeader("Content-type", "multipart/form-data, boundary=AaB03x");
    QTemporaryDir dir;
    QFile bodyFile(dir.filePath(QStringLiteral("body")));
    QVERIFY(bodyFile.open(QIODevice::ReadWrite));
    bodyFile.write(body);
    bodyFile.seek(0);
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    QElapsedTimer clock;
    clock.start();
    QNetworkReply *reply = nam.post(request, &bodyFile);
    QList<QPair<qint64, qint64>> progress; // ms, bytes sent
    connect(reply, &QNetworkReply::uploadProgress, this, [&](qint64 sent, qint64) { progress.append({ clock.elapsed(), sent }); });
    QSignalSpy done(reply, &QNetworkReply::finished);
    QVERIFY(done.wait(10000));
    const qint64 total = clock.elapsed();
    QCOMPARE(reply->readAll(), QByteArray("OK\r\n"));
    reply->deleteLater();
    QVERIFY2(total >= 2500, QByteArray::number(total).constData()); // 12 MB at 4 MB/s
    // Until the client's kernel buffers (a few MB on loopback) take the rest,
    // progress keeps coming; a client needs files well above that size to
    // see a slow link.
    qint64 longestGap = 0;
    qint64 halfAt = -1;
    for (int i = 1; i < progress.size() && progress.at(i - 1).second < body.size(); ++i) {
        longestGap = qMax(longestGap, progress.at(i).first - progress.at(i - 1).first);
        if (halfAt < 0 && progress.at(i).second >= body.size() / 2)
            halfAt = progress.at(i).first;
    }
    QVERIFY2(longestGap < 700, QByteArray::number(longestGap).constData());
    QVERIFY2(halfAt > 600, QByteArray::number(halfAt).constData()); // not swallowed at once
    QCOMPARE(d.updateCapture().packageMd5, md5(file));
}

void tst_DisplaySimUpdate::expectContinue()
{
    // Clients such as curl wait for "100 Continue" before sending a large
    // body; without it every upload would stall for a second.
    SimDisplay d(config(2));
    QCOMPARE(d.start(addr(31)), 0);
    const QByteArray body = multipartBody("x.bin", firmware(100000, 'e'), true);
    QByteArray head = uploadRequest("/cgi-bin/cgictrl?U=46213", QByteArray(), ",");
    head.replace("Content-Length: 0", "Expect: 100-continue\r\nContent-Length: " + QByteArray::number(body.size()));
    QTcpSocket s;
    s.connectToHost(addr(31), WebPort);
    QVERIFY(s.waitForConnected(2000));
    s.write(head);
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += s.readAll(), got.contains("\r\n\r\n")), 500);
    QCOMPARE(got, QByteArray("HTTP/1.1 100 Continue\r\n\r\n"));
    s.write(body);
    QTRY_VERIFY((got += s.readAll(), got.contains("File written successfully")));
    QCOMPARE(d.updateCapture().packageSize, qint64(100000));
}

void tst_DisplaySimUpdate::persistentDropAndHostileBody()
{
    // A drop that hits every attempt, also the network library's own resend
    // whose small body arrives whole in one read; then a huge garbage answer.
    SimDisplayConfig c = config(3);
    SimStepFault drop;
    drop.step = "standby";
    drop.dropAfterBytes = 5;
    SimStepFault garbage;
    garbage.step = "result";
    garbage.body = "{\"update_sts\": [{\"result_code\": 99999999999999999999";
    garbage.bodyRepeat = 30000;
    c.update.faults = { drop, garbage };
    SimDisplay d(c);
    QCOMPARE(d.start(addr(32)), 0);

    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(QUrl(QStringLiteral("http://%1:%2/cgi-bin/cgictrl?MM=00t=%3")
                                     .arg(addr(32).toString()).arg(WebPort).arg(QString::fromLatin1(stamp()))));
    request.setRawHeader("Content-type", "text/plain;charset=UTF-8");
    QNetworkReply *reply = nam.post(request, QByteArray("undefined\r\n"));
    QSignalSpy done(reply, &QNetworkReply::finished);
    QVERIFY(done.wait(5000));
    QCOMPARE(reply->error(), QNetworkReply::RemoteHostClosedError);
    reply->deleteLater();
    const QList<SimWebCapture> attempts = d.webCaptures("standby");
    QVERIFY(attempts.size() >= 2);
    for (const SimWebCapture &a : attempts) {
        QCOMPARE(a.status, 0);
        QCOMPARE(a.bodySize, qint64(11)); // whole, and still unanswered
        QVERIFY(a.complete);
    }

    const Reply r = exchange(addr(32), jsonPoll("/update/UpdateResult.json?=_" + stamp(), "h"));
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body.size(), garbage.body.size() * 30000);
    QVERIFY(r.body.startsWith(garbage.body + garbage.body));
}

void tst_DisplaySimUpdate::hostileRequests_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status"); // -1: closed without an answer
    QTest::newRow("head over 64 KiB") << "GET /" + QByteArray(70000, 'a') << 413;
    QTest::newRow("negative length") << QByteArray("POST /upload HTTP/1.1\r\nContent-Length: -5\r\n\r\n") << 400;
    QTest::newRow("length beyond 4 GiB") << QByteArray("POST /upload HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n") << 413;
    QTest::newRow("chunked transfer") << QByteArray("POST /upload HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n") << 501;
    QTest::newRow("no request line") << QByteArray("\r\n\r\n") << 400;
    QByteArray parts;
    for (int i = 0; i < 100; ++i)
        parts += "--b\r\nContent-Disposition: form-data; name=\"updatefile\"; filename=\"f\"\r\n\r\nx\r\n";
    parts += "--b--\r\n";
    QTest::newRow("100 parts") << "POST /cgi-bin/cgictrl?U=46213 HTTP/1.1\r\nContent-Type: multipart/form-data, boundary=b\r\n"
                                  "Content-Length: " + QByteArray::number(parts.size()) + "\r\n\r\n" + parts << 200;
    QTest::newRow("part head never ends")
        << "POST /cgi-bin/cgictrl?U=46213 HTTP/1.1\r\nContent-Type: multipart/form-data, boundary=b\r\nContent-Length: 20010\r\n\r\n--b\r\n"
               + QByteArray(20005, 'h') << 200;
}

void tst_DisplaySimUpdate::hostileRequests()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    SimDisplay d(config(1));
    QCOMPARE(d.start(addr(33)), 0);
    const Reply r = exchange(addr(33), bytes, 2000);
    QCOMPARE(r.status, status);
    if (status == 200) { // a malformed body is a write error, not a package
        QVERIFY(r.body.contains("File write error"));
        QCOMPARE(d.updateCapture().packages, 0);
        QVERIFY(!d.webCaptures().last().multipartValid);
    }
    // Still serving.
    QCOMPARE(exchange(addr(33), jsonPoll("/index.html", "h")).status, 200);
}

void tst_DisplaySimUpdate::replyShapes_data()
{
    QTest::addColumn<QByteArray>("framing");
    QTest::addColumn<qint64>("headerBytes");
    QTest::addColumn<QByteArray>("unended");
    QTest::newRow("chunked") << QByteArray("chunked") << qint64(0) << QByteArray();
    QTest::newRow("ends with the connection") << QByteArray("close") << qint64(0) << QByteArray();
    QTest::newRow("100 KB of header lines") << QByteArray() << qint64(100000) << QByteArray();
    QTest::newRow("chunked after 100 KB of header lines") << QByteArray("chunked") << qint64(100000) << QByteArray();
    QTest::newRow("header line never ends") << QByteArray() << qint64(300000) << QByteArray("header");
    QTest::newRow("status line never ends") << QByteArray() << qint64(300000) << QByteArray("status");
}

// The shapes of answer a client has to cope with, checked on the raw bytes.
void tst_DisplaySimUpdate::replyShapes()
{
    QFETCH(QByteArray, framing);
    QFETCH(qint64, headerBytes);
    QFETCH(QByteArray, unended);
    SimDisplayConfig c = config(3);
    SimStepFault f;
    f.step = "stateCheck";
    f.body = "0123456789";
    f.bodyRepeat = 500;
    f.framing = framing;
    f.headerBytes = headerBytes;
    f.unendedLine = unended;
    c.update.faults = { f };
    SimDisplay d(c);
    QCOMPARE(d.start(addr(34)), 0);
    QTcpSocket s;
    s.connectToHost(addr(34), WebPort);
    QVERIFY(s.waitForConnected(2000));
    s.write(jsonPoll("/update/FileCheckResult.json?_=" + stamp(), "h"));
    QByteArray all;
    (void)QTest::qWaitFor([&] {
        all += s.readAll();
        return s.state() == QAbstractSocket::UnconnectedState;
    }, 700);
    all += s.readAll();
    const bool open = s.state() == QAbstractSocket::ConnectedState;

    if (!unended.isEmpty()) {
        QVERIFY(all.size() >= headerBytes);
        QVERIFY(!all.contains("\r\n\r\n"));
        QCOMPARE(all.count("\r\n"), unended == "status" ? 0 : 2);
        QVERIFY(all.startsWith("HTTP/1.1 200 OK"));
        QVERIFY(open);
        return;
    }
    const int end = all.indexOf("\r\n\r\n");
    QVERIFY(end >= headerBytes);
    QVERIFY(end < headerBytes + 400);
    const QByteArray head = all.left(end).toLower();
    QByteArray body = all.mid(end + 4);
    QCOMPARE(head.contains("content-length:"), framing.isEmpty());
    QCOMPARE(head.contains("transfer-encoding: chunked"), framing == "chunked");
    QCOMPARE(open, framing != "close");
    if (framing == "chunked") {
        QByteArray data;
        for (;;) {
            const int lineEnd = body.indexOf("\r\n");
            QVERIFY(lineEnd > 0);
            const qint64 size = body.left(lineEnd).split(';').first().toLongLong(nullptr, 16);
            body.remove(0, lineEnd + 2);
            if (size == 0)
                break;
            data += body.left(size);
            QCOMPARE(body.mid(size, 2), QByteArray("\r\n"));
            body.remove(0, size + 2);
        }
        QVERIFY(body.endsWith("\r\n\r\n") || body == "\r\n");
        body = data;
    }
    QCOMPARE(body, f.body.repeated(500));
}

QTEST_GUILESS_MAIN(tst_DisplaySimUpdate)
#include "tst_displaysimupdate.moc"
