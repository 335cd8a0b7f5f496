#include "common/TestFiles.h"
#include "download/DownloadExtractFirmware.h"
#include "common/ServedCache.h"
#include "fwserver/FwServer.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::writeFile;
using TestFiles::readFile;

struct Member
{
    QString name;
    QByteArray data;
    bool link = false; // stored as a symbolic link whose target is data
};

QByteArray payload(const QString &name, int size = 50000)
{
    QByteArray data;
    data.reserve(size);
    const QByteArray seed = name.toUtf8();
    while (data.size() < size)
        data += QCryptographicHash::hash(seed + QByteArray::number(data.size()), QCryptographicHash::Sha256);
    data.truncate(size);
    return data;
}

QString md5Hex(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

bool makeZip(const QString &path, const QList<Member> &members)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const Member &member : members) {
        QuaZipFile file(&zip);
        QuaZipNewInfo info(member.name);
        info.externalAttr = (member.link ? 0120777u : 0100644u) << 16;
        if (!file.open(QIODevice::WriteOnly, info) || file.write(member.data) != member.data.size())
            return false;
        file.close();
        if (file.getZipError() != 0)
            return false;
    }
    zip.close();
    return zip.getZipError() == 0;
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

class tst_DownloadExtractFirmware : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void downloadErrorText_data();
    void downloadErrorText();

    void cachedFirmwareNeedsNoTraffic_data();
    void cachedFirmwareNeedsNoTraffic();
    void missingFileIsUnpackedAgain_data();
    void missingFileIsUnpackedAgain();
    void wrongPackageChecksumDownloadsAgain_data();
    void wrongPackageChecksumDownloadsAgain();
    void failures_data();
    void failures();
    void cancelRemovesPartialPackage();
    void cutOffPackageWithoutChecksumIsNeverKept_data();
    void cutOffPackageWithoutChecksumIsNeverKept();

    void packageThatIsTheFirmwareStays_data();
    void packageThatIsTheFirmwareStays();

    void hostileNamesAreRefused_data();
    void hostileNamesAreRefused();
    void archiveMemberCannotLeaveTheCache_data();
    void archiveMemberCannotLeaveTheCache();

private:
    // A zip package on the server (and optionally a copy in the cache) with its release.
    FirmwareRelease zipRelease(const QString &package, const QList<Member> &members);
    FirmwareRelease plainRelease(const QString &package, const QByteArray &data);
    int run(DownloadExtractFirmware &job);
    QString cached(const QString &name) const { return m_served.cache + QLatin1Char('/') + name; }
    QString served(const QString &name) const { return m_served.serverRoot + QLatin1Char('/') + name; }
    int traffic() const { return m_served.server->connectionCount() - m_connectionsBefore; }

    ServedCache m_served;
    int m_connectionsBefore = 0;
};

void tst_DownloadExtractFirmware::initTestCase()
{
    QVERIFY(m_served.start(this));
}

void tst_DownloadExtractFirmware::init()
{
    QVERIFY(m_served.reset());
    m_connectionsBefore = m_served.server->connectionCount();
}

FirmwareRelease tst_DownloadExtractFirmware::zipRelease(const QString &package, const QList<Member> &members)
{
    FirmwareRelease release;
    release.version = QStringLiteral("R1.234");
    release.downloadLoc = m_served.server->url(package).toString();
    if (!makeZip(served(package), members))
        qFatal("cannot build the test archive");
    const QByteArray zip = readFile(served(package));
    release.fileChecksum = md5Hex(zip);
    release.fileSize = zip.size();
    for (const Member &member : members) {
        UnpackedFileEntry entry;
        entry.fileName = member.name;
        entry.fileSize = member.data.size();
        entry.fileChecksum = md5Hex(member.data);
        release.unpackedFileInfo.append(entry);
    }
    return release;
}

FirmwareRelease tst_DownloadExtractFirmware::plainRelease(const QString &package, const QByteArray &data)
{
    FirmwareRelease release;
    release.version = QStringLiteral("R2.000");
    release.downloadLoc = m_served.server->url(package).toString();
    release.fileChecksum = md5Hex(data);
    release.fileSize = data.size();
    if (!writeFile(served(package), data))
        qFatal("cannot write the served package");
    return release;
}

