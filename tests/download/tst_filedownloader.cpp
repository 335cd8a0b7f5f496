#include "common/TestFiles.h"
#include "download/FileDownloader.h"
#include "fwserver/FwServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

Q_DECLARE_METATYPE(FwBehaviour)

namespace {

using TestFiles::writeFile;
using TestFiles::randomBytes;
using TestFiles::readFile;

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// Waits for the one status a download ends with, then a little longer to catch a second one.
int finalStatus(QSignalSpy &spy, int timeoutMs = 20000)
{
    if (spy.isEmpty() && !spy.wait(timeoutMs))
        return -999;
    QTest::qWait(150);
    if (spy.count() != 1)
        return -998;
    return spy.first().at(1).toInt();
}

enum class Expected { None, Right, Wrong, Short };

} // namespace

class tst_FileDownloader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void speedText_data();
    void speedText();

    void transfer_data();
    void transfer();
    void progressReportsBytesAndSpeed();
    void memoryIsCappedNearOneMillionBytes();
    void packageLargerThanTheHashingQueue_data();
    void packageLargerThanTheHashingQueue();
    void sizesAroundTheWriteBatch_data();
    void sizesAroundTheWriteBatch();

    void replyTimerBoundsOnlyTheFirstData();
    void stallBoundEndsSilentTransfers_data();
    void stallBoundEndsSilentTransfers();

    void undeletableExistingFileGives10002();
    void unwritableTargetGives10001();
    void failedWriteMidTransferGives10001Once();
    void danglingLinkIsReplacedNotFollowed();
    void nonWebSchemesAreRefused_data();
    void nonWebSchemesAreRefused();

    void cancelEndsWith10003AndRemovesPartialFile();
    void destructionMidTransferRemovesPartialFileSilently();

private:
    QTemporaryDir m_root;
    QTemporaryDir m_out;
    FwServer *m_server = nullptr;
    QByteArray m_small;
    QByteArray m_big;
};

void tst_FileDownloader::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(m_out.isValid());
    m_small = randomBytes(100000, 1);
    m_big = randomBytes(3000000, 2);
    QVERIFY(writeFile(m_root.filePath(QStringLiteral("small.bin")), m_small));
    QVERIFY(writeFile(m_root.filePath(QStringLiteral("big.bin")), m_big));
    m_server = new FwServer(this);
    m_server->setRoot(m_root.path());
    m_server->setBasePath(QStringLiteral("/firmwareupdates/"));
    QVERIFY2(m_server->listen(QHostAddress::LocalHost), qPrintable(m_server->errorString()));
}

void tst_FileDownloader::init()
{
    m_server->setBehaviour(FwBehaviour());
}

void tst_FileDownloader::speedText_data()
{
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("text");

    QTest::newRow("bytes") << qint64(500) << qint64(1000) << "500.0 bytes/sec";
    QTest::newRow("megabytes") << qint64(2048000) << qint64(1000) << "2.0 MB/s";
    QTest::newRow("nothing yet") << qint64(0) << qint64(1000) << "0.0 bytes/sec";
    QTest::newRow("fraction of a byte") << qint64(1) << qint64(2000) << "0.5 bytes/sec";
    QTest::newRow("just below kB") << qint64(1023) << qint64(1000) << "1023.0 bytes/sec";
    QTest::newRow("exactly 1 kB") << qint64(1024) << qint64(1000) << "1.0 kB/s";
    QTest::newRow("kB rounds up") << qint64(1048575) << qint64(1000) << "1024.0 kB/s";
    QTest::newRow("exactly 1 MB") << qint64(1048576) << qint64(1000) << "1.0 MB/s";
    QTest::newRow("beyond 32 bits") << qint64(5) * 1024 * 1024 * 1024 << qint64(2000) << "2560.0 MB/s";
    QTest::newRow("zero elapsed") << qint64(512) << qint64(0) << "500.0 kB/s";
}

void tst_FileDownloader::speedText()
{
    QFETCH(qint64, received);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, text);
    QCOMPARE(FileDownloader::speedText(received, elapsedMs), text);
}

