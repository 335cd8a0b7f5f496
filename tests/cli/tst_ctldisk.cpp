#include "catalogue/FirmwareDatabase.h"
#include "common/TestFiles.h"
#include "common/TestPackages.h"
#include "common/TmpfsMount.h"
#include "download/DownloadExtractFirmware.h"
#include "fwserver/FwServer.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

// quillonctl stopped hard while it fetches the catalogue or writes a package (SIGKILL, or the
// file-size limit's signal at an exact byte), and quillonctl on a full disk: the cache folder
// holds the previous catalogue and no file that a later run would take as firmware. The later
// run is the proof: it downloads again and ends with the right bytes.
namespace {

const QString Model = QStringLiteral("KW-100");
const QString CatalogueName = QStringLiteral("pd_firmware_releases.json");
constexpr int PackageSize = 1200 * 1024;

enum Describes { ChecksumAndSize, NoChecksum, NoSize, Neither };

struct Package
{
    QString name;
    QByteArray bytes;
    QList<TestPackages::Member> members; // empty: the package is the firmware file
};

// A catalogue with one release of Model whose package lies on the server, described as asked.
QByteArray catalogue(int version, const Package &package, const QUrl &url, Describes describes, int padding = 0)
{
    QJsonObject release {
        { "version", "R2.000" },
        { "seriesName", "SERIES_CEDAR5" },
        { "updateViaHTTP", 1 },
        { "updateViaUSB", 1 },
        { "models", QJsonArray { Model } },
        { "changes", QJsonObject { { "version", "R2.000" } } },
        { "downloadLoc", url.toString() },
    };
    if (describes == ChecksumAndSize || describes == NoSize)
        release.insert("fileChecksum", TestPackages::md5Hex(package.bytes));
    if (describes == ChecksumAndSize || describes == NoChecksum)
        release.insert("fileSize", int(package.bytes.size()));
    const QJsonArray unpacked = TestPackages::unpackedFileInfo(package.members);
    if (!unpacked.isEmpty())
        release.insert("unpackedFileInfo", unpacked);
    QJsonObject info { { "databaseVersion", version } };
    if (padding > 0) // a large catalogue takes a while to arrive
        info.insert("aboutURLs", QString(padding, QLatin1Char('x')));
    return QJsonDocument(QJsonObject { { "info", info }, { "firmware", QJsonArray { release } } }).toJson();
}

// The files the process has open below folder, from /proc; -1 where /proc cannot tell. A file
// being written under no name yet shows as "folder/#1234 (deleted)".
int openFilesBelow(qint64 pid, const QString &folder)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    if (!fds.exists())
        return -1;
    int count = 0;
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System)) {
        if (QFile::symLinkTarget(fds.filePath(fd)).startsWith(folder + QLatin1Char('/')))
            ++count;
    }
    return count;
}

}

class tst_CtlDisk : public QObject
{
    Q_OBJECT

    QTemporaryDir m_serverRoot;
    FwServer m_server;
    QScopedPointer<QTemporaryDir> m_home;
    QString m_dataHome; // the program's data location lies below

