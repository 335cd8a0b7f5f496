#include "common/Leftovers.h"
#include "common/LogCapture.h"
#include "update/HttpClient.h"
#include "update/UpdateStatus.h"

#include "SimDisplay.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <functional>

// Update sessions against simulated displays on 127.0.41.0/24, web servers on a high port, every
// time-out and pause shortened through the session parameters.
namespace {

constexpr quint16 WebPort = 18411;
constexpr quint16 ControlPort = 17142;

using LogCapture::logged;

QByteArray md5(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

QByteArray patterned(qint64 size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 7 + i / 997) & 0xff);
    return bytes;
}

SessionParams fastParams(int series)
{
    SessionParams p;
    p.seriesCode = series;
    p.tickMs = 20;
    p.stepTimeoutSecs = 2;
    p.retryPauseMs = 50;
    p.waitMs = 50;
    p.legacyWritingWaitMs = 100;
    p.legacyTimeoutSecs = 3;
    p.tcpStepTimeoutSecs = 3;
    p.tcpStartTimeoutSecs = 3;
    p.updateStartWaitMs = 300;
    p.webPort = WebPort;
    p.controlPort = ControlPort;
    return p;
}

SimUpdateProtocol protocolFor(int series)
{
    switch (series) {
    case 1:
    case 2:
        return SimUpdateProtocol::Legacy;
    case 9:
        return SimUpdateProtocol::PjctrlChunked;
    case 10:
        return SimUpdateProtocol::PjctrlStamped;
    case 11:
        return SimUpdateProtocol::Upload;
    default:
        return SimUpdateProtocol::Cgictrl;
    }
}

using Leftovers::connectionsTo;
using Leftovers::openFilesIn;

// One display and one session with its firmware files.
struct Bench
{
    QTemporaryDir dir;
    SimDisplayConfig config;
    std::unique_ptr<SimDisplay> display;
    HttpClient client;
    std::array<QString, 6> files;
    std::array<bool, 6> enabled{};
    QByteArray firstFile;
    QHostAddress address;

    Bench(int last, int series)
    {
        address = QHostAddress(QStringLiteral("127.0.41.%1").arg(last));
        config.webPort = WebPort;
        config.controlPort = ControlPort;
        config.update.protocol = protocolFor(series);
        config.update.checkPolls = 1;
        config.update.progressStep = 50;
        config.update.rebootMs = 200;
    }

    void makeFiles(const QList<int> &components, qint64 size)
    {
        for (int i = 0; i < 6; ++i) {
            files[i] = dir.filePath(QStringLiteral("fw%1.bin").arg(i + 1));
            QFile f(files[i]);
            f.open(QIODevice::WriteOnly);
            const QByteArray bytes = patterned(size + i, i);
            f.write(bytes);
            if (i == 0)
                firstFile = bytes;
            enabled[i] = components.contains(i + 1);
        }
    }

    bool startDisplay()
    {
        display = std::make_unique<SimDisplay>(config);
        return display->start(address) == 0;
    }

    int setup(const SessionParams &params)
    {
        return client.setup(0, address.toString(), files, enabled, params);
    }

    int peakConnections = 0;
    QList<int> uploadPercents;      // each new value of uploadPercent seen while the session ran

    // Runs the session until it settles; false when it did not within the time.
    bool run(int waitMs = 20000)
    {
        // A short session may end between two samples below: look also while a request arrives.
        const auto sample = [this] { peakConnections = qMax(peakConnections, connectionsTo(address, { WebPort, ControlPort })); };
        QObject::connect(display.get(), &SimDisplay::webRequestReceived, display.get(), sample);
        QObject::connect(display.get(), &SimDisplay::controlRequestReceived, display.get(), sample);
        client.start();
        QElapsedTimer clock;
        clock.start();
        while (client.sessionStatus() == UpdateStatus::Running && clock.elapsed() < waitMs) {
            QTest::qWait(10);
            peakConnections = qMax(peakConnections, connectionsTo(address, { WebPort, ControlPort }));
            if (uploadPercents.isEmpty() || uploadPercents.last() != client.uploadPercent())
                uploadPercents << client.uploadPercent();
        }
        QTest::qWait(30);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return client.sessionStatus() != UpdateStatus::Running;
    }
};

} // namespace

class HttpClientTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sequencesRunToComplete_data();
    void sequencesRunToComplete();
    void cgictrlRequestsByteForByte();
    void stampedAndLegacyBodies_data();
    void stampedAndLegacyBodies();
    void chunkedSendsChunksFromTheFile();
    void tcpAssistedKeyAndPart_data();
    void tcpAssistedKeyAndPart();
    void faultsEndWithTheirStatus_data();
    void faultsEndWithTheirStatus();
    void requestsCarryExactlyTheirHeaders_data();
    void requestsCarryExactlyTheirHeaders();
    void connectionIsKeptWhileTheDisplayKeepsIt_data();
    void connectionIsKeptWhileTheDisplayKeepsIt();
    void componentsSettleOneByOne_data();
    void componentsSettleOneByOne();
    void progressingUploadOutlivesTheStepTimeout_data();
    void progressingUploadOutlivesTheStepTimeout();
    void failedUploadRestoresTheHttpServer_data();
    void failedUploadRestoresTheHttpServer();
    void seriesWithoutSequenceIsRefused_data();
    void seriesWithoutSequenceIsRefused();
    void sessionWithoutComponentsSettles();
    void missingFileIsUnableToUpload_data();
    void missingFileIsUnableToUpload();
};

void HttpClientTest::init()
{
    LogCapture::start();
}

void HttpClientTest::cleanup()
{
    LogCapture::stop();
}

void HttpClientTest::sequencesRunToComplete_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<QList<int>>("components");
    QTest::addColumn<bool>("powerPrep");
    QTest::addColumn<qint64>("size");

    QTest::newRow("legacy 1, one file") << 1 << QList<int>{ 1 } << false << qint64(5000);
    QTest::newRow("legacy 1, three files") << 1 << QList<int>{ 1, 2, 4 } << false << qint64(5000);
    QTest::newRow("legacy 2, two files") << 2 << QList<int>{ 1, 3 } << false << qint64(5000);
    QTest::newRow("cgictrl 3, one component") << 3 << QList<int>{ 1 } << false << qint64(200000);
    QTest::newRow("cgictrl 6, three components") << 6 << QList<int>{ 1, 2, 4 } << false << qint64(200000);
    QTest::newRow("stamped 10, one component") << 10 << QList<int>{ 1 } << false << qint64(200000);
    QTest::newRow("stamped 10, two components") << 10 << QList<int>{ 1, 3 } << false << qint64(200000);
    QTest::newRow("chunked 9, one component") << 9 << QList<int>{ 1 } << false << qint64(1000000);
    QTest::newRow("chunked 9, two components") << 9 << QList<int>{ 1, 2 } << false << qint64(600000);
    QTest::newRow("tcp-assisted 11") << 11 << QList<int>{ 1 } << false << qint64(300000);
    QTest::newRow("tcp-assisted 11 with power preparation") << 11 << QList<int>{ 1 } << true << qint64(300000);
}

