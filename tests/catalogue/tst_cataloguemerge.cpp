#include "common/TestFiles.h"
#include "catalogue/CatalogueMerge.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using TestFiles::writeFile;

QStringList capturedInfo;

void captureInfo(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtInfoMsg)
        capturedInfo.append(message);
}

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(QUILLON_TESTDATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

// A valid catalogue (two releases) of exactly size bytes: the padding sits inside the About text,
// so cutting off even the last byte breaks the document.
QByteArray paddedCatalogue(int size, int version = 5)
{
    const QByteArray head = R"({"info":{"databaseVersion":)" + QByteArray::number(version)
        + R"(,"aboutURLs":")";
    const QByteArray tail = R"("},"firmware":[{"models":["MX-1"]},{"models":["MX-2"]}]})";
    return head + QByteArray(size - head.size() - tail.size(), 'x') + tail;
}

// Captures the merge's log lines for the lifetime of the object.
class LogCapture
{
public:
    LogCapture() { capturedInfo.clear(); m_previous = qInstallMessageHandler(captureInfo); }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    QStringList lines() const { return capturedInfo; }

private:
    QtMessageHandler m_previous = nullptr;
};

}

class tst_CatalogueMerge : public QObject
{
    Q_OBJECT

private slots:
    void merge_data();
    void merge();
    void localReadCap_data();
    void localReadCap();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void missingCacheFolderIsSilent();
    void languageReachesBothCopies();
};

void tst_CatalogueMerge::merge_data()
{
    QTest::addColumn<QString>("local");    // fixture, "" for no file, "<empty>" for an empty file
    QTest::addColumn<QString>("server");   // fixture, "" for no data
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("releases");
    QTest::addColumn<bool>("serverUsed");
    QTest::addColumn<QString>("statusText");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QStringList>("log");

    const QString failed = QStringLiteral(
        "Error 10001 downloading firmware definitions. Check Internet connection and restart.");

    QTest::newRow("no local file, server copy")
        << "" << "merge/v6_three.json" << 0 << 6 << 3 << true << "Downloaded 3 firmware definitions" << ""
        << QStringList { "Local DB: -1", "Server DB: 6", "Num FW definitions: 3" };
    QTest::newRow("newer server copy replaces local")
        << "merge/v5_two.json" << "merge/v6_three.json" << 0 << 6 << 3 << true
        << "Downloaded 3 firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 6", "Num FW definitions: 3" };
    QTest::newRow("same version keeps local")
        << "merge/v5_two.json" << "merge/v5_three.json" << 0 << 5 << 2 << false
        << "2 local file firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 5", "Num FW definitions: 2" };
    QTest::newRow("older server copy")
        << "merge/v5_two.json" << "merge/v4_three.json" << 0 << 5 << 2 << false
        << "2 local file firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 4", "Num FW definitions: 2" };
    QTest::newRow("newer server copy without releases")
        << "merge/v5_two.json" << "merge/v6_empty.json" << 0 << 5 << 2 << false
        << "2 local file firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 6", "Num FW definitions: 2" };
    QTest::newRow("server copy does not parse")
        << "merge/v5_two.json" << "truncated.json" << 0 << 5 << 2 << false
        << "2 local file firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 0", "Num FW definitions: 2" };
    QTest::newRow("server copy without firmware array is not received")
        << "merge/v5_two.json" << "no_firmware.json" << 0 << 5 << 2 << false
        << "2 local file firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 0", "Num FW definitions: 2" };
    QTest::newRow("no server data")
        << "merge/v5_two.json" << "" << 0 << 5 << 2 << false << "2 local file firmware definitions" << ""
        << QStringList { "Local DB: 5", "Server DB: 0", "Num FW definitions: 2" };
    QTest::newRow("download failed: its data is ignored")
        << "merge/v5_two.json" << "merge/v6_three.json" << 10001 << 5 << 2 << false
        << "2 local file firmware definitions" << failed
        << QStringList { "Local DB: 5", "Server DB: 0", "Num FW definitions: 2",
                         "Error 10001 downloading firmware definitions" };
    QTest::newRow("local newer than server")
        << "merge/v7_one.json" << "merge/v6_three.json" << 0 << 7 << 1 << false
        << "1 local file firmware definitions" << ""
        << QStringList { "Local DB: 7", "Server DB: 6", "Num FW definitions: 1" };
    QTest::newRow("broken local file, server copy")
        << "truncated.json" << "merge/v6_three.json" << 0 << 6 << 3 << true
        << "Downloaded 3 firmware definitions" << ""
        << QStringList { "Error parsing local json file", "Local DB: 0", "Server DB: 6",
                         "Num FW definitions: 3" };
    QTest::newRow("partly read local header still outranks the server")
        << "no_firmware.json" << "merge/v6_three.json" << 0 << 9 << 0 << false
        << "0 local file firmware definitions" << ""
        << QStringList { "Error parsing local json file", "Local DB: 9", "Server DB: 6",
                         "Num FW definitions: 0" };
    QTest::newRow("empty local file, nothing downloaded")
        << "<empty>" << "" << 10002 << -1 << 0 << false << "0 local file firmware definitions"
        << "Error 10002 downloading firmware definitions. Check Internet connection and restart."
        << QStringList { "Local DB: -1", "Server DB: 0", "Num FW definitions: 0",
                         "Error 10002 downloading firmware definitions" };
}

