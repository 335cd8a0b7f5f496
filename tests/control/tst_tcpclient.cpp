#include "control/TcpClient.h"

#include "control/ControlItem.h"
#include "control/ControlQueryGate.h"

#include "SimDisplay.h"
#include "SimFleet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Displays of this file live on 127.0.30.0/24; their web pages are on port 80.
namespace {

const QHostAddress NoSecondAddress(QHostAddress::AnyIPv4);

QHostAddress at(int last)
{
    return QHostAddress(QStringLiteral("127.0.30.%1").arg(last));
}

// Runs one query and returns its result; count receives how many results came within waitMs.
PD_TCP_REPLY query(TcpClient &client, quint32 flags, const QHostAddress &address,
                   const QHostAddress &ip2 = NoSecondAddress, int waitMs = 10000, int *count = nullptr)
{
    QSignalSpy spy(&client, &TcpClient::device_results);
    client.setRequestFlags(flags);
    client.connectToDisplay(address, 7142, ip2);
    spy.wait(waitMs);
    if (count)
        *count = spy.count();
    return spy.isEmpty() ? PD_TCP_REPLY() : spy.first().first().value<PD_TCP_REPLY>();
}

// A control endpoint that answers every frame with the same reply body, framed by hand; or one
// that hangs up on a request, with or without answering it first.
class ScriptedControl : public QObject
{
public:
    enum class HangUp { Never, InsteadOfAnswer, AfterAnswer };

    ScriptedControl(const QHostAddress &address, const QByteArray &replyBody, HangUp hangUp = HangUp::Never)
    {
        server.listen(address, 7142);
        connect(&server, &QTcpServer::newConnection, this, [this, replyBody, hangUp] {
            QTcpSocket *socket = server.nextPendingConnection();
            ++connections;
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, replyBody, hangUp] {
                const QByteArray request = socket->readAll();
                received << request.mid(8, request.size() - 11);
                if (hangUp == HangUp::InsteadOfAnswer) {
                    socket->disconnectFromHost();
                    return;
                }
                QByteArray frame("\x01" "00AB");
                frame += QByteArray::number(replyBody.size() + 2, 16).toUpper().rightJustified(2, '0');
                frame += '\x02' + replyBody + '\x03';
                char check = 0;
                for (int i = 1; i < frame.size(); ++i)
                    check ^= frame.at(i);
                socket->write(frame + check + '\r');
                if (hangUp == HangUp::AfterAnswer)
                    socket->disconnectFromHost();
            });
        });
    }
    QTcpServer server;
    QList<QByteArray> received;
    int connections = 0;
};