void tst_FileDownloader::transfer_data()
{
    QTest::addColumn<FwBehaviour>("behaviour");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<int>("expected"); // Expected
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("keptBytes"); // -1: no output file afterwards

    const FwBehaviour plain;
    FwBehaviour notFound;
    notFound.forcedStatus = 404;
    FwBehaviour serverError;
    serverError.forcedStatus = 500;
    FwBehaviour closeMidBody;
    closeMidBody.closeAfterBytes = 40000;
    FwBehaviour noLength;
    noLength.length = FwBehaviour::Length::Absent;
    FwBehaviour longerLength;
    longerLength.length = FwBehaviour::Length::TooLarge;
    FwBehaviour shorterLength;
    shorterLength.length = FwBehaviour::Length::TooSmall;
    FwBehaviour trickle;
    trickle.trickleBytes = 20000;
    trickle.trickleIntervalMs = 20;
    const QString small = QStringLiteral("small.bin");
    const int all = 100000;
    const int none = -1;
    const int right = int(Expected::Right);
    const int wrong = int(Expected::Wrong);
    const int nothing = int(Expected::None);

    QTest::newRow("file, no checksum") << plain << small << true << nothing << 0 << all;
    QTest::newRow("file, checksum matches") << plain << small << true << right << 0 << all;
    QTest::newRow("file, checksum differs: kept") << plain << small << true << wrong << 10000 << all;
    QTest::newRow("file, 15-byte checksum") << plain << small << true << int(Expected::Short) << 10000 << all;
    QTest::newRow("memory, checksum matches") << plain << small << false << right << 0 << all;
    QTest::newRow("memory, checksum differs") << plain << small << false << wrong << 10000 << all;
    QTest::newRow("file, trickled") << trickle << small << true << right << 0 << all;
    QTest::newRow("file, no Content-Length") << noLength << small << true << right << 0 << all;
    QTest::newRow("file, Content-Length too large") << longerLength << small << true << nothing << 10003 << none;
    QTest::newRow("file, Content-Length too small") << shorterLength << small << true << right << 10000 << all / 2;
    QTest::newRow("file, closed mid-body") << closeMidBody << small << true << nothing << 10003 << none;
    QTest::newRow("memory, closed mid-body") << closeMidBody << small << false << nothing << 10003 << none;
    QTest::newRow("file, 404") << notFound << small << true << nothing << 10003 << none;
    QTest::newRow("file, 500") << serverError << small << true << nothing << 10003 << none;
    QTest::newRow("file, missing on server") << plain << QStringLiteral("absent.bin") << true << nothing << 10003 << none;
}

void tst_FileDownloader::transfer()
{
    QFETCH(FwBehaviour, behaviour);
    QFETCH(QString, file);
    QFETCH(bool, toFile);
    QFETCH(int, expected);
    QFETCH(int, status);
    QFETCH(int, keptBytes);

    QByteArray checksum;
    switch (Expected(expected)) {
    case Expected::None: break;
    case Expected::Right: checksum = md5(m_small); break;
    case Expected::Wrong: checksum = md5("something else"); break;
    case Expected::Short: checksum = md5(m_small).left(15); break;
    }
    m_server->setBehaviour(behaviour);
    const QString target = toFile ? m_out.filePath(QStringLiteral("out.bin")) : QString();
    FileDownloader downloader(7, false, m_server->url(file), target, checksum);
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(finalStatus(spy), status);
    QCOMPARE(spy.first().at(0).toInt(), 7);
    QCOMPARE(downloader.status(), status);

    if (toFile) {
        QCOMPARE(QFileInfo::exists(target), keptBytes >= 0);
        if (keptBytes >= 0)
            QCOMPARE(readFile(target), m_small.left(keptBytes));
        QFile::remove(target);
    } else if (status != 10003) {
        QCOMPARE(downloader.downloadedData(), m_small.left(keptBytes));
    }
}

void tst_FileDownloader::packageLargerThanTheHashingQueue_data()
{
    QTest::addColumn<qint64>("queueLimit");
    QTest::addColumn<bool>("rightChecksum");
    QTest::addColumn<int>("status");
    const qint64 usual = 8 * 1024 * 1024;
    QTest::newRow("right checksum") << usual << true << 0;
    QTest::newRow("wrong checksum, file kept for the owner") << usual << false << 10000;
    // A queue far shorter than a reply's buffer: the reply is held back again and again.
    QTest::newRow("reply held back, right checksum") << qint64(64 * 1024) << true << 0;
    QTest::newRow("reply held back, wrong checksum") << qint64(64 * 1024) << false << 10000;
}

void tst_FileDownloader::packageLargerThanTheHashingQueue()
{
    // More than the hashing queue holds by default, with a flush of the file on the way.
    QFETCH(qint64, queueLimit);
    QFETCH(bool, rightChecksum);
    QFETCH(int, status);
    static const QByteArray package = randomBytes(40 * 1024 * 1024 + 12345, 3);
    const QString source = m_root.filePath(QStringLiteral("large.bin"));
    if (!QFileInfo::exists(source))
        QVERIFY(writeFile(source, package));
    const QString target = m_out.filePath(QStringLiteral("large.bin"));
    FileDownloader downloader(5, false, m_server->url(QStringLiteral("large.bin")), target,
                              rightChecksum ? md5(package) : md5("another package"));
    downloader.setHashQueueLimit(queueLimit);
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(finalStatus(spy, 60000), status);
    QVERIFY(readFile(target) == package);
    QVERIFY(QFile::remove(target));
}

