#include "common/TestCatalogue.h"
#include "common/ServedCache.h"
#include "fwserver/FwServer.h"
#include "offline/DownloadFirmwareForOfflineDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_DownloadFirmwareForOfflineDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsLanModelsWithSerialRuleText();
    void modelsOfOneReleaseAreCheckedTogether();
    void downloadedReleasesAreCheckedAndDisabled();
    void runDownloadsEachReleaseOnceAndMarksIt();
    void progressRange_data();
    void progressRange();
    void closingIsIgnoredDuringARun_data();
    void closingIsIgnoredDuringARun();
    void cancelledRunEndsWithErrorAndAllowsRetry();
    void runWhoseJobsEndAtOnce_data();
    void runWhoseJobsEndAtOnce();
    void checkingTheCacheShowsBusyAndKeepsDownloadOff();

private:
    // A dialog over the catalogue, shown, with its first check of the cache done.
    DownloadFirmwareForOfflineDialog *openDialog();
    QListWidget *list() const { return m_dialog->findChild<QListWidget *>("listWidget"); }
    QPushButton *downloadButton() const { return m_dialog->findChild<QPushButton *>("download_pushButton"); }
    QPushButton *closeButton() const { return m_dialog->findChild<QPushButton *>("cancel_pushButton"); }
    QString status() const { return m_dialog->findChild<QLabel *>("status_label")->text(); }
    QProgressDialog *progress() const { return m_dialog->findChild<QProgressDialog *>(); }
    QListWidgetItem *item(const QString &text) const;
    void check(const QString &text, Qt::CheckState state = Qt::Checked);
    // Clicks Download and waits for the run to end and the list to be refreshed.
    bool downloadAndWait();
    QString cached(const QString &name) const { return m_served.cache + QLatin1Char('/') + name; }

    ServedCache m_served;
    std::unique_ptr<TestCatalogue> m_catalogue;
    FirmwareDatabase m_database;
    std::unique_ptr<DownloadFirmwareForOfflineDialog> m_dialog;
    int m_connectionsBefore = 0;
    int m_requestsBefore = 0;
};

void tst_DownloadFirmwareForOfflineDialog::initTestCase()
{
    QVERIFY(m_served.start(this));
}

void tst_DownloadFirmwareForOfflineDialog::init()
{
    QVERIFY(m_served.reset());
    m_connectionsBefore = m_served.server->connectionCount();
    m_requestsBefore = m_served.server->requestedPaths().size();
    m_catalogue = std::make_unique<TestCatalogue>(m_served.serverRoot, m_served.server->url(QString()));
}

void tst_DownloadFirmwareForOfflineDialog::cleanup()
{
    m_dialog.reset();
}

DownloadFirmwareForOfflineDialog *tst_DownloadFirmwareForOfflineDialog::openDialog()
{
    m_database = m_catalogue->database();
    m_dialog = std::make_unique<DownloadFirmwareForOfflineDialog>(m_served.cache, &m_database);
    QSignalSpy refreshed(m_dialog.get(), &DownloadFirmwareForOfflineDialog::listRefreshed);
    m_dialog->show();
    if (!refreshed.wait(20000))
        qWarning("the dialog never finished checking the cache");
    return m_dialog.get();
}

QListWidgetItem *tst_DownloadFirmwareForOfflineDialog::item(const QString &text) const
{
    const QList<QListWidgetItem *> found = list()->findItems(text, Qt::MatchExactly);
    return found.size() == 1 ? found.first() : nullptr;
}

void tst_DownloadFirmwareForOfflineDialog::check(const QString &text, Qt::CheckState state)
{
    QListWidgetItem *target = item(text);
    QVERIFY2(target, qPrintable(text));
    // As a click on the check box does it: through the model, which emits itemChanged.
    target->setCheckState(state);
}

bool tst_DownloadFirmwareForOfflineDialog::downloadAndWait()
{
    QSignalSpy refreshed(m_dialog.get(), &DownloadFirmwareForOfflineDialog::listRefreshed);
    QTest::mouseClick(downloadButton(), Qt::LeftButton);
    return !refreshed.isEmpty() || refreshed.wait(30000);
}