void tst_CatalogueMerge::merge()
{
    QFETCH(QString, local);
    QFETCH(QString, server);
    QFETCH(int, status);
    QFETCH(bool, serverUsed);

    QTemporaryDir cache;
    QVERIFY(cache.isValid());
    const CatalogueMerge merger(cache.path());
    QCOMPARE(merger.localFilePath(), cache.path() + QStringLiteral("/pd_firmware_releases.json"));

    QByteArray localBytes;
    if (local == QLatin1String("<empty>"))
        QVERIFY(writeFile(merger.localFilePath(), QByteArray()));
    else if (!local.isEmpty())
        QVERIFY(writeFile(merger.localFilePath(), localBytes = fixture(local)));
    const QByteArray serverBytes = server.isEmpty() ? QByteArray() : fixture(server);

    CatalogueMergeResult result;
    QStringList log;
    {
        LogCapture capture;
        result = merger.merge(status, serverBytes);
        log = capture.lines();
    }

    QTEST(result.database.databaseVersion, "version");
    QTEST(result.database.count(), "releases");
    QCOMPARE(result.serverCopyUsed, serverUsed);
    QCOMPARE(result.localFileWritten, serverUsed);
    QTEST(result.statusText, "statusText");
    QCOMPARE(result.statusTimeoutMs, 5000);
    QTEST(result.errorText, "errorText");
    QTEST(log, "log");

    QFile after(merger.localFilePath());
    if (serverUsed) {
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), serverBytes); // unchanged bytes, not a re-serialisation
    } else if (local.isEmpty()) {
        QVERIFY(!after.exists());
    } else {
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), localBytes);
    }
    // Nothing but the catalogue is left in the folder.
    const QStringList entries = QDir(cache.path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY(entries.size() <= 1);
}

void tst_CatalogueMerge::localReadCap_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("releases");

    QTest::newRow("exactly the cap") << 999999 << 5 << 2;
    QTest::newRow("one byte over the cap") << 1000000 << 0 << 0;
}

