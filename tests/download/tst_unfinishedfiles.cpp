#include "common/TestFiles.h"
#include "download/UnfinishedFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The leftovers of writes that never finished, told apart from the files a cache really holds.
class tst_UnfinishedFiles : public QObject
{
    Q_OBJECT

private slots:
    void isUnfinished_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unfinished");
        QTest::newRow("package") << "fw.zip.AbCdEf" << true;
        QTest::newRow("firmware file, digits") << "main.bin.a1B2c3" << true;
        QTest::newRow("upper-case suffix") << "MAIN.PAC.QwErTy" << true;
        QTest::newRow("jbc and hex") << "x.jbc.zzzzzz" << true;
        QTest::newRow("catalogue copy") << "pd_firmware_releases.json.XyZaBc" << true;
        QTest::newRow("the package itself") << "fw.zip" << false;
        QTest::newRow("the catalogue itself") << "pd_firmware_releases.json" << false;
        QTest::newRow("five characters") << "fw.zip.AbCdE" << false;
        QTest::newRow("seven characters") << "fw.zip.AbCdEfG" << false;
        QTest::newRow("not a word character") << "fw.zip.AbC-Ef" << false;
        QTest::newRow("other file type") << "notes.txt.AbCdEf" << false;
        QTest::newRow("other json") << "other.json.AbCdEf" << false;
        QTest::newRow("bare suffix") << ".zip.AbCdEf" << false;
    }

    void isUnfinished()
    {
        QFETCH(QString, name);
        QFETCH(bool, unfinished);
        QCOMPARE(UnfinishedFiles::isUnfinished(name), unfinished);
    }

    // Only plain files directly in the folder go; folders and what lies in them stay.
    void removeTakesOnlyLeftovers()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList leftovers { "a.bin.AbCdEf", "pd_firmware_releases.json.XyZaBc" };
        const QStringList kept { "a.bin", "pd_firmware_releases.json", "readme.txt" };
        for (const QString &name : leftovers + kept)
            QVERIFY(TestFiles::writeFile(dir.filePath(name), "x"));
        QVERIFY(QDir(dir.path()).mkdir("b.zip.AbCdEf"));
        QVERIFY(TestFiles::writeFile(dir.filePath("sub/c.bin.AbCdEf"), "x"));

        QCOMPARE(UnfinishedFiles::list(dir.path()), (QStringList { "a.bin.AbCdEf", "pd_firmware_releases.json.XyZaBc" }));
        QCOMPARE(UnfinishedFiles::remove(dir.path()), 2);
        for (const QString &name : leftovers)
            QVERIFY(!QFileInfo::exists(dir.filePath(name)));
        for (const QString &name : kept)
            QVERIFY(QFileInfo::exists(dir.filePath(name)));
        QVERIFY(QFileInfo(dir.filePath("b.zip.AbCdEf")).isDir());
        QVERIFY(QFileInfo::exists(dir.filePath("sub/c.bin.AbCdEf")));
        QCOMPARE(UnfinishedFiles::remove(QString()), 0);
    }

    // The temporary name of a file being unpacked is one that the sweep knows, and a free one.
    void temporaryPathIsALeftoverName()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath("main.bin");
        const QString first = UnfinishedFiles::temporaryPathFor(target);
        const QString second = UnfinishedFiles::temporaryPathFor(target);
        QVERIFY(!first.isEmpty() && first != second);
        QVERIFY(!QFileInfo::exists(first));
        QCOMPARE(QFileInfo(first).absolutePath(), QFileInfo(target).absolutePath());
        QVERIFY(UnfinishedFiles::isUnfinished(QFileInfo(first).fileName()));
        QVERIFY(UnfinishedFiles::temporaryPathFor(dir.filePath("no/such/main.bin")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_UnfinishedFiles)
#include "tst_unfinishedfiles.moc"