void tst_DownloadFirmwareForOfflineDialog::listsLanModelsWithSerialRuleText()
{
    m_catalogue->addPlain("usb-only.bin", 100, {"U100"});
    m_catalogue->release(0).insert("updateViaHTTP", 0);
    m_catalogue->addPlain("newer-build.bin", 100, {"N100"});
    m_catalogue->release(1).insert("requiresAppBuild", 250931);
    m_catalogue->addPlain("pair.bin", 100, {"P435", "P495"});
    const int ruled = m_catalogue->addPlain("ruled.bin", 100, {"P435"});
    m_catalogue->release(ruled).insert("needSNMatchPosition", 5);
    m_catalogue->release(ruled).insert("needSNMatchListingText", "<b>S/N 5th digit 7</b>");
    openDialog();

    QStringList texts;
    for (int row = 0; row < list()->count(); ++row) {
        texts.append(list()->item(row)->text());
        QCOMPARE(list()->item(row)->checkState(), Qt::Unchecked);
        QVERIFY(list()->item(row)->flags() & Qt::ItemIsEnabled);
    }
    // The listing text is shown as it is, never as markup.
    QCOMPARE(texts, (QStringList{"P435", "P495", "P435 (<b>S/N 5th digit 7</b>)"}));
    QVERIFY(!downloadButton()->isEnabled());
    QVERIFY(closeButton()->isEnabled());
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Download firmware for offline use"));
}

void tst_DownloadFirmwareForOfflineDialog::modelsOfOneReleaseAreCheckedTogether()
{
    m_catalogue->addPlain("pair.bin", 100, {"P435", "P495"});
    m_catalogue->addPlain("single.bin", 100, {"V554"});
    openDialog();

    check("P495");
    QCOMPARE(item("P435")->checkState(), Qt::Checked);
    QCOMPARE(item("V554")->checkState(), Qt::Unchecked);
    QVERIFY(downloadButton()->isEnabled());
    QCOMPARE(status(), QStringLiteral("Ready"));

    check("P435", Qt::Unchecked);
    QCOMPARE(item("P495")->checkState(), Qt::Unchecked);
    QVERIFY(!downloadButton()->isEnabled());
}

void tst_DownloadFirmwareForOfflineDialog::downloadedReleasesAreCheckedAndDisabled()
{
    const int done = m_catalogue->addZip("done.zip", {3000, 2000}, {"P435", "P495"});
    const int corrupt = m_catalogue->addPlain("corrupt.bin", 3000, {"V554"});
    m_catalogue->addPlain("missing.bin", 3000, {"C551"});
    QVERIFY(m_catalogue->cacheFirmware(done, m_served.cache));
    QVERIFY(TestFiles::writeFile(cached("corrupt.bin"), QByteArray(m_catalogue->packageSize(corrupt), 'x')));
    openDialog();

    for (const char *model : {"P435", "P495"}) {
        QCOMPARE(item(model)->checkState(), Qt::Checked);
        QVERIFY(!(item(model)->flags() & Qt::ItemIsEnabled));
    }
    for (const char *model : {"V554", "C551"}) {
        QCOMPARE(item(model)->checkState(), Qt::Unchecked);
        QVERIFY(item(model)->flags() & Qt::ItemIsEnabled);
    }
    // Checked, but only downloaded ones: nothing to download.
    QVERIFY(!downloadButton()->isEnabled());
}

void tst_DownloadFirmwareForOfflineDialog::runDownloadsEachReleaseOnceAndMarksIt()
{
    const int pair = m_catalogue->addZip("pair.zip", {60000, 30000}, {"P435", "P495"});
    const int single = m_catalogue->addPlain("single.bin", 80000, {"V554"});
    m_catalogue->addPlain("other.bin", 80000, {"C551"});
    openDialog();
    check("P435");
    check("V554");

    QVERIFY(downloadAndWait());
    QCOMPARE(status(), QStringLiteral("Download complete"));
    QVERIFY(!progress());
    QStringList requested = m_served.server->requestedPaths().mid(m_requestsBefore);
    requested.sort();
    QCOMPARE(requested, (QStringList{"/firmwareupdates/pair.zip", "/firmwareupdates/single.bin"}));
    for (int index : {pair, single}) {
        for (const QString &file : m_catalogue->firmwareFiles(index))
            QVERIFY2(QFileInfo::exists(cached(file)), qPrintable(file));
    }
    QVERIFY(!QFileInfo::exists(cached("pair.zip"))); // unpacked, then removed
    for (const char *model : {"P435", "P495", "V554"}) {
        QCOMPARE(item(model)->checkState(), Qt::Checked);
        QVERIFY(!(item(model)->flags() & Qt::ItemIsEnabled));
    }
    QVERIFY(item("C551")->flags() & Qt::ItemIsEnabled);
    QVERIFY(!downloadButton()->isEnabled());
    QVERIFY(closeButton()->isEnabled());

    // Another run in the same dialog.
    check("C551");
    QVERIFY(downloadButton()->isEnabled());
    QVERIFY(downloadAndWait());
    QCOMPARE(status(), QStringLiteral("Download complete"));
    QVERIFY(!(item("C551")->flags() & Qt::ItemIsEnabled));
}