void HttpClientTest::sequencesRunToComplete()
{
    QFETCH(int, series);
    QFETCH(QList<int>, components);
    QFETCH(bool, powerPrep);
    QFETCH(qint64, size);

    Bench bench(1, series);
    bench.config.powerMode = powerPrep ? 4 : 1;
    bench.makeFiles(components, size);
    QVERIFY(bench.startDisplay());
    SessionParams params = fastParams(series);
    params.needPowerPrep = powerPrep;
    QCOMPARE(bench.setup(params), 0);
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Queued));
    QVERIFY(bench.run());

    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));
    QCOMPARE(updateStatusText(bench.client.sessionStatus()), QStringLiteral("Complete."));
    const SimUpdateCapture capture = bench.display->updateCapture();
    if (series <= 2) {
        QCOMPARE(capture.packages, int(components.size()));
        for (const int c : components) {
            QCOMPARE(bench.client.componentStatus(c - 1), int(UpdateStatus::Complete));
            QCOMPARE(bench.client.componentPercent(c - 1), 100);
        }
    } else {
        QCOMPARE(capture.packages, 1);
        QCOMPARE(capture.packageMd5, md5(bench.firstFile));
        QCOMPARE(capture.packageSize, qint64(bench.firstFile.size()));
    }
    if (series >= 3 && series <= 6) {
        QCOMPARE(capture.updateRequests.size(), 1);
        QCOMPARE(capture.updateRequests.first(), components);
    }
    if (series != 9 && series != 11) {
        for (const int c : components)
            QCOMPARE(bench.client.componentStatus(c - 1), int(UpdateStatus::Complete));
    }
    if (series == 11) {
        QCOMPARE(bench.client.componentStatus(0), int(UpdateStatus::Complete));
        // We switched the web server on for the upload, so we switched it off again.
        QCOMPARE(bench.display->config().vcpValues.value(0x11F0), quint16(1));
        if (powerPrep)
            QCOMPARE(bench.display->config().powerMode, 1);
    }
    QVERIFY(!bench.client.isActive());
    QVERIFY(!bench.client.uploading());
    QCOMPARE(openFilesIn(bench.dir.path()), 0);
    // The sessions's sockets were seen while it ran, and none is left.
    QVERIFY(bench.peakConnections > 0);
    QTRY_COMPARE(connectionsTo(bench.address, { WebPort, ControlPort }), 0);
}

void HttpClientTest::cgictrlRequestsByteForByte()
{
    Bench bench(2, 3);
    bench.makeFiles({ 1, 3 }, 4321);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(3)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));

    const QByteArray host = bench.address.toString().toUtf8();
    const QList<QPair<QByteArray, QByteArray>> textPost{
        { "X-Requested-With", "XMLHttpRequest" }, { "Accept", "text/plain, */*" }, { "Accept-Language", "ja" },
        { "Content-type", "text/plain;charset=UTF-8" }, { "Accept-Encoding", "gzip, deflate" }, { "Host", host },
        { "Content-Length", "11" }, { "Connection", "Keep-Alive" }, { "Cache-Control", "no-cache" },
    };
    const QList<QPair<QByteArray, QByteArray>> jsonPoll{
        { "X-Requested-With", "XMLHttpRequest" }, { "Accept", "application/json, text/javascript, */*" },
        { "Accept-Language", "ja" }, { "Accept-Encoding", "gzip, deflate" }, { "Host", host },
        { "Connection", "Keep-Alive" },
    };
    struct Expected
    {
        QByteArray step;
        QByteArray method;
        const char *target;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };
    auto withLength = [](QList<QPair<QByteArray, QByteArray>> headers, const QByteArray &length) {
        headers[6].second = length;
        return headers;
    };
    const QList<Expected> expected{
        { "standby", "POST", "^/cgi-bin/cgictrl\\?MM=00t=\\d{9}$", textPost, "undefined\r\n" },
        { "fileDelete", "POST", "^/cgi-bin/cgictrl\\?TCM=00t=\\d{9}$", textPost, "undefined\r\n" },
        { "stateCheck", "GET", "^/update/FileCheckResult\\.json\\?_=\\d{9}$", jsonPoll, "" },
        { "modeChange", "POST", "^/cgi-bin/cgictrl\\?TUM=00t=\\d{9}$", withLength(textPost, "0"), "" },
        { "update", "POST", "^/cgi-bin/cgictrl\\?UM=00T=1,3t=\\d{9}$", withLength(textPost, "0"), "" },
        { "result", "GET", "^/update/UpdateResult\\.json\\?=_\\d{9}$", jsonPoll, "" },
    };
    for (const Expected &e : expected) {
        const QList<SimWebCapture> captures = bench.display->webCaptures(e.step);
        QVERIFY2(!captures.isEmpty(), e.step.constData());
        const SimWebCapture &c = captures.first();
        QCOMPARE(c.method, e.method);
        QVERIFY2(QRegularExpression(QLatin1String(e.target)).match(QLatin1String(c.target)).hasMatch(), c.target.constData());
        QCOMPARE(c.headers, e.headers);
        QCOMPARE(c.body, e.body);
    }

    // The upload: Body A built here by hand, compared with what arrived through the streamed body.
    const QList<SimWebCapture> uploads = bench.display->webCaptures("upload");
    QCOMPARE(uploads.size(), 1);
    const SimWebCapture &upload = uploads.first();
    QVERIFY(QRegularExpression("^/cgi-bin/cgictrl\\?CM=00t=\\d{9}$").match(QLatin1String(upload.target)).hasMatch());
    const QByteArray block = "--AaB03x\r\nContent-Disposition: form-data; name=\"email\"\r\n\r\n"
                             "update@quillon.invalid\r\n--AaB03x\r\n"
                             "Content-Disposition: form-data; name=\"updatefile\"; filename=\"fw1.bin\"\r\n"
                             "Content-Transfer-Encoding: binary\r\n\r\n"
                           + bench.firstFile + "\r\n--AaB03x--\r\n";
    QCOMPARE(upload.bodySize, qint64(block.size()));
    QCOMPARE(upload.bodyMd5, md5(block));
    const QList<QPair<QByteArray, QByteArray>> uploadHeaders{
        { "Host", "quillon-update" }, { "Content-type", "multipart/form-data, boundary=AaB03x" },
        { "Cache-Control", "no-cache" }, { "Accept", "*/*" }, { "Content-Length", QByteArray::number(block.size()) },
    };
    QCOMPARE(upload.headers, uploadHeaders);
}

