#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QTime>
#include <QUuid>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QtEndian>

// The displaysim command as the benchmarks start it: a separate process on
// its own address range (127.0.202.0/24 here).
class tst_DisplaySimCommand : public QObject
{
    Q_OBJECT

private slots:
    void startsFleetWithConfig();
    void rejectsBadConfig();
    void everyLanSeriesWithStatsFile();
};

namespace {

QByteArray searchRequest(quint16 sequence)
{
    QByteArray d(128, '\0');
    d.replace(0, 4, "ZRPJ");
    d[4] = 0x14;
    qToLittleEndian<quint16>(sequence, d.data() + 8);
    qToLittleEndian<quint16>(0x70, d.data() + 10);
    qToLittleEndian<quint32>(3, d.data() + 16);
    return d;
}

} // namespace

void tst_DisplaySimCommand::startsFleetWithConfig()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile config(dir.filePath(QStringLiteral("sim.json")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(R"({
        "defaults": { "idText": "SIMTEST" },
        "displays": [
            { "index": 0, "model": "CFG-ONE", "series": 140 },
            { "address": "127.0.202.2", "misbehaviour": { "searchSilent": true } }
        ]
    })");
    config.close();

    QProcess sim;
    sim.start(QStringLiteral(DISPLAYSIM_EXE),
              { QStringLiteral("--first"), QStringLiteral("127.0.202.1"), QStringLiteral("--count"),
                QStringLiteral("3"), QStringLiteral("--series"), QStringLiteral("11"), QStringLiteral("--web-port"),
                QStringLiteral("18082"), QStringLiteral("--config"), config.fileName() });
    QVERIFY(sim.waitForStarted());
    QVERIFY(sim.waitForReadyRead(10000));
    QCOMPARE(sim.readLine().trimmed(), QByteArray("displaysim ready: 3 displays from 127.0.202.1 to 127.0.202.3"));

    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    for (int i = 1; i <= 3; ++i)
        client.writeDatagram(searchRequest(7), QHostAddress(QStringLiteral("127.0.202.%1").arg(i)), 5320);
    QMap<QString, QByteArray> replies;
    QTRY_VERIFY((([&] {
                     while (client.hasPendingDatagrams()) {
                         const QNetworkDatagram dg = client.receiveDatagram();
                         replies.insert(dg.senderAddress().toString(), dg.data());
                     }
                 }()),
                 replies.size() == 2));
    QTest::qWait(200);
    QVERIFY(!client.hasPendingDatagrams());
    QVERIFY(!replies.contains(QStringLiteral("127.0.202.2")));

    const QByteArray first = replies.value(QStringLiteral("127.0.202.1"));
    QCOMPARE(first.mid(96, 7), QByteArray("CFG-ONE"));
    QCOMPARE(quint8(first.at(156)), quint8(140));
    QCOMPARE(first.mid(32, 7), QByteArray("SIMTEST"));
    // A generated series-11 display.
    const QByteArray third = replies.value(QStringLiteral("127.0.202.3"));
    QCOMPARE(quint8(third.at(156)), quint8(11));
    QVERIFY(third.mid(96, 3) == "WL-");

    sim.kill();
    sim.waitForFinished();
}

void tst_DisplaySimCommand::rejectsBadConfig()
{
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("bad.json")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(R"({ "displays": [ { "index": 0, "modle": "typo" } ] })");
    config.close();

    QProcess sim;
    sim.start(QStringLiteral(DISPLAYSIM_EXE), { QStringLiteral("--first"), QStringLiteral("127.0.202.20"),
                                                QStringLiteral("--count"), QStringLiteral("1"),
                                                QStringLiteral("--config"), config.fileName() });
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 1);
    QVERIFY(sim.readAllStandardError().contains("modle"));
    QVERIFY(sim.readAllStandardOutput().isEmpty());
}