void tst_DownloadFirmwareForOfflineDialog::progressRange_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<int>("maximum");
    QTest::newRow("bytes of both") << QList<int>{1000, 2500} << 3500;
    QTest::newRow("a zero size gives the busy bar") << QList<int>{1000, 0} << 0;
    QTest::newRow("beyond int counts in kB") << QList<int>{2000000000, 2000000000} << 3906250;
}

// The server never answers, so the run stays at its start while the range is looked at.
void tst_DownloadFirmwareForOfflineDialog::progressRange()
{
    QFETCH(QList<int>, sizes);
    QFETCH(int, maximum);
    for (int i = 0; i < sizes.size(); ++i) {
        m_catalogue->addPlain(QStringLiteral("s%1.bin").arg(i), 10, {QStringLiteral("M%1").arg(i)});
        m_catalogue->release(i).insert("fileSize", sizes.at(i));
    }
    FwBehaviour silent;
    silent.neverAnswer = true;
    m_served.server->setBehaviour(silent);
    openDialog();
    check("M0");
    check("M1");
    QTest::mouseClick(downloadButton(), Qt::LeftButton);

    QVERIFY(progress());
    QVERIFY(progress()->isVisible());
    QCOMPARE(progress()->minimum(), 0);
    QCOMPARE(progress()->maximum(), maximum);
    QCOMPARE(status(), QStringLiteral("Downloading..."));
    QVERIFY(!downloadButton()->isEnabled());
    QVERIFY(!closeButton()->isEnabled());

    QSignalSpy refreshed(m_dialog.get(), &DownloadFirmwareForOfflineDialog::listRefreshed);
    m_dialog->cancelDownload();
    QVERIFY(refreshed.wait(10000));
}

void tst_DownloadFirmwareForOfflineDialog::closingIsIgnoredDuringARun_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Escape on the progress dialog") << "escape on progress";
    QTest::newRow("window close") << "close";
    QTest::newRow("reject") << "reject";
}

void tst_DownloadFirmwareForOfflineDialog::closingIsIgnoredDuringARun()
{
    QFETCH(QString, how);
    FwBehaviour slow;
    slow.trickleBytes = 2000;
    slow.trickleIntervalMs = 20;
    m_served.server->setBehaviour(slow);
    m_catalogue->addPlain("slow.bin", 150000, {"P435"});
    openDialog();
    check("P435");
    QSignalSpy finished(m_dialog.get(), &QDialog::finished);
    QTest::mouseClick(downloadButton(), Qt::LeftButton);
    QVERIFY(m_dialog->isDownloading());

    if (how == "escape")
        QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    else if (how == "escape on progress")
        QTest::keyClick(progress(), Qt::Key_Escape);
    else if (how == "close")
        m_dialog->close();
    else
        m_dialog->reject();
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(finished.count(), 0);
    QVERIFY(m_dialog->isDownloading());
    QVERIFY(progress() && progress()->isVisible());

    // The run goes on to its end, and closing works again afterwards.
    QSignalSpy refreshed(m_dialog.get(), &DownloadFirmwareForOfflineDialog::listRefreshed);
    QVERIFY(refreshed.wait(30000));
    QCOMPARE(status(), QStringLiteral("Download complete"));
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(finished.count(), 1);
}

