#include "platform/EpollEventDispatcher.h"
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// Both ends of a local stream socket, closed with the object.
struct SocketPair
{
    int fd[2] = { -1, -1 };
    SocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fd); }
    ~SocketPair()
    {
        for (int end : fd) {
            if (end >= 0)
                ::close(end);
        }
    }
    bool send(int end, const char *bytes) { return ::write(fd[end], bytes, qstrlen(bytes)) == qint64(qstrlen(bytes)); }
    void closeEnd(int end)
    {
        ::close(fd[end]);
        fd[end] = -1;
    }
};

class TimerCounter : public QObject
{
public:
    QList<int> fired;
    std::function<void(int)> onTimer;

protected:
    void timerEvent(QTimerEvent *event) override
    {
        fired.append(event->timerId());
        if (onTimer)
            onTimer(event->timerId());
    }
};

class Emitter : public QObject
{
    Q_OBJECT
signals:
    void value(int v);
};

} // namespace

// The command line's event loop: everything Qt's loop promises that the program relies on
// (timers in order and on time, socket notifiers over real descriptors, wake-ups from other
// threads, Qt's own sockets on top), and the cases where a handler changes what the same turn
// was about to activate.
class tst_EpollEventDispatcher : public QObject
{
    Q_OBJECT

    // Each activation reads one byte from the notifier's descriptor and counts it.
    void readByteByByte(QSocketNotifier &notifier, int &reads)
    {
        connect(&notifier, &QSocketNotifier::activated, this, [&notifier, &reads] {
            char byte;
            if (::read(int(notifier.socket()), &byte, 1) == 1)
                ++reads;
        });
    }

private slots:
    void installedForTheMainThread()
    {
        QVERIFY(qobject_cast<EpollEventDispatcher *>(QAbstractEventDispatcher::instance()));
        // A worker thread keeps Qt's own.
        int workersKind = -1;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            QAbstractEventDispatcher *own = QAbstractEventDispatcher::instance();
            workersKind = !own ? 0 : qobject_cast<EpollEventDispatcher *>(own) ? 1 : 2;
        }));
        thread->start();
        QVERIFY(thread->wait(5000));
        QCOMPARE(workersKind, 2);
    }

    void timersFireInDeadlineOrderAndOnTime()
    {
        QElapsedTimer clock;
        clock.start();
        QList<int> order;
        QList<qint64> at;
        for (const int ms : { 40, 10, 25, 0 }) {
            QTimer::singleShot(ms, Qt::PreciseTimer, this, [&, ms] {
                order.append(ms);
                at.append(clock.elapsed());
            });
        }
        QTimer repeating;
        int repeats = 0;
        repeating.setInterval(20);
        connect(&repeating, &QTimer::timeout, this, [&] { ++repeats; });
        repeating.start();
        QTRY_COMPARE_WITH_TIMEOUT(order.size(), 4, 2000);
        QCOMPARE(order, QList<int>({ 0, 10, 25, 40 }));
        for (int i = 0; i < order.size(); ++i)
            QVERIFY2(at.at(i) >= order.at(i), qPrintable(QStringLiteral("%1 ms fired at %2").arg(order.at(i)).arg(at.at(i))));

        QTest::qWait(200);
        repeating.stop();
        const qint64 ran = clock.elapsed();
        // Never early, and no burst to catch up after a late turn.
        QVERIFY2(repeats >= ran / 40 && repeats <= ran / 20, qPrintable(QStringLiteral("%1 in %2 ms").arg(repeats).arg(ran)));

        TimerCounter owner;
        const int id = owner.startTimer(500);
        const int other = owner.startTimer(70, Qt::CoarseTimer);
        const QList<QAbstractEventDispatcher::TimerInfo> listed = QAbstractEventDispatcher::instance()->registeredTimers(&owner);
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed.at(0).timerId + listed.at(1).timerId, id + other);
        const int left = QAbstractEventDispatcher::instance()->remainingTime(id);
        QVERIFY2(left > 400 && left <= 500, qPrintable(QString::number(left)));
        owner.killTimer(id);
        QCOMPARE(QAbstractEventDispatcher::instance()->remainingTime(id), -1);
        QTRY_COMPARE_WITH_TIMEOUT(owner.fired.size(), 1, 2000);
        QCOMPARE(owner.fired.first(), other);
    }

    // Two timers due in the same turn: what the first one's handler does to the second.
    void firstHandlerChangesTheSecondTimer_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("secondFirings");
        QTest::newRow("stopped") << "stop" << 0;
        QTest::newRow("owner deleted") << "delete" << 0;
        QTest::newRow("restarted") << "restart" << 1;
    }

    void firstHandlerChangesTheSecondTimer()
    {
        QFETCH(QString, change);
        QFETCH(int, secondFirings);
        QTimer first;
        first.setSingleShot(true);
        first.setTimerType(Qt::PreciseTimer);
        auto *secondOwner = new QObject;
        QPointer<QTimer> second = new QTimer(secondOwner);
        second->setSingleShot(true);
        second->setTimerType(Qt::PreciseTimer);
        int secondFired = 0;
        connect(second, &QTimer::timeout, this, [&] { ++secondFired; });
        connect(&first, &QTimer::timeout, this, [&] {
            if (change == QLatin1String("stop"))
                second->stop();
            else if (change == QLatin1String("delete"))
                delete secondOwner;
            else
                second->start(30);
        });
        first.start(10);
        second->start(10);
        // Both are due by the time the loop next looks.
        QThread::msleep(20);
        QTest::qWait(100);
        QCOMPARE(secondFired, secondFirings);
        if (second)
            delete secondOwner;
    }

    // A handler that runs a loop of its own does not see its timer fire inside it; other timers do.
    void timerWaitsForItsOwnHandler()
    {
        QTimer ticking;
        ticking.setInterval(5);
        int ticks = 0;
        int ticksInside = -1;
        int othersInside = 0;
        QTimer other;
        other.setInterval(5);
        connect(&other, &QTimer::timeout, this, [&] { ++othersInside; });
        connect(&ticking, &QTimer::timeout, this, [&] {
            if (++ticks > 1)
                return;
            QEventLoop nested;
            other.start();
            QTimer::singleShot(60, &nested, &QEventLoop::quit);
            nested.exec();
            other.stop();
            ticksInside = ticks;
        });
        ticking.start();
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 2000);
        QCOMPARE(ticksInside, 1);
        QVERIFY2(othersInside >= 5, qPrintable(QString::number(othersInside)));
    }

    // A timer of no interval runs once a turn and keeps neither timers nor sockets waiting.
    void zeroTimerLeavesRoomForOthers()
    {
        QTimer busy;
        busy.setInterval(0);
        int spins = 0;
        connect(&busy, &QTimer::timeout, this, [&] { ++spins; });
        SocketPair pair;
        QSocketNotifier readable(pair.fd[0], QSocketNotifier::Read);
        int reads = 0;
        readByteByByte(readable, reads);
        bool late = false;
        busy.start();
        QTimer::singleShot(30, this, [&] { late = true; });
        QVERIFY(pair.send(1, "abc"));
        QTRY_VERIFY_WITH_TIMEOUT(late && reads == 3, 2000);
        busy.stop();
        QVERIFY(spins > 3);
    }

    void socketNotifiersOnRealDescriptors()
    {
        SocketPair pair;
        QSocketNotifier reader(pair.fd[0], QSocketNotifier::Read);
        QSocketNotifier writer(pair.fd[0], QSocketNotifier::Write);
        QByteArray got;
        int hangUps = 0;
        int writable = 0;
        connect(&reader, &QSocketNotifier::activated, this, [&] {
            char buffer[64];
            const ssize_t n = ::read(pair.fd[0], buffer, sizeof buffer);
            if (n > 0) {
                got.append(buffer, n);
            } else {
                ++hangUps;
                reader.setEnabled(false);
            }
        });
        connect(&writer, &QSocketNotifier::activated, this, [&] {
            // One descriptor, two notifiers: switching the writer off leaves the reader on.
            ++writable;
            writer.setEnabled(false);
        });
        QTRY_COMPARE_WITH_TIMEOUT(writable, 1, 2000);
        QVERIFY(pair.send(1, "hello"));
        QTRY_COMPARE_WITH_TIMEOUT(got, QByteArray("hello"), 2000);
        QCOMPARE(writable, 1);

        reader.setEnabled(false);
        QVERIFY(pair.send(1, " there"));
        QTest::qWait(50);
        QCOMPARE(got, QByteArray("hello"));
        reader.setEnabled(true);
        QTRY_COMPARE_WITH_TIMEOUT(got, QByteArray("hello there"), 2000);

        // The peer's close wakes the reader once more, with nothing to read.
        pair.closeEnd(1);
        QTRY_COMPARE_WITH_TIMEOUT(hangUps, 1, 2000);
    }

    // Two sockets ready in one turn: the first handler switches off or deletes the second's
    // notifier, which then is not activated (it may belong to a closed socket by then).
    void firstHandlerRemovesTheSecondNotifier_data()
    {
        QTest::addColumn<bool>("deleteIt");
        QTest::newRow("switched off") << false;
        QTest::newRow("deleted") << true;
    }

    void firstHandlerRemovesTheSecondNotifier()
    {
        QFETCH(bool, deleteIt);
        SocketPair a;
        SocketPair b;
        QPointer<QSocketNotifier> first = new QSocketNotifier(a.fd[0], QSocketNotifier::Read, this);
        QPointer<QSocketNotifier> second = new QSocketNotifier(b.fd[0], QSocketNotifier::Read, this);
        int fired = 0;
        // Whichever the turn activates first removes the other.
        const auto takeTurn = [&](QPointer<QSocketNotifier> &self, QPointer<QSocketNotifier> &other) {
            ++fired;
            self->setEnabled(false);
            if (other && deleteIt)
                delete other;
            else if (other)
                other->setEnabled(false);
        };
        connect(first, &QSocketNotifier::activated, this, [&] { takeTurn(first, second); });
        connect(second, &QSocketNotifier::activated, this, [&] { takeTurn(second, first); });
        QVERIFY(a.send(1, "x") && b.send(1, "y"));
        QTest::qWait(50);
        QCOMPARE(fired, 1);
        delete first;
        delete second;
    }

    // Qt's sockets on top: a megabyte each way over TCP on loopback, and a datagram.
    void qtSocketsRunOnIt()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QTcpSocket client;
        QPointer<QTcpSocket> served;
        QByteArray atServer;
        QByteArray atClient;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            served = server.nextPendingConnection();
            connect(served, &QTcpSocket::readyRead, this, [&] {
                const QByteArray chunk = served->readAll();
                atServer += chunk;
                served->write(chunk);
            });
        });
        connect(&client, &QTcpSocket::readyRead, this, [&] { atClient += client.readAll(); });
        client.connectToHost(QHostAddress::LocalHost, server.serverPort());
        QByteArray sent(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < sent.size(); ++i)
            sent[i] = char(i * 7 + i / 251);
        client.write(sent);
        QTRY_COMPARE_WITH_TIMEOUT(atClient.size(), sent.size(), 10000);
        QCOMPARE(atServer, sent);
        QCOMPARE(atClient, sent);
        client.disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT(!served || served->state() == QAbstractSocket::UnconnectedState, 5000);

        QUdpSocket receiver;
        QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
        QUdpSocket sender;
        QByteArray datagram;
        connect(&receiver, &QUdpSocket::readyRead, this, [&] { datagram = receiver.receiveDatagram().data(); });
        sender.writeDatagram("search", QHostAddress::LocalHost, receiver.localPort());
        QTRY_COMPARE_WITH_TIMEOUT(datagram, QByteArray("search"), 5000);
    }

    // Signals from another thread arrive, all of them and in order, while the loop waits.
    void wakesForOtherThreads()
    {
        Emitter emitter;
        QList<int> received;
        connect(&emitter, &Emitter::value, this, [&](int v) { received.append(v); }, Qt::QueuedConnection);
        constexpr int Count = 10000;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            for (int i = 0; i < Count; ++i) {
                emit emitter.value(i);
                if (i % 1000 == 0)
                    QThread::msleep(2);
            }
        }));
        thread->start();
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), Count, 10000);
        QVERIFY(thread->wait(5000));
        for (int i = 0; i < Count; ++i)
            QCOMPARE(received.at(i), i);

        // A loop waiting with nothing to do ends when another thread asks it to.
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<QThread> quitter(QThread::create([&] {
            QThread::msleep(50);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        }));
        quitter->start();
        QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
        QCOMPARE(loop.exec(), 0);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(quitter->wait(5000));

        // interrupt() ends a wait that nothing else would end.
        auto *dispatcher = QAbstractEventDispatcher::instance();
        std::unique_ptr<QThread> interrupter(QThread::create([&] {
            QThread::msleep(50);
            dispatcher->interrupt();
        }));
        clock.restart();
        interrupter->start();
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(interrupter->wait(5000));
    }

    // Told to leave sockets alone, the loop waits for its timers without spinning on a ready
    // socket; the socket's turn comes with the next ordinary pass.
    void socketsLeftAloneWhenExcluded()
    {
        SocketPair pair;
        QSocketNotifier reader(pair.fd[0], QSocketNotifier::Read);
        int reads = 0;
        readByteByByte(reader, reads);
        QVERIFY(pair.send(1, "z"));
        bool fired = false;
        QTimer::singleShot(40, this, [&] { fired = true; });
        auto *dispatcher = QAbstractEventDispatcher::instance();
        int passes = 0;
        while (!fired && passes < 1000) {
            dispatcher->processEvents(QEventLoop::ExcludeSocketNotifiers | QEventLoop::WaitForMoreEvents);
            ++passes;
        }
        QVERIFY(fired);
        QVERIFY2(passes < 10, qPrintable(QString::number(passes)));
        QCOMPARE(reads, 0);
        QTRY_COMPARE_WITH_TIMEOUT(reads, 1, 2000);
    }
};

int main(int argc, char *argv[])
{
    // As quillonctl does, before the application object.
    QCoreApplication::setEventDispatcher(Platform::createCommandLineEventDispatcher());
    QCoreApplication app(argc, argv);
    tst_EpollEventDispatcher test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_epolleventdispatcher.moc"