void HttpClientTest::stampedAndLegacyBodies_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<qint64>("size");
    QTest::newRow("stamped, Body B") << 10 << qint64(3000);
    QTest::newRow("stamped, empty file") << 10 << qint64(0);
    QTest::newRow("legacy, Body A") << 1 << qint64(3000);
}

void HttpClientTest::stampedAndLegacyBodies()
{
    QFETCH(int, series);
    QFETCH(qint64, size);
    Bench bench(3, series);
    bench.makeFiles({ 1 }, size);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(series)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));

    const QList<SimWebCapture> uploads = bench.display->webCaptures("upload");
    QCOMPARE(uploads.size(), 1);
    const SimWebCapture &upload = uploads.first();
    const QByteArray file = "Content-Disposition: form-data; name=\"updatefile\"; filename=\"fw1.bin\"\r\n"
                            "Content-Transfer-Encoding: binary\r\n\r\n"
                          + bench.firstFile + "\r\n--AaB03x--\r\n";
    if (series == 10) {
        QVERIFY(QRegularExpression("^/pjctrl\\?CM=00t=\\d{9}$").match(QLatin1String(upload.target)).hasMatch());
        QCOMPARE(upload.bodyMd5, md5("--AaB03x\r\n" + file));
        QCOMPARE(upload.headers.value(1).second, QByteArray("multipart/form-data; boundary=AaB03x"));
        const SimWebCapture standby = bench.display->webCaptures("standby").first();
        QVERIFY(QRegularExpression("^/pjctrl\\?J=\\d{9}$").match(QLatin1String(standby.target)).hasMatch());
        QVERIFY(logged("Mode change wait finished"));
        QVERIFY(logged("Update execute wait finished"));
    } else {
        QCOMPARE(upload.target, QByteArray("/cgi-bin/cgictrl?U=46213"));
        QCOMPARE(upload.bodyMd5, md5("--AaB03x\r\nContent-Disposition: form-data; name=\"email\"\r\n\r\n"
                                     "update@quillon.invalid\r\n--AaB03x\r\n" + file));
        QCOMPARE(upload.headers.value(1).second, QByteArray("multipart/form-data, boundary=AaB03x"));
        QVERIFY(logged("Reply result: 0"));
    }
}

void HttpClientTest::chunkedSendsChunksFromTheFile()
{
    Bench bench(4, 9);
    bench.makeFiles({ 1 }, 1000000);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(9)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));

    const SimUpdateCapture capture = bench.display->updateCapture();
    QCOMPARE(capture.announcedSizes, QList<qint64>{ 1000000 });
    QCOMPARE(capture.chunkSizes, (QList<qint64>{ 512000, 488000 }));
    QCOMPARE(capture.packageMd5, md5(bench.firstFile));
    QCOMPARE(bench.client.uploadPercent(), 100);
    // The percentage counts chunks sent: 0 after the announcement, 51 and 100 after the chunks.
    for (const int percent : std::as_const(bench.uploadPercents))
        QVERIFY2(QList<int>({ -1, 0, 51, 100 }).contains(percent), qPrintable(QString::number(percent)));
    QVERIFY(std::is_sorted(bench.uploadPercents.cbegin(), bench.uploadPercents.cend()));
    const QRegularExpression breaker("&_=[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$");
    QSet<QByteArray> breakers;
    for (const SimWebCapture &c : bench.display->webCaptures()) {
        if (c.step.isEmpty())
            continue;
        QVERIFY2(breaker.match(QLatin1String(c.target)).hasMatch(), c.target.constData());
        breakers.insert(c.target.right(36));
        if (c.method == "POST")
            QVERIFY(c.headers.contains({ "Content-Type", "application/x-www-form-urlencoded" }));
    }
    QCOMPARE(breakers.size(), bench.display->webCaptures().size() - int(std::count_if(
        bench.display->webCaptures().cbegin(), bench.display->webCaptures().cend(),
        [](const SimWebCapture &c) { return c.step.isEmpty(); })));
    const QList<SimWebCapture> update = bench.display->webCaptures("update");
    QCOMPARE(update.size(), 1);
    QVERIFY(update.first().target.startsWith("/pjctrl?UM=00T=9&_="));
}

void HttpClientTest::tcpAssistedKeyAndPart_data()
{
    QTest::addColumn<bool>("serverOn");
    QTest::newRow("web server off: enabled, then restored") << false;
    QTest::newRow("web server already on: left alone") << true;
}

void HttpClientTest::tcpAssistedKeyAndPart()
{
    QFETCH(bool, serverOn);
    Bench bench(5, 11);
    bench.config.uploadKeyValue = 0x00ab;
    if (serverOn)
        bench.config.vcpValues[0x11F0] = 2;
    bench.makeFiles({ 1 }, 2048);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(11)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));

    const SimUpdateCapture capture = bench.display->updateCapture();
    QCOMPARE(capture.apiKeys, QList<QByteArray>{ md5("KaVeRoLu00ab\n") });
    const SimWebCapture upload = bench.display->webCaptures("upload").first();
    QCOMPARE(upload.target, QByteArray("/upload"));
    QVERIFY(upload.multipartValid);
    QCOMPARE(upload.parts.size(), 1);
    QCOMPARE(capture.packageName, bench.files[0].toUtf8());
    QVERIFY(logged("COMPLETE"));
    const QList<QByteArray> bodies = bench.display->requestLog().controlBodies();
    // Without power preparation the upload request comes first.
    QCOMPARE(bodies.value(0), QByteArray("13070001"));
    if (serverOn) {
        QVERIFY(logged("HTTP Server is already enabled."));
        QVERIFY(!bodies.contains("11F00002"));
        QVERIFY(!bodies.contains("11F00001"));
        QCOMPARE(bench.display->config().vcpValues.value(0x11F0), quint16(2));
    } else {
        QVERIFY(logged("HTTP Server is not enabled."));
        QVERIFY(logged("HTTP Server restored to disabled state."));
        QVERIFY(bodies.indexOf("11F00002") < bodies.indexOf("11F00001"));
        QCOMPARE(bench.display->config().vcpValues.value(0x11F0), quint16(1));
    }
}