int tst_DownloadExtractFirmware::run(DownloadExtractFirmware &job)
{
    QSignalSpy spy(&job, &DownloadExtractFirmware::statusChanged);
    job.start();
    if (spy.isEmpty() && !spy.wait(20000))
        return -999;
    QTest::qWait(100);
    if (spy.count() != 1)
        return -998;
    if (spy.first().at(0).toInt() != 5)
        return -997;
    return spy.first().at(1).toInt();
}

void tst_DownloadExtractFirmware::downloadErrorText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "No error";
    QTest::newRow("10000") << 10000 << "Error: Download file is corrupted (checksum failed).";
    QTest::newRow("10001") << 10001 << "Error: Unable to save the firmware file.";
    QTest::newRow("10002") << 10002 << "Error: Unable to delete existing firmware file.";
    QTest::newRow("10003") << 10003
                           << "An error occurred while downloading the firmware. Check Internet connectivity and try again.";
    QTest::newRow("10004") << 10004 << "Error: Unable to extract the firmware file.";
    QTest::newRow("12345") << 12345 << "Unknown error: 12345";
    QTest::newRow("-1") << -1 << "Unknown error: -1";
}

void tst_DownloadExtractFirmware::downloadErrorText()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(DownloadExtractFirmware::downloadErrorText(code), text);
}

void tst_DownloadExtractFirmware::cachedFirmwareNeedsNoTraffic_data()
{
    QTest::addColumn<bool>("zip");
    QTest::newRow("package is the firmware, intact") << false;
    QTest::newRow("unpacked files intact, package gone") << true;
}

void tst_DownloadExtractFirmware::cachedFirmwareNeedsNoTraffic()
{
    QFETCH(bool, zip);
    FirmwareRelease release;
    QStringList expectedFiles;
    if (zip) {
        const QList<Member> members = {{"main.bin", payload("main")}, {"sub.bin", payload("sub", 3000)}};
        release = zipRelease(QStringLiteral("pkg.zip"), members);
        for (const Member &member : members)
            QVERIFY(writeFile(cached(member.name), member.data));
        expectedFiles = QStringList{"main.bin", "sub.bin"};
    } else {
        release = plainRelease(QStringLiteral("fw.bin"), payload("fw"));
        QVERIFY(QFile::copy(served("fw.bin"), cached("fw.bin")));
        expectedFiles = QStringList{"fw.bin"};
    }
    DownloadExtractFirmware job(5, release, m_served.cache);
    QVERIFY(job.isAlreadyDownloaded());
    QSignalSpy spy(&job, &DownloadExtractFirmware::statusChanged);
    job.start();
    QCOMPARE(spy.count(), 1); // inside start
    QCOMPARE(spy.first().at(1).toInt(), 0);
    QCOMPARE(traffic(), 0);
    QCOMPARE(entries(m_served.cache), expectedFiles);
}

void tst_DownloadExtractFirmware::missingFileIsUnpackedAgain_data()
{
    QTest::addColumn<bool>("packageCached");
    QTest::newRow("package absent: downloaded") << false;
    QTest::newRow("package present: not downloaded") << true;
}

void tst_DownloadExtractFirmware::missingFileIsUnpackedAgain()
{
    QFETCH(bool, packageCached);
    const QList<Member> members = {{"a.bin", payload("a")}, {"b.bin", payload("b", 70000)}, {"c.txt", "notes"}};
    const FirmwareRelease release = zipRelease(QStringLiteral("pkg.zip"), members);
    QVERIFY(writeFile(cached("a.bin"), members.at(0).data));
    QVERIFY(writeFile(cached("c.txt"), "stale notes")); // present but wrong: extracted over
    if (packageCached)
        QVERIFY(QFile::copy(served("pkg.zip"), cached("pkg.zip")));

    DownloadExtractFirmware job(5, release, m_served.cache);
    QVERIFY(!job.isAlreadyDownloaded());
    QSignalSpy progress(&job, &DownloadExtractFirmware::progressChanged);
    QCOMPARE(run(job), 0);
    QCOMPARE(traffic(), packageCached ? 0 : 1);
    QCOMPARE(progress.isEmpty(), packageCached);
    QCOMPARE(entries(m_served.cache), (QStringList{"a.bin", "b.bin", "c.txt"})); // package deleted
    for (const Member &member : members)
        QCOMPARE(readFile(cached(member.name)), member.data);
    QVERIFY(job.isAlreadyDownloaded());
}

void tst_DownloadExtractFirmware::wrongPackageChecksumDownloadsAgain_data()
{
    QTest::addColumn<bool>("zip");
    QTest::newRow("zip package") << true;
    QTest::newRow("package is the firmware") << false;
}

