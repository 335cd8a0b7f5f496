#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Starts the real program twice, each with its own home, settings and temporary folder, so the
// run touches nothing of the user's and no copy the user has open.
class tst_SingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString program = QStringLiteral(QUILLON_BINARY_DIR "/src/app/quillon");

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        env.insert("TMPDIR", home.filePath("tmp"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_FORCE_STDERR_LOGGING", "1");
        return env;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        QVERIFY(QDir().mkpath(home.filePath("tmp")));
        QVERIFY(QDir().mkpath(home.filePath("runtime")));
        QFile::setPermissions(home.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program));
    }

    void secondStartEndsQuietlyAndFirstRunsOn()
    {
        QProcess first;
        first.setProcessEnvironment(environment());
        first.setProcessChannelMode(QProcess::MergedChannels);
        first.start(program, {});
        QVERIFY(first.waitForStarted(10000));
        // The main window logs this line after the lock is taken.
        QByteArray firstOutput;
        QTRY_VERIFY_WITH_TIMEOUT((firstOutput += first.readAll()).contains("Local cache folder:"), 30000);

        QProcess second;
        second.setProcessEnvironment(environment());
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(program, {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        const QByteArray secondOutput = second.readAll();
        // No window, no settings, no log: it ended before the application object was made.
        QVERIFY2(!secondOutput.contains("Local cache folder:"), secondOutput.constData());
        QVERIFY2(!secondOutput.contains("QStandardPaths"), secondOutput.constData());

        QTest::qWait(300);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        QVERIFY(first.waitForFinished(10000));

        // With the first one gone, the name is free again.
        QProcess third;
        third.setProcessEnvironment(environment());
        third.setProcessChannelMode(QProcess::MergedChannels);
        third.start(program, {});
        QVERIFY(third.waitForStarted(10000));
        QByteArray thirdOutput;
        QTRY_VERIFY_WITH_TIMEOUT((thirdOutput += third.readAll()).contains("Local cache folder:"), 30000);
        third.kill();
        QVERIFY(third.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
