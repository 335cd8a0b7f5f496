#include "discovery/DisplaySearchUDP.h"

#include "SimDisplay.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtEndian>
#include <QtTest>

// This file's displays live on 127.0.20.0/24 and the search listens on 127.0.20.1, so it runs
// beside other tests that use the search port.
namespace {

const QHostAddress SearchAddress("127.0.20.1");

QHostAddress at(int last)
{
    return QHostAddress(QStringLiteral("127.0.20.%1").arg(last));
}

QStringList modelsOf(const QSignalSpy &spy)
{
    QStringList models;
    for (const QList<QVariant> &args : spy)
        models << args.at(0).value<DISPLAY_UDP_SEARCH_REPLY_INFO>().modelName;
    return models;
}

// A valid reply, written from the layout table for the request it answers.
QByteArray validReply(const QByteArray &request, const QByteArray &model, quint32 type)
{
    QByteArray r(256, '\0');
    r.replace(0, 4, "ZRPJ");
    r.replace(8, 2, request.mid(8, 2));
    qToLittleEndian<quint32>(type, r.data() + 16);
    r.replace(32, 4, "PDID");
    r.replace(96, model.size(), model);
    qToLittleEndian<quint32>(0x100, r.data() + 148);
    r[152] = 'A';
    r[156] = 1;
    return r;
}

// A display that answers by a script: bound like a real one, it replies to the request's sender.
class ScriptedResponder : public QObject
{
public:
    explicit ScriptedResponder(const QHostAddress &address)
    {
        socket.bind(address, 5320, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
        connect(&socket, &QUdpSocket::readyRead, this, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                if (d.data().size() != 128)
                    continue;
                requests << d.data();
                if (onRequest)
                    onRequest(d);
            }
        });
    }
    QUdpSocket socket;
    QList<QByteArray> requests;
    std::function<void(const QNetworkDatagram &)> onRequest;
};

} // namespace

class tst_DisplaySearchUDP : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startFailuresSendNothing();
    void setterRules();
    void recordFromSimulatedDisplay();
    void oneRecordAcrossTheRepeat();
    void targetedSearchEndsWhenAllAnswered();
    void unaskedRepliesDoNotEndATargetedSearch();
    void replyValidation_data();
    void replyValidation();
    void wrongSizeIsDiscardedButSenderListed();
};

void tst_DisplaySearchUDP::initTestCase()
{
    QUdpSocket probe;
    QVERIFY2(probe.bind(at(254), 5320, QUdpSocket::ShareAddress), "loopback 127.0.20.254:5320 cannot be bound");
}

void tst_DisplaySearchUDP::startFailuresSendNothing()
{
    ScriptedResponder listener(at(2));
    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);

    search.setFilterMode(2);
    QCOMPARE(search.startSearch(DisplaySearchUDP::Broadcast), int(DisplaySearchUDP::EmptyList));
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), int(DisplaySearchUDP::EmptyList));

    DisplaySearchUDP unfiltered(nullptr, at(3));
    QCOMPARE(unfiltered.setTargetAddresses({at(2)}), 0);
    QCOMPARE(unfiltered.startSearch(DisplaySearchUDP::Targeted), int(DisplaySearchUDP::NoFilterMode));

    QTest::qWait(200);
    QVERIFY(listener.requests.isEmpty());
    QCOMPARE(results.count(), 0);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!search.isSearching());
}

void tst_DisplaySearchUDP::setterRules()
{
    DisplaySearchUDP search(nullptr, at(4));
    QCOMPARE(search.setTargetAddresses({at(5), at(5)}), 0);
    // A list with anything that is not IPv4 is refused whole and the old one stays.
    QCOMPARE(search.setTargetAddresses({at(6), QHostAddress("::1")}), -1);
    QCOMPARE(search.setTargetAddresses({QHostAddress("0.0.0.0")}), -1);
    QCOMPARE(search.setBroadcastAddresses({at(255), QHostAddress("::ffff:127.0.20.255"), at(7)}), 0);
    QCOMPARE(search.setBroadcastAddresses({at(7), QHostAddress("fe80::1")}), -1);

    ScriptedResponder five(at(5));
    search.setFilterMode(2);
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    // Both copies of the duplicated target are sent to.
    QTRY_COMPARE(five.requests.size(), 2);
}

