#include "common/TestFiles.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <thread>

#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

using TestFiles::writeFile;

#if defined(__GLIBC__) || defined(Q_OS_LINUX)
long minorFaultsOfThisThread()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}
#endif
}

class tst_Platform : public QObject
{
    Q_OBJECT

    QTemporaryDir sys;

private slots:
    void initTestCase()
    {
        // A small copy of sysfs: /sys/class/block entries are links into the device tree, a
        // partition has a "partition" file and its disk's folder holds "removable".
        QVERIFY(sys.isValid());
        const QString devices = sys.filePath(QStringLiteral("devices"));
        QVERIFY(writeFile(devices + "/usb/block/sdb/removable", "1\n"));
        QVERIFY(writeFile(devices + "/usb/block/sdb/sdb1/partition", "1\n"));
        QVERIFY(writeFile(devices + "/ata/block/sda/removable", "0\n"));
        QVERIFY(writeFile(devices + "/ata/block/sda/sda2/partition", "2\n"));
        QVERIFY(writeFile(devices + "/mmc/block/mmcblk0/removable", "garbage"));
        QVERIFY(QDir().mkpath(devices + "/virtual/block/loop3"));
        const QString classBlock = sys.filePath(QStringLiteral("class/block"));
        QVERIFY(QDir().mkpath(classBlock));
        const QStringList links = { "usb/block/sdb", "usb/block/sdb/sdb1", "ata/block/sda",
                                    "ata/block/sda/sda2", "mmc/block/mmcblk0", "virtual/block/loop3" };
        for (const QString &l : links)
            QVERIFY(QFile::link(devices + '/' + l, classBlock + '/' + QFileInfo(l).fileName()));
    }

    void removableFlag_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("removable");
        QTest::newRow("usb disk") << "sdb" << true;
        QTest::newRow("usb partition answers for its disk") << "sdb1" << true;
        QTest::newRow("fixed disk") << "sda" << false;
        QTest::newRow("fixed partition") << "sda2" << false;
        QTest::newRow("unreadable flag") << "mmcblk0" << false;
        QTest::newRow("no flag file") << "loop3" << false;
        QTest::newRow("unknown device") << "sdz9" << false;
        QTest::newRow("empty name") << "" << false;
        QTest::newRow("path climbing") << "../../devices/usb/block/sdb" << false;
        QTest::newRow("dot-dot") << ".." << false;
    }

    void removableFlag()
    {
        QFETCH(QString, device);
        QFETCH(bool, removable);
        QCOMPARE(Platform::isRemovableBlockDevice(device, sys.filePath(QStringLiteral("class/block"))), removable);
    }

    void nonBlockVolumesAreNotRemovable()
    {
        QVERIFY(!Platform::isRemovableDrive(QStringLiteral("/proc")));
        QVERIFY(!Platform::isRemovableDrive(QStringLiteral("/no/such/volume")));
        QVERIFY(!Platform::isRemovableDrive(QString()));
    }

    void fileManagerOpensTheFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expectedRelative");
        QTest::newRow("folder") << "cache" << "cache";
        QTest::newRow("file opens its folder") << "cache/pkg.zip" << "cache";
    }

    void fileManagerOpensTheFolder()
    {
        QFETCH(QString, relative);
        QFETCH(QString, expectedRelative);

        // A stand-in for the desktop's xdg-open that records what it was asked to open.
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString record = bin.filePath(QStringLiteral("opened.txt"));
        const QString script = bin.filePath(QStringLiteral("xdg-open"));
        QVERIFY(writeFile(script, QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                                      .arg(record).toUtf8()));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QDir().mkpath(bin.filePath("cache")));
        QVERIFY(writeFile(bin.filePath("cache/pkg.zip"), "zip"));

        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + oldPath);
        const bool started = Platform::showInFileManager(bin.filePath(relative));
        qputenv("PATH", oldPath);
        QVERIFY(started);

        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile f(record);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), bin.filePath(expectedRelative));
    }

    // Whether a file can be shown: the file must be there, and so must a program that opens it.
    void openDocument_data()
    {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("openerThere");
        QTest::addColumn<int>("result");
        QTest::newRow("file and opener") << true << true << int(Platform::OpenResult::Opened);
        QTest::newRow("no opener on PATH") << true << false << int(Platform::OpenResult::NoProgram);
        QTest::newRow("no file") << false << true << int(Platform::OpenResult::MissingFile);
        QTest::newRow("neither") << false << false << int(Platform::OpenResult::MissingFile);
    }

    void openDocument()
    {
        QFETCH(bool, fileThere);
        QFETCH(bool, openerThere);
        QFETCH(int, result);

        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString record = bin.filePath(QStringLiteral("opened.txt"));
        if (openerThere) {
            const QString script = bin.filePath(QStringLiteral("xdg-open"));
            QVERIFY(writeFile(script, QStringLiteral("#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s' \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                                          .arg(record).toUtf8()));
            QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        const QString readme = bin.filePath(QStringLiteral("ReadMe.html"));
        if (fileThere)
            QVERIFY(writeFile(readme, "<html></html>"));

        // Only this folder on PATH: the machine's own xdg-open, if any, stays out of reach.
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        const Platform::OpenResult opened = Platform::openDocument(readme);
        qputenv("PATH", oldPath);
        QCOMPARE(int(opened), result);
        if (opened == Platform::OpenResult::Opened) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
            QFile f(record);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(f.readAll()), readme);
        } else {
            QTest::qWait(200);
            QVERIFY(!QFile::exists(record));
        }
    }

    // Only a hint, but a hint that must leave the file's bytes alone and refuse what is not open.
    void writeBackLeavesTheFileIntact()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(QStringLiteral("package.bin")));
        QVERIFY(!Platform::startWriteBack(file, 0, 4096));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray bytes(3 * 65536 + 17, 'q');
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
#ifdef Q_OS_LINUX
        QVERIFY(Platform::startWriteBack(file, 0, bytes.size()));
#endif
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }

