#include "update/FileBetweenDevice.h"
#include "update/UploadKey.h"
#include "update/WebRequestCatalogue.h"

#include <QTemporaryDir>
#include <QtTest>

namespace C = WebRequestCatalogue;

Q_DECLARE_METATYPE(WebRequest)

namespace {

const QString Host = QStringLiteral("192.0.2.7");
const QByteArray T = "093005123";

QByteArray names(const WebRequest &request)
{
    QByteArrayList list;
    for (const auto &header : request.headers)
        list << header.first;
    return list.join(',');
}

const QByteArray TextPostNames = "X-Requested-With,Accept,Accept-Language,Content-type,Accept-Encoding,Host,"
                                 "Content-Length,Connection,Cache-Control";
const QByteArray TextGetNames = "X-Requested-With,Accept,Accept-Language,Content-type,Accept-Encoding,Host,"
                                "Connection,Cache-Control";
const QByteArray JsonNames = "X-Requested-With,Accept,Accept-Language,Accept-Encoding,Host,Connection";
const QByteArray UploadNames = "Host,Content-type,Cache-Control,Accept,Content-Length";

} // namespace

class WebRequestCatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void requests_data();
    void requests();
    void textCommandHeaderValues();
    void uploadBodies_data();
    void uploadBodies();
    void fileNameCannotBreakTheHeader();
    void valuesBuiltPerRequest();
    void chunkBoundaries_data();
    void chunkBoundaries();
    void uploadKey();
    void uploadKeyPrefixFromEnvironment_data();
    void uploadKeyPrefixFromEnvironment();
    void streamedBodyEqualsBuiltBlock();
    void streamedBodyFailsWhenFileShrinks();
};