using Configure = std::function<void(SimDisplayConfig &, SessionParams &)>;
Q_DECLARE_METATYPE(Configure)

void HttpClientTest::faultsEndWithTheirStatus_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<Configure>("configure");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("component1");
    QTest::addColumn<QString>("logLine");

    auto fault = [](const QByteArray &step, int status, int times = -1) {
        SimStepFault f;
        f.step = step;
        f.status = status;
        f.times = times;
        return f;
    };
    const int any = INT_MIN;

    QTest::newRow("cgictrl: three result errors are retried")
        << 3 << Configure([=](SimDisplayConfig &c, SessionParams &) { c.update.faults << fault("result", 500, 3); })
        << 3 << 3 << "attempting retry";
    QTest::newRow("cgictrl: the fourth ends the session")
        << 3 << Configure([=](SimDisplayConfig &c, SessionParams &) { c.update.faults << fault("result", 500); })
        << -1 << -1 << "Max errors exceeded.";
    QTest::newRow("cgictrl: 401 on the update request")
        << 4 << Configure([=](SimDisplayConfig &c, SessionParams &) { c.update.faults << fault("update", 401); })
        << -1 << -1 << "Max errors exceeded.";
    QTest::newRow("cgictrl: mode change is not retried")
        << 5 << Configure([=](SimDisplayConfig &c, SessionParams &) { c.update.faults << fault("modeChange", 500); })
        << -1 << any << "Retry not handled.";
    QTest::newRow("cgictrl: reply held back")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) {
               SimStepFault f;
               f.step = "stateCheck";
               f.neverReply = true;
               c.update.faults << f;
           })
        << -3 << any << "UPD_ERR_TIMEOUT";
    // A display that answers every poll "in progress" the same way does not hold the session.
    QTest::newRow("cgictrl: file check never ends")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.checkPolls = 1000000; })
        << -3 << any << "UPD_ERR_TIMEOUT";
    QTest::newRow("stamped: file check never ends")
        << 10 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.checkPolls = 1000000; })
        << -3 << any << "UPD_ERR_TIMEOUT";
    QTest::newRow("cgictrl: slowly progressing update is not cut off")
        << 4 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.progressStep = 1; })
        << 3 << 3 << "";
    // Once the display has accepted the update it may write one component for minutes: as long
    // as it answers, the poll goes on; only the writing ceiling ends it, saying it still answered.
    auto holdAt50 = [](int holdMs, int ceilingSecs = SessionParams::MinWritingCeilingSecs) {
        return Configure([=](SimDisplayConfig &c, SessionParams &p) {
            c.update.holdPercent = 50;
            c.update.holdMs = holdMs;
            p.writingCeilingSecs = ceilingSecs;
        });
    };
    QTest::newRow("cgictrl: one percentage held past the step time-out") << 3 << holdAt50(3500) << 3 << 3 << "";
    QTest::newRow("stamped: one percentage held past the step time-out") << 10 << holdAt50(3500) << 3 << 3 << "";
    QTest::newRow("chunked: one percentage held past the step time-out") << 9 << holdAt50(3500) << 3 << any << "";
    QTest::newRow("cgictrl: writing past the ceiling")
        << 4 << holdAt50(60000, 2) << -3 << -1 << "do not switch it off";
    QTest::newRow("chunked: writing past the ceiling")
        << 9 << holdAt50(60000, 2) << -3 << -1 << "do not switch it off";
    QTest::newRow("cgictrl: result poll unanswered while writing")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) {
               SimStepFault f;
               f.step = "result";
               f.skip = 1;
               f.neverReply = true;
               c.update.faults << f;
           })
        << -3 << -1 << "UPD_ERR_TIMEOUT";
    QTest::newRow("chunked: file check never ends")
        << 9 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.checkPolls = 1000000; })
        << -3 << any << "UPD_ERR_TIMEOUT";
    QTest::newRow("cgictrl: package fails its check")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.checkFailComponent = 0; })
        << -2 << -2 << "";
    QTest::newRow("cgictrl: component fails its update")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateFailComponent = 1; })
        << 4 << -4 << "";
    QTest::newRow("cgictrl: web server off")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) { c.misbehaviour.web = SimMisbehaviour::Listener::Refuse; })
        << -1 << any << "Max errors exceeded.";
    QTest::newRow("stamped: upload reply held back")
        << 10 << Configure([](SimDisplayConfig &c, SessionParams &) {
               SimStepFault f;
               f.step = "upload";
               f.neverReply = true;
               c.update.faults << f;
           })
        << -3 << any << "UPD_ERR_TIMEOUT";
    QTest::newRow("stamped: component fails its check")
        << 10 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.checkFailComponent = 1; })
        << -2 << -2 << "";
    QTest::newRow("stamped: component fails its update")
        << 10 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateFailComponent = 1; })
        << 4 << -4 << "";
    QTest::newRow("chunked: network error fails at once")
        << 9 << Configure([=](SimDisplayConfig &c, SessionParams &) { c.update.faults << fault("announce", 500, 1); })
        << -1 << -1 << "reply error";
    // The network library sends a request again by itself when a kept-alive connection closes
    // before any answer; the chunk then arrives whole and the update goes on.
    QTest::newRow("chunked: connection dropped mid-chunk once")
        << 9 << Configure([](SimDisplayConfig &c, SessionParams &) {
               SimStepFault f;
               f.step = "upload";
               f.dropAfterBytes = 1000;
               f.times = 1;
               c.update.faults << f;
           })
        << 3 << INT_MIN << "";
    QTest::newRow("chunked: package fails its check")
        << 9 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.checkFailComponent = 1; })
        << -2 << -2 << "";
    QTest::newRow("chunked: component fails its update")
        << 9 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateFailComponent = 1; })
        << -1 << -1 << "";
    QTest::newRow("legacy: two write failures are retried")
        << 1 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.legacyWriteFailures = 2; })
        << 3 << 3 << "Reply result: -1";
    QTest::newRow("legacy: the third fails the component")
        << 1 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.legacyWriteFailures = 3; })
        << -4 << -4 << "Reply result: -1";
    QTest::newRow("legacy: still writing, then done")
        << 2 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.legacyWritingMs = 50; })
        << 3 << 3 << "Reply result: 3";
    QTest::newRow("legacy: connection dropped mid-body once")
        << 1 << Configure([](SimDisplayConfig &c, SessionParams &) {
               SimStepFault f;
               f.step = "upload";
               f.dropAfterBytes = 100;
               f.times = 1;
               c.update.faults << f;
           })
        << 3 << 3 << "Reply result: 0";
    auto dropAlways = [](const QByteArray &step) {
        return Configure([step](SimDisplayConfig &c, SessionParams &) {
            SimStepFault f;
            f.step = step;
            f.dropAfterBytes = 100;
            c.update.faults << f;
        });
    };
    QTest::newRow("legacy: connection dropped mid-body every time") << 1 << dropAlways("upload") << -1 << -1 << "reply error";
    QTest::newRow("chunked: connection dropped mid-chunk every time") << 9 << dropAlways("upload") << -1 << -1 << "reply error";
    // The upload is not sent again; the display then never reports the package.
    QTest::newRow("cgictrl: connection dropped mid-upload every time") << 3 << dropAlways("upload") << -3 << any << "attempting retry";
    QTest::newRow("stamped: update request dropped every time") << 10 << dropAlways("update") << -1 << any << "Max errors exceeded.";

    // Hostile replies: oversized, truncated, garbage, absurd numbers.
    auto answer = [](const QByteArray &step, const QByteArray &body, int repeat = 1, const QByteArray &encoding = {}) {
        return Configure([=](SimDisplayConfig &c, SessionParams &) {
            SimStepFault f;
            f.step = step;
            f.body = body;
            f.bodyRepeat = repeat;
            f.encoding = encoding;
            c.update.faults << f;
        });
    };
    // We offer gzip and deflate, so a display may answer in either.
    auto encodeAll = [](const QByteArray &encoding) {
        return Configure([=](SimDisplayConfig &c, SessionParams &) {
            SimStepFault f;
            f.step = "*";
            f.encoding = encoding;
            c.update.faults << f;
        });
    };
    QTest::newRow("cgictrl: every reply gzip-encoded") << 3 << encodeAll("gzip") << 3 << 3 << "";
    QTest::newRow("stamped: every reply deflate-encoded") << 10 << encodeAll("deflate") << 3 << 3 << "";
    QTest::newRow("chunked: every reply bare deflate") << 9 << encodeAll("deflate-raw") << 3 << any << "";
    QTest::newRow("legacy: every reply gzip-encoded") << 1 << encodeAll("gzip") << 3 << 3 << "Reply result: 0";
    QTest::newRow("cgictrl: 16 MB of gzip on the state check")
        << 3 << answer("stateCheck", "0", 16 << 20, "gzip") << -1 << any << "reply larger than 256 KiB once decoded from gzip";
    QTest::newRow("chunked: 16 MB of deflate on the result poll")
        << 9 << answer("result", "0", 16 << 20, "deflate") << -1 << -1 << "";
    QTest::newRow("cgictrl: an encoding we did not offer")
        << 3 << answer("standby", "OK", 1, "br") << -1 << any << "reply in content encoding \"br\" cannot be decoded";
    const QString tooLarge = "reply larger than 256 KiB, not read";
    QTest::newRow("cgictrl: 2 MB standby reply") << 3 << answer("standby", "OK", 1 << 20) << -1 << any << tooLarge;
    QTest::newRow("cgictrl: 1 MB state check of keys") << 3 << answer("stateCheck", "{\"upload\":1,", 80000) << -1 << any << tooLarge;
    // Read as an empty reply: no component result, so the component failed.
    QTest::newRow("stamped: 1 MB result poll") << 10 << answer("result", " ", 1 << 20) << 4 << -4 << tooLarge;
    // Read as an empty reply, naming no component: the poll stalls.
    QTest::newRow("chunked: 1 MB result poll") << 9 << answer("result", " ", 1 << 20) << -3 << -1 << tooLarge;
    QTest::newRow("cgictrl: truncated result") << 3 << answer("result", "{\"result_code\": ") << 4 << -4 << "";
    QTest::newRow("stamped: garbage state check") << 10 << answer("stateCheck", "\x00\xff<html>") << -1 << any << "";
    QTest::newRow("chunked: truncated result is not complete")
        << 9 << answer("result", "{\"update_sts\":[{\"Firmware\":1,\"result_co") << -3 << any << "UPD_ERR_TIMEOUT";
    QTest::newRow("chunked: absurd result code")
        << 9 << answer("checkResult", "{\"paccheck_result\":\"100\",\"fwcheck_result\":[{\"result_code\":1e999}]}")
        << -2 << -2 << "";
    // Read as the 200 it is (only the status counts); the display, having answered instead of
    // taking the package, then never starts the update.
    QTest::newRow("tcp-assisted: huge 200 answer to the upload")
        << 11 << answer("upload", "x", 4 << 20) << 4 << 4 << "Firmware upload successful.";

    // Hostile heads: a display that sends header lines without end is refused at 64 KiB, at once
    // (-1, not the step time-out's -3), and says so.
    auto head = [](const QByteArray &step, qint64 bytes, const QByteArray &unended = {}) {
        return Configure([=](SimDisplayConfig &c, SessionParams &) {
            SimStepFault f;
            f.step = step;
            f.headerBytes = bytes;
            f.unendedLine = unended;
            c.update.faults << f;
        });
    };
    const QString headerBlock = "reply refused: its header block is larger than 64 KiB";
    const QString headerLine = "reply refused: a header line does not end within its 64 KiB header block";
    const QString statusLine = "reply refused: its status line does not end within 64 KiB";
    QTest::newRow("cgictrl: 100 KiB of header lines") << 3 << head("standby", 100 * 1024) << -1 << -1 << headerBlock;
    QTest::newRow("cgictrl: 60 KiB of header lines on every reply are read") << 3 << head("*", 60 * 1024) << 3 << 3 << "";
    QTest::newRow("cgictrl: a header line that never ends")
        << 3 << head("stateCheck", 4 << 20, "header") << -1 << any << headerLine;
    QTest::newRow("stamped: a status line that never ends")
        << 10 << head("result", 4 << 20, "status") << -1 << -1 << statusLine;
    QTest::newRow("chunked: a header line that never ends") << 9 << head("announce", 1 << 20, "header") << -1 << any << headerLine;
    QTest::newRow("legacy: 1 MiB of header lines on the upload answer") << 1 << head("upload", 1 << 20) << -1 << -1 << headerBlock;
    // The display's web server was switched on for the upload: it is switched off again first.
    QTest::newRow("tcp-assisted: a header line that never ends on the upload answer")
        << 11 << head("upload", 1 << 20, "header") << -1 << -1 << headerLine;

    // Every way HTTP/1.1 delimits a body.
    auto framing = [](const QByteArray &how, const QByteArray &encoding = {}) {
        return Configure([=](SimDisplayConfig &c, SessionParams &) {
            SimStepFault f;
            f.step = "*";
            f.framing = how;
            f.encoding = encoding;
            c.update.faults << f;
        });
    };
    QTest::newRow("cgictrl: every reply chunked") << 3 << framing("chunked") << 3 << 3 << "";
    QTest::newRow("stamped: every reply chunked and gzip-encoded") << 10 << framing("chunked", "gzip") << 3 << 3 << "";
    QTest::newRow("chunked: every reply chunked") << 9 << framing("chunked") << 3 << any << "";
    QTest::newRow("legacy: every reply chunked") << 2 << framing("chunked") << 3 << 3 << "Reply result: 0";
    QTest::newRow("tcp-assisted: every reply chunked") << 11 << framing("chunked") << 3 << 3 << "";
    QTest::newRow("cgictrl: every reply ends with the connection") << 3 << framing("close") << 3 << 3 << "";
    QTest::newRow("chunked: every reply ends with the connection") << 9 << framing("close", "deflate") << 3 << any << "";
    QTest::newRow("legacy: every reply ends with the connection") << 1 << framing("close") << 3 << 3 << "Reply result: 0";
    QTest::newRow("tcp-assisted: every reply ends with the connection") << 11 << framing("close") << 3 << 3 << "";
    auto framedAnswer = [](const QByteArray &step, const QByteArray &how, const QByteArray &body, int repeat) {
        return Configure([=](SimDisplayConfig &c, SessionParams &) {
            SimStepFault f;
            f.step = step;
            f.framing = how;
            f.body = body;
            f.bodyRepeat = repeat;
            c.update.faults << f;
        });
    };
    QTest::newRow("cgictrl: 2 MB chunked standby reply") << 3 << framedAnswer("standby", "chunked", "OK", 1 << 20) << -1 << any << tooLarge;
    QTest::newRow("cgictrl: 2 MB standby reply ending with the connection")
        << 3 << framedAnswer("standby", "close", "OK", 1 << 20) << -1 << any << tooLarge;

    QTest::newRow("tcp-assisted: update never starts")
        << 11 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateNeverStarts = true; })
        << 4 << 4 << "Error: Firmware update did not start within timeout.";
    QTest::newRow("tcp-assisted: display reports failure")
        << 11 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateFailComponent = 1; })
        << 4 << 4 << "Error: Display reported firmware update failed.";
    QTest::newRow("tcp-assisted: HTTP server cannot be enabled")
        << 11 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.httpServerEnableRejected = true; })
        << 4 << 4 << "Error: Request to enable HTTP Server didn't reply.";
    QTest::newRow("tcp-assisted: server already on, 401 on the upload")
        << 11 << Configure([=](SimDisplayConfig &c, SessionParams &) {
               c.vcpValues[0x11F0] = 2;
               c.update.faults << fault("upload", 401);
           })
        << 4 << -1 << "Log into the display's HTTP page";
    QTest::newRow("tcp-assisted: power preparation when not normal")
        << 11 << Configure([](SimDisplayConfig &c, SessionParams &p) {
               p.needPowerPrep = true;
               c.vcpValues[0x11EE] = 1;
           })
        << 3 << 3 << "Requesting Set Power state On and Power Save Mode Normal.";
    QTest::newRow("tcp-assisted: power save already normal")
        << 11 << Configure([](SimDisplayConfig &c, SessionParams &p) {
               p.needPowerPrep = true;
               c.vcpValues[0x11EE] = 2;
           })
        << 3 << 3 << "Read PowerSaveModeVCP=2";
    QTest::newRow("tcp-assisted: control channel refused")
        << 11 << Configure([](SimDisplayConfig &c, SessionParams &) { c.misbehaviour.control = SimMisbehaviour::Listener::Refuse; })
        << 4 << 4 << "Error: Request to start firmware update didn't reply.";
}