// Entries in a /proc folder: the process's threads or open descriptors.
int procEntries(const char *path)
{
    return int(QDir(QString::fromLatin1(path)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// Displays whose web pages on webPort accept the connection and never answer.
QList<SimDisplayConfig> stalledPages(int displays, quint16 webPort)
{
    QList<SimDisplayConfig> configs;
    for (int i = 0; i < displays; ++i) {
        SimDisplayConfig config;
        config.webPort = webPort;
        config.misbehaviour.web = SimMisbehaviour::Listener::NeverReply;
        configs << config;
    }
    return configs;
}

// A page lock check of every display in the fleet at once through the gate. Returns how many
// ended undetermined once all had answered, or -1 when they had not within 30 s.
int checkEveryPage(SimFleet &fleet, ControlQueryGate &gate, quint16 webPort, int checkTimeoutMs)
{
    int results = 0;
    int undetermined = 0;
    QObject owner;
    for (SimDisplay *display : fleet.displays()) {
        auto *client = new TcpClient(&owner);
        client->setQueryGate(&gate);
        client->setHttpPort(webPort);
        client->setHttpCheckTimeout(checkTimeoutMs);
        QObject::connect(client, &TcpClient::device_results, &owner, [&, client](const PD_TCP_REPLY &reply) {
            ++results;
            if (reply.lockStatus == 2)
                ++undetermined;
            client->deleteLater();
        });
        client->setRequestFlags(RequestFlag::PageLockCheck);
        client->connectToDisplay(display->address(), 7142, NoSecondAddress);
    }
    const int displays = int(fleet.displays().size());
    return QTest::qWaitFor([&] { return results == displays; }, 30000) ? undetermined : -1;
}

} // namespace

class tst_TcpClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsInTableOrderAndCloses();
    void unsupportedMainFirmwareFallsBackToIndex();
    void firmwareByIndexOneToFour();
    void assetTagInTwoHalves();
    void splitReplyIsMalformedAndFinal();
    void webChecks_data();
    void webChecks();
    void webCheckThatNeverFinishes_data();
    void webCheckThatNeverFinishes();
    void powerSaveReads_data();
    void powerSaveReads();
    void replyTableEntries_data();
    void replyTableEntries();
    void httpServerStateErrorDoesNotStopTheQuery();
    void connectionRefused();
    void displayThatHangsUpEndsTheQueryAtOnce_data();
    void displayThatHangsUpEndsTheQueryAtOnce();
    void silentDisplayEndsOnceInBoundedTime();
    void oddPowerStatusIsNotAskedForever();
    void longTextsAreCut();
    void clientRunsASecondQuery();
    void lateReplyCompletesOnlyItsOwnItem();
    void displayThatNeverAnswersIsGivenUpAsAWhole_data();
    void displayThatNeverAnswersIsGivenUpAsAWhole();
    void stalledPagesKeepThreadsAndDescriptorsFlat();
    void stalledPagesStepAsideWithinTheirBudget();
};

void tst_TcpClient::initTestCase()
{
    QTcpServer probe;
    QVERIFY2(probe.listen(at(254), 80), "port 80 on loopback is needed (run as root)");
}

void tst_TcpClient::readsInTableOrderAndCloses()
{
    SimDisplayConfig config;
    config.modelName = QStringLiteral("PX-551");
    config.serialNumber = QStringLiteral("61A00001BA");
    config.mainFwVersion = QStringLiteral("R1.200");
    config.powerMode = 1;
    SimDisplay display(config);
    QCOMPARE(display.start(at(10)), 0);

    TcpClient client;
    int stateAtResult = -1;
    connect(&client, &TcpClient::device_results, this, [&] { stateAtResult = client.connectionState(); });
    int count = 0;
    const PD_TCP_REPLY r = query(client, 0x47, at(10), NoSecondAddress, 10000, &count);
    QTest::qWait(300);

    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{"C217", "01D6", "C216", "CA0200"}));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.requestFlags, 0x47u);
    QCOMPARE(r.ipAddress, at(10));
    QCOMPARE(r.modelName, config.modelName);
    QCOMPARE(r.serialNumber, config.serialNumber);
    QCOMPARE(r.mainFwVersion, config.mainFwVersion);
    QCOMPARE(r.powerMode, 1);
    QCOMPARE(r.ip2Check, -1);
    QCOMPARE(r.lockStatus, -1);
    QCOMPARE(stateAtResult, int(TcpClient::Disconnected));
    QCOMPARE(display.requestLog().connections(SimLogEntry::Channel::Control), 1);
}

void tst_TcpClient::unsupportedMainFirmwareFallsBackToIndex()
{
    SimDisplayConfig config;
    config.mainFwVersion = QStringLiteral("R2.340");
    config.misbehaviour.beItems = {QStringLiteral("C03F")};
    SimDisplay display(config);
    QCOMPARE(display.start(at(11)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, 0x9, at(11));
    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{"C217", "C03F", "CA0200"}));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.mainFwVersion, QStringLiteral("R2.340"));
}

void tst_TcpClient::firmwareByIndexOneToFour()
{
    SimDisplayConfig config;
    config.fwVersions = {"A-1", "B-2", "C-3", "D-4"};
    SimDisplay display(config);
    QCOMPARE(display.start(at(12)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, 0x20, at(12));
    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{"CA0201", "CA0202", "CA0203", "CA0204"}));
    QCOMPARE(r.status, 0);
    QCOMPARE(QStringList({r.fwVersions[0], r.fwVersions[1], r.fwVersions[2], r.fwVersions[3]}), config.fwVersions);
    QVERIFY(r.fwVersions[4].isEmpty() && r.fwVersions[5].isEmpty());
}

