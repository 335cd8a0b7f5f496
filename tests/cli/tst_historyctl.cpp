#include "history/UpdateHistory.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// "quillonctl history" as a real program on a history file in its data folder: the filters, the
// JSON, display texts that could steer a terminal, interrupted updates reported on standard error
// at its start (once), and a history that cannot be kept.
namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class CtlHome
{
public:
    CtlHome()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("data/Halvern/Quillon"));
    }

    QString historyPath() const { return m_dir.filePath(QStringLiteral("data/Halvern/Quillon/history.sqlite")); }
    QString dataHome() const { return m_dir.filePath(QStringLiteral("data")); }

    Run run(const QStringList &arguments, const QString &dataHome = QString()) const
    {
        QProcess ctl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.isEmpty() ? this->dataHome() : dataHome);
        ctl.setProcessEnvironment(env);
        ctl.start(QStringLiteral(QUILLONCTL_PATH), arguments);
        Run result;
        if (!ctl.waitForFinished(60000)) {
            ctl.kill();
            ctl.waitForFinished();
            return result;
        }
        result.exitCode = ctl.exitStatus() == QProcess::NormalExit ? ctl.exitCode() : -1;
        result.out = ctl.readAllStandardOutput();
        result.err = ctl.readAllStandardError();
        return result;
    }

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

UpdateAttempt attempt(const char *serial, const char *address, const QDateTime &started, UpdateAttempt::State state,
                      int status)
{
    UpdateAttempt attempt;
    attempt.batch = QStringLiteral("batch-%1").arg(QChar(QLatin1Char(serial[0])));
    attempt.serial = QString::fromLatin1(serial);
    attempt.address = QString::fromLatin1(address);
    attempt.model = QStringLiteral("QX-551");
    attempt.started = started;
    attempt.state = state;
    attempt.status = status;
    attempt.firmwareBefore = QStringLiteral("R1.000");
    attempt.targetVersion = QStringLiteral("R2.000");
    attempt.frontEnd = QStringLiteral("window");
    if (state == UpdateAttempt::State::Settled) {
        attempt.settled = started.addSecs(240);
        attempt.statusText = status == 3 ? QStringLiteral("Success") : QStringLiteral("Error: Timeout.");
    }
    return attempt;
}

// Two days of updates; one display was mid-update when its program ended (pending, no process).
bool fillHistory(const QString &path)
{
    UpdateHistory history(path);
    if (history.open() != UpdateHistory::OpenStatus::Opened)
        return false;
    const QDateTime day1(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    using S = UpdateAttempt::State;
    QList<UpdateAttempt> rows { attempt("A1", "10.0.4.1", day1, S::Settled, 3),
                                attempt("A2", "10.0.4.2", day1.addSecs(60), S::Settled, -3),
                                attempt("B1", "10.0.4.1", day1.addDays(2), S::Settled, 3),
                                attempt("B2", "10.0.4.3", day1.addDays(2).addSecs(60), S::Pending, 0) };
    // A model name with a terminal escape and a line break in it.
    rows[2].model = QStringLiteral("QX\x1b[31m-551\nrm -rf");
    if (!history.appendAttempts(rows.mid(0, 3)))
        return false;
    ProcessIdentity ended = ProcessIdentity::current();
    ended.pid = 0;
    history.setOwner(ended);
    return history.appendAttempts(rows.mid(3));
}

QStringList serials(const QByteArray &json)
{
    QStringList list;
    for (const QJsonValue &value : QJsonDocument::fromJson(json).array())
        list.append(value.toObject().value(QStringLiteral("serial")).toString());
    return list;
}

}

class tst_HistoryCtl : public QObject
{
    Q_OBJECT

private slots:
    void filters_data();
    void filters();
    void interruptedReportedOnceAtStart();
    void textListingIsPlain();
    void jsonKeys();
    void unusableHistoryStillExitsZero();
};

void tst_HistoryCtl::filters_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("all") << QStringList {} << QStringList { "A1", "A2", "B1", "B2" };
    QTest::newRow("since a date") << QStringList { "--since", "2026-12-02" } << QStringList { "B1", "B2" };
    QTest::newRow("since a time") << QStringList { "--since", "2026-12-01T09:01:00Z" } << QStringList { "A2", "B1", "B2" };
    QTest::newRow("serial") << QStringList { "--serial", "A2" } << QStringList { "A2" };
    QTest::newRow("address") << QStringList { "--address", "10.0.4.1" } << QStringList { "A1", "B1" };
    QTest::newRow("interrupted") << QStringList { "--interrupted" } << QStringList { "B2" };
    QTest::newRow("a batch") << QStringList { "--batch", "batch-A" } << QStringList { "A1", "A2" };
    QTest::newRow("address and since") << QStringList { "--address", "10.0.4.1", "--since", "2026-12-02" } << QStringList { "B1" };
}