// A fleet of every series with a LAN update, started the way a process test
// of the product starts it; the stats file follows an update attempt.
void tst_DisplaySimCommand::everyLanSeriesWithStatsFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString statsPath = dir.filePath(QStringLiteral("stats.json"));
    QFile config(dir.filePath(QStringLiteral("sim.json")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(R"({ "defaults": { "update": { "abandonMs": 2000, "firmwareAfterUpdate": { "main": "R7.000" } } },
                      "displays": [ { "index": 2, "update": { "faults": [ { "step": "standby", "status": 401, "times": 1 } ] } } ] })");
    config.close();

    QProcess sim;
    sim.start(QStringLiteral(DISPLAYSIM_EXE),
              { QStringLiteral("--first"), QStringLiteral("127.0.202.30"), QStringLiteral("--count"), QStringLiteral("9"),
                QStringLiteral("--series"), QStringLiteral("1,2,3,4,5,6,9,10,11"), QStringLiteral("--web-port"),
                QStringLiteral("18084"), QStringLiteral("--config"), config.fileName(), QStringLiteral("--stats-file"),
                statsPath });
    QVERIFY(sim.waitForStarted());
    QVERIFY(sim.waitForReadyRead(10000));
    QVERIFY(sim.readLine().startsWith("displaysim ready: 9 displays"));

    const auto stats = [&] {
        QFile f(statsPath);
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object();
    };
    QCOMPARE(stats().value(QStringLiteral("displays")).toArray().size(), 9);
    QCOMPARE(stats().value(QStringLiteral("maxConcurrent")).toInt(), 0);

    // Each display answers its own dialect's standby request and no other.
    const QByteArray t = QTime::currentTime().toString(QStringLiteral("hhmmsszzz")).toLatin1();
    const QByteArray uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1();
    const QList<QByteArray> standby = { "POST /cgi-bin/cgictrl?MM=00t=" + t, "POST /pjctrl?J=" + t, "GET /pjctrl?J=0&_=" + uuid };
    const QList<QList<int>> expected = { // per display (series 1..11): cgictrl, stamped, chunked standby
        { 404, 404, 404 }, { 404, 404, 404 }, { 401, 404, 404 }, { 200, 404, 404 }, { 200, 404, 404 },
        { 200, 404, 404 }, { 404, 404, 200 }, { 404, 200, 404 }, { 404, 404, 404 } };
    for (int i = 0; i < 9; ++i) {
        QList<int> got;
        for (const QByteArray &request : standby) {
            QTcpSocket s;
            s.connectToHost(QHostAddress(QStringLiteral("127.0.202.%1").arg(30 + i)), 18084);
            QVERIFY(s.waitForConnected(2000));
            s.write(request + " HTTP/1.1\r\nContent-Length: 11\r\nConnection: close\r\n\r\nundefined\r\n");
            QByteArray reply;
            (void)QTest::qWaitFor([&] { reply += s.readAll(); return s.state() == QAbstractSocket::UnconnectedState; }, 2000);
            got.append(reply.mid(9, 3).toInt());
        }
        QCOMPARE(got, expected.at(i));
    }
    // Six displays took an update request (the 401 answer is a fault, not
    // the end of the attempt): six were updating at once.
    QTRY_COMPARE(stats().value(QStringLiteral("maxConcurrent")).toInt(), 6);
    QTRY_COMPARE(stats().value(QStringLiteral("current")).toInt(), 0);
    const QJsonObject first = stats().value(QStringLiteral("displays")).toArray().at(2).toObject();
    QCOMPARE(first.value(QStringLiteral("address")).toString(), QStringLiteral("127.0.202.32"));
    QCOMPARE(first.value(QStringLiteral("outcome")).toString(), QStringLiteral("abandoned"));
    QCOMPARE(first.value(QStringLiteral("state")).toString(), QStringLiteral("idle"));
    QCOMPARE(first.value(QStringLiteral("mainFw")).toString(), QStringLiteral("R3.210")); // no update completed

    sim.kill();
    sim.waitForFinished();
}

QTEST_GUILESS_MAIN(tst_DisplaySimCommand)
#include "tst_displaysimcommand.moc"
