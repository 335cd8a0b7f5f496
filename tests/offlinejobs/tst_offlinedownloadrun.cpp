#include "common/TestCatalogue.h"
#include "common/ServedCache.h"
#include "fwserver/FwServer.h"
#include "offlinejobs/DownloadedReleaseScan.h"
#include "offlinejobs/OfflineDownloadRun.h"
#include "offlinejobs/OfflineModelList.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_OfflineDownloadRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void listedModels_data();
    void listedModels();
    void releasesToQueue_data();
    void releasesToQueue();

    void scanFindsIntactReleasesOnly();
    void scanInBackgroundAgreesAndCanBeAbandoned();

    void runCountsJobsThatEndAtOnce_data();
    void runCountsJobsThatEndAtOnce();
    void failedJobLetsTheOthersFinish();
    void cancelEndsEveryJobAsAnError();
    void totalExpectedBytes_data();
    void totalExpectedBytes();
    void progressLabel_data();
    void progressLabel();

private:
    QList<FirmwareRelease> releases(const FirmwareDatabase &database, const QList<int> &indices) const;
    QString cached(const QString &name) const { return m_served.cache + QLatin1Char('/') + name; }
    int traffic() const { return m_served.server->connectionCount() - m_connectionsBefore; }

    ServedCache m_served;
    std::unique_ptr<TestCatalogue> m_catalogue;
    int m_connectionsBefore = 0;
};

void tst_OfflineDownloadRun::initTestCase()
{
    QVERIFY(m_served.start(this));
}

void tst_OfflineDownloadRun::init()
{
    QVERIFY(m_served.reset());
    m_connectionsBefore = m_served.server->connectionCount();
    m_catalogue = std::make_unique<TestCatalogue>(m_served.serverRoot, m_served.server->url(QString()));
}

QList<FirmwareRelease> tst_OfflineDownloadRun::releases(const FirmwareDatabase &database,
                                                        const QList<int> &indices) const
{
    QList<FirmwareRelease> list;
    for (int index : indices)
        list.append(database.releases().at(index));
    return list;
}

void tst_OfflineDownloadRun::listedModels_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QStringList>("texts");

    const QStringList both{"P435", "P495"};
    QTest::newRow("LAN release, both models") << QString() << QJsonValue() << both;
    QTest::newRow("not over the LAN") << "updateViaHTTP" << QJsonValue(0) << QStringList();
    QTest::newRow("LAN given as JSON true") << "updateViaHTTP" << QJsonValue(true) << QStringList();
    QTest::newRow("needs this build") << "requiresAppBuild" << QJsonValue(250930) << both;
    QTest::newRow("needs a newer build") << "requiresAppBuild" << QJsonValue(250931) << QStringList();
    QTest::newRow("serial rule shows its text")
        << "needSNMatchPosition" << QJsonValue(5) << QStringList{"P435 (S/N 5th digit 2)", "P495 (S/N 5th digit 2)"};
}

// A third release always follows with the same model under another serial-number rule: it lists
// as an item of its own, with its own text.
void tst_OfflineDownloadRun::listedModels()
{
    QFETCH(QString, field);
    QFETCH(QJsonValue, value);
    QFETCH(QStringList, texts);

    const int first = m_catalogue->addPlain("first.bin", 100, {"P435", "P495"});
    m_catalogue->release(first).insert("needSNMatchListingText", "S/N 5th digit 2");
    if (!field.isEmpty())
        m_catalogue->release(first).insert(field, value);
    const int other = m_catalogue->addPlain("other.bin", 100, {"P435", ""});
    m_catalogue->release(other).insert("needSNMatchPosition", 5);
    m_catalogue->release(other).insert("needSNMatchListingText", "S/N 5th digit 7");

    const QList<OfflineModelItem> items = OfflineModelList::items(m_catalogue->database());
    QStringList gotTexts;
    for (const OfflineModelItem &item : items) {
        gotTexts.append(item.text);
        QCOMPARE(item.releaseIndex, item.text.contains("digit 7") ? other : first);
    }
    QCOMPARE(gotTexts, texts + QStringList{"P435 (S/N 5th digit 7)"});
}

void tst_OfflineDownloadRun::releasesToQueue_data()
{
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QList<int>>("downloaded");
    QTest::addColumn<QList<int>>("queued");

    QTest::newRow("two models of one release, once") << QList<int>{1, 1, 0} << QList<int>{} << QList<int>{1, 0};
    QTest::newRow("downloaded releases left out") << QList<int>{0, 1, 2} << QList<int>{1} << QList<int>{0, 2};
    QTest::newRow("unknown indices left out") << QList<int>{-1, 3, 2} << QList<int>{} << QList<int>{2};
    QTest::newRow("nothing checked") << QList<int>{} << QList<int>{0} << QList<int>{};
}

