#include "common/TestFiles.h"
#include "download/FileChecksum.h"
#include "maintenance/FileHashListing.h"
#include "maintenance/FirmwareCache.h"
#include "maintenance/ReadmeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::writeFile;
using TestFiles::readFile;

// A cache folder as the downloads leave it, with a few things that are not firmware.
void fillCache(const QDir &dir)
{
    for (const char *name : { "pkg.zip", "main.pac", "fw1.hex", "FW2.HEX", "cpld.jbc", "boot.bin",
                              "pd_firmware_releases.json", "notes.txt", "pkg.zip.bak" }) {
        QVERIFY(writeFile(dir.filePath(name), QByteArray(name)));
    }
    QVERIFY(dir.mkpath("old.zip"));
    QVERIFY(writeFile(dir.filePath("old.zip/inner.bin"), "inner"));
}

} // namespace

class tst_FirmwareCache : public QObject
{
    Q_OBJECT

private slots:
    void clearRemovesOnlyFirmwareFiles();
    void clearAlsoRemovesUnfinishedWrites();
    void clearKeepsFilesInUse_data();
    void clearKeepsFilesInUse();
    void clearWithoutAFolderTouchesNothing_data();
    void clearWithoutAFolderTouchesNothing();
    void hashListingOrderAndValues();
    void hashListingEscapesNames();
    void hashListingOfLargeFile();
    void hashListingWithoutFiles();
    void readmeUrl();
    void readmeMissingIsReported();
    void readmeLiesBesideTheProgram();
};

void tst_FirmwareCache::clearRemovesOnlyFirmwareFiles()
{
    QTemporaryDir temp;
    const QDir dir(temp.path());
    fillCache(dir);

    QCOMPARE(FirmwareCache::firmwareFiles(dir.path()),
             (QStringList { "FW2.HEX", "boot.bin", "cpld.jbc", "fw1.hex", "main.pac", "pkg.zip" }));
    QCOMPARE(FirmwareCache::clearFirmwareFiles(dir.path()), 6);
    QCOMPARE(FirmwareCache::clearedText(6), QString("Files cleared"));

    QStringList left = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QCOMPARE(left, (QStringList { "notes.txt", "old.zip", "pd_firmware_releases.json", "pkg.zip.bak" }));
    QVERIFY(QFile::exists(dir.filePath("old.zip/inner.bin")));

    QCOMPARE(FirmwareCache::clearFirmwareFiles(dir.path()), 0);
    QCOMPARE(FirmwareCache::clearedText(0), QString("No Files to clear"));
}

// A download, an unpack or a catalogue write that a hard stop cut short leaves a temporary file;
// clearing the cache takes those too, and still keeps the catalogue.
void tst_FirmwareCache::clearAlsoRemovesUnfinishedWrites()
{
    QTemporaryDir temp;
    const QDir dir(temp.path());
    for (const char *name : { "pkg.zip", "pkg.zip.AbCdEf", "main.bin.x1Y2z3", "pd_firmware_releases.json",
                              "pd_firmware_releases.json.QwErTy" }) {
        QVERIFY(writeFile(dir.filePath(name), QByteArray(name)));
    }
    QCOMPARE(FirmwareCache::clearFirmwareFiles(dir.path()), 4);
    QCOMPARE(dir.entryList(QDir::Files), QStringList { "pd_firmware_releases.json" });
}

// A download writing "pkg.zip" under a temporary name, or a session about to read "main.bin",
// keeps its file: the clearing takes only what no running job owns.
void tst_FirmwareCache::clearKeepsFilesInUse_data()
{
    QTest::addColumn<QStringList>("inUse");
    QTest::addColumn<int>("found");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("nothing running") << QStringList() << 5 << QStringList { "pd_firmware_releases.json" };
    QTest::newRow("a download writing its package") << QStringList { "pkg.zip" } << 3
                                                    << QStringList { "pd_firmware_releases.json", "pkg.zip",
                                                                     "pkg.zip.AbCdEf" };
    QTest::newRow("a session reading its files") << QStringList { "main.bin", "PANEL.PAC" } << 2
                                                 << QStringList { "main.bin", "main.bin.x1Y2z3", "panel.pac",
                                                                  "pd_firmware_releases.json" };
    QTest::newRow("a name that is not there") << QStringList { "other.zip" } << 5
                                              << QStringList { "pd_firmware_releases.json" };
}

void tst_FirmwareCache::clearKeepsFilesInUse()
{
    QFETCH(QStringList, inUse);
    QFETCH(int, found);
    QFETCH(QStringList, left);
    QTemporaryDir temp;
    const QDir dir(temp.path());
    for (const char *name : { "pkg.zip", "pkg.zip.AbCdEf", "main.bin", "main.bin.x1Y2z3", "panel.pac",
                              "pd_firmware_releases.json" }) {
        QVERIFY(writeFile(dir.filePath(name), QByteArray(name)));
    }
    QCOMPARE(FirmwareCache::clearFirmwareFiles(dir.path(), inUse), found);
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name), left);
}

void tst_FirmwareCache::clearWithoutAFolderTouchesNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("empty path") << QString();
    QTest::newRow("missing folder") << QStringLiteral("does-not-exist");
}