void tst_DownloadExtractFirmware::wrongPackageChecksumDownloadsAgain()
{
    QFETCH(bool, zip);
    const FirmwareRelease release = zip ? zipRelease(QStringLiteral("pkg.zip"), {{"fw.bin", payload("fw")}})
                                        : plainRelease(QStringLiteral("pkg.zip"), payload("fw"));
    QByteArray damaged = readFile(served("pkg.zip"));
    damaged[damaged.size() / 2] = char(damaged.at(damaged.size() / 2) ^ 0x40);
    QVERIFY(writeFile(cached("pkg.zip"), damaged)); // right size, wrong checksum

    DownloadExtractFirmware job(5, release, m_served.cache);
    QCOMPARE(run(job), 0);
    QCOMPARE(traffic(), 1);
    if (zip) {
        QCOMPARE(entries(m_served.cache), QStringList{"fw.bin"});
        QCOMPARE(readFile(cached("fw.bin")), payload("fw"));
    } else {
        QCOMPARE(entries(m_served.cache), QStringList{"pkg.zip"});
        QCOMPARE(readFile(cached("pkg.zip")), payload("fw"));
    }
}

void tst_DownloadExtractFirmware::failures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("left"); // files in the cache afterwards

    QTest::newRow("member missing from archive") << "missing member" << 10004 << QStringList{"a.bin"};
    QTest::newRow("extracted file fails checksum") << "bad member checksum" << 10000 << QStringList{"a.bin"};
    QTest::newRow("empty member checksum fails") << "empty member checksum" << 10000 << QStringList{"a.bin"};
    QTest::newRow("downloaded package fails checksum") << "bad package checksum" << 10000 << QStringList{"pkg.zip"};
    QTest::newRow("package not an archive") << "not an archive" << 10004 << QStringList();
    QTest::newRow("empty archive") << "empty archive" << 10004 << QStringList();
    QTest::newRow("server says 404") << "404" << 10003 << QStringList();
    QTest::newRow("server closes mid-body") << "close" << 10003 << QStringList();
}

void tst_DownloadExtractFirmware::failures()
{
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(QStringList, left);

    FirmwareRelease release = zipRelease(QStringLiteral("pkg.zip"), {{"a.bin", payload("a")}, {"b.bin", payload("b")}});
    if (fault == QLatin1String("missing member")) {
        release.unpackedFileInfo[1].fileName = QStringLiteral("absent.bin");
    } else if (fault == QLatin1String("bad member checksum")) {
        release.unpackedFileInfo[0].fileChecksum = md5Hex("other");
    } else if (fault == QLatin1String("empty member checksum")) {
        release.unpackedFileInfo[0].fileChecksum.clear();
    } else if (fault == QLatin1String("bad package checksum")) {
        release.fileChecksum = md5Hex("other");
    } else if (fault == QLatin1String("not an archive") || fault == QLatin1String("empty archive")) {
        // The catalogue lists unpacked files and the package's own checksum matches.
        const QByteArray data = fault == QLatin1String("empty archive") ? QByteArray() : payload("junk");
        if (fault == QLatin1String("empty archive"))
            QVERIFY(makeZip(served("pkg.zip"), {}));
        else
            QVERIFY(writeFile(served("pkg.zip"), data));
        release.fileChecksum = md5Hex(readFile(served("pkg.zip")));
    } else if (fault == QLatin1String("404")) {
        FwBehaviour behaviour;
        behaviour.forcedStatus = 404;
        m_served.server->setBehaviour(behaviour);
    } else if (fault == QLatin1String("close")) {
        FwBehaviour behaviour;
        behaviour.closeAfterBytes = 1000;
        m_served.server->setBehaviour(behaviour);
    }

    DownloadExtractFirmware job(5, release, m_served.cache);
    QCOMPARE(run(job), status);
    QCOMPARE(entries(m_served.cache), left);
    if (status == 10004)
        QCOMPARE(DownloadExtractFirmware::downloadErrorText(status),
                 QStringLiteral("Error: Unable to extract the firmware file."));
}

