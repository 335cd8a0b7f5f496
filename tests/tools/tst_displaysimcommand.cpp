#include <QNetworkDatagram>
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

QTEST_GUILESS_MAIN(tst_DisplaySimCommand)
#include "tst_displaysimcommand.moc"