void WebRequestCatalogueTest::requests_data()
{
    QTest::addColumn<WebRequest>("request");
    QTest::addColumn<bool>("post");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("headerNames");
    QTest::addColumn<QByteArray>("body");

    const QByteArray cgi = "/cgi-bin/cgictrl";
    const QByteArray undefinedCrlf = "undefined\r\n";
    QTest::newRow("cgictrl standby") << C::cgictrlStandby(cgi, Host, T) << true << "/cgi-bin/cgictrl?MM=00t=" + T
                                     << TextPostNames << undefinedCrlf;
    QTest::newRow("cgictrl delete") << C::cgictrlFileDelete(Host, T) << true << "/cgi-bin/cgictrl?TCM=00t=" + T
                                    << TextPostNames << undefinedCrlf;
    QTest::newRow("cgictrl state") << C::cgictrlUpdateState(Host, T) << false
                                   << "/update/FileCheckResult.json?_=" + T << JsonNames << QByteArray();
    QTest::newRow("cgictrl check result") << C::cgictrlFileCheckResult(Host, T) << false
                                          << "/update/FileCheckResult.json?_=" + T << JsonNames << QByteArray();
    QTest::newRow("cgictrl mode change") << C::cgictrlModeChange(Host, T) << true << "/cgi-bin/cgictrl?TUM=00t=" + T
                                         << TextPostNames << QByteArray();
    QTest::newRow("cgictrl update") << C::cgictrlUpdate(cgi, Host, "1,3", T) << true
                                    << "/cgi-bin/cgictrl?UM=00T=1,3t=" + T << TextPostNames << QByteArray();
    QTest::newRow("cgictrl result poll") << C::cgictrlResultPoll(Host, T) << false
                                         << "/update/UpdateResult.json?=_" + T << JsonNames << QByteArray();
    QTest::newRow("stamped standby") << C::stampedStandby(Host, T) << true << "/pjctrl?J=" + T << TextPostNames
                                     << undefinedCrlf;
    QTest::newRow("stamped state") << C::stampedUpdateState(Host, T) << false << "/pjctrl?CIM=" + T << TextGetNames
                                   << QByteArray();
    QTest::newRow("stamped check result") << C::stampedFileCheckResult(Host, T) << false << "/pjctrl?CRM=" + T
                                          << TextGetNames << QByteArray();
    QTest::newRow("stamped update") << C::stampedUpdate(Host, "2", T) << true << "/pjctrl?UM=00T=2t=" + T
                                    << TextPostNames << QByteArray();
    QTest::newRow("stamped result poll") << C::stampedResultPoll(Host, T) << false << "/pjctrl?URM=" + T
                                         << TextGetNames << QByteArray();
    const QByteArray u = "0f8fad5b-d9cb-469f-a165-70867728950e";
    QTest::newRow("chunked standby") << C::chunkedStandby(u) << false << "/pjctrl?J=0&_=" + u << QByteArray() << QByteArray();
    QTest::newRow("chunked state") << C::chunkedUpdateState(u) << true << "/pjctrl?CIM=0&_=" + u << QByteArray() << QByteArray();
    QTest::newRow("chunked announce") << C::chunkedAnnounce(1000000, u) << true << "/pjctrl?CM=00&_=" + u
                                      << QByteArray() << QByteArray("filesize=1000000");
    QTest::newRow("chunked chunk") << C::chunkedChunk("\x01\x02", u) << true << "/pjctrl?CM=00&_=" + u << QByteArray()
                                   << QByteArray("\x01\x02");
    QTest::newRow("chunked check result") << C::chunkedFileCheckResult(u) << false << "/pjctrl?CRM=0&_=" + u
                                          << QByteArray() << QByteArray();
    QTest::newRow("chunked update always T=9") << C::chunkedUpdate(u) << true << "/pjctrl?UM=00T=9&_=" + u
                                               << QByteArray() << QByteArray();
    QTest::newRow("chunked result poll") << C::chunkedResultPoll(u) << false << "/pjctrl?URM=0&_=" + u
                                         << QByteArray() << QByteArray();
    QTest::newRow("legacy upload") << C::legacyUpload("/x/fw.bin", 10) << true << QByteArray("/cgi-bin/cgictrl?U=46213")
                                   << UploadNames << QByteArray();
    QTest::newRow("cgictrl upload") << C::cgictrlUpload(cgi, "/x/fw.bin", 10, T) << true
                                    << "/cgi-bin/cgictrl?CM=00t=" + T << UploadNames << QByteArray();
    QTest::newRow("stamped upload") << C::stampedUpload("/x/fw.bin", 10, T) << true << "/pjctrl?CM=00t=" + T
                                    << UploadNames << QByteArray();
    QTest::newRow("tcp-assisted upload") << C::tcpAssistedUpload("/x/fw.bin", "k") << true << QByteArray("/upload")
                                         << QByteArray("X-Api-Key") << QByteArray();
}

void WebRequestCatalogueTest::requests()
{
    QFETCH(WebRequest, request);
    QFETCH(bool, post);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, headerNames);
    QFETCH(QByteArray, body);
    QCOMPARE(request.method == WebRequest::Method::Post, post);
    QCOMPARE(request.target, target);
    QVERIFY(!request.target.contains('&') || request.target.contains("&_="));
    QCOMPARE(names(request), headerNames);
    QCOMPARE(request.body, body);
    if (!request.header("Content-Length").isEmpty() && request.bodyKind == WebRequest::Body::Bytes)
        QCOMPARE(request.header("Content-Length"), QByteArray::number(body.size()));
    const bool form = request.target.startsWith("/pjctrl?") && request.target.contains("&_=");
    QCOMPARE(request.contentType, QByteArray(form && post ? "application/x-www-form-urlencoded" : ""));
}

void WebRequestCatalogueTest::textCommandHeaderValues()
{
    const WebRequest post = C::cgictrlStandby("/cgi-bin/cgictrl", Host, T);
    const QList<QPair<QByteArray, QByteArray>> expected{
        { "X-Requested-With", "XMLHttpRequest" }, { "Accept", "text/plain, */*" }, { "Accept-Language", "ja" },
        { "Content-type", "text/plain;charset=UTF-8" }, { "Accept-Encoding", "gzip, deflate" },
        { "Host", Host.toUtf8() }, { "Content-Length", "11" }, { "Connection", "Keep-Alive" },
        { "Cache-Control", "no-cache" },
    };
    QCOMPARE(post.headers, expected);
    const WebRequest poll = C::cgictrlResultPoll(Host, T);
    QCOMPARE(poll.header("Accept"), QByteArray("application/json, text/javascript, */*"));
    QCOMPARE(C::legacyUpload("/x", 0).header("Content-type"), QByteArray("multipart/form-data, boundary=AaB03x"));
    QCOMPARE(C::stampedUpload("/x", 0, T).header("Content-type"), QByteArray("multipart/form-data; boundary=AaB03x"));
    QCOMPARE(C::legacyUpload("/x", 0).header("Host"), QByteArray(C::UploadHostName));
}