void tst_TcpClient::assetTagInTwoHalves()
{
    SimDisplayConfig config;
    config.assetTag = QStringLiteral("LOBBY-WALL-0001-ABCDEFGHIJKLMNOPQ/second-half");
    SimDisplay display(config);
    QCOMPARE(display.start(at(13)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, 0x100, at(13));
    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{"C00B0020", "C00B2020"}));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.assetTag, config.assetTag);
}

void tst_TcpClient::splitReplyIsMalformedAndFinal()
{
    SimDisplayConfig config;
    config.misbehaviour.splitItems = {QStringLiteral("C217")};
    SimDisplay display(config);
    QCOMPARE(display.start(at(14)), 0);

    TcpClient client;
    int count = 0;
    const PD_TCP_REPLY r = query(client, 0x7, at(14), NoSecondAddress, 5000, &count);
    QCOMPARE(r.status, -3001);
    // Items were still pending: the client must neither resume nor report a second time.
    QSignalSpy again(&client, &TcpClient::device_results);
    QTest::qWait(1500);
    QCOMPARE(count, 1);
    QCOMPARE(again.count(), 0);
    QCOMPARE(display.requestLog().controlBodies(), QList<QByteArray>{"C217"});
    QCOMPARE(display.requestLog().connections(SimLogEntry::Channel::Control), 1);
}

void tst_TcpClient::webChecks_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("webRefused");
    QTest::addColumn<QString>("secondAddress");   // "self" = the display's own address
    QTest::addColumn<int>("lockStatus");
    QTest::addColumn<int>("ip2Check");
    QTest::addColumn<QList<QByteArray>>("webRequests");

    const QList<QByteArray> both{"GET /", "GET /index.html"};
    const QList<QByteArray> lockOnly{"GET /index.html"};
    QTest::newRow("locked page") << true << QByteArray() << false << "self" << 1 << 0 << both;
    QTest::newRow("marker in lower case") << false << QByteArray("<a href=\"/logon/x\">in</a>") << false << "self"
                                          << 0 << 0 << both;
    QTest::newRow("empty page") << false << QByteArray("") << false << "self" << 2 << 1 << both;
    QTest::newRow("web server refuses") << false << QByteArray() << true << "self" << 2 << 1 << QList<QByteArray>{};
    QTest::newRow("second address 0.0.0.0") << false << QByteArray() << false << "0.0.0.0" << 0 << 1 << lockOnly;
    QTest::newRow("second address null") << false << QByteArray() << false << "" << 0 << 1 << lockOnly;
}

void tst_TcpClient::webChecks()
{
    QFETCH(bool, locked);
    QFETCH(QByteArray, page);
    QFETCH(bool, webRefused);
    QFETCH(QString, secondAddress);
    QFETCH(int, lockStatus);
    QFETCH(int, ip2Check);
    QFETCH(QList<QByteArray>, webRequests);

    SimDisplayConfig config;
    config.locked = locked;
    config.indexPage = page;
    if (webRefused)
        config.misbehaviour.web = SimMisbehaviour::Listener::Refuse;
    SimDisplay display(config);
    QCOMPARE(display.start(at(20)), 0);

    // The display's own address stands in for its second address.
    TcpClient client;
    const QHostAddress ip2 = secondAddress == "self" ? at(20) : QHostAddress(secondAddress);
    const PD_TCP_REPLY r = query(client, 0x1200, at(20), ip2);
    QCOMPARE(r.status, 0);
    QCOMPARE(r.lockStatus, lockStatus);
    QCOMPARE(r.ip2Check, ip2Check);
    QCOMPARE(display.requestLog().requests(SimLogEntry::Channel::Web), webRequests);
    QVERIFY(display.requestLog().controlBodies().isEmpty());
}