void HttpClientTest::faultsEndWithTheirStatus()
{
    QFETCH(int, series);
    QFETCH(Configure, configure);
    QFETCH(int, status);
    QFETCH(int, component1);
    QFETCH(QString, logLine);

    Bench bench(6, series);
    bench.makeFiles({ 1 }, 20000);
    SessionParams params = fastParams(series);
    configure(bench.config, params);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(params), 0);
    QVERIFY(bench.run(30000));
    if (qEnvironmentVariableIsSet("SHOW_CAPTURES")) {
        for (const SimWebCapture &c : bench.display->webCaptures())
            qDebug() << c.step << c.target << c.bodySize << c.complete << c.status;
    }
    QCOMPARE(bench.client.sessionStatus(), status);
    if (component1 != INT_MIN)
        QCOMPARE(bench.client.componentStatus(0), component1);
    if (!logLine.isEmpty())
        QVERIFY2(logged(logLine), qPrintable(logLine));
    QCOMPARE(bench.client.answeringAtTimeout(), logLine == "do not switch it off");
    if (logLine.startsWith("Error: Firmware update did not start"))
        QCOMPARE(bench.display->requestLog().controlBodies().count("13030001"), 2);
    QVERIFY(!bench.client.isActive());
    QCOMPARE(openFilesIn(bench.dir.path()), 0);
}

