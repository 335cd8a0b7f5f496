#include "catalogue/CatalogueMerge.h"
#include "common/TestFiles.h"
#include "common/TestPackages.h"
#include "common/TmpfsMount.h"
#include "download/DownloadExtractFirmware.h"
#include "download/FileDownloader.h"
#include "fwserver/FwServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The firmware cache on a disk that fills up: a real small file system (tmpfs), real packages
// from the firmware server on loopback. A package that does not fit ends as "Unable to save the
// firmware file." with nothing left in the cache; a catalogue that does not fit leaves the old one.
namespace {

constexpr int DiskKb = 256;
constexpr int PackageSize = 1024 * 1024; // four times the disk

struct Disk
{
    TmpfsMount mount { QStringLiteral("size=%1k").arg(DiskKb) };
    QString cache() const { return mount.path() + QStringLiteral("/Firmware"); }
    QStringList entries() const
    {
        return QDir(cache()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

// A catalogue with one release; padding makes it large.
QByteArray catalogue(int version, int padding)
{
    QJsonObject info { { "databaseVersion", version } };
    if (padding > 0)
        info.insert("aboutURLs", QString(padding, QLatin1Char('x')));
    const QJsonObject release { { "version", "R1" }, { "models", QJsonArray { "A" } } };
    return QJsonDocument(QJsonObject { { "info", info }, { "firmware", QJsonArray { release } } }).toJson();
}

#define MOUNT_OR_SKIP(disk)                                                                        \
    do {                                                                                           \
        if (!(disk).mount.isMounted())                                                             \
            QSKIP(qPrintable((disk).mount.reason()));                                              \
        QVERIFY(QDir().mkpath((disk).cache()));                                                    \
    } while (false)

}

class tst_FullDisk : public QObject
{
    Q_OBJECT

    QTemporaryDir m_serverRoot;
    FwServer m_server;

    // The one status of a job, or a negative value when there was none or more than one.
    static int finalStatus(DownloadExtractFirmware &job)
    {
        QSignalSpy spy(&job, &DownloadExtractFirmware::statusChanged);
        job.start();
        if (spy.isEmpty() && !spy.wait(20000))
            return -999;
        QTest::qWait(200); // an abandoned transfer must not report a second time
        return spy.count() == 1 ? spy.first().at(1).toInt() : -998;
    }

    FirmwareRelease plainRelease(const QString &name, const QByteArray &bytes, bool described)
    {
        if (!TestFiles::writeFile(m_serverRoot.filePath(name), bytes))
            qFatal("cannot write the served package");
        FirmwareRelease release;
        release.version = QStringLiteral("R3.000");
        release.downloadLoc = m_server.url(name).toString();
        if (described) {
            release.fileChecksum = TestPackages::md5Hex(bytes);
            release.fileSize = int(bytes.size());
        }
        return release;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_serverRoot.isValid());
        m_server.setRoot(m_serverRoot.path());
        m_server.setBasePath(QStringLiteral("/firmwareupdates/"));
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }

    void packageLargerThanFreeSpace_data()
    {
        QTest::addColumn<bool>("described"); // the catalogue gives checksum and size
        QTest::addColumn<bool>("slow");      // arrives in small pieces over a while
        QTest::newRow("checksum and size") << true << false;
        QTest::newRow("neither checksum nor size") << false << false;
        QTest::newRow("arriving slowly") << true << true;
    }

    // The disk fills during the download: the write failure is the outcome (10001, once), the
    // space is given back and the cache holds no part of the package.
    void packageLargerThanFreeSpace()
    {
        QFETCH(bool, described);
        QFETCH(bool, slow);
        Disk disk;
        MOUNT_OR_SKIP(disk);
        const qint64 freeBefore = disk.mount.bytesFree();
        QVERIFY(freeBefore > 0 && freeBefore < PackageSize);

        FwBehaviour behaviour;
        if (slow) {
            behaviour.trickleBytes = 32 * 1024;
            behaviour.trickleIntervalMs = 10;
        }
        m_server.setBehaviour(behaviour);
        const FirmwareRelease release = plainRelease(QStringLiteral("big.bin"), TestPackages::payload("big", PackageSize),
                                                     described);
        DownloadExtractFirmware job(5, release, disk.cache());
        QCOMPARE(finalStatus(job), int(DownloadExtractFirmware::StatusCannotWrite));
        QCOMPARE(DownloadExtractFirmware::downloadErrorText(DownloadExtractFirmware::StatusCannotWrite),
                 QStringLiteral("Error: Unable to save the firmware file."));
        QCOMPARE(disk.entries(), QStringList());
        QCOMPARE(disk.mount.bytesFree(), freeBefore);
        QVERIFY(!job.isAlreadyDownloaded());
    }

    // The same through the downloader alone, which the catalogue and page checks share.
    void downloaderReportsTheWriteFailureOnce()
    {
        Disk disk;
        MOUNT_OR_SKIP(disk);
        const QByteArray bytes = TestPackages::payload("plain", PackageSize);
        QVERIFY(TestFiles::writeFile(m_serverRoot.filePath(QStringLiteral("plain.bin")), bytes));
        m_server.setBehaviour(FwBehaviour());
        const QString target = disk.cache() + QStringLiteral("/plain.bin");
        FileDownloader downloader(7, false, m_server.url(QStringLiteral("plain.bin")), target,
                                  QCryptographicHash::hash(bytes, QCryptographicHash::Md5));
        QSignalSpy spy(&downloader, &FileDownloader::statusChanged);
        downloader.start();
        QVERIFY(spy.wait(20000));
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().at(1).toInt(), int(FileDownloader::StatusCannotWrite));
        QCOMPARE(disk.entries(), QStringList());
    }

