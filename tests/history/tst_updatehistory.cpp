#include "common/TmpfsMount.h"
#include "history/UpdateHistory.h"
#include "history/UpdateHistoryRecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(HistoryFilter)

// The update history on real SQLite files: the life of one attempt, a file of the first version,
// damaged files, two programs writing at once, updates whose program ended before they did, the
// query filters, and places where nothing can be written.
namespace {

// Longer than any single write may take here; the busy time-out is 5 s.
constexpr int QuickMs = 2000;

UpdateAttempt attempt(const QString &serial, const QString &address = QStringLiteral("127.0.90.1"))
{
    UpdateAttempt attempt;
    attempt.batch = QStringLiteral("batch-1");
    attempt.address = address;
    attempt.model = QStringLiteral("QX-551");
    attempt.serial = serial;
    attempt.series = 3;
    attempt.firmwareBefore = QStringLiteral("R1.000");
    attempt.targetVersion = QStringLiteral("R2.000");
    attempt.packageName = QStringLiteral("QX-551_R2.000.zip");
    attempt.packageMd5 = QStringLiteral("0123456789abcdef0123456789abcdef");
    attempt.frontEnd = QStringLiteral("window");
    return attempt;
}

QStringList serials(const QList<UpdateAttempt> &attempts)
{
    QStringList list;
    for (const UpdateAttempt &attempt : attempts)
        list.append(attempt.serial);
    return list;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file as the first edition of the history left it: its own tables, one finished update and one
// that was running when that program ended.
bool makeVersion1File(const QString &path)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("version1"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            ok = query.exec(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"))
                    && query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (1)"))
                    && query.exec(QStringLiteral(
                            "CREATE TABLE update_attempt (id INTEGER PRIMARY KEY AUTOINCREMENT, started_ms INTEGER NOT NULL,"
                            " settled_ms INTEGER, address TEXT NOT NULL DEFAULT '', model TEXT NOT NULL DEFAULT '',"
                            " serial TEXT NOT NULL DEFAULT '', firmware_before TEXT NOT NULL DEFAULT '',"
                            " target_version TEXT NOT NULL DEFAULT '', state TEXT NOT NULL DEFAULT 'pending',"
                            " status INTEGER NOT NULL DEFAULT 0, status_text TEXT NOT NULL DEFAULT '')"))
                    && query.exec(QStringLiteral(
                            "INSERT INTO update_attempt (started_ms, settled_ms, address, model, serial, firmware_before,"
                            " target_version, state, status, status_text) VALUES (1765375200000, 1765375500000,"
                            " '10.0.4.1', 'QX-551', 'OLD-1', 'R0.900', 'R1.000', 'settled', 3, 'Success')"))
                    && query.exec(QStringLiteral(
                            "INSERT INTO update_attempt (started_ms, address, model, serial, firmware_before,"
                            " target_version) VALUES (1765375260000, '10.0.4.2', 'QX-551', 'OLD-2', 'R0.900', 'R1.000')"));
            if (!ok)
                qWarning() << query.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("version1"));
    return ok;
}

QString queryPlan(const QString &path, const QString &sql)
{
    QString plan;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plan"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql)) {
                while (query.next())
                    plan += query.value(3).toString() + QLatin1Char('\n');
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plan"));
    return plan;
}

ProcessIdentity ownerOf(qint64 pid, const QString &startMark, const QString &host)
{
    ProcessIdentity owner = ProcessIdentity::current();
    owner.pid = pid;
    owner.startMark = startMark;
    owner.host = host;
    return owner;
}

}

class tst_UpdateHistory : public QObject
{
    Q_OBJECT

private slots:
    void attemptLifeIsKept();
    void version1FileMigrates();
    void damagedFileIsMovedAside_data();
    void damagedFileIsMovedAside();
    void twoProgramsWritingLoseNoRow();
    void pendingRowsOfEndedProcesses_data();
    void pendingRowsOfEndedProcesses();
    void interruptedProgramsAreFound();
    void filters_data();
    void filters();
    void recorderWritesTheFlow();
    void clearKeepsRunningUpdates();
    void unusableFolderDoesNotBlock();
    void readOnlyVolumeDoesNotBlock();
    void fullDiskDoesNotBlockAndRecovers();
    void newHistoryOnAFullDiskLeavesNothing();
};

void tst_UpdateHistory::attemptLifeIsKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    UpdateHistory writer(path);
    QCOMPARE(writer.open(), UpdateHistory::OpenStatus::Opened);
    QCOMPARE(writer.schemaVersion(), UpdateHistory::SchemaVersion);