// An empty cache path (no writable data location) must not mean "the current folder".
void tst_FirmwareCache::clearWithoutAFolderTouchesNothing()
{
    QFETCH(QString, folder);
    QTemporaryDir temp;
    QVERIFY(writeFile(temp.filePath("bystander.zip"), "keep me"));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(temp.path()));

    const int found = FirmwareCache::clearFirmwareFiles(folder);
    const QString listing = FileHashListing::html(folder);
    QDir::setCurrent(previous);

    QCOMPARE(found, 0);
    QVERIFY(listing.isEmpty());
    // Nothing to show: the caller explains instead of opening some other folder.
    QVERIFY(!FirmwareCache::showFolder(folder));
    QVERIFY(QFile::exists(temp.filePath("bystander.zip")));
}

void tst_FirmwareCache::hashListingOrderAndValues()
{
    QTemporaryDir temp;
    const QDir dir(temp.path());
    QVERIFY(writeFile(dir.filePath("b.bin"), "abc"));
    QVERIFY(writeFile(dir.filePath("j.jbc"), ""));
    QVERIFY(writeFile(dir.filePath("h.hex"), "abc"));
    QVERIFY(writeFile(dir.filePath("p.pac"), "abc"));
    QVERIFY(writeFile(dir.filePath("z.zip"), "The quick brown fox jumps over the lazy dog"));
    QVERIFY(writeFile(dir.filePath("pd_firmware_releases.json"), "{}"));

    const QString abc = "900150983cd24fb0d6963f7d28e17f72";
    QCOMPARE(FileHashListing::html(dir.path()),
             "file: <b>z.zip</b> fileChecksum=<b>9e107d9d372bb6826bd81d3542a419d6</b> size=<b>43</b><br>"
             "file: <b>p.pac</b> fileChecksum=<b>" + abc + "</b> size=<b>3</b><br>"
             "file: <b>h.hex</b> fileChecksum=<b>" + abc + "</b> size=<b>3</b><br>"
             "file: <b>j.jbc</b> fileChecksum=<b>d41d8cd98f00b204e9800998ecf8427e</b> size=<b>0</b><br>"
             "file: <b>b.bin</b> fileChecksum=<b>" + abc + "</b> size=<b>3</b><br>");
}

void tst_FirmwareCache::hashListingEscapesNames()
{
    QTemporaryDir temp;
    const QString name = "<img src=\"x\">&.zip";
    QVERIFY(writeFile(QDir(temp.path()).filePath(name), "abc"));
    const QString listing = FileHashListing::html(temp.path());
    QVERIFY(!listing.contains("<img"));
    QVERIFY(listing.startsWith("file: <b>&lt;img src=&quot;x&quot;&gt;&amp;.zip</b>"));
}

void tst_FirmwareCache::hashListingOfLargeFile()
{
    QTemporaryDir temp;
    QByteArray data(5 * 1024 * 1024 + 17, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : data)
        byte = char(generator.bounded(256));
    const QString path = QDir(temp.path()).filePath("big.zip");
    QVERIFY(writeFile(path, data));
    QCOMPARE(FileChecksum::md5Hex(path), QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex()));
    QVERIFY(FileHashListing::html(temp.path()).contains(QStringLiteral("size=<b>%1</b>").arg(data.size())));
    QVERIFY(FileChecksum::md5Hex(QDir(temp.path()).filePath("absent.zip")).isEmpty());
}

void tst_FirmwareCache::hashListingWithoutFiles()
{
    QTemporaryDir temp;
    QVERIFY(writeFile(QDir(temp.path()).filePath("pd_firmware_releases.json"), "{}"));
    QVERIFY(FileHashListing::html(temp.path()).isEmpty());
    QVERIFY(FileHashListing::html(QDir(temp.path()).filePath("missing")).isEmpty());
}

void tst_FirmwareCache::readmeUrl()
{
    QCOMPARE(ReadmeFile::fileName(), QString("ReadMe.html"));
    const QUrl url = ReadmeFile::url("/opt/quillon");
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.toString(), QString("file:///opt/quillon/ReadMe.html"));
    QCOMPARE(ReadmeFile::url("/opt/quillon/").toLocalFile(), QString("/opt/quillon/ReadMe.html"));
}

void tst_FirmwareCache::readmeMissingIsReported()
{
    QTemporaryDir temp;
    QCOMPARE(ReadmeFile::open(temp.path()), Platform::OpenResult::MissingFile);
    QCOMPARE(ReadmeFile::unableToOpenText(), QString("Unable to open README file."));
    // A README that is there but has nothing to open it is not called unopenable: the
    // technician is told what is missing and where the file is.
    QCOMPARE(ReadmeFile::failureText(Platform::OpenResult::MissingFile, "/opt/quillon"),
             QString("Unable to open README file.\n/opt/quillon/ReadMe.html"));
    const QString noProgram = ReadmeFile::failureText(Platform::OpenResult::NoProgram, "/opt/quillon");
    QVERIFY2(noProgram.startsWith("There is no program to open the README file") && noProgram.endsWith("\n/opt/quillon/ReadMe.html")
                     && !noProgram.contains("Unable to open"),
             qPrintable(noProgram));
}

void tst_FirmwareCache::readmeLiesBesideTheProgram()
{
    const QByteArray source = readFile(QStringLiteral(QUILLON_SOURCE_DIR) + "/resources/ReadMe.html");
    QVERIFY(source.size() > 1000);
    QCOMPARE(readFile(QStringLiteral(QUILLON_BINARY_DIR) + "/src/app/" + ReadmeFile::fileName()), source);
    // It is read offline, on a PC that may have no Internet connection.
    QVERIFY(!source.contains("src=\"http"));
    QVERIFY(!source.contains("<script"));
}

QTEST_GUILESS_MAIN(tst_FirmwareCache)
#include "tst_firmwarecache.moc"