void tst_DownloadExtractFirmware::cancelRemovesPartialPackage()
{
    const FirmwareRelease release = plainRelease(QStringLiteral("fw.bin"), payload("fw", 200000));
    FwBehaviour slow;
    slow.trickleBytes = 10000;
    slow.trickleIntervalMs = 100;
    m_served.server->setBehaviour(slow);
    DownloadExtractFirmware job(5, release, m_served.cache);
    QSignalSpy progress(&job, &DownloadExtractFirmware::progressChanged);
    QSignalSpy spy(&job, &DownloadExtractFirmware::statusChanged);
    job.start();
    QVERIFY(progress.wait(5000));
    QCOMPARE(progress.first().at(0).toInt(), 5);
    QVERIFY(!QFileInfo::exists(cached("fw.bin"))); // named only once complete
    job.cancel();
    QVERIFY(spy.count() == 1 || spy.wait(5000));
    QCOMPARE(spy.first().at(1).toInt(), 10003);
    QCOMPARE(entries(m_served.cache), QStringList());
}

void tst_DownloadExtractFirmware::cutOffPackageWithoutChecksumIsNeverKept_data()
{
    QTest::addColumn<bool>("cachedCutOff"); // else the server ends early without a length
    QTest::newRow("cut-off package in the cache") << true;
    QTest::newRow("server ends early without a length") << false;
}

// Without a checksum the catalogue's size is the only way to tell a whole package from the
// first part of one; such a part is never taken, nor kept, as the firmware.
void tst_DownloadExtractFirmware::cutOffPackageWithoutChecksumIsNeverKept()
{
    QFETCH(bool, cachedCutOff);
    FirmwareRelease release = plainRelease(QStringLiteral("fw.bin"), payload("fw", 200000));
    release.fileChecksum.clear();
    if (cachedCutOff) {
        QVERIFY(writeFile(cached("fw.bin"), payload("fw", 200000).left(70000)));
    } else {
        FwBehaviour early;
        early.closeAfterBytes = 70000;
        early.length = FwBehaviour::Length::Absent;
        m_served.server->setBehaviour(early);
        DownloadExtractFirmware job(5, release, m_served.cache);
        QCOMPARE(run(job), 10000);
        QCOMPARE(entries(m_served.cache), QStringList());
        m_served.server->setBehaviour(FwBehaviour());
    }
    const int trafficBefore = traffic();
    DownloadExtractFirmware job(5, release, m_served.cache);
    QVERIFY(!job.isAlreadyDownloaded());
    QCOMPARE(run(job), 0);
    QVERIFY(traffic() > trafficBefore); // fetched again
    QCOMPARE(readFile(cached("fw.bin")), payload("fw", 200000));
}

void tst_DownloadExtractFirmware::packageThatIsTheFirmwareStays_data()
{
    QTest::addColumn<bool>("isZip");
    QTest::addColumn<bool>("cachedAlready");
    QTest::addColumn<int>("sizeDelta"); // the catalogue's fileSize differs by this much

    QTest::newRow("cached, checksum matches, size differs") << false << true << 7;
    QTest::newRow("cached zip taken as-is, size differs") << true << true << 7;
    QTest::newRow("downloaded zip taken as-is") << true << false << 0;
    QTest::newRow("downloaded zip, size differs") << true << false << 7;
}

void tst_DownloadExtractFirmware::packageThatIsTheFirmwareStays()
{
    QFETCH(bool, isZip);
    QFETCH(bool, cachedAlready);
    QFETCH(int, sizeDelta);

    // A zip delivered as the firmware file itself; its member even has the package's own name.
    FirmwareRelease release;
    if (isZip) {
        release = zipRelease(QStringLiteral("fw.zip"), {{"fw.zip", payload("inner")}, {"x.bin", payload("x")}});
        release.unpackedFileInfo.clear();
    } else {
        release = plainRelease(QStringLiteral("fw.zip"), payload("fw"));
    }
    release.fileSize += sizeDelta;
    const QByteArray package = readFile(served("fw.zip"));
    if (cachedAlready)
        QVERIFY(writeFile(cached("fw.zip"), package));

    DownloadExtractFirmware job(5, release, m_served.cache);
    QCOMPARE(run(job), 0);
    QCOMPARE(traffic(), cachedAlready ? 0 : 1);
    QCOMPARE(entries(m_served.cache), QStringList{"fw.zip"});
    QCOMPARE(readFile(cached("fw.zip")), package);

    // And again: still there, still 0, still no traffic once cached.
    DownloadExtractFirmware again(5, release, m_served.cache);
    QCOMPARE(run(again), 0);
    QCOMPARE(traffic(), cachedAlready ? 0 : 1);
    QCOMPARE(readFile(cached("fw.zip")), package);
}