#ifdef __GLIBC__
    // The pattern of a download: a thread fills blocks of a megabyte, another frees them, and
    // the memory in use swings by several megabytes. Kept for reuse, the blocks stop costing
    // page faults once the first round has touched them; handed back to the system, every round
    // faults them all in again (about 2,000 faults per round here).
    void freedMemoryIsReusedWithoutFaults()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer brings an allocator of its own");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
        QSKIP("the sanitizer brings an allocator of its own");
#endif
#endif
        Platform::keepFreedMemoryForReuse();
        constexpr int Blocks = 8;
        constexpr int BlockSize = 1024 * 1024;
        long faultsAfterFirstRound = -1;
        std::thread producer([&] {
            long start = 0;
            for (int round = 0; round < 30; ++round) {
                if (round == 1)
                    start = minorFaultsOfThisThread();
                QList<QByteArray> inFlight;
                for (int i = 0; i < Blocks; ++i) {
                    QByteArray block(BlockSize, Qt::Uninitialized);
                    for (int offset = 0; offset < BlockSize; offset += 4096)
                        block[offset] = char(round);
                    inFlight << block;
                }
                // Let go on another thread, as the hashing lane does.
                std::thread([list = std::move(inFlight)]() mutable { list.clear(); }).join();
            }
            faultsAfterFirstRound = minorFaultsOfThisThread() - start;
        });
        producer.join();
        QVERIFY2(faultsAfterFirstRound < 2000, qPrintable(QString::number(faultsAfterFirstRound)));
    }
#endif

    void largeBlockIsAlignedZeroedAndWritable()
    {
        constexpr qsizetype Size = 2 * 1024 * 1024;
        QVERIFY(!Platform::allocateLargeBlock(0));
        for (int round = 0; round < 3; ++round) {
            auto *block = static_cast<unsigned char *>(Platform::allocateLargeBlock(Size));
            QVERIFY(block);
#ifndef Q_OS_WIN
            QCOMPARE(reinterpret_cast<quintptr>(block) % Platform::LargeBlockAlignment, quintptr(0));
#endif
            QVERIFY(std::all_of(block, block + Size, [](unsigned char byte) { return byte == 0; }));
            std::fill(block, block + Size, static_cast<unsigned char>(0xA5 + round));
            QCOMPARE(block[0], block[Size - 1]);
            Platform::releaseLargeBlock(block, Size);
        }
        Platform::releaseLargeBlock(nullptr, Size); // nothing to do, and no crash
    }

#ifdef Q_OS_LINUX
    // Where the system offers large pages for the asking, a fresh block costs one page fault
    // instead of 512: the point of taking its memory this way.
    void largeBlockFaultsInAtOnceWhereLargePagesAreOffered()
    {
        QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
        if (!setting.open(QIODevice::ReadOnly) || setting.readAll().contains("[never]"))
            QSKIP("this system offers no large pages");
        constexpr qsizetype Size = 2 * 1024 * 1024;
        long faults = 0;
        for (int round = 0; round < 4; ++round) {
            auto *block = static_cast<char *>(Platform::allocateLargeBlock(Size));
            QVERIFY(block);
            const long before = minorFaultsOfThisThread();
            for (qsizetype offset = 0; offset < Size; offset += 4096)
                block[offset] = 1;
            faults += minorFaultsOfThisThread() - before;
            Platform::releaseLargeBlock(block, Size);
        }
        // 2,048 with small pages; a few more than 4 still pass, should the system fall back once.
        QVERIFY2(faults < 600, qPrintable(QString::number(faults)));
    }
#endif

    void syncFileDataSaysWhetherTheDeviceConfirmed()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath(QStringLiteral("package.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(file.write("package"), qint64(7));
        QVERIFY(Platform::syncFileData(file.handle()));
        QVERIFY(!Platform::syncFileData(-1));
#ifndef Q_OS_WIN
        // A pipe has no device to confirm anything.
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        QVERIFY(!Platform::syncFileData(ends[1]));
        ::close(ends[0]);
        ::close(ends[1]);
#endif
    }
};

QTEST_GUILESS_MAIN(tst_Platform)
#include "tst_platform.moc"