using HeaderList = QList<QPair<QByteArray, QByteArray>>;
// Step name -> the whole header list its requests carry. In values, "{host}" is the session's host
// text, "{authority}" host and port, "{length}" the body's size and "{boundary}" the multipart
// boundary of the request's own Content-Type.
using StepHeaders = QMap<QByteArray, HeaderList>;
Q_DECLARE_METATYPE(StepHeaders)

void HttpClientTest::requestsCarryExactlyTheirHeaders_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<StepHeaders>("expected");

    const HeaderList textPost{
        { "X-Requested-With", "XMLHttpRequest" }, { "Accept", "text/plain, */*" }, { "Accept-Language", "ja" },
        { "Content-type", "text/plain;charset=UTF-8" }, { "Accept-Encoding", "gzip, deflate" }, { "Host", "{host}" },
        { "Content-Length", "{length}" }, { "Connection", "Keep-Alive" }, { "Cache-Control", "no-cache" },
    };
    HeaderList textGet = textPost;
    textGet.removeAt(6);
    const HeaderList jsonPoll{
        { "X-Requested-With", "XMLHttpRequest" }, { "Accept", "application/json, text/javascript, */*" },
        { "Accept-Language", "ja" }, { "Accept-Encoding", "gzip, deflate" }, { "Host", "{host}" },
        { "Connection", "Keep-Alive" },
    };
    auto upload = [](const QByteArray &type) {
        return HeaderList{ { "Host", "quillon-update" }, { "Content-type", type }, { "Cache-Control", "no-cache" },
                           { "Accept", "*/*" }, { "Content-Length", "{length}" } };
    };
    // What HTTP/1.1 needs besides the listed headers, and nothing else.
    const HeaderList formGet{ { "Host", "{authority}" } };
    const HeaderList formPost{ { "Host", "{authority}" }, { "Content-Type", "application/x-www-form-urlencoded" },
                               { "Content-Length", "{length}" } };

    QTest::newRow("cgictrl") << 3
        << StepHeaders{ { "standby", textPost }, { "fileDelete", textPost }, { "stateCheck", jsonPoll },
                        { "upload", upload("multipart/form-data, boundary=AaB03x") }, { "checkResult", jsonPoll },
                        { "modeChange", textPost }, { "update", textPost }, { "result", jsonPoll } };
    QTest::newRow("stamped") << 10
        << StepHeaders{ { "standby", textPost }, { "stateCheck", textGet },
                        { "upload", upload("multipart/form-data; boundary=AaB03x") }, { "checkResult", textGet },
                        { "update", textPost }, { "result", textGet } };
    QTest::newRow("chunked") << 9
        << StepHeaders{ { "standby", formGet }, { "stateCheck", formPost }, { "announce", formPost }, { "upload", formPost },
                        { "checkResult", formGet }, { "update", formPost }, { "result", formGet } };
    QTest::newRow("legacy") << 1 << StepHeaders{ { "upload", upload("multipart/form-data, boundary=AaB03x") } };
    QTest::newRow("tcp-assisted") << 11
        << StepHeaders{ { "upload", HeaderList{ { "Host", "{authority}" }, { "X-Api-Key", "{key}" },
                                                { "Content-Type", "multipart/form-data; boundary=\"{boundary}\"" },
                                                { "Content-Length", "{length}" } } } };
}