    // Texts a display sends are kept as they came, quotes, wildcards and markup included.
    UpdateAttempt sent = attempt(QStringLiteral("SN'1%_<b>x</b>"));
    sent.model = QStringLiteral("QX-551 \"Lobby\" 表示");
    sent.userName = QStringLiteral("tech");
    sent.rollout.firstPerModel = true;
    sent.rollout.maxFailures = 3;
    const qint64 id = writer.beginAttempt(sent);
    QVERIFY2(id >= 0, qPrintable(writer.lastError()));

    // Another connection, as the other front end would have, sees the pending row at once.
    UpdateHistory reader(path);
    QCOMPARE(reader.open(), UpdateHistory::OpenStatus::Opened);
    QList<UpdateAttempt> rows = reader.attempts();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).state, UpdateAttempt::State::Pending);
    QCOMPARE(rows.at(0).serial, sent.serial);
    QCOMPARE(rows.at(0).model, sent.model);
    QVERIFY(rows.at(0).started.isValid());
    QVERIFY(!rows.at(0).settled.isValid());
    QCOMPARE(rows.at(0).verification, int(UpdateAttempt::None));

    QVERIFY(writer.settleAttempt(id, UpdateAttempt::SessionComplete, QStringLiteral("Success")));
    rows = reader.attempts();
    QCOMPARE(rows.at(0).state, UpdateAttempt::State::Settled);
    QVERIFY(rows.at(0).settled >= rows.at(0).started);
    QCOMPARE(rows.at(0).status, UpdateAttempt::SessionComplete);
    QCOMPARE(rows.at(0).statusText, QStringLiteral("Success"));
    QVERIFY(rows.at(0).succeeded());

    QVERIFY(writer.recordVerification(id, QStringLiteral("R2.000"), UpdateAttempt::Verified,
                                      QStringLiteral("Success. Verified: version R2.000")));
    QVERIFY(!writer.settleAttempt(id + 1000, 3, QString()));

    // Everything survives the program.
    UpdateHistory later(path);
    QCOMPARE(later.open(), UpdateHistory::OpenStatus::Opened);
    rows = later.attempts();
    QCOMPARE(rows.size(), 1);
    const UpdateAttempt &kept = rows.at(0);
    QCOMPARE(kept.id, id);
    QCOMPARE(kept.batch, sent.batch);
    QCOMPARE(kept.address, sent.address);
    QCOMPARE(kept.series, 3);
    QCOMPARE(kept.firmwareBefore, sent.firmwareBefore);
    QCOMPARE(kept.targetVersion, sent.targetVersion);
    QCOMPARE(kept.firmwareAfter, QStringLiteral("R2.000"));
    QCOMPARE(kept.verification, int(UpdateAttempt::Verified));
    QCOMPARE(kept.verificationText, QStringLiteral("Success. Verified: version R2.000"));
    QCOMPARE(kept.packageName, sent.packageName);
    QCOMPARE(kept.packageMd5, sent.packageMd5);
    QCOMPARE(kept.frontEnd, sent.frontEnd);
    QCOMPARE(kept.userName, QStringLiteral("tech"));
    QCOMPARE(kept.rollout, sent.rollout);
    QVERIFY(later.takeWarning().isEmpty());
}

