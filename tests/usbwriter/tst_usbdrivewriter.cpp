#include "common/MountedVolumes.h"
#include "common/UsbDriveFixture.h"
#include "usbwriter/UsbDriveWriter.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QtTest>

using TestFiles::readFile;
using TestFiles::writeFile;

class tst_UsbDriveWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SKIP_WITHOUT_MOUNTED_VOLUMES();
    }

    void outcomes_data();
    void outcomes();
    void catalogueAimedBesideTheRootDeletesNothing_data();
    void catalogueAimedBesideTheRootDeletesNothing();
    void oldFirmwareGoesOtherFilesStay();
    void packageCopiedUnderItsDriveName();
    void progressCountsBlocksAndSteps();
    void emptyFileCopies();
    void realDeviceFailures_data();
    void realDeviceFailures();
};

namespace {

enum Case {
    Success,
    FolderBlockedByFile,
    NoSuchDrive,
    FolderBesideRoot,
    SourceUnreadable,
    UpperCaseChecksum,
    WrongChecksum,
    SourceMissing,
    TargetUndeletable,
    NoRoomForSource,
    SharedDestination,
};

QByteArray pattern(int size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(seed + i * 7 + (i >> 9));
    return data;
}

// A tmpfs mounted for one test, where this process may mount (root, as CI runs).
class ScratchMount
{
public:
    explicit ScratchMount(const QString &options)
    {
        if (!m_dir.isValid())
            return;
        const int rc = QProcess::execute(QStringLiteral("mount"),
                                         { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                           options, QStringLiteral("quillon-test"), m_dir.path() });
        m_mounted = rc == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), { QStringLiteral("-l"), m_dir.path() });
    }
    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    bool remount(const QString &options)
    {
        return QProcess::execute(QStringLiteral("mount"),
                                 { QStringLiteral("-o"), QStringLiteral("remount,") + options, m_dir.path() })
            == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

void tst_UsbDriveWriter::outcomes_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<int>("result");

    QTest::newRow("copied and verified") << int(Success) << int(UsbDriveWriter::Copied);
    QTest::newRow("1: a file where the folder goes") << int(FolderBlockedByFile) << int(UsbDriveWriter::TargetFolderFailed);
    QTest::newRow("-1: no such drive") << int(NoSuchDrive) << int(UsbDriveWriter::InvalidDrive);
    QTest::newRow("-2: folder beside the root") << int(FolderBesideRoot) << int(UsbDriveWriter::UnsafeName);
    QTest::newRow("-3: source cannot be read") << int(SourceUnreadable) << int(UsbDriveWriter::CopyFailed);
    QTest::newRow("-4: upper-case checksum") << int(UpperCaseChecksum) << int(UsbDriveWriter::VerifyFailed);
    QTest::newRow("-4: wrong checksum") << int(WrongChecksum) << int(UsbDriveWriter::VerifyFailed);
    QTest::newRow("-5: source missing") << int(SourceMissing) << int(UsbDriveWriter::SourceMissing);
    QTest::newRow("-6: old target cannot go") << int(TargetUndeletable) << int(UsbDriveWriter::DeleteFailed);
    QTest::newRow("-7: more than the drive holds") << int(NoRoomForSource) << int(UsbDriveWriter::NotEnoughSpace);
    QTest::newRow("-8: two files, one name") << int(SharedDestination) << int(UsbDriveWriter::DuplicateTarget);
}

