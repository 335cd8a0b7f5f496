#include "platform/SingleInstanceLock.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

class tst_SingleInstanceLock : public QObject
{
    Q_OBJECT

    QString uniqueName() const
    {
        return QStringLiteral("quillon-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_counter);
    }
    mutable int m_counter = 0;

private slots:
    void secondHolderIsRefusedUntilFirstGoes()
    {
        const QString name = uniqueName();
        auto first = std::make_unique<SingleInstanceLock>(name);
        QCOMPARE(first->acquire(), SingleInstanceLock::Status::Acquired);
        QCOMPARE(first->acquire(), SingleInstanceLock::Status::Acquired);

        SingleInstanceLock second(name);
        QCOMPARE(second.acquire(), SingleInstanceLock::Status::AlreadyRunning);
        QVERIFY(!second.isHeld());

        first.reset();
        QCOMPARE(second.acquire(), SingleInstanceLock::Status::Acquired);
        QFile::remove(second.lockFilePath());
    }

    void differentNamesDoNotCollide()
    {
        SingleInstanceLock a(uniqueName());
        SingleInstanceLock b(uniqueName());
        QCOMPARE(a.acquire(), SingleInstanceLock::Status::Acquired);
        QCOMPARE(b.acquire(), SingleInstanceLock::Status::Acquired);
        QFile::remove(a.lockFilePath());
        QFile::remove(b.lockFilePath());
    }

    void killedHolderLeavesNothingStuck()
    {
        const QString name = uniqueName();
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SingleInstanceLock lock(name);
            const char c = lock.acquire() == SingleInstanceLock::Status::Acquired ? '1' : '0';
            (void)!::write(ready[1], &c, 1);
            for (;;)
                ::pause();
        }
        char c = 0;
        QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
        QCOMPARE(c, '1');
        {
            SingleInstanceLock blocked(name);
            QCOMPARE(blocked.acquire(), SingleInstanceLock::Status::AlreadyRunning);
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);

        SingleInstanceLock after(name);
        QCOMPARE(after.acquire(), SingleInstanceLock::Status::Acquired);
        QFile::remove(after.lockFilePath());
    }

    void plantedSymlinkIsNotFollowed()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString victim = tmp.filePath(QStringLiteral("victim"));
        const QString name = uniqueName();
        SingleInstanceLock lock(name);
        QVERIFY(QFile::link(victim, lock.lockFilePath()));

        QCOMPARE(lock.acquire(), SingleInstanceLock::Status::Unavailable);
        QVERIFY(!QFile::exists(victim));
        QFile::remove(lock.lockFilePath());
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstanceLock)
#include "tst_singleinstancelock.moc"