void tst_DownloadExtractFirmware::hostileNamesAreRefused_data()
{
    QTest::addColumn<QString>("downloadLoc"); // "" keeps the served package's URL
    QTest::addColumn<QString>("fileName");    // "" means no unpacked files

    const QString victim = m_served.filePath(QStringLiteral("cache/victim.bin"));
    QTest::newRow("member ../") << QString() << "../victim.bin";
    QTest::newRow("member absolute") << QString() << victim;
    QTest::newRow("member in a subfolder") << QString() << "sub/victim.bin";
    QTest::newRow("member through a subfolder") << QString() << "sub/../../victim.bin";
    QTest::newRow("member ..") << QString() << "..";
    QTest::newRow("member .") << QString() << ".";
    QTest::newRow("member backslash") << QString() << "..\\victim.bin";
    QTest::newRow("member drive letter") << QString() << "C:victim.bin";
    QTest::newRow("member device name") << QString() << "NUL.bin";
    QTest::newRow("package name empty") << "http://127.0.0.1:9/firmwareupdates/" << QString();
    QTest::newRow("package name ..") << "http://127.0.0.1:9/firmwareupdates/.." << QString();
    QTest::newRow("package name backslash") << "http://127.0.0.1:9/x\\..\\victim.bin" << QString();
}

void tst_DownloadExtractFirmware::hostileNamesAreRefused()
{
    QFETCH(QString, downloadLoc);
    QFETCH(QString, fileName);

    // A file just outside the cache that the hostile entry aims at, with the checksum it claims.
    const QByteArray victimData = payload("victim");
    const QString victim = m_served.filePath(QStringLiteral("cache/victim.bin"));
    QVERIFY(writeFile(victim, victimData));

    FirmwareRelease release = zipRelease(QStringLiteral("pkg.zip"), {{"victim.bin", payload("attack")}});
    if (!downloadLoc.isEmpty())
        release.downloadLoc = downloadLoc;
    release.unpackedFileInfo.clear();
    if (!fileName.isEmpty()) {
        UnpackedFileEntry entry;
        entry.fileName = fileName;
        entry.fileChecksum = md5Hex(victimData);
        entry.fileSize = victimData.size();
        release.unpackedFileInfo.append(entry);
    }

    DownloadExtractFirmware job(5, release, m_served.cache);
    QVERIFY(!job.isAlreadyDownloaded()); // it would be true had it looked at the victim
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("refused: .* is not a plain file name")));
    QCOMPARE(run(job), 10001);
    QCOMPARE(traffic(), 0);
    QCOMPARE(readFile(victim), victimData);
    QCOMPARE(entries(m_served.cache), QStringList());
    QCOMPARE(entries(m_served.filePath(QStringLiteral("cache"))), (QStringList{"Firmware", "victim.bin"}));
}

void tst_DownloadExtractFirmware::archiveMemberCannotLeaveTheCache_data()
{
    QTest::addColumn<bool>("link");
    QTest::newRow("member named ../x") << false;
    QTest::newRow("member is a link to outside") << true;
}

void tst_DownloadExtractFirmware::archiveMemberCannotLeaveTheCache()
{
    QFETCH(bool, link);
    const QString outside = m_served.filePath(QStringLiteral("cache/x"));
    QVERIFY(writeFile(outside, "outside"));

    FirmwareRelease release;
    if (link) {
        release = zipRelease(QStringLiteral("pkg.zip"), {{"x", outside.toUtf8(), true}});
        release.unpackedFileInfo[0].fileChecksum = md5Hex("outside"); // what the link would show
    } else {
        release = zipRelease(QStringLiteral("pkg.zip"), {{"../x", payload("evil")}});
        release.unpackedFileInfo[0].fileName = QStringLiteral("x");
    }
    DownloadExtractFirmware job(5, release, m_served.cache);
    if (link)
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("is a link, not a file")));
    QCOMPARE(run(job), 10004);
    QCOMPARE(readFile(outside), QByteArray("outside"));
    QCOMPARE(entries(m_served.cache), QStringList()); // no link left behind, archive deleted
    QCOMPARE(entries(m_served.filePath(QStringLiteral("cache"))), (QStringList{"Firmware", "x"}));
}

QTEST_GUILESS_MAIN(tst_DownloadExtractFirmware)
#include "tst_downloadextractfirmware.moc"