// The display's web server gets the headers of our request catalogue, in its order, and no
// others: no user agent, language or encoding list of a network library.
void HttpClientTest::requestsCarryExactlyTheirHeaders()
{
    QFETCH(int, series);
    QFETCH(StepHeaders, expected);
    Bench bench(13, series);
    bench.config.uploadKeyValue = 0x1234;
    bench.makeFiles({ 1 }, 3000);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(series)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));

    const QByteArray host = bench.address.toString().toUtf8();
    QSet<QByteArray> seen;
    for (const SimWebCapture &c : bench.display->webCaptures()) {
        QVERIFY2(expected.contains(c.step), c.step.constData());
        seen.insert(c.step);
        QByteArray boundary;
        for (const auto &field : c.headers) {
            if (field.first == "Content-Type" && field.second.contains("boundary=\""))
                boundary = field.second.mid(field.second.indexOf("boundary=\"") + 10).chopped(1);
        }
        HeaderList want = expected.value(c.step);
        for (auto &field : want) {
            field.second.replace("{host}", host)
                .replace("{authority}", host + ':' + QByteArray::number(WebPort))
                .replace("{length}", QByteArray::number(c.bodySize))
                .replace("{key}", md5("KaVeRoLu1234\n"))
                .replace("{boundary}", boundary);
        }
        QCOMPARE(c.headers, want);
    }
    QCOMPARE(seen.size(), expected.size());
}

void HttpClientTest::connectionIsKeptWhileTheDisplayKeepsIt_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<QByteArray>("framing");
    QTest::addColumn<bool>("kept");
    QTest::newRow("cgictrl, lengths") << 3 << QByteArray() << true;
    QTest::newRow("cgictrl, chunks") << 3 << QByteArray("chunked") << true;
    QTest::newRow("cgictrl, each reply ends with its connection") << 3 << QByteArray("close") << false;
    QTest::newRow("chunked, lengths") << 9 << QByteArray() << true;
    QTest::newRow("stamped, chunks") << 10 << QByteArray("chunked") << true;
    QTest::newRow("stamped, each reply ends with its connection") << 10 << QByteArray("close") << false;
}

// One connection carries the whole session while the display keeps it alive; a reply that ends
// with its connection is never followed by a request on that connection.
void HttpClientTest::connectionIsKeptWhileTheDisplayKeepsIt()
{
    QFETCH(int, series);
    QFETCH(QByteArray, framing);
    QFETCH(bool, kept);
    Bench bench(14, series);
    if (!framing.isEmpty()) {
        SimStepFault f;
        f.step = "*";
        f.framing = framing;
        bench.config.update.faults << f;
    }
    bench.makeFiles({ 1 }, 600000);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(series)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));
    const int requests = int(bench.display->webCaptures().size());
    QVERIFY(requests >= 6);
    QCOMPARE(bench.display->requestLog().connections(SimLogEntry::Channel::Web), kept ? 1 : requests);
    QTRY_COMPARE(connectionsTo(bench.address, { WebPort }), 0);
}

void HttpClientTest::componentsSettleOneByOne_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<Configure>("configure");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<int>>("componentStatuses");

    QTest::newRow("cgictrl: first fails, second completes")
        << 3 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateFailComponent = 1; })
        << 4 << QList<int>{ -4, 3 };
    QTest::newRow("stamped: second fails")
        << 10 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.updateFailComponent = 2; })
        << 4 << QList<int>{ 3, -4 };
    QTest::newRow("legacy: a file failing three times leaves the next untouched")
        << 2 << Configure([](SimDisplayConfig &c, SessionParams &) { c.update.legacyWriteFailures = 3; })
        << -4 << QList<int>{ -4, 0 };
}

void HttpClientTest::componentsSettleOneByOne()
{
    QFETCH(int, series);
    QFETCH(Configure, configure);
    QFETCH(int, status);
    QFETCH(QList<int>, componentStatuses);
    Bench bench(12, series);
    bench.makeFiles({ 1, 2 }, 10000);
    SessionParams params = fastParams(series);
    configure(bench.config, params);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(params), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), status);
    for (int i = 0; i < componentStatuses.size(); ++i)
        QCOMPARE(bench.client.componentStatus(i), componentStatuses.at(i));
    if (series == 2)
        QCOMPARE(bench.display->webCaptures("upload").size(), 3);
}

void HttpClientTest::progressingUploadOutlivesTheStepTimeout_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<bool>("stalled");
    for (const int series : { 1, 3, 10, 11 }) {
        QTest::addRow("series %d, slow but steady", series) << series << false;
        QTest::addRow("series %d, stalled", series) << series << true;
    }
}

