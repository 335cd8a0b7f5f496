#include "common/MountedVolumes.h"
#include "common/TestFiles.h"
#include "platform/FatVolumeType.h"
#include "platform/SystemRemovableDriveList.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

using TestFiles::readFile;
using TestFiles::writeFile;

class tst_FatVolumeType : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // A FAT image made by mkfs.vfat, as a stick formatted on any system would be.
    QString image(const QString &name, const QStringList &options, int kilobytes)
    {
        const QString path = dir.filePath(name);
        QProcess mkfs;
        mkfs.start(QStringLiteral("mkfs.vfat"), options + QStringList { QStringLiteral("-C"), path, QString::number(kilobytes) });
        if (!mkfs.waitForFinished(30000) || mkfs.exitCode() != 0)
            return {};
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
    }

    void bootSectorOfRealImages_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("kilobytes");
        QTest::addColumn<QString>("type");
        QTest::newRow("small stick") << QStringList {} << 2048 << "FAT12";
        QTest::newRow("FAT16") << QStringList { "-F", "16" } << 32768 << "FAT16";
        QTest::newRow("FAT32") << QStringList { "-F", "32", "-s", "1" } << 40000 << "FAT32";
        // Sizes count in sectors: 4 kB sectors must not be read as 512-byte ones.
        QTest::newRow("FAT16 with 4 kB sectors") << QStringList { "-F", "16", "-S", "4096" } << 65536 << "FAT16";
    }

    void bootSectorOfRealImages()
    {
        QFETCH(QStringList, options);
        QFETCH(int, kilobytes);
        QFETCH(QString, type);
        if (QStandardPaths::findExecutable(QStringLiteral("mkfs.vfat")).isEmpty()
            && !QFileInfo::exists(QStringLiteral("/usr/sbin/mkfs.vfat")))
            QSKIP("mkfs.vfat (dosfstools) is not installed");
        const QString path = image(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".img", options, kilobytes);
        QVERIFY(!path.isEmpty());
        QCOMPARE(FatVolumeType::fromBootSector(readFile(path).left(512)), type);
        // The same answer through the device path, with no udev record to read.
        QCOMPARE(FatVolumeType::forDevice(path, dir.filePath("no-sys"), dir.filePath("no-udev")), type);
    }

    void hostileBootSectors_data()
    {
        QTest::addColumn<QByteArray>("sector");
        QByteArray fat(512, '\0');
        fat[510] = char(0x55);
        fat[511] = char(0xAA);
        QByteArray sound = fat;
        sound[11] = 0x00; sound[12] = 0x02; // 512 bytes a sector
        sound[13] = 4;                      // sectors a cluster
        sound[14] = 1;                      // reserved
        sound[16] = 2;                      // FATs
        sound[17] = 0x00; sound[18] = 0x02; // 512 root entries
        sound[19] = 0x00; sound[20] = 0x50; // 20480 sectors
        sound[22] = 20;                     // FAT size

        QTest::newRow("short") << sound.left(100);
        QTest::newRow("no signature") << QByteArray(sound).replace(510, 2, "xx");
        QTest::newRow("zero sector size") << QByteArray(sound).replace(11, 2, QByteArray(2, '\0'));
        QTest::newRow("odd sector size") << QByteArray(sound).replace(11, 2, QByteArray("\x01\x02", 2));
        QTest::newRow("zero cluster size") << QByteArray(sound).replace(13, 1, QByteArray(1, '\0'));
        QTest::newRow("three sectors a cluster") << QByteArray(sound).replace(13, 1, QByteArray(1, '\3'));
        QTest::newRow("no FAT") << QByteArray(sound).replace(16, 1, QByteArray(1, '\0'));
        QTest::newRow("FATs larger than the volume") << QByteArray(sound).replace(22, 2, QByteArray("\xff\xff", 2));
        QTest::newRow("exFAT") << QByteArray(sound).replace(3, 8, "EXFAT   ");
        QTest::newRow("NTFS") << QByteArray(sound).replace(3, 8, "NTFS    ");
        QTest::newRow("all ones") << QByteArray(510, '\xff') + QByteArray("\x55\xAA", 2);
    }

    void hostileBootSectors()
    {
        QFETCH(QByteArray, sector);
        QCOMPARE(FatVolumeType::fromBootSector(sector), QString());
    }

    void udevRecordFirst()
    {
        // sysfs gives the device numbers, udev's data file for them the FAT type it probed.
        const QString device = dir.filePath("sdz1");
        QVERIFY(writeFile(device, QByteArray(512, '\0')));
        QVERIFY(writeFile(dir.filePath("sys/sdz1/dev"), "8:161\n"));
        QVERIFY(writeFile(dir.filePath("udev/b8:161"), "S:disk/by-label/STICK\nE:ID_FS_TYPE=vfat\nE:ID_FS_VERSION=FAT32\n"));
        QCOMPARE(FatVolumeType::forDevice(device, dir.filePath("sys"), dir.filePath("udev")), QStringLiteral("FAT32"));

        QCOMPARE(FatVolumeType::fromUdevData("E:ID_FS_VERSION=fat16"), QStringLiteral("FAT16"));
        QCOMPARE(FatVolumeType::fromUdevData("E:ID_FS_VERSION=1.0\nE:ID_FS_TYPE=exfat"), QString());
        QCOMPARE(FatVolumeType::fromUdevData(QByteArray(100000, '\n')), QString());
    }

    void systemVolumeNamedAsWindowsWould()
    {
        SKIP_WITHOUT_MOUNTED_VOLUMES();
        // This machine's own root volume: never FAT, and described with its size.
        const RemovableDrive drive = SystemRemovableDriveList::describe(QStorageInfo::root());
        QCOMPARE(drive.rootPath, QStorageInfo::root().rootPath());
        QVERIFY(drive.bytesTotal > 0);
        QVERIFY(drive.fileSystemType.compare(QLatin1String("vfat"), Qt::CaseInsensitive) != 0);
        // Whatever the machine has mounted, a listed drive is a removable one.
        for (const RemovableDrive &d : SystemRemovableDriveList().drives())
            QVERIFY(!d.rootPath.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_FatVolumeType)
#include "tst_fatvolumetype.moc"