void tst_TcpClient::webCheckThatNeverFinishes_data()
{
    QTest::addColumn<bool>("stallAfterHeaders");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    // Silent from the start: the downloader's own first-data time-out ends it.
    QTest::newRow("accepts, never answers") << false << 4500 << 9000;
    // Starts and stalls: only the client's own limit ends it.
    QTest::newRow("answers, then stalls") << true << TcpClient::HttpCheckLimitMs - 500 << TcpClient::HttpCheckLimitMs + 4000;
}

void tst_TcpClient::webCheckThatNeverFinishes()
{
    QFETCH(bool, stallAfterHeaders);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);

    SimDisplayConfig config;
    config.misbehaviour.web = SimMisbehaviour::Listener::Refuse;
    SimDisplay display(config);
    QCOMPARE(display.start(at(29)), 0);
    QTcpServer web;
    QVERIFY(web.listen(at(29), 18029));
    connect(&web, &QTcpServer::newConnection, this, [&] {
        QTcpSocket *socket = web.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, stallAfterHeaders] {
            socket->readAll();
            if (stallAfterHeaders)
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n<html>/Logon/");
        });
    });

    TcpClient client;
    client.setHttpPort(18029);
    QElapsedTimer clock;
    clock.start();
    int count = 0;
    const PD_TCP_REPLY r = query(client, 0x3000, at(29), NoSecondAddress, maxMs, &count);
    QCOMPARE(count, 1);
    QVERIFY2(clock.elapsed() >= minMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(r.lockStatus, 2);
    // The query went on with its next item.
    QCOMPARE(display.requestLog().controlBodies(), QList<QByteArray>{"CA0B00"});
    QCOMPARE(r.status, 0);
}

void tst_TcpClient::powerSaveReads_data()
{
    QTest::addColumn<int>("readResult");
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("vcp11EE");
    QTest::addColumn<int>("powerSaveSetting");
    QTest::addColumn<int>("powerSaveModeVcp");

    QTest::newRow("auto standby, mode 2") << 0 << 1 << 2 << 1 << 2;
    QTest::newRow("off reported as result 01") << 1 << 0 << 1 << 2 << 1;
    QTest::newRow("result 01 with a value") << 1 << 2 << 3 << -1 << -1;
    QTest::newRow("other result") << 2 << 0 << 0 << -1 << -1;
}

void tst_TcpClient::powerSaveReads()
{
    QFETCH(int, readResult);
    QFETCH(int, setting);
    QFETCH(int, vcp11EE);
    QFETCH(int, powerSaveSetting);
    QFETCH(int, powerSaveModeVcp);

    SimDisplayConfig config;
    config.powerSaveReadResult = readResult;
    config.powerSaveSetting = setting;
    config.vcpValues[0x11EE] = quint16(vcp11EE);
    SimDisplay display(config);
    QCOMPARE(display.start(at(21)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, 0x802000, at(21));
    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{"CA0B00", "11EE"}));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.powerSaveSetting, powerSaveSetting);
    QCOMPARE(r.powerSaveModeVcp, powerSaveModeVcp);
}