void tst_DisplaySearchUDP::recordFromSimulatedDisplay()
{
    SimDisplayConfig config;
    config.modelName = QString(48, QLatin1Char('M'));  // fills its field: no NUL follows it
    config.macAddress = QByteArray::fromHex("0A0B0C0D0E0F");
    config.idChar = '*';
    config.seriesCode = 69;
    config.secondAddress = QHostAddress("192.168.1.10");
    config.headerWord = 0x01020304;
    config.fwVersions = {"F1.00", "F2.00", "F3.00", "F4.00"};
    config.mainFwVersion = QStringLiteral("R7.001");
    SimDisplay display(config);
    QCOMPARE(display.start(at(10)), 0);

    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);
    QCOMPARE(search.setTargetAddresses({at(10)}), 0);
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    QVERIFY(finished.wait(2000));

    QCOMPARE(results.count(), 1);
    const auto info = results.at(0).at(0).value<DISPLAY_UDP_SEARCH_REPLY_INFO>();
    QCOMPARE(info.ipAddress, at(10));
    QCOMPARE(info.ipAddress.protocol(), QAbstractSocket::IPv4Protocol);
    QCOMPARE(info.modelName, config.modelName);
    QCOMPARE(info.macAddress, QStringLiteral("0A-0B-0C-0D-0E-0F"));
    QCOMPARE(info.idChar, 1);
    QCOMPARE(info.series, quint8(69));
    QCOMPARE(info.ip2Address, QHostAddress("192.168.1.10"));
    QCOMPARE(info.headerWord, 0x01020304u);
    QCOMPARE(info.fwVersions[0], QStringLiteral("F1.00"));
    QCOMPARE(info.fwVersions[3], QStringLiteral("F4.00"));
    QVERIFY(info.fwVersions[4].isEmpty() && info.fwVersions[5].isEmpty());
    QCOMPARE(info.mainFwVersion, QStringLiteral("R7.001"));
    QCOMPARE(info.featureFlags2 & 0x100u, 0x100u);
}

void tst_DisplaySearchUDP::oneRecordAcrossTheRepeat()
{
    SimDisplay display;
    QCOMPARE(display.start(at(11)), 0);

    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);
    QCOMPARE(search.setBroadcastAddresses({at(11)}), 0);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(search.startSearch(DisplaySearchUDP::Broadcast), 0);
    QVERIFY(search.isSearching());
    QVERIFY(finished.wait(6000));
    const qint64 elapsed = clock.elapsed();

    QVERIFY2(elapsed >= 3500 && elapsed < 5500, qPrintable(QString::number(elapsed)));
    QCOMPARE(results.count(), 1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!search.isSearching());
    // Asked twice, answered twice, each broadcast reply acknowledged.
    QCOMPARE(display.requestLog().requests(SimLogEntry::Channel::Search),
             (QList<QByteArray>{"2", "5", "2", "5"}));
}

void tst_DisplaySearchUDP::targetedSearchEndsWhenAllAnswered()
{
    QList<SimDisplay *> displays;
    QList<QHostAddress> targets;
    for (int i = 0; i < 3; ++i) {
        SimDisplayConfig config;
        config.modelName = QStringLiteral("PX-%1").arg(i);
        displays << new SimDisplay(config, this);
        QCOMPARE(displays.last()->start(at(12 + i)), 0);
        targets << at(12 + i);
    }

    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);
    QCOMPARE(search.setTargetAddresses(targets), 0);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    QVERIFY(finished.wait(6000));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(300);

    QCOMPARE(finished.count(), 1);
    QCOMPARE(results.count(), 3);
    QStringList models = modelsOf(results);
    models.sort();
    QCOMPARE(models, (QStringList{"PX-0", "PX-1", "PX-2"}));
    for (SimDisplay *display : displays) {
        // Targeted requests are not acknowledged.
        QCOMPARE(display->requestLog().requests(SimLogEntry::Channel::Search), QList<QByteArray>{"3"});
        delete display;
    }
}

void tst_DisplaySearchUDP::unaskedRepliesDoNotEndATargetedSearch()
{
    // Two targets whose first replies are lost, and two displays nobody asked that answer all the
    // same (one as to a broadcast, one with the unchecked type 8): the targets must still get the
    // repeat at three seconds.
    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);

    QList<SimDisplay *> targets;
    for (int i = 0; i < 2; ++i) {
        SimDisplayConfig config;
        config.misbehaviour.searchSilent = true;
        targets << new SimDisplay(config, this);
        QCOMPARE(targets.last()->start(at(41 + i)), 0);
    }
    QList<SimDisplay *> strangers;
    const int replyTypes[] = { 2, 8 };
    for (int i = 0; i < 2; ++i) {
        SimDisplayConfig config;
        config.modelName = QStringLiteral("STRANGER-%1").arg(i);
        config.misbehaviour.searchReplyType = replyTypes[i];
        config.misbehaviour.unaskedReplyTo = SearchAddress.toString() + QStringLiteral(":5320");
        config.misbehaviour.unaskedReplySequence = quint16(search.sequenceNumber() + 1);
        strangers << new SimDisplay(config, this);
        QCOMPARE(strangers.last()->start(at(43 + i)), 0);
    }

    QCOMPARE(search.setTargetAddresses({at(41), at(42)}), 0);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    QVERIFY(finished.wait(8000));
    QVERIFY2(clock.elapsed() >= 3500, qPrintable(QString::number(clock.elapsed())));

    for (SimDisplay *target : targets) {
        QCOMPARE(target->requestLog().requests(SimLogEntry::Channel::Search), (QList<QByteArray>{"3", "3"}));
        delete target;
    }
    // The strangers' replies are taken as before, once each.
    QStringList models = modelsOf(results);
    models.sort();
    QCOMPARE(models, (QStringList{"STRANGER-0", "STRANGER-1"}));
    qDeleteAll(strangers);
}