void tst_UpdateHistory::version1FileMigrates()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    QVERIFY(makeVersion1File(path));

    {
        UpdateHistory history(path);
        QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
        QCOMPARE(history.schemaVersion(), UpdateHistory::SchemaVersion);
        QList<UpdateAttempt> rows = history.attempts();
        QCOMPARE(serials(rows), QStringList({ "OLD-1", "OLD-2" }));
        QCOMPARE(rows.at(0).state, UpdateAttempt::State::Settled);
        QCOMPARE(rows.at(0).started, QDateTime::fromMSecsSinceEpoch(1765375200000, Qt::UTC));
        QCOMPARE(rows.at(0).statusText, QStringLiteral("Success"));
        // Columns the first version did not have read as "not known".
        QCOMPARE(rows.at(0).verification, int(UpdateAttempt::None));
        QCOMPARE(rows.at(0).firmwareAfter, QString());
        QCOMPARE(rows.at(0).rollout, RolloutPolicy());

        // The first version named no process: its pending row is one nobody will finish.
        const QList<UpdateAttempt> interrupted = history.markInterrupted();
        QCOMPARE(serials(interrupted), QStringList({ "OLD-2" }));

        QVERIFY(history.beginAttempt(attempt(QStringLiteral("NEW-1"))) >= 0);
        QVERIFY(history.recordUsbDrive(UsbDriveRecord()) >= 0);
    }

    // A query by serial number uses its index on the migrated file.
    QVERIFY2(queryPlan(path, QStringLiteral("SELECT id FROM update_attempt WHERE serial = 'x'")).contains(QLatin1String("update_attempt_serial")),
             qPrintable(queryPlan(path, QStringLiteral("SELECT id FROM update_attempt WHERE serial = 'x'"))));

    // Opened again, nothing is migrated twice and nothing is lost.
    UpdateHistory again(path);
    QCOMPARE(again.open(), UpdateHistory::OpenStatus::Opened);
    QCOMPARE(again.schemaVersion(), UpdateHistory::SchemaVersion);
    QCOMPARE(serials(again.attempts()), QStringList({ "OLD-1", "OLD-2", "NEW-1" }));
    QCOMPARE(again.usbDrives().size(), 1);
}

void tst_UpdateHistory::damagedFileIsMovedAside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("movedAside");

    QTest::newRow("a text file") << "text" << true;
    QTest::newRow("random bytes") << "random" << true;
    QTest::newRow("a history whose table pages are overwritten") << "pages" << true;
    QTest::newRow("an empty file is a new history") << "empty" << false;
}

void tst_UpdateHistory::damagedFileIsMovedAside()
{
    QFETCH(QString, damage);
    QFETCH(bool, movedAside);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    if (damage == QLatin1String("text")) {
        QVERIFY(writeFile(path, "pending,127.0.90.1,QX-551\nthis is not a database\n"));
    } else if (damage == QLatin1String("random")) {
        QByteArray bytes(8192, '\0');
        for (char &byte : bytes)
            byte = char(QRandomGenerator::global()->bounded(256));
        QVERIFY(writeFile(path, bytes));
    } else if (damage == QLatin1String("pages")) {
        {
            UpdateHistory history(path);
            QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
            QVERIFY(history.beginAttempt(attempt(QStringLiteral("LOST-1"))) >= 0);
        }
        // The header stays; the schema page below it is garbage.
        QByteArray bytes = readFile(path);
        QVERIFY(bytes.size() > 4096);
        for (int i = 100; i < 4096; ++i)
            bytes[i] = char(0xA5 ^ (i & 0xff));
        QVERIFY(writeFile(path, bytes));
    } else {
        QVERIFY(writeFile(path, QByteArray()));
    }
    const QByteArray original = readFile(path);

    UpdateHistory history(path);
    QCOMPARE(history.open(), movedAside ? UpdateHistory::OpenStatus::Recovered : UpdateHistory::OpenStatus::Opened);
    const QStringList aside = QDir(dir.path()).entryList({ QStringLiteral("history.sqlite.corrupt-*") }, QDir::Files);
    if (!movedAside) {
        QVERIFY(aside.isEmpty());
        QVERIFY(history.takeWarning().isEmpty());
    } else {
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readFile(dir.filePath(aside.first())), original);
        const QString warning = history.takeWarning();
        QVERIFY(warning.contains(aside.first()));
        QVERIFY2(history.takeWarning().isEmpty(), "the warning is handed out once");
    }
    // The new history works at once.
    QVERIFY(history.isOpen());
    QVERIFY(history.beginAttempt(attempt(QStringLiteral("NEW-1"))) >= 0);
    QCOMPARE(serials(history.attempts()), QStringList({ "NEW-1" }));
}