// One row per entry of the reply tables that the other cases do not reach: what each reply sets.
void tst_TcpClient::replyTableEntries_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<int>("vcpCode");     // set to vcpValue in the display, -1 for none
    QTest::addColumn<int>("vcpValue");
    QTest::addColumn<int>("forcedResult"); // result byte the display gives for vcpCode, 0 for none
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("status");

    QTest::newRow("02h 3Eh read") << 0x80u << 0x023E << 0x42 << 0 << "param023E" << 0x42 << 0;
    QTest::newRow("02h 3Eh unsupported") << 0x80u << 0x023E << 0x42 << 1 << "param023E" << -1 << 0;
    QTest::newRow("13h 06h progress") << 0x80000u << 0x1306 << 37 << 0 << "value1306" << 37 << 0;
    QTest::newRow("13h 06h error") << 0x80000u << 0x1306 << 37 << 1 << "value1306" << 0 << 0;
    QTest::newRow("13h 07h upload key") << 0x20000u << -1 << 0 << 0 << "value1307" << 0x3A7C << 0;
    QTest::newRow("13h 03h start") << 0x40000u << -1 << 0 << 0 << "value1307" << 1 << 0;
    QTest::newRow("11h F0h read") << 0x100000u << 0x11F0 << 2 << 0 << "value11F0" << 2 << 0;
    QTest::newRow("11h F0h enable") << 0x200000u << -1 << 0 << 0 << "value11F0" << 2 << 0;
    QTest::newRow("11h EEh set one") << 0x1000000u << -1 << 0 << 0 << "powerSaveModeVcp" << 1 << 0;
    QTest::newRow("11h EEh set normal") << 0x2000000u << -1 << 0 << 0 << "powerSaveModeVcp" << 2 << 0;
    QTest::newRow("power on") << 0x400u << -1 << 0 << 0 << "powerMode" << 1 << 0;
    QTest::newRow("power off") << 0x800u << -1 << 0 << 0 << "powerMode" << 4 << 0;
}

