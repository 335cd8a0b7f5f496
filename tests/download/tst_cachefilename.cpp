#include "download/CacheFileName.h"

#include <QTest>

class tst_CacheFileName : public QObject
{
    Q_OBJECT

private slots:
    void isPlain_data();
    void isPlain();
    void fromDownloadLocation_data();
    void fromDownloadLocation();
};

void tst_CacheFileName::isPlain_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");

    QTest::newRow("package") << "NP-V404_R1.234.zip" << true;
    QTest::newRow("no extension") << "firmware" << true;
    QTest::newRow("leading dot") << ".hidden.bin" << true;
    QTest::newRow("inner dots") << "a..b.bin" << true;
    QTest::newRow("device-like stem") << "CONFIG.bin" << true;
    QTest::newRow("unicode") << QStringLiteral("ファーム.bin") << true;

    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("parent") << "../x" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("subfolder") << "a/b.bin" << false;
    QTest::newRow("backslash") << "..\\x" << false;
    QTest::newRow("drive relative") << "C:x.bin" << false;
    QTest::newRow("drive absolute") << "C:\\x.bin" << false;
    QTest::newRow("stream") << "x.bin:evil" << false;
    QTest::newRow("wildcard") << "*.bin" << false;
    QTest::newRow("query") << "x.zip?v=2" << false;
    QTest::newRow("control character") << QStringLiteral("x\n.bin") << false;
    QTest::newRow("nul character") << QString(QStringLiteral("x") + QChar(0) + QStringLiteral(".bin")) << false;
    QTest::newRow("trailing dot") << "x.bin." << false;
    QTest::newRow("trailing space") << "x.bin " << false;
    QTest::newRow("device") << "NUL" << false;
    QTest::newRow("device with extension") << "con.bin" << false;
    QTest::newRow("numbered device") << "COM1.zip" << false;
}

void tst_CacheFileName::isPlain()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(CacheFileName::isPlain(name), plain);
}

void tst_CacheFileName::fromDownloadLocation_data()
{
    QTest::addColumn<QString>("downloadLoc");
    QTest::addColumn<QString>("name");
    QTest::newRow("url") << "http://127.0.0.1:8080/firmwareupdates/pkg/R1.zip" << "R1.zip";
    QTest::newRow("trailing slash") << "http://127.0.0.1/firmwareupdates/" << "";
    QTest::newRow("no slash") << "R1.zip" << "R1.zip";
    QTest::newRow("backslashes kept") << "http://127.0.0.1/a\\..\\b.zip" << "a\\..\\b.zip";
}

void tst_CacheFileName::fromDownloadLocation()
{
    QFETCH(QString, downloadLoc);
    QFETCH(QString, name);
    QCOMPARE(CacheFileName::fromDownloadLocation(downloadLoc), name);
}

QTEST_APPLESS_MAIN(tst_CacheFileName)
#include "tst_cachefilename.moc"