void tst_FileDownloader::sizesAroundTheWriteBatch_data()
{
    // Received bytes are written a batch at a time: the last batch may be full, partial or empty.
    QTest::addColumn<qint64>("size");
    const qint64 batch = FileDownloader::WriteBatch;
    QTest::newRow("empty file") << qint64(0);
    QTest::newRow("one byte") << qint64(1);
    QTest::newRow("one byte short of a batch") << batch - 1;
    QTest::newRow("exactly one batch") << batch;
    QTest::newRow("one byte over a batch") << batch + 1;
    QTest::newRow("exactly three batches") << 3 * batch;
}

void tst_FileDownloader::sizesAroundTheWriteBatch()
{
    QFETCH(qint64, size);
    const QByteArray package = randomBytes(size, int(size % 1000) + 17);
    const QString name = QStringLiteral("sized-%1.bin").arg(size);
    QVERIFY(writeFile(m_root.filePath(name), package));
    const QString target = m_out.filePath(name);
    FileDownloader downloader(6, false, m_server->url(name), target, md5(package));
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(finalStatus(spy), 0);
    QCOMPARE(spy.count(), 1);
    QVERIFY(readFile(target) == package);
}

void tst_FileDownloader::progressReportsBytesAndSpeed()
{
    FileDownloader downloader(3, false, m_server->url(QStringLiteral("big.bin")), QString(), QByteArray());
    QSignalSpy progress(&downloader, &FileDownloader::progressChanged);
    QSignalSpy status(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(finalStatus(status), 0);
    QVERIFY(!progress.isEmpty());
    const QList<QVariant> last = progress.last();
    QCOMPARE(last.at(0).toInt(), 3);
    QCOMPARE(last.at(1).toInt(), m_big.size());
    QCOMPARE(last.at(2).toInt(), m_big.size());
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d (bytes/sec|kB/s|MB/s)$"))
                 .match(last.at(3).toString()).hasMatch(),
             qPrintable(last.at(3).toString()));
}

void tst_FileDownloader::memoryIsCappedNearOneMillionBytes()
{
    // Pieces keep the reply from handing over the whole document in one read.
    FwBehaviour pieces;
    pieces.trickleBytes = 100000;
    pieces.trickleIntervalMs = 5;
    m_server->setBehaviour(pieces);
    FileDownloader probe(1, false, m_server->url(QStringLiteral("big.bin")), QString(), QByteArray());
    QSignalSpy probeSpy(&probe, &FileDownloader::statusChanged);
    probe.start();
    QCOMPARE(finalStatus(probeSpy), 0);
    const QByteArray data = probe.downloadedData();
    QVERIFY2(data.size() >= FileDownloader::MemoryCap, QByteArray::number(data.size()));
    QVERIFY2(data.size() < m_big.size(), QByteArray::number(data.size()));
    QCOMPARE(data, m_big.left(data.size()));

    FileDownloader whole(2, false, m_server->url(QStringLiteral("big.bin")), QString(), md5(m_big));
    QSignalSpy wholeSpy(&whole, &FileDownloader::statusChanged);
    whole.start();
    QCOMPARE(finalStatus(wholeSpy), 10000);
}