void tst_TcpClient::replyTableEntries()
{
    QFETCH(quint32, flags);
    QFETCH(int, vcpCode);
    QFETCH(int, vcpValue);
    QFETCH(int, forcedResult);
    QFETCH(QString, field);
    QFETCH(int, expected);
    QFETCH(int, status);

    SimDisplayConfig config;
    config.powerMode = 4;
    if (vcpCode >= 0)
        config.vcpValues[quint16(vcpCode)] = quint16(vcpValue);
    if (forcedResult != 0)
        config.vcpResults[quint16(vcpCode)] = quint8(forcedResult);
    SimDisplay display(config);
    QCOMPARE(display.start(at(30)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, flags, at(30));
    QCOMPARE(r.status, status);
    const QHash<QString, int> fields {
        { "param023E", r.param023E.isEmpty() ? -1 : int(r.param023E.at(0).unicode()) },
        { "value1306", r.value1306 },
        { "value1307", r.value1307 },
        { "value11F0", r.value11F0 },
        { "powerSaveModeVcp", r.powerSaveModeVcp },
        { "powerMode", r.powerMode },
    };
    QVERIFY(fields.contains(field));
    QCOMPARE(fields.value(field), expected);
}

void tst_TcpClient::httpServerStateErrorDoesNotStopTheQuery()
{
    SimDisplayConfig config;
    config.vcpResults[0x11F0] = 0x01;
    SimDisplay display(config);
    QCOMPARE(display.start(at(22)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, 0x900000, at(22));
    QCOMPARE(display.requestLog().controlBodies(), (QList<QByteArray>{"11F0", "11EE"}));
    QCOMPARE(r.status, -1);
    QCOMPARE(r.powerSaveModeVcp, 1);
}

void tst_TcpClient::connectionRefused()
{
    SimDisplayConfig config;
    config.misbehaviour.control = SimMisbehaviour::Listener::Refuse;
    SimDisplay display(config);
    QCOMPARE(display.start(at(23)), 0);

    TcpClient client;
    int count = 0;
    const PD_TCP_REPLY r = query(client, 0x7, at(23), NoSecondAddress, 3000, &count);
    QCOMPARE(count, 1);
    QCOMPARE(r.status, -1);
    QCOMPARE(client.connectionState(), int(TcpClient::ConnectFailed));
}

void tst_TcpClient::displayThatHangsUpEndsTheQueryAtOnce_data()
{
    QTest::addColumn<int>("hangUp");
    QTest::addColumn<QString>("assetTag");
    QTest::newRow("hangs up instead of answering") << int(ScriptedControl::HangUp::InsteadOfAnswer) << QString();
    // The first half of the asset tag arrives with the close; what came before the close counts.
    QTest::newRow("answers, then hangs up") << int(ScriptedControl::HangUp::AfterAnswer) << QStringLiteral("TAG");
}

// A display that closes the connection ends the query as failed at once: no wait for a reply
// time-out, no reconnection.
void tst_TcpClient::displayThatHangsUpEndsTheQueryAtOnce()
{
    QFETCH(int, hangUp);
    QFETCH(QString, assetTag);
    ScriptedControl scripted(at(32), "C10B" + QByteArray("TAG"), ScriptedControl::HangUp(hangUp));

    TcpClient client;
    QElapsedTimer clock;
    clock.start();
    int count = 0;
    const PD_TCP_REPLY r = query(client, RequestFlag::AssetTag, at(32), NoSecondAddress, 10000, &count);
    QVERIFY2(clock.elapsed() < TcpClient::ReplyTimeoutMs, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(100);
    QCOMPARE(count, 1);
    QCOMPARE(r.status, -1);
    QCOMPARE(r.assetTag, assetTag);
    QCOMPARE(scripted.connections, 1);
}

void tst_TcpClient::silentDisplayEndsOnceInBoundedTime()
{
    SimDisplayConfig config;
    config.misbehaviour.control = SimMisbehaviour::Listener::NeverReply;
    SimDisplay display(config);
    QCOMPARE(display.start(at(24)), 0);

    TcpClient client;
    QSignalSpy results(&client, &TcpClient::device_results);
    QElapsedTimer clock;
    clock.start();
    client.setRequestFlags(0x1);
    client.connectToDisplay(at(24), 7142, NoSecondAddress);
    // One send and four retries, 2 s each, plus the reconnections.
    QVERIFY(results.wait(15000));
    QVERIFY2(clock.elapsed() >= 9000, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(2500);

    QCOMPARE(results.count(), 1);
    const auto r = results.first().first().value<PD_TCP_REPLY>();
    QCOMPARE(r.status, -1);   // not a single answer: not complete
    QCOMPARE(display.requestLog().controlBodies(), QList<QByteArray>(5, "C217"));
    QCOMPARE(display.requestLog().connections(SimLogEntry::Channel::Control), 5);
}

void tst_TcpClient::oddPowerStatusIsNotAskedForever()
{
    // A power-status reply whose rest is not "D600" + 8 digits leaves the item pending.
    ScriptedControl display(at(25), "0200D6FF");
    QVERIFY(display.server.isListening());

    TcpClient client;
    int count = 0;
    const PD_TCP_REPLY r = query(client, 0x4, at(25), NoSecondAddress, 5000, &count);
    QCOMPARE(count, 1);
    QCOMPARE(display.received, QList<QByteArray>(TcpClient::MaxSendsOfOneMessage, "01D6"));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.powerMode, 0);
}

void tst_TcpClient::longTextsAreCut()
{
    SimDisplayConfig config;
    config.mainFwVersion = QString(200, QLatin1Char('V'));
    SimDisplay display(config);
    QCOMPARE(display.start(at(26)), 0);

    TcpClient client;
    const PD_TCP_REPLY r = query(client, 0x40, at(26));
    QCOMPARE(r.status, 0);
    QCOMPARE(r.mainFwVersion, QString(127, QLatin1Char('V')));

    // The two asset-tag halves are cut each on its own.
    ScriptedControl scripted(at(27), "C10B" + QByteArray(150, 'T'));
    const PD_TCP_REPLY tag = query(client, 0x100, at(27));
    QCOMPARE(tag.assetTag, QString(254, QLatin1Char('T')));
}

void tst_TcpClient::clientRunsASecondQuery()
{
    SimDisplayConfig config;
    config.modelName = QStringLiteral("PX-2");
    SimDisplay display(config);
    QCOMPARE(display.start(at(28)), 0);

    TcpClient client;
    QSignalSpy results(&client, &TcpClient::device_results);
    QCOMPARE(query(client, 0x4, at(28)).powerMode, 1);
    const PD_TCP_REPLY second = query(client, 0x1, at(28));
    QCOMPARE(second.modelName, QStringLiteral("PX-2"));
    QCOMPARE(second.requestFlags, 0x1u);
    QCOMPARE(second.status, 0);
    QTest::qWait(200);
    QCOMPARE(results.count(), 2);
}

void tst_TcpClient::lateReplyCompletesOnlyItsOwnItem()
{
    // Every reply of the two power-save reads comes after the reply time-out: each read is given
    // up after five sends, and the late answer to the first must not settle the second.
    SimDisplayConfig config;
    config.powerSaveSetting = 1;
    config.misbehaviour.replyDelayMs = 300;
    config.misbehaviour.delayedItems = QStringList{QStringLiteral("CA0B"), QStringLiteral("11EE")};
    SimDisplay display(config);
    QCOMPARE(display.start(at(29)), 0);

    TcpClient client;
    client.setReplyTimeout(200);
    QSignalSpy results(&client, &TcpClient::device_results);
    client.setRequestFlags(RequestFlag::ModelName | RequestFlag::ReadPowerSave | RequestFlag::ReadPowerSaveMode);
    client.connectToDisplay(at(29), 7142, NoSecondAddress);
    QVERIFY(results.wait(15000));
    QTest::qWait(500);

    QCOMPARE(results.count(), 1);
    QList<QByteArray> expected{"C217"};
    expected += QList<QByteArray>(TcpClient::MaxSendsOfOneMessage, "CA0B00");
    expected += QList<QByteArray>(TcpClient::MaxSendsOfOneMessage, "11EE");
    QCOMPARE(display.requestLog().controlBodies(), expected);
    const auto r = results.first().first().value<PD_TCP_REPLY>();
    QCOMPARE(r.modelName, config.modelName);
    QCOMPARE(r.powerSaveSetting, -2);     // neither read was answered in time
    QCOMPARE(r.powerSaveModeVcp, -2);
    QCOMPARE(r.status, -1);
}

void tst_TcpClient::displayThatNeverAnswersIsGivenUpAsAWhole_data()
{
    QTest::addColumn<bool>("neverReplies");
    QTest::addColumn<QStringList>("silentItems");
    QTest::addColumn<QList<QByteArray>>("bodies");
    QTest::addColumn<int>("webRequests");
    QTest::addColumn<QString>("modelName");
    QTest::addColumn<int>("replyDelayMs");

    const QList<QByteArray> five(TcpClient::MaxSendsOfOneMessage, "C217");
    QTest::newRow("never answers: the first item's five sends end the query")
            << true << QStringList() << five << 0 << QString() << 0;
    // Each late answer arrives on a connection already closed for the next send.
    QTest::newRow("answers every item after the time-out: the same")
            << false << QStringList() << five << 0 << QString() << 300;
    QList<QByteArray> perItem{"C217"};
    perItem += QList<QByteArray>(TcpClient::MaxSendsOfOneMessage, "01D6");
    perItem += QList<QByteArray>{"C216", "C03F", "C00B0020", "C00B2020"};
    QTest::newRow("answers some items: only the silent one is given up")
            << false << QStringList{QStringLiteral("01D6")} << perItem << 1 << QStringLiteral("PX-551") << 0;
    QList<QByteArray> laterSilent{"C217", "01D6", "C216", "C03F", "C00B0020", "C00B2020"};
    laterSilent += QList<QByteArray>(TcpClient::MaxSendsOfOneMessage, "CA0200");
    QTest::newRow("falls silent after answering: per item, 0x8 still replaced by 0x40")
            << false << QStringList{QStringLiteral("C03F"), QStringLiteral("CA02")} << laterSilent << 1
            << QStringLiteral("PX-551") << 0;
}

void tst_TcpClient::displayThatNeverAnswersIsGivenUpAsAWhole()
{
    QFETCH(bool, neverReplies);
    QFETCH(QStringList, silentItems);
    QFETCH(QList<QByteArray>, bodies);
    QFETCH(int, webRequests);
    QFETCH(QString, modelName);
    QFETCH(int, replyDelayMs);

    SimDisplayConfig config;
    config.modelName = QStringLiteral("PX-551");
    if (neverReplies)
        config.misbehaviour.control = SimMisbehaviour::Listener::NeverReply;
    config.misbehaviour.silentItems = silentItems;
    config.misbehaviour.replyDelayMs = replyDelayMs;
    SimDisplay display(config);
    QCOMPARE(display.start(at(31)), 0);

    TcpClient client;
    client.setReplyTimeout(200);
    QSignalSpy results(&client, &TcpClient::device_results);
    client.setRequestFlags(RequestFlag::ModelName | RequestFlag::PowerStatus | RequestFlag::SerialNumber
                           | RequestFlag::MainFirmware | RequestFlag::AssetTag | RequestFlag::PageLockCheck);
    client.connectToDisplay(at(31), 7142, NoSecondAddress);
    QVERIFY(results.wait(20000));
    QTest::qWait(300);

    QCOMPARE(results.count(), 1);
    QCOMPARE(display.requestLog().controlBodies(), bodies);
    QCOMPARE(display.requestLog().count(SimLogEntry::Channel::Web), webRequests);
    const auto r = results.first().first().value<PD_TCP_REPLY>();
    QCOMPARE(r.status, -1);
    QCOMPARE(r.modelName, modelName);
}

void tst_TcpClient::stalledPagesKeepThreadsAndDescriptorsFlat()
{
    // 200 displays whose web pages accept the connection and never answer, checked at once through
    // a gate of 16: no thread per check, and no more connections than the gate lets run.
    const int displays = 200;
    const int limit = 16;
    SimFleet fleet;
    QCOMPARE(fleet.start(QHostAddress(QStringLiteral("127.0.32.1")), stalledPages(displays, 18082)), 0);

    const int threadsBefore = procEntries("/proc/self/task");
    const int fdsBefore = procEntries("/proc/self/fd");
    int peakThreads = threadsBefore;
    int peakFds = fdsBefore;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] {
        peakThreads = qMax(peakThreads, procEntries("/proc/self/task"));
        peakFds = qMax(peakFds, procEntries("/proc/self/fd"));
    });
    sampler.start(20);

    ControlQueryGate gate(limit);
    const int undetermined = checkEveryPage(fleet, gate, 18082, 150);
    sampler.stop();

    QCOMPARE(undetermined, displays);
    QVERIFY2(peakThreads <= threadsBefore + 1, qPrintable(QString::number(peakThreads - threadsBefore)));
    // Per running check: its control and page sockets here, and both accepted by the simulator.
    QVERIFY2(peakFds - fdsBefore <= 4 * limit + 8, qPrintable(QString::number(peakFds - fdsBefore)));
}

void tst_TcpClient::stalledPagesStepAsideWithinTheirBudget()
{
    // 60 displays whose web pages never answer, through a gate of 4 places and 20 parked page
    // checks: the parked checks let the next queries in, up to the budget and no further.
    const int displays = 60;
    const int limit = 4;
    const int parkLimit = 20;
    SimFleet fleet;
    QCOMPARE(fleet.start(QHostAddress(QStringLiteral("127.0.33.1")), stalledPages(displays, 18083)), 0);

    const int fdsBefore = procEntries("/proc/self/fd");
    int peakFds = fdsBefore;
    int peakParked = 0;
    int peakRunning = 0;
    ControlQueryGate gate(limit, parkLimit);
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] {
        peakFds = qMax(peakFds, procEntries("/proc/self/fd"));
        peakParked = qMax(peakParked, gate.parked());
        peakRunning = qMax(peakRunning, gate.running());
    });
    sampler.start(20);

    const int undetermined = checkEveryPage(fleet, gate, 18083, 400);
    sampler.stop();

    QCOMPARE(undetermined, displays);
    QCOMPARE(peakParked, parkLimit);
    QVERIFY2(peakRunning <= limit, qPrintable(QString::number(peakRunning)));
    QCOMPARE(gate.parked(), 0);
    QCOMPARE(gate.running(), 0);
    QVERIFY2(peakFds - fdsBefore <= 4 * (limit + parkLimit) + 8, qPrintable(QString::number(peakFds - fdsBefore)));
}

QTEST_GUILESS_MAIN(tst_TcpClient)
#include "tst_tcpclient.moc"