void tst_UsbDriveWriter::outcomes()
{
    QFETCH(int, situation);
    QFETCH(int, result);

    UsbDriveFixture f;
    QVERIFY(f.isValid());
    FirmwareRelease release;
    release.updateViaUSB = 7;
    release.baseUSBFolderName = QStringLiteral("FW/PX");
    const QByteArray first = pattern(300000, 'a');
    const QByteArray second = pattern(5000, 'k');
    f.addUnpacked(release, QStringLiteral("main.bin"), first);
    f.addUnpacked(release, QStringLiteral("panel.pac"), second);
    QString root = f.drive;

    switch (Case(situation)) {
    case Success:
        break;
    case FolderBlockedByFile:
        QVERIFY(writeFile(f.drive + "/FW", "not a folder"));
        break;
    case NoSuchDrive:
        root = f.dir.filePath(QStringLiteral("unplugged"));
        break;
    case FolderBesideRoot:
        release.baseUSBFolderName = QStringLiteral("../beside");
        break;
    case SourceUnreadable:
        QVERIFY(QFile::remove(f.cache + "/panel.pac"));
        QVERIFY(QDir().mkpath(f.cache + "/panel.pac"));
        break;
    case UpperCaseChecksum:
        release.unpackedFileInfo[1].fileChecksum = release.unpackedFileInfo[1].fileChecksum.toUpper();
        break;
    case WrongChecksum:
        release.unpackedFileInfo[1].fileChecksum = UsbDriveFixture::md5("other");
        break;
    case SourceMissing:
        QVERIFY(QFile::remove(f.cache + "/panel.pac"));
        break;
    case TargetUndeletable:
        QVERIFY(writeFile(f.drive + "/FW/PX/panel.pac/inside.txt", "a folder in the file's place"));
        break;
    case NoRoomForSource: {
        // A sparse file larger than the free space: the check must refuse before copying a byte.
        QFile big(f.cache + "/panel.pac");
        QVERIFY(big.open(QIODevice::ReadWrite));
        QVERIFY(big.resize(QStorageInfo(f.drive).bytesAvailable() + (qint64(1) << 30)));
        break;
    }
    case SharedDestination:
        release.destinationUSBFileName = QStringLiteral("FWUPDATE.BIN");
        break;
    }

    UsbDriveWriter writer(3, f.cache, UsbCopyPlan::fromRelease(release));
    writer.setFlushToDevice(false);
    QSignalSpy status(&writer, &UsbDriveWriter::statusChanged);
    QCOMPARE(writer.write(root), result);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().at(0).toInt(), 3);
    QCOMPARE(status.first().at(1).toInt(), result);
    QVERIFY(!UsbDriveWriter::resultText(result).isEmpty());

    QCOMPARE(readFile(f.beside + "/keep.bin"), QByteArray("must survive"));
    if (result == UsbDriveWriter::Copied) {
        QCOMPARE(f.onDrive("FW/PX/main.bin"), first);
        QCOMPARE(f.onDrive("FW/PX/panel.pac"), second);
    }
    if (result == UsbDriveWriter::VerifyFailed || result == UsbDriveWriter::CopyFailed) {
        // A file that did not arrive whole must not be left for the display to try.
        QVERIFY(QFile::exists(f.drive + "/FW/PX/main.bin"));
        QVERIFY(!QFile::exists(f.drive + "/FW/PX/panel.pac") || situation == SourceUnreadable);
        QVERIFY(!QFileInfo(f.drive + "/FW/PX/panel.pac").isFile());
    }
}

void tst_UsbDriveWriter::catalogueAimedBesideTheRootDeletesNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("linkOnDrive");
    QTest::addColumn<int>("result");
    const int unsafe = UsbDriveWriter::UnsafeName;
    const int offDrive = UsbDriveWriter::TargetOffDrive;
    QTest::newRow("climbing name") << "../beside" << false << unsafe;
    QTest::newRow("climbing sub-folder") << "FW/../../beside" << false << unsafe;
    QTest::newRow("absolute name") << "" << false << unsafe;
    // A hostile stick: a plain folder name that is a link to a folder off the drive.
    QTest::newRow("link on the drive") << "FW" << true << offDrive;
    QTest::newRow("sub-folder of a link on the drive") << "FW/NEW" << true << offDrive;
}