void tst_OfflineDownloadRun::releasesToQueue()
{
    QFETCH(QList<int>, checked);
    QFETCH(QList<int>, downloaded);
    QFETCH(QList<int>, queued);
    for (int i = 0; i < 3; ++i)
        m_catalogue->addPlain(QStringLiteral("p%1.bin").arg(i), 10, {QStringLiteral("M%1").arg(i)});
    QCOMPARE(OfflineModelList::releasesToQueue(m_catalogue->database(), checked, downloaded), queued);
}

void tst_OfflineDownloadRun::scanFindsIntactReleasesOnly()
{
    const int intactPlain = m_catalogue->addPlain("intact.bin", 3000, {"A"});
    const int intactZip = m_catalogue->addZip("intact.zip", {2000, 1000}, {"B"});
    const int missingMember = m_catalogue->addZip("partial.zip", {2000, 1000}, {"C"});
    const int corrupt = m_catalogue->addPlain("corrupt.bin", 3000, {"D"});
    const int notListed = m_catalogue->addPlain("usbonly.bin", 3000, {"E"});
    const int packageOnly = m_catalogue->addZip("packed.zip", {1000}, {"F"});
    m_catalogue->release(notListed).insert("updateViaHTTP", 0);
    for (int index : {intactPlain, intactZip, missingMember, corrupt, notListed})
        QVERIFY(m_catalogue->cacheFirmware(index, m_served.cache));
    QVERIFY(QFile::remove(cached(m_catalogue->firmwareFiles(missingMember).last())));
    QVERIFY(m_catalogue->cachePackage(packageOnly, m_served.cache));
    // Same size, other bytes: only the checksum tells.
    QVERIFY(TestFiles::writeFile(cached("corrupt.bin"), QByteArray(3000, 'x')));

    QCOMPARE(DownloadedReleaseScan::scan(m_catalogue->database(), m_served.cache), (QList<int>{intactPlain, intactZip}));
}

void tst_OfflineDownloadRun::scanInBackgroundAgreesAndCanBeAbandoned()
{
    for (int i = 0; i < 6; ++i) {
        const int index = m_catalogue->addPlain(QStringLiteral("big%1.bin").arg(i), 4 << 20, {QStringLiteral("M%1").arg(i)});
        if (i % 2 == 0)
            QVERIFY(m_catalogue->cacheFirmware(index, m_served.cache));
    }
    const FirmwareDatabase database = m_catalogue->database();

    DownloadedReleaseScan scan;
    QSignalSpy finished(&scan, &DownloadedReleaseScan::finished);
    scan.start(database, m_served.cache);
    QVERIFY(scan.isRunning());
    // A second start replaces the first: only one result arrives.
    scan.start(database, m_served.cache);
    QVERIFY(finished.wait(20000));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().value<QList<int>>(), (QList<int>{0, 2, 4}));
    QVERIFY(!scan.isRunning());

    // Going away in the middle of a scan stops the worker; nothing is reported afterwards.
    auto *abandoned = new DownloadedReleaseScan;
    QSignalSpy abandonedFinished(abandoned, &DownloadedReleaseScan::finished);
    abandoned->start(database, m_served.cache);
    delete abandoned;
    QTest::qWait(50);
    QCOMPARE(abandonedFinished.count(), 0);
}

void tst_OfflineDownloadRun::runCountsJobsThatEndAtOnce_data()
{
    QTest::addColumn<QList<bool>>("packageCached");
    QTest::newRow("one job, package cached") << QList<bool>{true};
    QTest::newRow("every package cached") << QList<bool>{true, true, true};
    QTest::newRow("first cached, second downloads") << QList<bool>{true, false};
    QTest::newRow("first downloads, last cached") << QList<bool>{false, true};
}

// A job whose package is in the cache is unpacked inside start() and ends there; the run must
// count it and still end exactly once, when the last job ends.
void tst_OfflineDownloadRun::runCountsJobsThatEndAtOnce()
{
    QFETCH(QList<bool>, packageCached);
    QList<int> indices;
    for (int i = 0; i < packageCached.size(); ++i) {
        const int index = m_catalogue->addZip(QStringLiteral("pkg%1.zip").arg(i), {40000}, {QStringLiteral("M%1").arg(i)});
        if (packageCached.at(i))
            QVERIFY(m_catalogue->cachePackage(index, m_served.cache));
        indices.append(index);
    }
    const int downloads = int(packageCached.count(false));

    OfflineDownloadRun run(m_served.cache);
    QSignalSpy finished(&run, &OfflineDownloadRun::finished);
    run.start(releases(m_catalogue->database(), indices));
    QCOMPARE(run.jobCount(), packageCached.size());
    if (downloads == 0) {
        QCOMPARE(finished.count(), 1);
        QVERIFY(!run.isRunning());
    } else {
        QVERIFY(run.isRunning());
        QCOMPARE(run.finishedJobCount(), packageCached.size() - downloads);
        QVERIFY(finished.wait(20000));
    }
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(run.finishedJobCount(), packageCached.size());
    QCOMPARE(traffic(), downloads);
    for (int index : indices) {
        for (const QString &file : m_catalogue->firmwareFiles(index))
            QVERIFY2(QFileInfo::exists(cached(file)), qPrintable(file));
    }
}