void WebRequestCatalogueTest::uploadBodies_data()
{
    QTest::addColumn<bool>("withEmail");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray email = QByteArray("--AaB03x\r\nContent-Disposition: form-data; name=\"email\"\r\n\r\n")
                           + C::PlaceholderEmail + "\r\n";
    const QByteArray file = "Content-Disposition: form-data; name=\"updatefile\"; filename=\"fw 1.bin\"\r\n"
                            "Content-Transfer-Encoding: binary\r\n\r\n";
    QTest::newRow("body A") << true << QByteArray("abc") << email + "--AaB03x\r\n" + file + "abc\r\n--AaB03x--\r\n";
    QTest::newRow("body B") << false << QByteArray("abc") << "--AaB03x\r\n" + file + "abc\r\n--AaB03x--\r\n";
    QTest::newRow("empty file keeps both boundaries") << false << QByteArray()
                                                      << "--AaB03x\r\n" + file + "\r\n--AaB03x--\r\n";
}

void WebRequestCatalogueTest::uploadBodies()
{
    QFETCH(bool, withEmail);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("fw 1.bin");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    const WebRequest request = withEmail ? C::cgictrlUpload("/cgi-bin/cgictrl", path, content.size(), T)
                                         : C::stampedUpload(path, content.size(), T);
    QCOMPARE(request.bodyKind, WebRequest::Body::FileBetween);
    QCOMPARE(request.head + content + request.tail, expected);
    QCOMPARE(request.header("Content-Length"), QByteArray::number(expected.size()));
}

void WebRequestCatalogueTest::fileNameCannotBreakTheHeader()
{
    const QByteArray head = C::multipartHead("/cache/evil\".bin\r\nX-Injected: 1", false);
    QVERIFY(!head.contains("X-Injected: 1\r\n"));
    QCOMPARE(head.count("\r\n"), 4);
    const WebRequest upload = C::tcpAssistedUpload("/cache/a\"b.bin", "k");
    QCOMPARE(upload.partDisposition, QByteArray("form-data; name=\"file\"; filename=\"/cache/a_b.bin\""));
}

void WebRequestCatalogueTest::valuesBuiltPerRequest()
{
    QCOMPARE(C::timeStamp(QTime(9, 5, 7, 42)), QByteArray("090507042"));
    QCOMPARE(C::timeStamp(QTime(23, 59, 59, 999)), QByteArray("235959999"));
    const QByteArray breaker = C::cacheBreaker();
    QCOMPARE(breaker.size(), 36);
    QVERIFY(!breaker.contains('{') && !breaker.contains('}'));
    QVERIFY(breaker != C::cacheBreaker());
    QCOMPARE(C::componentList({ true, false, true, false, false, true }), QByteArray("1,3,6"));
    QCOMPARE(C::componentList({ false, true, false, false, false, false }), QByteArray("2"));
    QCOMPARE(C::componentList({}), QByteArray("1"));
}

void WebRequestCatalogueTest::chunkBoundaries_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QList<qint64>>("chunks");
    QTest::newRow("exactly one chunk") << qint64(512000) << QList<qint64>{ 512000 };
    QTest::newRow("one byte more") << qint64(512001) << QList<qint64>{ 512000, 1 };
    QTest::newRow("a million") << qint64(1000000) << QList<qint64>{ 512000, 488000 };
}

// The chunk size is the catalogue's; the chunked sequence takes min(ChunkBytes, what is left).
void WebRequestCatalogueTest::chunkBoundaries()
{
    QFETCH(qint64, size);
    QFETCH(QList<qint64>, chunks);
    QList<qint64> sent;
    for (qint64 offset = 0; offset < size;) {
        const qint64 n = qMin<qint64>(C::ChunkBytes, size - offset);
        sent << n;
        offset += n;
    }
    QCOMPARE(sent, chunks);
}