void tst_UsbDriveWriter::catalogueAimedBesideTheRootDeletesNothing()
{
    QFETCH(QString, folder);
    QFETCH(bool, linkOnDrive);
    QFETCH(int, result);

    UsbDriveFixture f;
    QVERIFY(f.isValid());
    FirmwareRelease release;
    f.addUnpacked(release, QStringLiteral("main.bin"), "firmware");
    release.baseUSBFolderName = folder.isEmpty() ? f.beside : folder;
    if (linkOnDrive)
        QVERIFY(QFile::link(f.beside, f.drive + "/FW"));
    QVERIFY(writeFile(f.beside + "/main.bin", "beside, not ours"));
    QVERIFY(writeFile(f.drive + "/old.bin", "the stick's own firmware"));

    UsbDriveWriter writer(0, f.cache, UsbCopyPlan::fromRelease(release));
    writer.setFlushToDevice(false);
    QCOMPARE(writer.write(f.drive), result);
    // Refused before anything was deleted, on the drive as beside it.
    QCOMPARE(readFile(f.drive + "/old.bin"), QByteArray("the stick's own firmware"));
    QCOMPARE(readFile(f.beside + "/keep.bin"), QByteArray("must survive"));
    QCOMPARE(readFile(f.beside + "/main.bin"), QByteArray("beside, not ours"));
    QCOMPARE(QDir(f.beside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({ "keep.bin", "main.bin" }));
    QVERIFY(UsbDriveWriter::resultText(result).contains(QLatin1String("Nothing was")));
    if (linkOnDrive)
        QVERIFY(UsbDriveWriter::resultText(result).contains(QLatin1String("link to a place outside the drive")));
}

void tst_UsbDriveWriter::oldFirmwareGoesOtherFilesStay()
{
    UsbDriveFixture f;
    QVERIFY(f.isValid());
    FirmwareRelease release;
    f.addUnpacked(release, QStringLiteral("new.bin"), "new firmware");
    release.baseUSBFolderName = QStringLiteral("FW");
    for (const char *name : { "old.hex", "old.bin", "OLD.PAC", "x.jbc", "FW/older.img", "FW/sub/deep.bin", "notes.txt" })
        QVERIFY(writeFile(f.drive + '/' + QLatin1String(name), "old"));
    QVERIFY(writeFile(f.drive + "/FW/NOEXT", "no extension"));

    UsbDriveWriter writer(0, f.cache, UsbCopyPlan::fromRelease(release));
    writer.setFlushToDevice(false);
    QCOMPARE(writer.write(f.drive), int(UsbDriveWriter::Copied));

    QVERIFY(!QFile::exists(f.drive + "/old.hex"));
    QVERIFY(!QFile::exists(f.drive + "/old.bin"));
    QVERIFY(!QFile::exists(f.drive + "/x.jbc"));
    QVERIFY(!QFile::exists(f.drive + "/FW/older.img"));
    QCOMPARE(f.onDrive("notes.txt"), QByteArray("old"));
    QCOMPARE(f.onDrive("FW/sub/deep.bin"), QByteArray("old"));
    QCOMPARE(f.onDrive("FW/NOEXT"), QByteArray("no extension"));
    QCOMPARE(f.onDrive("FW/new.bin"), QByteArray("new firmware"));
    // The stick's FAT ignores case, and so does the display: "OLD.PAC" is old firmware too.
    QVERIFY(!QFile::exists(f.drive + "/OLD.PAC"));
}

void tst_UsbDriveWriter::packageCopiedUnderItsDriveName()
{
    UsbDriveFixture f;
    QVERIFY(f.isValid());
    const QByteArray data = pattern(int(UsbDriveWriter::BlockSize) * 3 + 17, 'p');
    FirmwareRelease release = f.packageRelease(QStringLiteral("PX-551_R1.402.bin"), data);
    release.destinationUSBFileName = QStringLiteral("FWUPDATE.BIN");

    UsbDriveWriter writer(0, f.cache, UsbCopyPlan::fromRelease(release));
    QCOMPARE(writer.write(f.drive), int(UsbDriveWriter::Copied));
    QCOMPARE(f.onDrive("FWUPDATE.BIN"), data);
    QVERIFY(!QFile::exists(f.drive + "/PX-551_R1.402.bin"));
}

void tst_UsbDriveWriter::progressCountsBlocksAndSteps()
{
    UsbDriveFixture f;
    QVERIFY(f.isValid());
    FirmwareRelease release;
    const int size = int(UsbDriveWriter::BlockSize) * 4;
    f.addUnpacked(release, QStringLiteral("a.bin"), pattern(size, 'a'));
    f.addUnpacked(release, QStringLiteral("b.bin"), pattern(size + 1, 'b'));

    UsbDriveWriter writer(7, f.cache, UsbCopyPlan::fromRelease(release));
    writer.setFlushToDevice(false);
    QSignalSpy progress(&writer, &UsbDriveWriter::progressChanged);
    QCOMPARE(writer.write(f.drive), int(UsbDriveWriter::Copied));

    QList<int> values;
    QStringList messages;
    for (const QList<QVariant> &signal : progress) {
        QCOMPARE(signal.at(0).toInt(), 7);
        QCOMPARE(signal.at(2).toInt(), 400);
        values << signal.at(1).toInt();
        if (messages.isEmpty() || messages.last() != signal.at(3).toString())
            messages << signal.at(3).toString();
    }
    // Copying a: start, four blocks; verifying a; copying b: start, five blocks; verifying b; done.
    const QList<int> expected = { 0, 25, 50, 75, 100, 100, 200, 224, 249, 274, 299, 300, 300, 400 };
    QCOMPARE(values, expected);
    QCOMPARE(messages, QStringList({ "Copying 'a.bin'", "Verifying 'a.bin'", "Copying 'b.bin'",
                                     "Verifying 'b.bin'", "Copied firmware file(s) to USB drive." }));
}

void tst_UsbDriveWriter::emptyFileCopies()
{
    UsbDriveFixture f;
    QVERIFY(f.isValid());
    FirmwareRelease release;
    f.addUnpacked(release, QStringLiteral("empty.bin"), QByteArray());
    QVERIFY(writeFile(f.drive + "/empty.bin", "stale"));

    UsbDriveWriter writer(0, f.cache, UsbCopyPlan::fromRelease(release));
    QSignalSpy progress(&writer, &UsbDriveWriter::progressChanged);
    QCOMPARE(writer.write(f.drive), int(UsbDriveWriter::Copied));
    QVERIFY(QFileInfo(f.drive + "/empty.bin").isFile());
    QCOMPARE(QFileInfo(f.drive + "/empty.bin").size(), qint64(0));
    QCOMPARE(progress.size(), 3); // copying, verifying, done: no block updates
}

void tst_UsbDriveWriter::realDeviceFailures_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("readOnlyAfterFolder");
    QTest::addColumn<int>("result");
    QTest::newRow("-7: full stick") << "size=256k" << false << int(UsbDriveWriter::NotEnoughSpace);
    QTest::newRow("-3: read-only stick") << "size=4m" << true << int(UsbDriveWriter::CopyFailed);
    QTest::newRow("1: no inode left for the folder") << "size=4m,nr_inodes=1" << false
                                                       << int(UsbDriveWriter::TargetFolderFailed);
}

void tst_UsbDriveWriter::realDeviceFailures()
{
    QFETCH(QString, options);
    QFETCH(bool, readOnlyAfterFolder);
    QFETCH(int, result);

    ScratchMount stick(options);
    if (!stick.isMounted())
        QSKIP("tmpfs cannot be mounted here (needs root)");
    UsbDriveFixture f;
    QVERIFY(f.isValid());
    FirmwareRelease release;
    f.addUnpacked(release, QStringLiteral("main.bin"), pattern(1024 * 1024, 'm'));
    release.baseUSBFolderName = QStringLiteral("FW");
    if (readOnlyAfterFolder) {
        QVERIFY(QDir().mkpath(stick.path() + "/FW"));
        QVERIFY(stick.remount(QStringLiteral("ro")));
    }

    UsbDriveWriter writer(0, f.cache, UsbCopyPlan::fromRelease(release));
    QCOMPARE(writer.write(stick.path()), result);
}

QTEST_GUILESS_MAIN(tst_UsbDriveWriter)
#include "tst_usbdrivewriter.moc"