void tst_UpdateHistory::twoProgramsWritingLoseNoRow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    constexpr int Each = 150;

    // Two other programs and this one write the same new file at the same moment; every write
    // of the three goes to the disk (synchronous), so they wait on each other again and again.
    QList<QProcess *> writers;
    for (const QString &tag : { QStringLiteral("A"), QStringLiteral("B") }) {
        auto *writer = new QProcess(this);
        writer->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer->start(QStringLiteral(HISTORY_WRITER_PATH), { QStringLiteral("write"), path, QString::number(Each), tag });
        QVERIFY(writer->waitForStarted());
        writers.append(writer);
    }
    UpdateHistory history(path);
    QVERIFY(history.open() != UpdateHistory::OpenStatus::Unavailable);
    int failed = 0;
    for (int i = 0; i < Each; ++i) {
        const qint64 id = history.beginAttempt(attempt(QStringLiteral("C-%1").arg(i)));
        if (id < 0 || !history.settleAttempt(id, UpdateAttempt::SessionComplete, QStringLiteral("Success")))
            ++failed;
    }
    QCOMPARE(failed, 0);
    for (QProcess *writer : writers) {
        QVERIFY(writer->waitForFinished(120000));
        QCOMPARE(writer->exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer->exitCode(), 0);
        delete writer;
    }

    const QList<UpdateAttempt> rows = history.attempts();
    QCOMPARE(rows.size(), 3 * Each);
    QSet<QString> seen;
    for (const UpdateAttempt &row : rows) {
        QCOMPARE(row.state, UpdateAttempt::State::Settled);
        seen.insert(row.serial);
    }
    QCOMPARE(seen.size(), 3 * Each);
    for (const QString &tag : { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") }) {
        HistoryFilter filter;
        filter.serial = tag + QStringLiteral("-%1").arg(Each - 1);
        QCOMPARE(history.attempts(filter).size(), 1);
    }
}

void tst_UpdateHistory::pendingRowsOfEndedProcesses_data()
{
    const ProcessIdentity self = ProcessIdentity::current();
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<QString>("startMark");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("interrupted");

    QTest::newRow("this process, still running") << self.pid << self.startMark << self.host << false;
    // The system gave this process's id to a new program after the one that wrote the row ended.
    QTest::newRow("the id of a running process, another start") << self.pid << QStringLiteral("other-boot:1") << self.host << true;
    QTest::newRow("no process named") << qint64(0) << QString() << self.host << true;
    QTest::newRow("an id no process has") << qint64(0x3fffffff) << QStringLiteral("x:1") << self.host << true;
    // Another computer's program cannot be checked from here: its row is left to it.
    QTest::newRow("a process on another host") << qint64(0x3fffffff) << QStringLiteral("x:1")
                                               << self.host + QStringLiteral("-elsewhere") << false;
}

void tst_UpdateHistory::pendingRowsOfEndedProcesses()
{
    QFETCH(qint64, pid);
    QFETCH(QString, startMark);
    QFETCH(QString, host);
    QFETCH(bool, interrupted);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    UpdateHistory other(path);
    QCOMPARE(other.open(), UpdateHistory::OpenStatus::Opened);
    other.setOwner(ownerOf(pid, startMark, host));
    const qint64 pending = other.beginAttempt(attempt(QStringLiteral("P-1")));
    QVERIFY(pending >= 0);
    const qint64 settled = other.beginAttempt(attempt(QStringLiteral("S-1")));
    QVERIFY(other.settleAttempt(settled, -3, QStringLiteral("Error: Timeout.")));

    UpdateHistory starting(path);
    QCOMPARE(starting.open(), UpdateHistory::OpenStatus::Opened);
    const QList<UpdateAttempt> marked = starting.markInterrupted();
    QCOMPARE(serials(marked), interrupted ? QStringList({ "P-1" }) : QStringList());
    if (interrupted) {
        QCOMPARE(marked.at(0).id, pending);
        QCOMPARE(marked.at(0).state, UpdateAttempt::State::Interrupted);
    }
    // Reported once: the next start finds nothing new.
    QVERIFY(starting.markInterrupted().isEmpty());
    HistoryFilter onlyInterrupted;
    onlyInterrupted.result = HistoryFilter::Result::Interrupted;
    QCOMPARE(serials(starting.attempts(onlyInterrupted)), interrupted ? QStringList({ "P-1" }) : QStringList());
}

