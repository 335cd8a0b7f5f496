#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimMultipartStream.h"
#include "SimUpdateStats.h"

#include <QCryptographicHash>
#include <QHttpMultiPart>
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
    QTest::qWaitFor([&] {
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
        m_socket.write(frame(type, body));
        QByteArray r;
        QTest::qWaitFor([&] { r += m_socket.readAll(); return r.endsWith('\r'); }, 3000);
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

class tst_DisplaySimUpdate : public QObject
{
    Q_OBJECT

private slots:
    void cgictrlSequence_data();
    void cgictrlSequence();
    void uploadSequence();
};

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
    QCOMPARE(d->config().mainFwVersion, c.mainFwVersion); // not configured: unchanged
}

QTEST_GUILESS_MAIN(tst_DisplaySimUpdate)
#include "tst_displaysimupdate.moc"