void tst_HistoryCtl::filters()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);

    CtlHome home;
    QVERIFY(fillHistory(home.historyPath()));
    const Run run = home.run(QStringList { QStringLiteral("history"), QStringLiteral("--json") } + arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(serials(run.out), expected);
}

void tst_HistoryCtl::interruptedReportedOnceAtStart()
{
    CtlHome home;
    QVERIFY(fillHistory(home.historyPath()));

    // Any command's start reports it; this one only lists.
    const Run first = home.run({ QStringLiteral("history") });
    QCOMPARE(first.exitCode, 0);
    const QString err = QString::fromUtf8(first.err);
    QVERIFY2(err.contains(QStringLiteral("An update was interrupted on 1 display on 2026-12-03 at")), qPrintable(err));
    QVERIFY(err.contains(QStringLiteral("10.0.4.3 (QX-551, serial B2")));
    QVERIFY2(!err.contains(QStringLiteral("10.0.4.1 (")), "only the display that was mid-update is named");

    const Run second = home.run({ QStringLiteral("history"), QStringLiteral("--interrupted"), QStringLiteral("--json") });
    QCOMPARE(second.exitCode, 0);
    QVERIFY(!second.err.contains("An update was interrupted"));
    const QJsonArray rows = QJsonDocument::fromJson(second.out).array();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).toObject().value(QStringLiteral("state")).toString(), QStringLiteral("interrupted"));
}

void tst_HistoryCtl::textListingIsPlain()
{
    CtlHome home;
    QVERIFY(fillHistory(home.historyPath()));
    const Run run = home.run({ QStringLiteral("history"), QStringLiteral("--serial"), QStringLiteral("B1") });
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.out.contains('\x1b'), run.out.constData());
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2); // the header and the one attempt, its line break gone
    QVERIFY(lines.at(1).contains("10.0.4.1"));
    QVERIFY(lines.at(1).contains("Success"));

    const Run none = home.run({ QStringLiteral("history"), QStringLiteral("--serial"), QStringLiteral("nothing") });
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.out, QByteArray("No updates in the history.\n"));
}

void tst_HistoryCtl::jsonKeys()
{
    CtlHome home;
    QVERIFY(fillHistory(home.historyPath()));
    const Run run = home.run({ QStringLiteral("history"), QStringLiteral("--json"), QStringLiteral("--serial"), QStringLiteral("A2") });
    QCOMPARE(run.exitCode, 0);
    const QJsonObject row = QJsonDocument::fromJson(run.out).array().at(0).toObject();
    // The update report's keys, with the same meaning.
    QCOMPARE(row.value(QStringLiteral("address")).toString(), QStringLiteral("10.0.4.2"));
    QCOMPARE(row.value(QStringLiteral("model")).toString(), QStringLiteral("QX-551"));
    QCOMPARE(row.value(QStringLiteral("firmware_before")).toString(), QStringLiteral("R1.000"));
    // Nothing was read back from a display whose update timed out.
    QVERIFY(row.value(QStringLiteral("firmware_after")).isNull());
    QCOMPARE(row.value(QStringLiteral("firmware_after_verified")).toBool(), false);
    QCOMPARE(row.value(QStringLiteral("result")).toInt(), -3);
    QCOMPARE(row.value(QStringLiteral("result_text")).toString(), QStringLiteral("Error: Timeout."));
    QCOMPARE(row.value(QStringLiteral("started")).toString(), QStringLiteral("2026-12-01T09:01:00Z"));
    QCOMPARE(row.value(QStringLiteral("settled")).toString(), QStringLiteral("2026-12-01T09:05:00Z"));
    QCOMPARE(row.value(QStringLiteral("state")).toString(), QStringLiteral("settled"));
    QCOMPARE(row.value(QStringLiteral("target_version")).toString(), QStringLiteral("R2.000"));
    QCOMPARE(row.value(QStringLiteral("front_end")).toString(), QStringLiteral("window"));
}

void tst_HistoryCtl::unusableHistoryStillExitsZero()
{
    CtlHome home;
    // The data folder is a file: no history can be made there.
    const QString blocked = home.path() + QStringLiteral("/blocked");
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const Run run = home.run({ QStringLiteral("history"), QStringLiteral("--json") }, blocked);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("The update history cannot be kept"), run.err.constData());
    QCOMPARE(QJsonDocument::fromJson(run.out).array().size(), 0);
}

QTEST_GUILESS_MAIN(tst_HistoryCtl)
#include "tst_historyctl.moc"