void tst_UpdateHistory::interruptedProgramsAreFound()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    {
        UpdateHistory create(path);
        QCOMPARE(create.open(), UpdateHistory::OpenStatus::Opened);
    }

    // One program ended mid-batch, one is still updating, and this one has an update running.
    QProcess ended;
    ended.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ended.start(QStringLiteral(HISTORY_WRITER_PATH), { QStringLiteral("abandon"), path, QStringLiteral("3"), QStringLiteral("GONE") });
    QVERIFY(ended.waitForFinished(30000));
    QCOMPARE(ended.exitCode(), 0);

    QProcess running;
    running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    running.start(QStringLiteral(HISTORY_WRITER_PATH), { QStringLiteral("hold"), path, QStringLiteral("2"), QStringLiteral("LIVE") });
    QVERIFY(running.waitForStarted());
    QByteArray said;
    while (!said.contains("ready") && running.waitForReadyRead(30000))
        said += running.readAllStandardOutput();
    QVERIFY2(said.contains("ready"), said.constData());

    UpdateHistory history(path);
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    QVERIFY(history.beginAttempt(attempt(QStringLiteral("SELF-0"))) >= 0);

    QCOMPARE(serials(history.markInterrupted()), QStringList({ "GONE-0", "GONE-1", "GONE-2" }));

    // Killed without a chance to write anything: its rows are found at the next start.
    running.kill();
    QVERIFY(running.waitForFinished(10000));
    QCOMPARE(serials(history.markInterrupted()), QStringList({ "LIVE-0", "LIVE-1" }));

    HistoryFilter pending;
    pending.result = HistoryFilter::Result::Pending;
    QCOMPARE(serials(history.attempts(pending)), QStringList({ "SELF-0" }));
}

void tst_UpdateHistory::filters_data()
{
    QTest::addColumn<HistoryFilter>("filter");
    QTest::addColumn<QStringList>("expected");

    const QDateTime day1 = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    HistoryFilter filter;
    QTest::newRow("everything, oldest first") << filter << QStringList { "A1", "A2", "B1", "B2", "C1", "C2" };

    filter = HistoryFilter();
    filter.since = day1.addDays(1);
    QTest::newRow("since a time") << filter << QStringList { "B1", "B2", "C1", "C2" };
    filter.until = day1.addDays(2);
    QTest::newRow("within a range, its end excluded") << filter << QStringList { "B1", "B2" };

    filter = HistoryFilter();
    filter.serial = QStringLiteral("B1");
    QTest::newRow("one serial number, exactly") << filter << QStringList { "B1" };
    filter.serial = QStringLiteral("B");
    QTest::newRow("a serial number's part is not one") << filter << QStringList {};

    filter = HistoryFilter();
    filter.address = QStringLiteral("10.0.4.2");
    QTest::newRow("one address") << filter << QStringList { "A2", "C2" };

    filter = HistoryFilter();
    filter.text = QStringLiteral("px-");
    QTest::newRow("text in the model, any case") << filter << QStringList { "B1", "B2" };
    filter.text = QStringLiteral("4.1");
    QTest::newRow("text in the address") << filter << QStringList { "A1", "B1", "C1" };
    filter.text = QStringLiteral("50%");
    QTest::newRow("a wildcard character is text") << filter << QStringList { "C2" };
    filter.text = QStringLiteral("_");
    QTest::newRow("an underscore is text") << filter << QStringList {};

    filter = HistoryFilter();
    filter.result = HistoryFilter::Result::Succeeded;
    QTest::newRow("succeeded") << filter << QStringList { "A1", "B1" };
    filter.result = HistoryFilter::Result::Failed;
    QTest::newRow("failed") << filter << QStringList { "A2", "C1" };
    filter.result = HistoryFilter::Result::Interrupted;
    QTest::newRow("interrupted only") << filter << QStringList { "B2" };
    filter.result = HistoryFilter::Result::Pending;
    QTest::newRow("running") << filter << QStringList { "C2" };

    filter = HistoryFilter();
    filter.batch = QStringLiteral("batch-c");
    QTest::newRow("one batch") << filter << QStringList { "C1", "C2" };

    filter = HistoryFilter();
    filter.limit = 2;
    QTest::newRow("the newest two, oldest first") << filter << QStringList { "C1", "C2" };

    filter = HistoryFilter();
    filter.address = QStringLiteral("10.0.4.1");
    filter.result = HistoryFilter::Result::Succeeded;
    filter.since = day1.addSecs(3600);
    QTest::newRow("filters together") << filter << QStringList { "B1" };
}