void tst_OfflineDownloadRun::failedJobLetsTheOthersFinish()
{
    const int good = m_catalogue->addPlain("good.bin", 60000, {"A"});
    const int gone = m_catalogue->addPlain("gone.bin", 60000, {"B"});
    const int bad = m_catalogue->addPlain("bad.bin", 60000, {"C"});
    QVERIFY(QFile::remove(m_served.serverRoot + "/gone.bin"));
    m_catalogue->release(bad).insert("fileChecksum", QString(32, '0'));

    OfflineDownloadRun run(m_served.cache);
    QSignalSpy finished(&run, &OfflineDownloadRun::finished);
    run.start(releases(m_catalogue->database(), {good, gone, bad}));
    QVERIFY(finished.wait(20000));
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(run.hadError());
    QCOMPARE(TestPackages::md5Hex(TestFiles::readFile(cached("good.bin"))),
             m_catalogue->release(good).value("fileChecksum").toString());
    QVERIFY(!QFileInfo::exists(cached("gone.bin")));
}

void tst_OfflineDownloadRun::cancelEndsEveryJobAsAnError()
{
    FwBehaviour slow;
    slow.trickleBytes = 1000;
    slow.trickleIntervalMs = 50;
    m_served.server->setBehaviour(slow);
    const int first = m_catalogue->addPlain("slow1.bin", 500000, {"A"});
    const int second = m_catalogue->addPlain("slow2.bin", 500000, {"B"});

    OfflineDownloadRun run(m_served.cache);
    QSignalSpy finished(&run, &OfflineDownloadRun::finished);
    QSignalSpy progress(&run, &OfflineDownloadRun::progressChanged);
    run.start(releases(m_catalogue->database(), {first, second}));
    QVERIFY(progress.wait(10000));
    QTRY_VERIFY_WITH_TIMEOUT(run.receivedBytes() > 0, 10000);
    run.cancel();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(run.activeJobCount(), 0);
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    // No partial package is left to be taken for a download.
    QCOMPARE(QDir(m_served.cache).entryList(QDir::Files), QStringList());
}

void tst_OfflineDownloadRun::totalExpectedBytes_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<qint64>("total");
    QTest::newRow("sum") << QList<int>{1000, 2500} << qint64(3500);
    QTest::newRow("a zero size") << QList<int>{1000, 0, 2500} << qint64(-1);
    QTest::newRow("a negative size") << QList<int>{-5, 1000} << qint64(-1);
    QTest::newRow("beyond 32 bits") << QList<int>{2000000000, 2000000000} << qint64(4000000000);
}

// The servers never answer here: the totals are known as soon as the run starts.
void tst_OfflineDownloadRun::totalExpectedBytes()
{
    QFETCH(QList<int>, sizes);
    QFETCH(qint64, total);
    FwBehaviour silent;
    silent.neverAnswer = true;
    m_served.server->setBehaviour(silent);
    QList<int> indices;
    for (int i = 0; i < sizes.size(); ++i) {
        indices.append(m_catalogue->addPlain(QStringLiteral("s%1.bin").arg(i), 10, {QStringLiteral("M%1").arg(i)}));
        m_catalogue->release(indices.last()).insert("fileSize", sizes.at(i));
    }
    OfflineDownloadRun run(m_served.cache);
    QSignalSpy finished(&run, &OfflineDownloadRun::finished);
    run.start(releases(m_catalogue->database(), indices));
    QCOMPARE(run.totalExpectedBytes(), total);
    run.cancel();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
}

void tst_OfflineDownloadRun::progressLabel_data()
{
    QTest::addColumn<int>("finishedJobs");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("label");
    QTest::newRow("bytes") << 0 << 3 << qint64(500) << qint64(1000) << "Downloaded 0 of 3 files (500.0 bytes/sec)";
    QTest::newRow("kB") << 1 << 2 << qint64(3072) << qint64(2000) << "Downloaded 1 of 2 files (1.5 kB/s)";
    QTest::newRow("MB") << 2 << 2 << qint64(2048000) << qint64(1000) << "Downloaded 2 of 2 files (2.0 MB/s)";
    QTest::newRow("nothing yet") << 0 << 1 << qint64(0) << qint64(1000) << "Downloaded 0 of 1 files (0.0 bytes/sec)";
    QTest::newRow("no time passed") << 0 << 1 << qint64(10) << qint64(0) << "Downloaded 0 of 1 files (9.8 kB/s)";
}

void tst_OfflineDownloadRun::progressLabel()
{
    QFETCH(int, finishedJobs);
    QFETCH(int, jobs);
    QFETCH(qint64, bytes);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, label);
    QCOMPARE(OfflineDownloadRun::progressLabel(finishedJobs, jobs, bytes, elapsedMs), label);
}

QTEST_GUILESS_MAIN(tst_OfflineDownloadRun)
#include "tst_offlinedownloadrun.moc"