    QString cacheFolder() const { return m_dataHome + QStringLiteral("/Halvern/Quillon/Firmware"); }
    QString cached(const QString &name) const { return cacheFolder() + QLatin1Char('/') + name; }
    QStringList cacheEntries() const
    {
        return QDir(cacheFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    // fileSizeLimit > 0: the process may write no file larger than this; the write that tries
    // ends it with SIGXFSZ right there.
    void startCtl(QProcess &process, qint64 fileSizeLimit = 0) const
    {
        if (fileSizeLimit > 0) {
            process.setChildProcessModifier([fileSizeLimit] {
                const rlimit size { rlim_t(fileSizeLimit), rlim_t(fileSizeLimit) };
                const rlimit noCore { 0, 0 };
                ::setrlimit(RLIMIT_FSIZE, &size);
                ::setrlimit(RLIMIT_CORE, &noCore);
            });
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QUILLON_FIRMWARE_URL"), m_server.url(QString()).toString());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLONCTL_PATH), { QStringLiteral("download"), QStringLiteral("--model"), Model });
    }

    // A whole run; the event loop turns so the in-process server answers. -1 when the process
    // did not end by itself, -2 when a signal ended it.
    int runToEnd(QByteArray *out = nullptr, qint64 fileSizeLimit = 0)
    {
        QProcess process;
        startCtl(process, fileSizeLimit);
        if (!process.waitForStarted(10000))
            return -1;
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) {
            process.kill();
            process.waitForFinished(5000);
            return -1;
        }
        if (out)
            *out = process.readAllStandardOutput() + process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }

    // Starts a run and kills it once the server has sent at least bytes body bytes and, when
    // writing is set, the process holds a file open in the cache folder. True when the kill came
    // while the process was still running.
    bool runAndKill(qint64 bytes, bool writing)
    {
        const qint64 sentBefore = m_server.bodyBytesSent();
        QProcess process;
        startCtl(process);
        if (!process.waitForStarted(10000))
            return false;
        const bool reached = QTest::qWaitFor([&] {
            if (process.state() == QProcess::NotRunning || m_server.bodyBytesSent() - sentBefore < bytes)
                return false;
            return !writing || openFilesBelow(process.processId(), cacheFolder()) != 0;
        }, 20000);
        const bool running = process.state() == QProcess::Running;
        if (running)
            ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(5000);
        return reached && running && process.exitStatus() == QProcess::CrashExit;
    }

    void serveSlowly(qint64 pieceBytes, int intervalMs)
    {
        FwBehaviour slow;
        slow.trickleBytes = pieceBytes;
        slow.trickleIntervalMs = intervalMs;
        m_server.setBehaviour(slow);
    }

    Package servePackage(bool zip)
    {
        Package package;
        if (zip) {
            package.name = QStringLiteral("kw100.zip");
            // Random bytes do not compress: the archive is as large as its members.
            package.members = { { QStringLiteral("kw100_main.bin"), TestPackages::payload("main", PackageSize) },
                                { QStringLiteral("kw100_sub.bin"), TestPackages::payload("sub", 4000) } };
            const QString path = m_serverRoot.filePath(package.name);
            if (!TestPackages::makeZip(path, package.members))
                qFatal("cannot build the served archive");
            package.bytes = TestFiles::readFile(path);
        } else {
            package.name = QStringLiteral("kw100.bin");
            package.bytes = TestPackages::payload(package.name, PackageSize);
            if (!TestFiles::writeFile(m_serverRoot.filePath(package.name), package.bytes))
                qFatal("cannot write the served package");
        }
        return package;
    }

    static FirmwareRelease firstRelease(const QByteArray &catalogueBytes)
    {
        FirmwareDatabase database;
        FirmwareRelease release;
        if (database.parse(catalogueBytes, QLocale::English) != 0 || database.releaseAt(0, release) != 0)
            qFatal("the test catalogue does not parse");
        return release;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(QUILLONCTL_PATH)).isExecutable());
        QVERIFY(m_serverRoot.isValid());
        m_server.setRoot(m_serverRoot.path());
        m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
        QVERIFY(m_server.listen(QHostAddress(QStringLiteral("127.0.0.1"))));
    }