void tst_UpdateHistory::filters()
{
    QFETCH(HistoryFilter, filter);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);

    // Three days, two displays a day.
    const QDateTime day1 = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    struct Row
    {
        const char *serial, *model, *address;
        int day;
        UpdateAttempt::State state;
        int status;
    };
    const Row rows[] = {
        { "A1", "QX-551", "10.0.4.1", 0, UpdateAttempt::State::Settled, 3 },
        { "A2", "QX-551", "10.0.4.2", 0, UpdateAttempt::State::Settled, -3 },
        { "B1", "PX-750", "10.0.4.1", 1, UpdateAttempt::State::Settled, 3 },
        { "B2", "PX-750", "10.0.5.9", 1, UpdateAttempt::State::Interrupted, 0 },
        { "C1", "MX-430", "10.0.4.1", 2, UpdateAttempt::State::Settled, 4 },
        { "C2", "MX-50%", "10.0.4.2", 2, UpdateAttempt::State::Pending, 0 },
    };
    QList<UpdateAttempt> attempts;
    int minute = 0;
    for (const Row &row : rows) {
        UpdateAttempt a = attempt(QString::fromLatin1(row.serial), QString::fromLatin1(row.address));
        a.model = QString::fromLatin1(row.model);
        a.batch = QStringLiteral("batch-") + QChar(QLatin1Char(row.serial[0])).toLower();
        a.started = day1.addDays(row.day).addSecs(60 * minute++);
        a.state = row.state;
        a.status = row.status;
        if (row.state == UpdateAttempt::State::Settled)
            a.settled = a.started.addSecs(300);
        attempts.append(a);
    }
    QVERIFY(history.appendAttempts(attempts));
    QCOMPARE(serials(history.attempts(filter)), expected);
}

void tst_UpdateHistory::recorderWritesTheFlow()
{
    QTemporaryDir dir;
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    UpdateHistoryRecorder recorder(history, QStringLiteral("quillonctl"));
    QSignalSpy failures(&recorder, &UpdateHistoryRecorder::writeFailed);

    recorder.startBatch();
    const QString firstBatch = recorder.batch();
    recorder.sessionStarting(QStringLiteral("127.0.90.1"), QStringLiteral("QX-551"), QStringLiteral("SN-1"), 3,
                             QStringLiteral("R1.000"), QStringLiteral("R2.000"), QStringLiteral("p.zip"), QStringLiteral("md5-1"));
    recorder.sessionStarting(QStringLiteral("127.0.90.2"), QStringLiteral("QX-551"), QStringLiteral("SN-2"), 3,
                             QStringLiteral("R1.000"), QStringLiteral("R2.000"), QStringLiteral("p.zip"), QStringLiteral("md5-1"));
    recorder.sessionSettled(QStringLiteral("127.0.90.1"), 3, QStringLiteral("Success"));
    recorder.verificationFinished(QStringLiteral("127.0.90.1"), QStringLiteral("R2.000"), UpdateAttempt::Verified,
                                  QStringLiteral("Success. Verified: version R2.000"));
    recorder.sessionSettled(QStringLiteral("127.0.90.2"), -3, QStringLiteral("Error: Timeout."));
    // A display this batch never started is not written anywhere.
    recorder.sessionSettled(QStringLiteral("127.0.90.99"), 3, QStringLiteral("Success"));

    // The next queueing is a batch of its own, even for the same display.
    recorder.startBatch();
    QVERIFY(recorder.batch() != firstBatch);
    recorder.sessionStarting(QStringLiteral("127.0.90.2"), QStringLiteral("QX-551"), QStringLiteral("SN-2"), 3,
                             QStringLiteral("R1.000"), QStringLiteral("R2.000"), QStringLiteral("p.zip"), QStringLiteral("md5-1"));
    recorder.usbDriveCreated(QStringLiteral("/media/stick"), QStringLiteral("QX-551 R2.000"),
                             { QStringLiteral("a.bin"), QStringLiteral("b.bin") }, 0, QStringLiteral("Copied and verified"));

    QCOMPARE(failures.size(), 0);
    const QList<UpdateAttempt> rows = history.attempts();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).batch, firstBatch);
    QCOMPARE(rows.at(0).state, UpdateAttempt::State::Settled);
    QCOMPARE(rows.at(0).firmwareAfter, QStringLiteral("R2.000"));
    QCOMPARE(rows.at(0).verification, int(UpdateAttempt::Verified));
    QCOMPARE(rows.at(0).packageMd5, QStringLiteral("md5-1"));
    QCOMPARE(rows.at(0).frontEnd, QStringLiteral("quillonctl"));
    QCOMPARE(rows.at(0).userName, ProcessIdentity::current().userName);
    QCOMPARE(rows.at(1).batch, firstBatch);
    QCOMPARE(rows.at(1).status, -3);
    QCOMPARE(rows.at(1).statusText, QStringLiteral("Error: Timeout."));
    QCOMPARE(rows.at(2).batch, recorder.batch());
    QCOMPARE(rows.at(2).state, UpdateAttempt::State::Pending);
    const QList<UsbDriveRecord> drives = history.usbDrives();
    QCOMPARE(drives.size(), 1);
    QCOMPARE(drives.at(0).files, QStringList({ "a.bin", "b.bin" }));
    QCOMPARE(drives.at(0).release, QStringLiteral("QX-551 R2.000"));
    QCOMPARE(drives.at(0).resultText, QStringLiteral("Copied and verified"));
}