void tst_CatalogueMerge::localReadCap()
{
    QFETCH(int, size);
    QTemporaryDir cache;
    const CatalogueMerge merger(cache.path());
    QVERIFY(writeFile(merger.localFilePath(), paddedCatalogue(size)));

    LogCapture capture;
    QTEST(merger.readLocalCopy().databaseVersion, "version");
    QTEST(merger.readLocalCopy().count(), "releases");

    // An oversized local copy loses to any valid newer server copy, which then replaces it.
    if (size > CatalogueMerge::LocalReadLimit) {
        const QByteArray serverBytes = fixture(QStringLiteral("merge/v6_three.json"));
        const CatalogueMergeResult result = merger.merge(0, serverBytes);
        QVERIFY(result.serverCopyUsed);
        QFile after(merger.localFilePath());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), serverBytes);
    }
}

void tst_CatalogueMerge::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("serverSize"); // 0: the small fixture, else a generated copy of that size

    // Small copies sit in the write buffer until commit; large ones go straight to the file.
    QTest::newRow("disk full, small copy") << "file size limit" << 0;
    QTest::newRow("disk full, large copy") << "file size limit" << 200000;
    QTest::newRow("read-only folder") << "read-only folder" << 0;
}

// The newer server copy is held either way; what matters is that the copy on disk is still the
// complete old catalogue, not a truncated new one.
void tst_CatalogueMerge::failedWriteKeepsOldFile()
{
    QFETCH(QString, failure);
    QFETCH(int, serverSize);

    QTemporaryDir cache;
    const CatalogueMerge merger(cache.path());
    const QByteArray oldBytes = fixture(QStringLiteral("merge/v5_two.json"));
    const QByteArray serverBytes = serverSize > 0 ? paddedCatalogue(serverSize, 6)
                                                  : fixture(QStringLiteral("merge/v6_three.json"));
    QVERIFY(writeFile(merger.localFilePath(), oldBytes));
    QVERIFY(serverBytes.size() > 300);

    CatalogueMergeResult result;
    if (failure == QLatin1String("file size limit")) {
        // Writes beyond 100 bytes fail as on a full disk (the signal would end the test).
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        result = merger.merge(0, serverBytes);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    } else {
        if (geteuid() == 0)
            QSKIP("permissions do not stop root");
        QVERIFY(QFile::setPermissions(cache.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        result = merger.merge(0, serverBytes);
        QFile::setPermissions(cache.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ExeOwner);
    }

    QVERIFY(result.serverCopyUsed);
    QCOMPARE(result.database.databaseVersion, 6);
    QVERIFY(!result.localFileWritten);
    QFile after(merger.localFilePath());
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), oldBytes);
    QCOMPARE(QDir(cache.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList { CatalogueMerge::catalogueFileName() });
}

void tst_CatalogueMerge::missingCacheFolderIsSilent()
{
    QTemporaryDir parent;
    const CatalogueMerge merger(parent.path() + QStringLiteral("/absent"));
    const CatalogueMergeResult result = merger.merge(0, fixture(QStringLiteral("merge/v6_three.json")));
    QVERIFY(result.serverCopyUsed);
    QVERIFY(!result.localFileWritten);
    QCOMPARE(result.database.count(), 3);
    QVERIFY(!QFile::exists(merger.localFilePath()));
}

void tst_CatalogueMerge::languageReachesBothCopies()
{
    QTemporaryDir cache;
    CatalogueMerge merger(cache.path());
    merger.setLanguage(QLocale::Japanese);
    QVERIFY(writeFile(merger.localFilePath(), fixture(QStringLiteral("no_firmware.json"))));
    QVERIFY(merger.readLocalCopy().aboutURLs.isEmpty());

    const CatalogueMergeResult result = merger.merge(0, fixture(QStringLiteral("values.json")));
    QVERIFY(result.serverCopyUsed);
    QCOMPARE(result.database.aboutURLs, QStringLiteral("<a href=\"http://127.0.0.1/ja/\">ホーム</a>"));

    merger.setLanguage(QLocale::English);
    QCOMPARE(merger.readLocalCopy().aboutURLs, QStringLiteral("<a href=\"http://127.0.0.1/\">Home</a>"));
}

QTEST_GUILESS_MAIN(tst_CatalogueMerge)
#include "tst_cataloguemerge.moc"
