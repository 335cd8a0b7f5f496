#include "control/ControlQueryGate.h"
#include "control/TcpClient.h"

#include "SimDisplay.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

// Displays of this file live on 127.0.32.0/24.
class tst_ControlQueryGate : public QObject
{
    Q_OBJECT

private slots:
    void startsInTurnUpToTheLimit();
    void destroyedOwnersGiveUpTheirTurn();
    void askingTwiceIsOneTurn();
    void startThatLeavesAtOnce();
    void parkingFreesThePlaceWithinItsBudget();
    void clientsQueryOneAtATime();
};

void tst_ControlQueryGate::startsInTurnUpToTheLimit()
{
    ControlQueryGate gate(2);
    QObject a, b, c, d;
    QStringList started;
    gate.enter(&a, [&] { started << "a"; });
    gate.enter(&b, [&] { started << "b"; });
    gate.enter(&c, [&] { started << "c"; });
    gate.enter(&d, [&] { started << "d"; });
    QCOMPARE(started, (QStringList { "a", "b" }));
    QCOMPARE(gate.running(), 2);
    QCOMPARE(gate.waiting(), 2);

    gate.leave(&b);
    QCOMPARE(started, (QStringList { "a", "b", "c" }));
    // Leaving without a place changes nothing; a waiting owner that leaves loses its turn.
    gate.leave(&b);
    gate.leave(&d);
    QCOMPARE(gate.waiting(), 0);
    gate.leave(&a);
    gate.leave(&c);
    QCOMPARE(started, (QStringList { "a", "b", "c" }));
    QCOMPARE(gate.running(), 0);
}

void tst_ControlQueryGate::destroyedOwnersGiveUpTheirTurn()
{
    ControlQueryGate gate(1);
    auto running = std::make_unique<QObject>();
    auto waitingGone = std::make_unique<QObject>();
    QObject last;
    QStringList started;
    gate.enter(running.get(), [&] { started << "running"; });
    gate.enter(waitingGone.get(), [&] { started << "gone"; });
    gate.enter(&last, [&] { started << "last"; });

    waitingGone.reset();
    QCOMPARE(gate.waiting(), 1);
    running.reset();
    QCOMPARE(started, (QStringList { "running", "last" }));
    QCOMPARE(gate.running(), 1);
}

void tst_ControlQueryGate::askingTwiceIsOneTurn()
{
    ControlQueryGate gate(1);
    QObject a, b;
    int startsA = 0;
    int startsB = 0;
    gate.enter(&a, [&] { ++startsA; });
    gate.enter(&a, [&] { ++startsA; });
    gate.enter(&b, [&] { ++startsB; });
    gate.enter(&b, [&] { ++startsB; });
    QCOMPARE(gate.waiting(), 1);
    gate.leave(&a);
    QCOMPARE(startsA, 1);
    QCOMPARE(startsB, 1);
}

void tst_ControlQueryGate::startThatLeavesAtOnce()
{
    // A query that fails at once leaves from inside its own start; the next still starts once.
    ControlQueryGate gate(1);
    QObject a, b, c;
    QStringList started;
    gate.enter(&a, [&] { started << "a"; });
    gate.enter(&b, [&] { started << "b"; gate.leave(&b); });
    gate.enter(&c, [&] { started << "c"; });
    gate.leave(&a);
    QCOMPARE(started, (QStringList { "a", "b", "c" }));
    QCOMPARE(gate.running(), 1);
    QCOMPARE(gate.waiting(), 0);
}

void tst_ControlQueryGate::parkingFreesThePlaceWithinItsBudget()
{
    ControlQueryGate gate(1, 1);
    QObject a, b, c;
    auto d = std::make_unique<QObject>();
    QStringList started;
    gate.enter(&a, [&] { started << "a"; });
    gate.enter(&b, [&] { started << "b"; });
    gate.enter(&c, [&] { started << "c"; });
    gate.enter(d.get(), [&] { started << "d"; });

    // Only a running owner parks; the next in line takes its place.
    QVERIFY(!gate.park(&b));
    QVERIFY(gate.park(&a));
    QCOMPARE(started, (QStringList { "a", "b" }));
    QCOMPARE(gate.parked(), 1);
    // The budget is spent: b keeps its place, and nobody else starts.
    QVERIFY(!gate.park(&b));
    QCOMPARE(gate.running(), 1);

    // Back from parking beyond the limit; the next starts only once the running are fewer again.
    gate.unpark(&a);
    QCOMPARE(gate.running(), 2);
    QCOMPARE(gate.parked(), 0);
    gate.leave(&b);
    QCOMPARE(started, (QStringList { "a", "b" }));
    gate.leave(&a);
    QCOMPARE(started, (QStringList { "a", "b", "c" }));

    // A parked owner that leaves or is destroyed gives its parking back, and asking to enter
    // while parked changes nothing.
    QVERIFY(gate.park(&c));
    QCOMPARE(started, (QStringList { "a", "b", "c", "d" }));
    gate.enter(&c, [&] { started << "c again"; });
    gate.leave(&c);
    QCOMPARE(gate.parked(), 0);
    QVERIFY(gate.park(d.get()));
    d.reset();
    QCOMPARE(gate.parked(), 0);
    QCOMPARE(gate.running(), 0);
    QCOMPARE(gate.waiting(), 0);
    QCOMPARE(started, (QStringList { "a", "b", "c", "d" }));

    // Without a budget nothing parks.
    ControlQueryGate strict(1);
    strict.enter(&a, [] {});
    QVERIFY(!strict.park(&a));
    QCOMPARE(strict.running(), 1);
}

void tst_ControlQueryGate::clientsQueryOneAtATime()
{
    std::vector<std::unique_ptr<SimDisplay>> displays;
    for (int i = 1; i <= 4; ++i) {
        SimDisplayConfig config;
        config.modelName = QStringLiteral("PX-55%1").arg(i);
        config.serialNumber = QStringLiteral("61A0000%1").arg(i);
        config.powerMode = 1;
        displays.push_back(std::make_unique<SimDisplay>(config));
        QCOMPARE(displays.back()->start(QHostAddress(QStringLiteral("127.0.32.%1").arg(i))), 0);
    }

    ControlQueryGate gate(1);
    std::vector<std::unique_ptr<TcpClient>> clients;
    QStringList models;
    int mostRunning = 0;
    for (int i = 1; i <= 4; ++i) {
        clients.push_back(std::make_unique<TcpClient>());
        TcpClient *client = clients.back().get();
        client->setQueryGate(&gate);
        connect(client, &TcpClient::device_results, this, [&](const PD_TCP_REPLY &reply) {
            QCOMPARE(reply.status, 0);
            models << reply.modelName;
        });
        client->setRequestFlags(0x7);
        client->connectToDisplay(QHostAddress(QStringLiteral("127.0.32.%1").arg(i)), 7142,
                                 QHostAddress(QHostAddress::AnyIPv4));
        mostRunning = qMax(mostRunning, gate.running());
    }
    QCOMPARE(gate.waiting(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(models.size(), 4, 10000);
    QCOMPARE(models, (QStringList { "PX-551", "PX-552", "PX-553", "PX-554" }));
    QCOMPARE(mostRunning, 1);
    QCOMPARE(gate.running(), 0);
    // Each display saw its one connection only once its turn came.
    for (const auto &display : displays)
        QCOMPARE(display->requestLog().connections(SimLogEntry::Channel::Control), 1);
}

QTEST_GUILESS_MAIN(tst_ControlQueryGate)
#include "tst_controlquerygate.moc"