void tst_FileDownloader::replyTimerBoundsOnlyTheFirstData()
{
    // Every case needs several seconds of waiting, so they run side by side, one server each.
    struct Case {
        const char *name;
        FwBehaviour behaviour;
        bool useTimer;
        int status;
    };
    FwBehaviour silent;
    silent.neverAnswer = true;
    FwBehaviour late;
    late.firstByteDelayMs = 6500;
    FwBehaviour stalls; // first piece at once, the rest after a pause longer than the timer
    stalls.trickleBytes = 60000;
    stalls.trickleIntervalMs = 6500;
    const Case cases[] = {
        {"silent server, timer", silent, true, 10003},
        {"late server, timer", late, true, 10003},
        {"late server, no timer", late, false, 0},
        {"stalls after first data, timer", stalls, true, 0},
    };

    QList<FwServer *> servers;
    QList<FileDownloader *> downloaders;
    QList<QSignalSpy *> spies;
    QElapsedTimer clock;
    clock.start();
    int index = 0;
    for (const Case &c : cases) {
        auto *server = new FwServer(this);
        server->setRoot(m_root.path());
        server->setBasePath(QStringLiteral("/firmwareupdates/"));
        server->setBehaviour(c.behaviour);
        QVERIFY(server->listen(QHostAddress::LocalHost));
        const QString target = m_out.filePath(QStringLiteral("timer%1.bin").arg(index));
        auto *downloader = new FileDownloader(index++, c.useTimer, server->url(QStringLiteral("small.bin")),
                                              target, QByteArray());
        spies.append(new QSignalSpy(downloader, &FileDownloader::statusChanged));
        downloader->start();
        servers.append(server);
        downloaders.append(downloader);
    }
    for (int i = 0; i < spies.size(); ++i) {
        QSignalSpy &spy = *spies.at(i);
        QVERIFY2(finalStatus(spy, 15000) == cases[i].status, cases[i].name);
        const bool timedOut = cases[i].status == 10003;
        // A timed-out download ends near the 5 s mark and leaves no file behind.
        QCOMPARE(QFileInfo::exists(m_out.filePath(QStringLiteral("timer%1.bin").arg(i))), !timedOut);
    }
    // The slow successes had to wait out pauses longer than the timer (coarse timers may fire 5% early).
    QVERIFY(clock.elapsed() >= 6000);
    qDeleteAll(spies);
    qDeleteAll(downloaders);
    qDeleteAll(servers);
}

void tst_FileDownloader::stallBoundEndsSilentTransfers_data()
{
    QTest::addColumn<FwBehaviour>("behaviour");
    QTest::addColumn<int>("status");
    FwBehaviour silent;
    silent.neverAnswer = true;
    FwBehaviour stallsMidBody; // the first piece at once, the next long after the bound
    stallsMidBody.trickleBytes = 8192;
    stallsMidBody.trickleIntervalMs = 10000;
    FwBehaviour slowButMoving; // the whole transfer takes far longer than the bound
    slowButMoving.trickleBytes = 4096;
    slowButMoving.trickleIntervalMs = 150;
    QTest::newRow("silent server") << silent << 10003;
    QTest::newRow("stalls mid-body") << stallsMidBody << 10003;
    QTest::newRow("slow but moving") << slowButMoving << 0;
}

// Without the reply timer (package downloads) nothing else bounds a server that goes quiet; the
// stall bound ends such a transfer as a network error and leaves no part of the file behind.
void tst_FileDownloader::stallBoundEndsSilentTransfers()
{
    QFETCH(FwBehaviour, behaviour);
    QFETCH(int, status);
    m_server->setBehaviour(behaviour);
    const QString target = m_out.filePath(QStringLiteral("stall.bin"));
    FileDownloader downloader(1, false, m_server->url(QStringLiteral("small.bin")), target, QByteArray());
    downloader.setStallTimeout(700);
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    QElapsedTimer clock;
    clock.start();
    downloader.start();
    QCOMPARE(finalStatus(spy, 8000), status);
    if (status == 10003) {
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!QFileInfo::exists(target));
    } else {
        QCOMPARE(QFileInfo(target).size(), qint64(m_small.size()));
    }
}