    // The package fits but its firmware file does not: unpacking fails, and neither the archive
    // nor a cut-off firmware file stays behind.
    void archiveThatUnpacksBeyondFreeSpace()
    {
        Disk disk;
        MOUNT_OR_SKIP(disk);
        const QList<TestPackages::Member> members {
            { QStringLiteral("small.bin"), TestPackages::payload("small", 4000) },
            { QStringLiteral("zeros.bin"), QByteArray(PackageSize, '\0') }, // compresses to a few kB
        };
        const QString served = m_serverRoot.filePath(QStringLiteral("packed.zip"));
        QVERIFY(TestPackages::makeZip(served, members));
        const QByteArray zip = TestFiles::readFile(served);
        QVERIFY(zip.size() < 64 * 1024);
        m_server.setBehaviour(FwBehaviour());

        FirmwareRelease release;
        release.version = QStringLiteral("R4.000");
        release.downloadLoc = m_server.url(QStringLiteral("packed.zip")).toString();
        release.fileChecksum = TestPackages::md5Hex(zip);
        release.fileSize = int(zip.size());
        for (const TestPackages::Member &member : members)
            release.unpackedFileInfo.append({ member.first, int(member.second.size()), TestPackages::md5Hex(member.second) });

        const qint64 freeBefore = disk.mount.bytesFree();
        DownloadExtractFirmware job(5, release, disk.cache());
        const int status = finalStatus(job);
        QVERIFY2(status == DownloadExtractFirmware::StatusExtractFailed || status == DownloadExtractFirmware::StatusCannotWrite,
                 qPrintable(QString::number(status)));
        // The first firmware file was complete and verified; the one that did not fit is gone.
        QCOMPARE(disk.entries(), QStringList { QStringLiteral("small.bin") });
        QCOMPARE(TestFiles::readFile(disk.cache() + QStringLiteral("/small.bin")), members.first().second);
        QVERIFY(disk.mount.bytesFree() >= freeBefore - 64 * 1024);
        QVERIFY(!job.isAlreadyDownloaded());
    }

    // A newer catalogue that does not fit: the newer one is held for this run, the file on disk
    // stays the complete old catalogue, and no temporary file is left.
    void catalogueThatDoesNotFitKeepsTheOldOne()
    {
        Disk disk;
        MOUNT_OR_SKIP(disk);
        const CatalogueMerge merger(disk.cache());
        const QByteArray oldBytes = catalogue(5, 0);
        QVERIFY(TestFiles::writeFile(merger.localFilePath(), oldBytes));
        // Fill the disk up to the last 8 kB.
        const QString filler = disk.cache() + QStringLiteral("/filler.dat");
        QVERIFY(TestFiles::writeFile(filler, QByteArray(int(disk.mount.bytesFree() - 8 * 1024), 'f')));
        const QByteArray newBytes = catalogue(6, 100000);

        const CatalogueMergeResult result = merger.merge(0, newBytes);
        QVERIFY(result.serverCopyUsed);
        QCOMPARE(result.database.databaseVersion, 6);
        QVERIFY(!result.localFileWritten);
        QCOMPARE(TestFiles::readFile(merger.localFilePath()), oldBytes);
        QCOMPARE(disk.entries(), (QStringList { QStringLiteral("filler.dat"), CatalogueMerge::catalogueFileName() }));

        // The next start reads the old catalogue as it was.
        QCOMPARE(merger.readLocalCopy().databaseVersion, 5);
    }
};

QTEST_GUILESS_MAIN(tst_FullDisk)
#include "tst_fulldisk.moc"