    void init()
    {
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        m_dataHome = m_home->filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(cacheFolder()));
        m_server.setBehaviour(FwBehaviour());
    }

    // The newer catalogue is on its way when the program dies: the old one stays, byte for byte,
    // and the next run takes the newer one.
    void killWhileCatalogueArrives()
    {
        const Package package = servePackage(false);
        const QUrl url = m_server.url(package.name);
        const QByteArray oldCatalogue = catalogue(5, package, url, ChecksumAndSize);
        const QByteArray newCatalogue = catalogue(6, package, url, ChecksumAndSize, 400000);
        QVERIFY(TestFiles::writeFile(cached(CatalogueName), oldCatalogue));
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(CatalogueName), newCatalogue));

        serveSlowly(4096, 20);
        QVERIFY(runAndKill(64 * 1024, false));

        QCOMPARE(TestFiles::readFile(cached(CatalogueName)), oldCatalogue);
        FirmwareDatabase database;
        QCOMPARE(database.parse(TestFiles::readFile(cached(CatalogueName)), QLocale::English), 0);
        QCOMPARE(database.databaseVersion, 5);
        QCOMPARE(cacheEntries(), QStringList { CatalogueName });

        m_server.setBehaviour(FwBehaviour());
        QCOMPARE(runToEnd(), 0);
        QCOMPARE(TestFiles::readFile(cached(CatalogueName)), newCatalogue);
        QCOMPARE(TestFiles::readFile(cached(package.name)), package.bytes);
    }

    void killWhilePackageArrives_data()
    {
        QTest::addColumn<int>("describes");
        QTest::addColumn<bool>("zip");
        // Without a checksum, or without anything at all, only the name tells a whole package.
        QTest::newRow("checksum and size") << int(ChecksumAndSize) << false;
        QTest::newRow("no checksum") << int(NoChecksum) << false;
        QTest::newRow("no size") << int(NoSize) << false;
        QTest::newRow("neither checksum nor size") << int(Neither) << false;
        QTest::newRow("archive, neither") << int(Neither) << true;
    }

    // Killed while the package arrives and is being written: nothing in the cache passes for the
    // firmware, and the next run fetches the package again and ends with the right files.
    void killWhilePackageArrives()
    {
        QFETCH(int, describes);
        QFETCH(bool, zip);
        const Package package = servePackage(zip);
        const QByteArray catalogueBytes = catalogue(3, package, m_server.url(package.name), Describes(describes));
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(CatalogueName), catalogueBytes));
        const FirmwareRelease release = firstRelease(catalogueBytes);

        // The catalogue arrives in one piece; the package takes seconds.
        serveSlowly(16 * 1024, 25);
        QVERIFY(runAndKill(catalogueBytes.size() + 256 * 1024, true));

        // The product's own check first: nothing there passes for the firmware. Then the
        // stricter one: nothing at all is left but the catalogue.
        QVERIFY(!DownloadExtractFirmware(0, release, cacheFolder()).isAlreadyDownloaded());
        QCOMPARE(cacheEntries(), QStringList { CatalogueName });

        m_server.setBehaviour(FwBehaviour());
        const int packageRequests = m_server.requestedPaths().filter(package.name).size();
        QByteArray output;
        QCOMPARE(runToEnd(&output), 0);
        QVERIFY2(output.contains("Downloaded"), output.constData());
        QCOMPARE(m_server.requestedPaths().filter(package.name).size(), packageRequests + 1);
        if (zip) {
            for (const TestPackages::Member &member : package.members)
                QCOMPARE(TestFiles::readFile(cached(member.first)), member.second);
            QVERIFY(!QFileInfo::exists(cached(package.name)));
        } else {
            QCOMPARE(TestFiles::readFile(cached(package.name)), package.bytes);
        }
        QVERIFY(DownloadExtractFirmware(0, release, cacheFolder()).isAlreadyDownloaded());
    }

    void diesMidWrite_data()
    {
        QTest::addColumn<bool>("catalogueDoesNotFit"); // else the package does not
        QTest::addColumn<bool>("zip");
        QTest::newRow("while the newer catalogue is written") << true << false;
        QTest::newRow("while the package is written") << false << false;
        QTest::newRow("while the archive is written") << false << true;
    }

    // The file-size limit ends the process with SIGXFSZ inside the very write that crosses it:
    // a hard stop halfway through a file, at a known byte, with no chance to clean up.
    void diesMidWrite()
    {
        QFETCH(bool, catalogueDoesNotFit);
        QFETCH(bool, zip);
        constexpr qint64 Limit = 64 * 1024;
        const Package package = servePackage(zip);
        const QUrl url = m_server.url(package.name);
        const QByteArray oldCatalogue = catalogue(5, package, url, Neither);
        const QByteArray newCatalogue = catalogue(6, package, url, Neither, catalogueDoesNotFit ? 200000 : 0);
        QVERIFY(TestFiles::writeFile(cached(CatalogueName), oldCatalogue));
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(CatalogueName), newCatalogue));
        const int packageRequests = m_server.requestedPaths().filter(package.name).size();

        QCOMPARE(runToEnd(nullptr, Limit), -2);
        QCOMPARE(m_server.requestedPaths().filter(package.name).size(), packageRequests + (catalogueDoesNotFit ? 0 : 1));
        QCOMPARE(TestFiles::readFile(cached(CatalogueName)), catalogueDoesNotFit ? oldCatalogue : newCatalogue);
        QVERIFY(!DownloadExtractFirmware(0, firstRelease(newCatalogue), cacheFolder()).isAlreadyDownloaded());
        QCOMPARE(cacheEntries(), QStringList { CatalogueName });

        QCOMPARE(runToEnd(), 0);
        QCOMPARE(TestFiles::readFile(cached(CatalogueName)), newCatalogue);
        QVERIFY(DownloadExtractFirmware(0, firstRelease(newCatalogue), cacheFolder()).isAlreadyDownloaded());
    }

    // The cache folder on a disk with little room left: the newer catalogue does not fit and the
    // package does not either. The run ends in the download error, the old catalogue is whole,
    // and the disk has as much room as before.
    void fullDisk()
    {
        TmpfsMount disk(QStringLiteral("size=2m")); // room for the package, once the filler goes
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.reason()));
        m_dataHome = disk.path();
        QVERIFY(QDir().mkpath(cacheFolder()));
        const Package package = servePackage(false);
        const QUrl url = m_server.url(package.name);
        const QByteArray oldCatalogue = catalogue(5, package, url, ChecksumAndSize);
        const QByteArray newCatalogue = catalogue(6, package, url, ChecksumAndSize, 100000);
        QVERIFY(TestFiles::writeFile(cached(CatalogueName), oldCatalogue));
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(CatalogueName), newCatalogue));
        const QString filler = cached(QStringLiteral("filler.dat"));
        QVERIFY(TestFiles::writeFile(filler, QByteArray(int(disk.bytesFree() - 32 * 1024), 'f')));
        const qint64 freeBefore = disk.bytesFree();

        QByteArray output;
        QCOMPARE(runToEnd(&output), 1);
        QVERIFY2(output.contains("Download error"), output.constData());
        QCOMPARE(TestFiles::readFile(cached(CatalogueName)), oldCatalogue);
        QCOMPARE(cacheEntries(), (QStringList { QStringLiteral("filler.dat"), CatalogueName }));
        QCOMPARE(disk.bytesFree(), freeBefore);

        // Room again: the same run now succeeds.
        QVERIFY(QFile::remove(filler));
        QCOMPARE(runToEnd(), 0);
        QCOMPARE(TestFiles::readFile(cached(CatalogueName)), newCatalogue);
        QCOMPARE(TestFiles::readFile(cached(package.name)), package.bytes);
    }

    // Where the system cannot keep a file nameless while it is written, a killed run leaves
    // "<name>.XXXXXX" files. The next run removes them and never takes one as the firmware.
    void leftoversOfAKilledRunAreRemoved()
    {
        const Package package = servePackage(false);
        const QByteArray catalogueBytes = catalogue(3, package, m_server.url(package.name), Neither);
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(CatalogueName), catalogueBytes));
        const QByteArray cutOff = package.bytes.left(1000);
        const QStringList leftovers { package.name + QStringLiteral(".AbCdEf"), CatalogueName + QStringLiteral(".qRsTuV"),
                                      QStringLiteral("kw100_main.bin.x1Y2z3") };
        for (const QString &name : leftovers)
            QVERIFY(TestFiles::writeFile(cached(name), cutOff));
        // Not ours to remove: another file type, and a name only resembling a leftover.
        const QStringList kept { QStringLiteral("notes.txt"), QStringLiteral("kw100.bin.old") };
        for (const QString &name : kept)
            QVERIFY(TestFiles::writeFile(cached(name), "keep"));

        QCOMPARE(runToEnd(), 0);
        QStringList expected = kept + QStringList { CatalogueName, package.name };
        expected.sort();
        QCOMPARE(cacheEntries(), expected);
        QCOMPARE(TestFiles::readFile(cached(package.name)), package.bytes);
    }
};

QTEST_GUILESS_MAIN(tst_CtlDisk)
#include "tst_ctldisk.moc"