void tst_DisplaySearchUDP::replyValidation_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("firstModel");
    QTest::addColumn<int>("records");

    // Each faulty reply comes first; a sound one from the target follows. The records show which
    // of the two were taken.
    QTest::newRow("stale sequence number") << "stale" << "GOOD" << 1;
    QTest::newRow("foreign magic") << "magic" << "GOOD" << 1;
    QTest::newRow("filter flag missing") << "filter" << "GOOD" << 1;
    QTest::newRow("empty identifying text") << "ident" << "GOOD" << 1;
    QTest::newRow("identifier byte 0x80") << "id80" << "GOOD" << 1;
    QTest::newRow("targeted reply from a non-target") << "stranger" << "GOOD" << 1;
    // Taken, but from a non-target: the search waits for the target, whose reply is taken too.
    QTest::newRow("type 8 skips every check") << "type8" << "FAULT" << 2;
}

void tst_DisplaySearchUDP::replyValidation()
{
    QFETCH(QString, fault);
    QFETCH(QString, firstModel);
    QFETCH(int, records);

    ScriptedResponder target(at(20));
    QUdpSocket stranger;
    QVERIFY(stranger.bind(at(21), 0));
    target.onRequest = [&](const QNetworkDatagram &d) {
        QByteArray bad = validReply(d.data(), "FAULT", 3);
        QUdpSocket *from = &target.socket;
        if (fault == "stale")
            qToLittleEndian<quint16>(qFromLittleEndian<quint16>(d.data().constData() + 8) - 1, bad.data() + 8);
        else if (fault == "magic")
            bad.replace(0, 4, "ZRPX");
        else if (fault == "filter")
            qToLittleEndian<quint32>(0x31, bad.data() + 148);
        else if (fault == "ident")
            bad.replace(32, 24, QByteArray(24, '\0'));
        else if (fault == "id80")
            bad[152] = char(0x80);
        else if (fault == "stranger")
            from = &stranger;
        else if (fault == "type8") {
            bad.replace(0, 4, "XXXX");
            bad.replace(8, 2, "\xFF\xFF");
            bad.replace(32, 24, QByteArray(24, '\0'));
            qToLittleEndian<quint32>(8, bad.data() + 16);
            from = &stranger;
        }
        from->writeDatagram(bad, d.senderAddress(), d.senderPort());
        target.socket.writeDatagram(validReply(d.data(), "GOOD", 3), d.senderAddress(), d.senderPort());
    };

    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);
    QCOMPARE(search.setTargetAddresses({at(20)}), 0);
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    QVERIFY(finished.wait(2000));

    QCOMPARE(results.count(), records);
    QCOMPARE(modelsOf(results).first(), firstModel);
}

void tst_DisplaySearchUDP::wrongSizeIsDiscardedButSenderListed()
{
    SimDisplay shortReply;
    SimMisbehaviour cut;
    cut.searchReplySize = 255;
    shortReply.setMisbehaviour(cut);
    QCOMPARE(shortReply.start(at(30)), 0);
    SimDisplay longReply;
    SimMisbehaviour padded;
    padded.searchReplySize = 257;
    longReply.setMisbehaviour(padded);
    QCOMPARE(longReply.start(at(31)), 0);
    SimDisplay silent;
    SimMisbehaviour quiet;
    quiet.searchSilent = true;
    silent.setMisbehaviour(quiet);
    QCOMPARE(silent.start(at(32)), 0);
    // An empty datagram is an answer too, however little it says.
    SimDisplay emptyReply;
    SimMisbehaviour empty;
    empty.searchReplySize = 0;
    emptyReply.setMisbehaviour(empty);
    QCOMPARE(emptyReply.start(at(33)), 0);

    DisplaySearchUDP search(nullptr, SearchAddress);
    QSignalSpy results(&search, &DisplaySearchUDP::device_results);
    QSignalSpy finished(&search, &DisplaySearchUDP::finished);
    search.setFilterMode(2);
    QCOMPARE(search.setTargetAddresses({at(30), at(31), at(32), at(33)}), 0);
    QCOMPARE(search.startSearch(DisplaySearchUDP::Targeted), 0);
    QVERIFY(finished.wait(6000));

    QCOMPARE(results.count(), 0);
    const QList<QHostAddress> responders = search.responders();
    QVERIFY(responders.contains(at(30)));
    QVERIFY(responders.contains(at(31)));
    QVERIFY(!responders.contains(at(32)));
    QVERIFY(responders.contains(at(33)));
    // The three-second repeat goes only to the target that never sent anything.
    QCOMPARE(shortReply.requestLog().count(SimLogEntry::Channel::Search), 1);
    QCOMPARE(longReply.requestLog().count(SimLogEntry::Channel::Search), 1);
    QCOMPARE(silent.requestLog().count(SimLogEntry::Channel::Search), 2);
    QCOMPARE(emptyReply.requestLog().count(SimLogEntry::Channel::Search), 1);
}

QTEST_GUILESS_MAIN(tst_DisplaySearchUDP)
#include "tst_displaysearchudp.moc"