void tst_DownloadFirmwareForOfflineDialog::cancelledRunEndsWithErrorAndAllowsRetry()
{
    FwBehaviour slow;
    slow.trickleBytes = 1000;
    slow.trickleIntervalMs = 50;
    m_served.server->setBehaviour(slow);
    m_catalogue->addPlain("slow1.bin", 200000, {"P435"});
    m_catalogue->addPlain("slow2.bin", 200000, {"V554"});
    openDialog();
    check("P435");
    check("V554");
    QTest::mouseClick(downloadButton(), Qt::LeftButton);
    QVERIFY(progress());
    // The label names the finished and all files, and the speed, once bytes arrive.
    QTRY_VERIFY_WITH_TIMEOUT(progress()->value() > 0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(QRegularExpression("^Downloaded 0 of 2 files \\( *\\d+\\.\\d (bytes/sec|kB/s|MB/s)\\)$")
                                 .match(progress()->labelText())
                                 .hasMatch(),
                             5000);

    // The progress dialog's own Cancel button; it goes away with the run it belongs to.
    QSignalSpy refreshed(m_dialog.get(), &DownloadFirmwareForOfflineDialog::listRefreshed);
    QPushButton *cancel = progress()->findChild<QPushButton *>();
    QVERIFY(cancel);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(refreshed.wait(10000));
    QTRY_VERIFY(!progress());
    QCOMPARE(status(), QStringLiteral("Download error"));
    QVERIFY(item("P435")->flags() & Qt::ItemIsEnabled);
    QVERIFY(item("V554")->flags() & Qt::ItemIsEnabled);
    QVERIFY(closeButton()->isEnabled());
    QVERIFY(downloadButton()->isEnabled());
    QCOMPARE(QDir(m_served.cache).entryList(QDir::Files), QStringList());

    m_served.server->setBehaviour(FwBehaviour());
    QVERIFY(downloadAndWait());
    QCOMPARE(status(), QStringLiteral("Download complete"));
    QVERIFY(!(item("P435")->flags() & Qt::ItemIsEnabled));
}

void tst_DownloadFirmwareForOfflineDialog::runWhoseJobsEndAtOnce_data()
{
    QTest::addColumn<bool>("oneDownloads");
    QTest::newRow("every package cached") << false;
    QTest::newRow("one cached, one downloads") << true;
}

// A package already in the cache is unpacked without a download, inside the job's start: the
// run must still end, close its progress dialog and let the dialog be closed.
void tst_DownloadFirmwareForOfflineDialog::runWhoseJobsEndAtOnce()
{
    QFETCH(bool, oneDownloads);
    const int cachedPackage = m_catalogue->addZip("cached.zip", {50000}, {"P435"});
    const int served = m_catalogue->addZip("served.zip", {50000}, {"V554"});
    QVERIFY(m_catalogue->cachePackage(cachedPackage, m_served.cache));
    if (!oneDownloads)
        QVERIFY(m_catalogue->cachePackage(served, m_served.cache));
    openDialog();
    check("P435");
    check("V554");

    QVERIFY(downloadAndWait());
    QCOMPARE(status(), QStringLiteral("Download complete"));
    QTRY_VERIFY(!progress());
    QVERIFY(!m_dialog->isDownloading());
    QVERIFY(closeButton()->isEnabled());
    QCOMPARE(m_served.server->connectionCount() - m_connectionsBefore, oneDownloads ? 1 : 0);
    QVERIFY(!(item("P435")->flags() & Qt::ItemIsEnabled));
    QVERIFY(!(item("V554")->flags() & Qt::ItemIsEnabled));
    m_dialog->reject();
    QVERIFY(!m_dialog->isVisible());
}

// The check of the cache runs while the dialog is already up: busy cursor, Download held off,
// and a user's check during it is kept.
void tst_DownloadFirmwareForOfflineDialog::checkingTheCacheShowsBusyAndKeepsDownloadOff()
{
    const int big = m_catalogue->addPlain("big.bin", 8 << 20, {"P435"});
    m_catalogue->addPlain("small.bin", 100, {"V554"});
    QVERIFY(m_catalogue->cacheFirmware(big, m_served.cache));
    m_database = m_catalogue->database();
    m_dialog = std::make_unique<DownloadFirmwareForOfflineDialog>(m_served.cache, &m_database);
    QSignalSpy refreshed(m_dialog.get(), &DownloadFirmwareForOfflineDialog::listRefreshed);
    m_dialog->show();

    QVERIFY(m_dialog->isCheckingCache());
    QCOMPARE(m_dialog->cursor().shape(), Qt::BusyCursor);
    QCOMPARE(status(), QStringLiteral("Checking downloaded firmware..."));
    check("V554");
    QVERIFY(!downloadButton()->isEnabled());

    QVERIFY(refreshed.wait(20000));
    QVERIFY(!m_dialog->isCheckingCache());
    QCOMPARE(m_dialog->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(item("V554")->checkState(), Qt::Checked);
    QVERIFY(!(item("P435")->flags() & Qt::ItemIsEnabled));
    QVERIFY(downloadButton()->isEnabled());
}

QTEST_MAIN(tst_DownloadFirmwareForOfflineDialog)
#include "tst_downloadfirmwareforofflinedialog.moc"