void tst_UpdateHistory::clearKeepsRunningUpdates()
{
    QTemporaryDir dir;
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    const qint64 done = history.beginAttempt(attempt(QStringLiteral("DONE")));
    QVERIFY(history.settleAttempt(done, 3, QStringLiteral("Success")));
    const qint64 running = history.beginAttempt(attempt(QStringLiteral("RUNNING")));
    QVERIFY(history.recordUsbDrive(UsbDriveRecord()) >= 0);

    QCOMPARE(history.clear(), 1);
    QCOMPARE(serials(history.attempts()), QStringList({ "RUNNING" }));
    QVERIFY(history.usbDrives().isEmpty());
    // The update still running settles into its kept row.
    QVERIFY(history.settleAttempt(running, 3, QStringLiteral("Success")));
}

void tst_UpdateHistory::unusableFolderDoesNotBlock()
{
    QTemporaryDir dir;
    // A file where the folder should be: nothing can be created under it, root or not.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Quillon")), "a file"));
    UpdateHistory history(dir.filePath(QStringLiteral("Quillon/history.sqlite")));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Unavailable);
    QVERIFY(!history.isOpen());
    QVERIFY(!history.takeWarning().isEmpty());
    QVERIFY(history.takeWarning().isEmpty());

    UpdateHistoryRecorder recorder(history, QStringLiteral("window"));
    QSignalSpy failures(&recorder, &UpdateHistoryRecorder::writeFailed);
    for (int i = 0; i < 3; ++i)
        recorder.sessionStarting(QStringLiteral("127.0.90.%1").arg(i + 1), QStringLiteral("QX-551"), QStringLiteral("SN"),
                                 3, QStringLiteral("R1"), QStringLiteral("R2"), QString(), QString());
    recorder.sessionSettled(QStringLiteral("127.0.90.1"), 3, QStringLiteral("Success"));
    QCOMPARE(history.beginAttempt(attempt(QStringLiteral("X"))), qint64(-1));
    QVERIFY(history.attempts().isEmpty());
    QVERIFY(history.markInterrupted().isEmpty());
    QCOMPARE(history.clear(), -1);
    QVERIFY2(clock.elapsed() < QuickMs, "a history that cannot be kept never makes the update wait");
    QCOMPARE(failures.size(), 1);
}