// Twenty uploads sharing a slow link take longer than one step's time-out; as long as bytes keep
// going out the upload is not cut off, while one that stops still ends after the time-out.
void HttpClientTest::progressingUploadOutlivesTheStepTimeout()
{
    QFETCH(int, series);
    QFETCH(bool, stalled);
    Bench bench(11, series);
    // Large enough that the loopback buffers (4 MB in the kernel, more in the network library)
    // cannot swallow it at once: progress then shows for most of the upload.
    bench.makeFiles({ 1 }, 24 * 1024 * 1024);
    SimStepFault slow;
    slow.step = "upload";
    if (stalled)
        slow.neverReply = true;
    else
        slow.readBytesPerSecond = 6 * 1024 * 1024;
    bench.config.update.faults << slow;
    QVERIFY(bench.startDisplay());
    SessionParams params = fastParams(series);
    params.stepTimeoutSecs = 2;
    params.legacyTimeoutSecs = 2;
    QCOMPARE(bench.setup(params), 0);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(bench.run());
    if (stalled) {
        QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Timeout));
    } else {
        QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::Complete));
        QVERIFY2(clock.elapsed() > 3000, "the upload was meant to take longer than the time-out");
    }
    QVERIFY(!bench.client.isActive());
    QCOMPARE(openFilesIn(bench.dir.path()), 0);
}

void HttpClientTest::failedUploadRestoresTheHttpServer_data()
{
    QTest::addColumn<bool>("timeout");
    QTest::addColumn<bool>("restoreWorks");
    QTest::addColumn<int>("status");
    QTest::newRow("401, restore works") << false << true << int(UpdateStatus::UpdateFailed);
    QTest::newRow("401, restore rejected") << false << false << int(UpdateStatus::UpdateFailed);
    QTest::newRow("upload times out, restore works") << true << true << int(UpdateStatus::Timeout);
}

// The display's web server was off and we switched it on for the upload; a failed upload must not
// leave it on without at least trying to switch it off and saying whether that worked.
void HttpClientTest::failedUploadRestoresTheHttpServer()
{
    QFETCH(bool, timeout);
    QFETCH(bool, restoreWorks);
    QFETCH(int, status);
    Bench bench(7, 11);
    bench.makeFiles({ 1 }, 20000);
    SimStepFault fault;
    fault.step = "upload";
    if (timeout)
        fault.neverReply = true;
    else
        fault.status = 401;
    bench.config.update.faults << fault;
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(11)), 0);
    if (!restoreWorks) {
        // Once the server is on, switching it off again is answered with an error.
        QObject::connect(bench.display.get(), &SimDisplay::stateChanged, bench.display.get(), [&] {
            SimDisplayConfig now = bench.display->config();
            if (now.vcpValues.value(0x11F0) == 2 && !now.vcpResults.contains(0x11F0)) {
                now.vcpResults[0x11F0] = 1;
                bench.display->setConfig(now);
            }
        });
    }
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), status);
    QCOMPARE(bench.client.componentStatus(0), int(UpdateStatus::CommunicationFailed));
    QCOMPARE(logged("Log into the display's HTTP page"), !timeout);
    const QList<QByteArray> bodies = bench.display->requestLog().controlBodies();
    QVERIFY(bodies.contains("11F00001"));
    if (restoreWorks) {
        QVERIFY(logged("Firmware upload failed. HTTP Server was restored to disabled state."));
        QCOMPARE(bench.display->config().vcpValues.value(0x11F0), quint16(1));
    } else {
        QVERIFY(logged("Warning: Request to restore HTTP Server to disabled state failed."));
    }
    QVERIFY(!logged("HTTP Server was unable to be re-disabled"));
    QVERIFY(!bench.client.isActive());
    QCOMPARE(openFilesIn(bench.dir.path()), 0);
}

void HttpClientTest::seriesWithoutSequenceIsRefused_data()
{
    QTest::addColumn<int>("series");
    QTest::newRow("7") << 7;
    QTest::newRow("8") << 8;
    QTest::newRow("0") << 0;
    QTest::newRow("unknown 42") << 42;
    QTest::newRow("negative") << -3;
}

void HttpClientTest::seriesWithoutSequenceIsRefused()
{
    QFETCH(int, series);
    HttpClient client;
    std::array<QString, 6> files;
    std::array<bool, 6> enabled{ true };
    QCOMPARE(client.setup(2, QStringLiteral("127.0.41.9"), files, enabled, fastParams(series)), -1);
    QCOMPARE(client.sessionStatus(), -1);
    QVERIFY(logged(QStringLiteral("Display # 3 no LAN update sequence for series %1").arg(series)));
    client.start();
    QTest::qWait(50);
    QCOMPARE(client.sessionStatus(), -1);
    QVERIFY(!client.isActive());
}

void HttpClientTest::sessionWithoutComponentsSettles()
{
    Bench bench(8, 3);
    bench.makeFiles({}, 100);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(3)), 0);
    QVERIFY(bench.run(2000));
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::UploadFailed));
    QVERIFY(!bench.client.isActive());
    QVERIFY(bench.display->webCaptures().isEmpty());
}

void HttpClientTest::missingFileIsUnableToUpload_data()
{
    QTest::addColumn<int>("series");
    QTest::newRow("legacy") << 1;
    QTest::newRow("cgictrl") << 3;
    QTest::newRow("chunked") << 9;
    QTest::newRow("stamped") << 10;
    QTest::newRow("tcp-assisted") << 11;
}

void HttpClientTest::missingFileIsUnableToUpload()
{
    QFETCH(int, series);
    Bench bench(10, series);
    bench.makeFiles({ 1 }, 100);
    QFile::remove(bench.files[0]);
    QVERIFY(bench.startDisplay());
    QCOMPARE(bench.setup(fastParams(series)), 0);
    QVERIFY(bench.run());
    QCOMPARE(bench.client.sessionStatus(), int(UpdateStatus::UploadFailed));
    QCOMPARE(bench.client.componentStatus(0), int(UpdateStatus::UploadFailed));
    QVERIFY(bench.display->webCaptures("upload").isEmpty());
    if (series == 11) {
        // The web server was switched on for the upload: it is off again, as after a failed upload.
        QVERIFY(bench.display->requestLog().controlBodies().contains("11F00002"));
        QVERIFY(logged("Firmware upload failed. HTTP Server was restored to disabled state."));
        QCOMPARE(bench.display->config().vcpValues.value(0x11F0), quint16(1));
    }
    QVERIFY(!bench.client.isActive());
}

QTEST_MAIN(HttpClientTest)
#include "tst_httpclient.moc"