void WebRequestCatalogueTest::uploadKey()
{
    // Reference digests computed apart from this code (md5sum of prefix + hex + "\n").
    QCOMPARE(UploadKey::key("KaVeRoLu", 0x00ab), QByteArray("ea9baeeff4b5036c5a9d46e64f12da3d"));
    QCOMPARE(UploadKey::key("KaVeRoLu", 0xffff), QByteArray("2e6141840521ec8d41ff7b7223d08256"));
    QCOMPARE(UploadKey::key("Abcdefgh", 0), QByteArray("5d6bccedb21c3b1d7bd80db1a16e8cd5"));
}

void WebRequestCatalogueTest::uploadKeyPrefixFromEnvironment_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("set");
    QTest::addColumn<QByteArray>("prefix");
    QTest::newRow("unset") << QByteArray() << false << QByteArray("KaVeRoLu");
    QTest::newRow("eight characters") << QByteArray("Abcdefgh") << true << QByteArray("Abcdefgh");
    QTest::newRow("too short") << QByteArray("Abc") << true << QByteArray("KaVeRoLu");
    QTest::newRow("too long") << QByteArray("Abcdefghi") << true << QByteArray("KaVeRoLu");
    QTest::newRow("empty") << QByteArray("") << true << QByteArray("KaVeRoLu");
    QTest::newRow("not printable") << QByteArray("Abcdefg\x01") << true << QByteArray("KaVeRoLu");
    QTest::newRow("not ascii") << QByteArray("Abcdef\xc3\xa9") << true << QByteArray("KaVeRoLu");
}

void WebRequestCatalogueTest::uploadKeyPrefixFromEnvironment()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, set);
    QFETCH(QByteArray, prefix);
    if (set)
        qputenv(UploadKey::PrefixVariable, value);
    else
        qunsetenv(UploadKey::PrefixVariable);
    if (set && prefix != value)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QUILLON_UPLOAD_KEY_PREFIX must hold exactly 8"));
    QCOMPARE(UploadKey::prefix(), prefix);
    qunsetenv(UploadKey::PrefixVariable);
}

void WebRequestCatalogueTest::streamedBodyEqualsBuiltBlock()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("package.bin");
    QByteArray content;
    for (int i = 0; i < 300000; ++i)
        content += char(i * 7 + i / 251);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    const QByteArray head = C::multipartHead(path, true);
    const QByteArray tail = C::multipartTail();
    const QByteArray block = head + content + tail;

    FileBetweenDevice device(head, path, tail);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QCOMPARE(device.size(), qint64(block.size()));
    // Read in odd pieces so every seam between head, file and tail is crossed mid-read.
    QByteArray read;
    while (!device.atEnd()) {
        const QByteArray piece = device.read(7919);
        QVERIFY(!piece.isEmpty());
        read += piece;
    }
    QCOMPARE(read.size(), block.size());
    QVERIFY(read == block);
    QVERIFY(device.seek(head.size() - 3));
    QCOMPARE(device.read(6), block.mid(head.size() - 3, 6));
    QVERIFY(device.seek(block.size() - tail.size() - 2));
    QCOMPARE(device.readAll(), block.right(tail.size() + 2));

    FileBetweenDevice missing(head, dir.filePath("gone.bin"), tail);
    QVERIFY(!missing.open(QIODevice::ReadOnly));
}

void WebRequestCatalogueTest::streamedBodyFailsWhenFileShrinks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("package.bin");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100000, 'x'));
    f.close();
    FileBetweenDevice device("HEAD", path, "TAIL");
    QVERIFY(device.open(QIODevice::ReadOnly));
    QVERIFY(f.resize(10));
    const QByteArray read = device.read(200000);
    // The body stops short instead of padding the file with bytes that were never there.
    QVERIFY(read.size() < device.size());
    QVERIFY(!read.endsWith("TAIL"));
}

QTEST_APPLESS_MAIN(WebRequestCatalogueTest)
#include "tst_webrequestcatalogue.moc"