void tst_UpdateHistory::readOnlyVolumeDoesNotBlock()
{
    TmpfsMount volume(QStringLiteral("size=4m"));
    if (!volume.isMounted())
        QSKIP(qPrintable(volume.reason()));
    const QString path = volume.path() + QStringLiteral("/history.sqlite");
    {
        UpdateHistory history(path);
        QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
        QVERIFY(history.beginAttempt(attempt(QStringLiteral("BEFORE"))) >= 0);
    }
    QCOMPARE(QProcess::execute(QStringLiteral("mount"), { QStringLiteral("-o"), QStringLiteral("remount,ro"), volume.path() }), 0);

    UpdateHistory history(path);
    QElapsedTimer clock;
    clock.start();
    const UpdateHistory::OpenStatus status = history.open();
    QVERIFY(status != UpdateHistory::OpenStatus::Recovered);
    QCOMPARE(history.beginAttempt(attempt(QStringLiteral("AFTER"))), qint64(-1));
    QVERIFY(!history.lastError().isEmpty());
    QVERIFY2(clock.elapsed() < QuickMs, "a read-only volume never makes the update wait");
    // Nothing was moved aside or removed: the file is not damaged, only not writable.
    QVERIFY(QFile::exists(path));
    QVERIFY(QDir(volume.path()).entryList({ QStringLiteral("*.corrupt-*") }).isEmpty());
}

void tst_UpdateHistory::fullDiskDoesNotBlockAndRecovers()
{
    TmpfsMount volume(QStringLiteral("size=1m"));
    if (!volume.isMounted())
        QSKIP(qPrintable(volume.reason()));
    const QString path = volume.path() + QStringLiteral("/history.sqlite");
    UpdateHistory history(path);
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Opened);
    const qint64 first = history.beginAttempt(attempt(QStringLiteral("FIRST")));
    QVERIFY(first >= 0);

    // Fill what is left of the volume.
    const QString filler = volume.path() + QStringLiteral("/filler");
    {
        QFile file(filler);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (file.write(block) == block.size()) {
        }
    }
    QVERIFY(volume.bytesFree() < 4096);

    QElapsedTimer clock;
    clock.start();
    int written = 0;
    // Large texts need new pages, which a full disk cannot give.
    for (int i = 0; i < 20; ++i) {
        UpdateAttempt big = attempt(QStringLiteral("FULL-%1").arg(i));
        big.statusText = QString(8192, QLatin1Char('s'));
        written += history.beginAttempt(big) >= 0;
    }
    QVERIFY2(written < 20, "every write reported success on a full disk");
    QVERIFY(!history.lastError().isEmpty());
    QVERIFY2(clock.elapsed() < 5 * QuickMs, "a full disk never makes the update wait long");

    // Space again: the history goes on in the same file, the earlier row intact.
    QVERIFY(QFile::remove(filler));
    const qint64 after = history.beginAttempt(attempt(QStringLiteral("AFTER")));
    QVERIFY2(after >= 0, qPrintable(history.lastError()));
    QVERIFY(history.settleAttempt(first, 3, QStringLiteral("Success")));
    const QStringList kept = serials(history.attempts());
    QCOMPARE(kept.first(), QStringLiteral("FIRST"));
    QCOMPARE(kept.last(), QStringLiteral("AFTER"));
}

void tst_UpdateHistory::newHistoryOnAFullDiskLeavesNothing()
{
    TmpfsMount volume(QStringLiteral("size=1m"));
    if (!volume.isMounted())
        QSKIP(qPrintable(volume.reason()));
    const QString filler = volume.path() + QStringLiteral("/filler");
    {
        QFile file(filler);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Leave a few pages: room to start a file, not to finish its tables.
        QVERIFY(file.write(QByteArray(int(volume.bytesFree() - 8 * 1024), 'x')) > 0);
    }
    const qint64 freeBefore = volume.bytesFree();

    UpdateHistory history(volume.path() + QStringLiteral("/history.sqlite"));
    QCOMPARE(history.open(), UpdateHistory::OpenStatus::Unavailable);
    QVERIFY(!history.takeWarning().isEmpty());
    QCOMPARE(QDir(volume.path()).entryList(QDir::Files), QStringList({ "filler" }));
    QCOMPARE(volume.bytesFree(), freeBefore);
}

QTEST_GUILESS_MAIN(tst_UpdateHistory)
#include "tst_updatehistory.moc"
