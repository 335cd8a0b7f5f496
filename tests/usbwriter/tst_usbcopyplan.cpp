#include "usbwriter/UsbCopyPlan.h"

#include <QtTest>

class tst_UsbCopyPlan : public QObject
{
    Q_OBJECT

private slots:
    void catalogueNames_data();
    void catalogueNames();
    void packageWithoutUnpackedFiles();
    void filesKeepTheirNamesWithoutDestination();
};

namespace {

FirmwareRelease twoFiles()
{
    FirmwareRelease release;
    release.unpackedFileInfo = { { QStringLiteral("main.bin"), 10, QString() },
                                 { QStringLiteral("sub.pac"), 20, QString() } };
    return release;
}

} // namespace

void tst_UsbCopyPlan::catalogueNames_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<bool>("singleFile");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("targetFolder");

    const int ready = UsbCopyPlan::Ready;
    const int unsafe = UsbCopyPlan::UnsafeName;
    const int duplicate = UsbCopyPlan::DuplicateTarget;
    QTest::newRow("root") << "" << "" << false << ready << "";
    QTest::newRow("folder") << "FW" << "" << false << ready << "FW";
    QTest::newRow("sub-folders") << "FW/PX/NEW" << "" << false << ready << "FW/PX/NEW";
    QTest::newRow("backslash sub-folders") << "FW\\PX" << "" << false << ready << "FW/PX";
    QTest::newRow("renamed single file") << "FW" << "UPDATE.BIN" << true << ready << "FW";

    QTest::newRow("parent") << ".." << "" << false << unsafe << "";
    QTest::newRow("beside the root") << "../beside" << "" << false << unsafe << "";
    QTest::newRow("climbs back out") << "FW/../../beside" << "" << false << unsafe << "";
    QTest::newRow("backslash climb") << "FW\\..\\.." << "" << false << unsafe << "";
    QTest::newRow("dot") << "." << "" << false << unsafe << "";
    QTest::newRow("absolute") << "/etc" << "" << false << unsafe << "";
    QTest::newRow("absolute backslash") << "\\Windows" << "" << false << unsafe << "";
    QTest::newRow("drive letter") << "C:/FW" << "" << false << unsafe << "";
    QTest::newRow("drive relative") << "C:FW" << "" << false << unsafe << "";
    QTest::newRow("unc") << "//server/share" << "" << false << unsafe << "";
    QTest::newRow("empty part") << "FW//PX" << "" << false << unsafe << "";
    QTest::newRow("trailing separator") << "FW/" << "" << false << unsafe << "";
    QTest::newRow("device name") << "FW/NUL" << "" << false << unsafe << "";
    QTest::newRow("control character") << QStringLiteral("FW\n") << "" << false << unsafe << "";
    QTest::newRow("overlong") << QString(201, QLatin1Char('F')) << "" << false << unsafe << "";

    QTest::newRow("destination climbs") << "FW" << "../x.bin" << true << unsafe << "";
    QTest::newRow("destination in a folder") << "FW" << "a/x.bin" << true << unsafe << "";
    QTest::newRow("destination absolute") << "" << "/etc/passwd" << true << unsafe << "";
    QTest::newRow("destination drive") << "" << "C:x.bin" << true << unsafe << "";
    QTest::newRow("destination dot dot") << "" << ".." << true << unsafe << "";

    // Two files with one destination name: the second would overwrite the first and the
    // stick would hold only the last one while the copy reported success.
    QTest::newRow("shared destination") << "FW" << "UPDATE.BIN" << false << duplicate << "FW";
}

void tst_UsbCopyPlan::catalogueNames()
{
    QFETCH(QString, folder);
    QFETCH(QString, destination);
    QFETCH(bool, singleFile);
    QFETCH(int, status);
    QFETCH(QString, targetFolder);

    FirmwareRelease release = twoFiles();
    if (singleFile)
        release.unpackedFileInfo.removeLast();
    release.baseUSBFolderName = folder;
    release.destinationUSBFileName = destination;
    const UsbCopyPlan plan = UsbCopyPlan::fromRelease(release);
    QCOMPARE(plan.status(), status);
    if (status != UsbCopyPlan::UnsafeName)
        QCOMPARE(plan.targetFolder(), targetFolder);
}

void tst_UsbCopyPlan::packageWithoutUnpackedFiles()
{
    FirmwareRelease release;
    release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/PX-551_R1.402.bin");
    release.fileSize = 1234;
    release.fileChecksum = QStringLiteral("0123456789abcdef0123456789abcdef");
    release.destinationUSBFileName = QStringLiteral("FWUPDATE.BIN");
    const UsbCopyPlan plan = UsbCopyPlan::fromRelease(release);
    QCOMPARE(plan.status(), int(UsbCopyPlan::Ready));
    QCOMPARE(plan.items().size(), 1);
    QCOMPARE(plan.items().first().sourceName, QStringLiteral("PX-551_R1.402.bin"));
    QCOMPARE(plan.items().first().targetName, QStringLiteral("FWUPDATE.BIN"));
    QCOMPARE(plan.items().first().fileChecksum, release.fileChecksum);
    QCOMPARE(plan.listedBytes(), qint64(1234));

    // A download location without a file part names nothing that could be copied.
    release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/");
    QCOMPARE(UsbCopyPlan::fromRelease(release).status(), int(UsbCopyPlan::UnsafeName));
    // Nor may the cache name of an unpacked file leave the cache folder.
    release.unpackedFileInfo = { { QStringLiteral("../../etc/passwd"), 1, QString() } };
    QCOMPARE(UsbCopyPlan::fromRelease(release).status(), int(UsbCopyPlan::UnsafeName));
}

void tst_UsbCopyPlan::filesKeepTheirNamesWithoutDestination()
{
    FirmwareRelease release = twoFiles();
    const UsbCopyPlan plan = UsbCopyPlan::fromRelease(release);
    QCOMPARE(plan.items().at(0).targetName, QStringLiteral("main.bin"));
    QCOMPARE(plan.items().at(1).targetName, QStringLiteral("sub.pac"));
    QCOMPARE(plan.listedBytes(), qint64(30));

    // FAT and NTFS do not tell these two apart.
    release.unpackedFileInfo[1].fileName = QStringLiteral("MAIN.BIN");
    QCOMPARE(UsbCopyPlan::fromRelease(release).status(), int(UsbCopyPlan::DuplicateTarget));
}

QTEST_GUILESS_MAIN(tst_UsbCopyPlan)
#include "tst_usbcopyplan.moc"