void tst_FileDownloader::undeletableExistingFileGives10002()
{
    // A non-empty folder at the output path cannot be removed as a file, even by root.
    const QString target = m_out.filePath(QStringLiteral("occupied"));
    QVERIFY(QDir().mkpath(target + QStringLiteral("/inner")));
    const int connectionsBefore = m_server->connectionCount();
    FileDownloader downloader(1, false, m_server->url(QStringLiteral("small.bin")), target, QByteArray());
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(spy.count(), 1); // at once, inside start
    QCOMPARE(finalStatus(spy), 10002);
    QVERIFY(QFileInfo(target + QStringLiteral("/inner")).isDir());
    QCOMPARE(m_server->connectionCount(), connectionsBefore);
    QVERIFY(QDir(target).removeRecursively());

    if (::geteuid() == 0)
        return; // root may delete in a read-only folder; the folder case above stands for both
    const QString lockedDir = m_out.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(lockedDir));
    const QString lockedFile = lockedDir + QStringLiteral("/fw.bin");
    QVERIFY(writeFile(lockedFile, "old"));
    QVERIFY(QFile::setPermissions(lockedDir, QFile::ReadOwner | QFile::ExeOwner));
    FileDownloader second(2, false, m_server->url(QStringLiteral("small.bin")), lockedFile, QByteArray());
    QSignalSpy secondSpy(&second, &FileDownloader::statusChanged);
    second.start();
    QCOMPARE(finalStatus(secondSpy), 10002);
    QCOMPARE(readFile(lockedFile), QByteArray("old"));
    QFile::setPermissions(lockedDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_FileDownloader::unwritableTargetGives10001()
{
    const int connectionsBefore = m_server->connectionCount();
    const QString target = m_out.filePath(QStringLiteral("no/such/folder/fw.bin"));
    FileDownloader downloader(1, false, m_server->url(QStringLiteral("small.bin")), target, QByteArray());
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(finalStatus(spy), 10001);
    QCOMPARE(m_server->connectionCount(), connectionsBefore);
}

void tst_FileDownloader::failedWriteMidTransferGives10001Once()
{
    // A file-size limit makes the kernel refuse writes past 64 kB, as a full disk would.
    struct rlimit saved;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    const QString target = m_out.filePath(QStringLiteral("limited.bin"));
    FileDownloader downloader(4, false, m_server->url(QStringLiteral("big.bin")), target, md5(m_big));
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    const int status = finalStatus(spy);

    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(status, 10001);
    QTest::qWait(300); // the abandoned reply must not report a second time
    QCOMPARE(spy.count(), 1);
    QVERIFY(!QFileInfo::exists(target));
}

void tst_FileDownloader::danglingLinkIsReplacedNotFollowed()
{
    const QString elsewhere = m_out.filePath(QStringLiteral("elsewhere.bin"));
    const QString target = m_out.filePath(QStringLiteral("linked.bin"));
    QVERIFY(QFile::link(elsewhere, target));
    FileDownloader downloader(1, false, m_server->url(QStringLiteral("small.bin")), target, md5(m_small));
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(finalStatus(spy), 0);
    QVERIFY(!QFileInfo(target).isSymLink());
    QCOMPARE(readFile(target), m_small);
    QVERIFY(!QFileInfo::exists(elsewhere));
    QFile::remove(target);
}

void tst_FileDownloader::nonWebSchemesAreRefused_data()
{
    QTest::addColumn<QString>("url");
    const QString local = m_root.filePath(QStringLiteral("small.bin"));
    QTest::newRow("file") << QUrl::fromLocalFile(local).toString();
    QTest::newRow("data") << QStringLiteral("data:application/octet-stream;base64,AAAA");
    QTest::newRow("qrc") << QStringLiteral("qrc:/anything");
    QTest::newRow("no scheme") << local;
}

void tst_FileDownloader::nonWebSchemesAreRefused()
{
    QFETCH(QString, url);
    const QString target = m_out.filePath(QStringLiteral("scheme.bin"));
    FileDownloader downloader(1, false, QUrl(url), target, QByteArray());
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QCOMPARE(finalStatus(spy), 10003);
    QVERIFY(!QFileInfo::exists(target));
}

void tst_FileDownloader::cancelEndsWith10003AndRemovesPartialFile()
{
    FwBehaviour slow;
    slow.trickleBytes = 10000;
    slow.trickleIntervalMs = 100;
    m_server->setBehaviour(slow);
    const QString target = m_out.filePath(QStringLiteral("cancelled.bin"));
    FileDownloader downloader(9, false, m_server->url(QStringLiteral("small.bin")), target, QByteArray());
    QSignalSpy progress(&downloader, &FileDownloader::progressChanged);
    QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
    downloader.start();
    QVERIFY(progress.wait(5000));
    // Mid-transfer the bytes go to a temporary file: the name belongs to complete files only.
    QVERIFY(!QFileInfo::exists(target));
    downloader.cancel();
    QCOMPARE(finalStatus(spy), 10003);
    QVERIFY(!QFileInfo::exists(target));
}

void tst_FileDownloader::destructionMidTransferRemovesPartialFileSilently()
{
    FwBehaviour slow;
    slow.trickleBytes = 10000;
    slow.trickleIntervalMs = 100;
    m_server->setBehaviour(slow);
    const QString target = m_out.filePath(QStringLiteral("dropped.bin"));
    auto *downloader = new FileDownloader(9, false, m_server->url(QStringLiteral("small.bin")), target, QByteArray());
    QSignalSpy progress(downloader, &FileDownloader::progressChanged);
    QSignalSpy spy(downloader, &FileDownloader::statusChanged);
    downloader->start();
    QVERIFY(progress.wait(5000));
    delete downloader;
    QCOMPARE(spy.count(), 0);
    QVERIFY(!QFileInfo::exists(target));
}

QTEST_GUILESS_MAIN(tst_FileDownloader)
#include "tst_filedownloader.moc"
