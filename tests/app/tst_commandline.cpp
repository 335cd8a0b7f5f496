#include "platform/SingleInstanceLock.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the real program with --help and --version where no display exists, with a home of its
// own, and checks that it answers and ends without touching settings, cache or lock.
class tst_CommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString program = QStringLiteral(QUILLON_BINARY_DIR "/src/app/quillon");

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            env.remove(name);
        env.insert("LANG", "C.UTF-8");
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        env.insert("TMPDIR", home.filePath("tmp"));
        return env;
    }

    struct Outcome
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Outcome run(const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        Outcome outcome;
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished();
            return outcome;
        }
        outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        outcome.out = process.readAllStandardOutput();
        outcome.err = process.readAllStandardError();
        return outcome;
    }

    static QStringList entriesBelow(const QString &folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(it.next());
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        for (const char *folder : {"tmp", "runtime", "config", "data"})
            QVERIFY(QDir().mkpath(home.filePath(folder)));
        QFile::setPermissions(home.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
        // The lock this test takes lives where the program looks for it.
        qputenv("TMPDIR", QFile::encodeName(home.filePath("tmp")));
    }

    void answersWithoutStarting_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        const QString version = QStringLiteral("Quillon\nApplication version: 1.3.00 (Build 250930)\n");
        QTest::newRow("--version") << QStringList{"--version"} << version;
        QTest::newRow("-v") << QStringList{"-v"} << version;
        QTest::newRow("--version among Qt's options") << QStringList{"-style", "fusion", "--version"} << version;
        QTest::newRow("--help") << QStringList{"--help"} << QString();
        QTest::newRow("-h") << QStringList{"-h"} << QString();
    }

    void answersWithoutStarting()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const Outcome outcome = run(arguments);
        QVERIFY2(outcome.exitCode == 0, outcome.err.constData());
        if (!expected.isEmpty()) {
            QCOMPARE(QString::fromUtf8(outcome.out), expected);
        } else {
            QVERIFY2(outcome.out.startsWith("Usage: "), outcome.out.constData());
            for (const char *option : {"--help", "--version", "large-format displays"})
                QVERIFY2(outcome.out.contains(option), option);
        }
        // No settings written, no cache folder made, no lock file left: it never got that far.
        QStringList untouched;
        for (const char *folder : {"config", "data", "runtime", "tmp"})
            untouched.append(home.filePath(folder));
        QStringList found = entriesBelow(home.path());
        found.sort();
        QCOMPARE(found, untouched);
    }

    // A copy already running holds the lock; asking for the version still gets an answer.
    void versionWhileAnotherCopyRuns()
    {
        SingleInstanceLock lock;
        QCOMPARE(lock.acquire(), SingleInstanceLock::Status::Acquired);
        const Outcome outcome = run({"--version"});
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY2(outcome.out.contains("Application version: 1.3.00 (Build 250930)"), outcome.out.constData());
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
