#include "catalogue/CatalogueRichText.h"
#include "usbwriter/UsbDriveSuitability.h"
#include "usbwriter/UsbReleaseTexts.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <QtTest>

class tst_UsbReleaseTexts : public QObject
{
    Q_OBJECT

private slots:
    void instructions_data();
    void instructions();
    void revisionHistory();
    void spaceNeeded_data();
    void spaceNeeded();
    void usageRestrictions_data();
    void usageRestrictions();
    void documentationLinks();
    void formatsAndSuitability_data();
    void formatsAndSuitability();
    void sizeText_data();
    void sizeText();
    void catalogueRichText_data();
    void catalogueRichText();
};

namespace {

// What a reader sees of some HTML.
QString plain(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

} // namespace

void tst_UsbReleaseTexts::instructions_data()
{
    QTest::addColumn<QString>("instructions");
    QTest::addColumn<QString>("html");

    QTest::newRow("caret paragraph then two steps")
        << "^Prepare the display.|Insert the drive.|Press MENU."
        << "Prepare the display.<br><br><i><b>Step 1</b></i><br>Insert the drive.<br><br>"
           "<i><b>Step 2</b></i><br>Press MENU.<br>";
    QTest::newRow("empty parts skipped, steps count on")
        << "||Insert.||^Note in between.|Wait."
        << "<i><b>Step 1</b></i><br>Insert.<br><br>Note in between.<br><br><i><b>Step 2</b></i><br>Wait.<br>";
    QTest::newRow("nothing") << "" << "No instructions available.";
    QTest::newRow("only separators") << "|||" << "No instructions available.";
}

void tst_UsbReleaseTexts::instructions()
{
    QFETCH(QString, instructions);
    QFETCH(QString, html);
    const QString shown = UsbReleaseTexts::instructionsHtml(instructions);
    QCOMPARE(plain(shown), plain(html));
    if (html.contains(QLatin1String("Step 1"))) {
        QVERIFY(shown.contains(QLatin1String("font-weight:700")) || shown.contains(QLatin1String("font-weight:600")));
        QVERIFY(shown.contains(QLatin1String("font-style:italic")));
    }
}

void tst_UsbReleaseTexts::revisionHistory()
{
    FirmwareRelease release;
    release.changes = { QStringLiteral("R1.402"), QStringLiteral("R1.402"), QStringLiteral("Fix A||Fix <b>B</b>") };
    release.previousVersionChangeList = { { QStringLiteral("R1.300"), QStringLiteral("1.3.0"), QStringLiteral("First") } };
    const QString html = UsbReleaseTexts::revisionHistoryHtml(release);
    QCOMPARE(plain(html), QStringLiteral("Revision R1.402:\n1. Fix A\n2. \n3. Fix B\nRevision R1.300 (version 1.3.0):\n1. First"));
    QVERIFY(html.contains(QLatin1String("font-weight")));

    // Revision and version are plain catalogue texts, not markup.
    release.changes.revision = QStringLiteral("<img src=\"/etc/x.png\">R2");
    release.changes.version = release.changes.revision;
    QVERIFY(plain(UsbReleaseTexts::revisionHistoryHtml(release)).startsWith(QLatin1String("Revision <img src=\"/etc/x.png\">R2:")));
}

void tst_UsbReleaseTexts::spaceNeeded_data()
{
    QTest::addColumn<qint64>("listed");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing listed") << qint64(0) << "Unknown.";
    QTest::newRow("bytes") << qint64(100) << "105 bytes";
    QTest::newRow("just under 1 kB") << qint64(975) << "1023 bytes";
    QTest::newRow("kB") << qint64(976) << "1 kB";
    QTest::newRow("just under 1 MB") << qint64(998643) << "1023 kB";
    QTest::newRow("MB") << qint64(998644) << "1 MB";
    QTest::newRow("large") << qint64(300) * 1024 * 1024 << "315 MB";
}

void tst_UsbReleaseTexts::spaceNeeded()
{
    QFETCH(qint64, listed);
    QFETCH(QString, text);
    QCOMPARE(UsbReleaseTexts::spaceNeeded(listed), text);
}

void tst_UsbReleaseTexts::usageRestrictions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "" << "None";
    QTest::newRow("serial rule") << 3 << "" << "Serial number rule.";
    QTest::newRow("region only") << 0 << "EU" << "For Europe.";
    QTest::newRow("both") << 2 << "EU" << "Serial number rule. For Europe.";
}

void tst_UsbReleaseTexts::usageRestrictions()
{
    QFETCH(int, position);
    QFETCH(QString, region);
    QFETCH(QString, text);
    FirmwareRelease release;
    release.needSNMatchPosition = position;
    release.needSNMatchDetailedDescription = QStringLiteral("Serial number rule.");
    release.needRegionSelectListingText = region;
    release.needRegionSelectDescription = QStringLiteral("For Europe.");
    QCOMPARE(UsbReleaseTexts::usageRestrictions(release), text);
}

void tst_UsbReleaseTexts::documentationLinks()
{
    FirmwareRelease release;
    release.documentationList = {
        { QStringLiteral("Manual <b>&</b>"), QStringLiteral("https://docs.example.invalid/m.pdf") },
        { QStringLiteral("Local"), QStringLiteral("file:///etc/passwd") },
        { QStringLiteral("Script"), QStringLiteral("javascript:alert(1)") },
        { QStringLiteral("Quote"), QStringLiteral("http://x.invalid/\"onmouseover=\"x") },
    };
    const QString html = UsbReleaseTexts::documentationHtml(release);
    QVERIFY(html.startsWith(QLatin1String(
        "<a href=\"https://docs.example.invalid/m.pdf\">Manual &lt;b&gt;&amp;&lt;/b&gt;</a><br>Local<br>Script<br>")));
    QVERIFY(!html.contains(QLatin1String("file:")));
    QVERIFY(!html.contains(QLatin1String("javascript")));
    QVERIFY(!html.contains(QLatin1String("\"onmouseover")));
    FirmwareRelease twoModels;
    twoModels.models = { "PX-551", "PX-651" };
    QCOMPARE(UsbReleaseTexts::models(twoModels), QStringLiteral("PX-551, PX-651"));
}

void tst_UsbReleaseTexts::formatsAndSuitability_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("formats");
    QTest::addColumn<QStringList>("suitable");
    QTest::newRow("all") << 7 << "FAT16, FAT32, NTFS" << QStringList { "FAT16", "fat32", "NTFS" };
    QTest::newRow("FAT32 only") << 2 << "FAT32" << QStringList { "FAT32" };
    QTest::newRow("FAT16 and NTFS") << 5 << "FAT16, NTFS" << QStringList { "fat16", "ntfs" };
    QTest::newRow("none") << 0 << "" << QStringList {};
}

void tst_UsbReleaseTexts::formatsAndSuitability()
{
    QFETCH(int, bits);
    QFETCH(QString, formats);
    QFETCH(QStringList, suitable);
    QCOMPARE(UsbReleaseTexts::supportedFormats(bits), formats);
    const QStringList all = { "FAT16", "fat16", "FAT32", "fat32", "NTFS", "ntfs", "exFAT", "vfat", "FAT12", "ext4", "" };
    for (const QString &type : all)
        QCOMPARE(UsbDriveSuitability::isSuitable(type, bits), suitable.contains(type, Qt::CaseInsensitive));
}

void tst_UsbReleaseTexts::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    const qint64 GB = qint64(1) << 30;
    QTest::newRow("16 GB stick, 15 GiB") << qint64(16'008'609'792) << "14 GB";
    QTest::newRow("16 GB stick, 15.x GiB") << qint64(16'106'127'360) << "15 GB";
    QTest::newRow("exactly 1 GiB") << GB << "1 GB";
    QTest::newRow("just under 1 GiB") << GB - 1 << "1023 MB";
    QTest::newRow("small") << qint64(3) << "0 MB";
}

void tst_UsbReleaseTexts::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(UsbDriveSuitability::sizeText(bytes), text);
    const RemovableDrive drive { "E:/", "STICK", bytes, "FAT32" };
    QCOMPARE(UsbDriveSuitability::entryText(drive), QStringLiteral("E:/ (STICK) [%1 FAT32]").arg(text));
}

void tst_UsbReleaseTexts::catalogueRichText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QStringList>("gone");

    QTest::newRow("web link kept") << "<a href=\"https://example.invalid/a\">A</a>"
                                   << QStringList { "https://example.invalid/a", ">A<" } << QStringList {};
    QTest::newRow("file link dropped, text stays") << "<a href=\"file:///etc/passwd\">A</a>"
                                                   << QStringList { ">A<" } << QStringList { "file:", "href" };
    QTest::newRow("relative link dropped") << "<a href=\"secret.html\">A</a>" << QStringList { ">A<" }
                                           << QStringList { "secret", "href" };
    QTest::newRow("script link dropped") << "<a href=\"javascript:x()\">A</a>" << QStringList { ">A<" }
                                         << QStringList { "javascript" };
    QTest::newRow("resource image kept") << "<img src=\":/resources/warning.svg\">X" << QStringList { ":/resources/warning.svg" }
                                         << QStringList {};
    QTest::newRow("file image dropped") << "<img src=\"/etc/hostname\">X" << QStringList { ">X<" }
                                        << QStringList { "/etc/hostname", "<img" };
    QTest::newRow("web image dropped") << "<img src=\"http://example.invalid/t.png\">X" << QStringList {}
                                       << QStringList { "example.invalid", "<img" };
    QTest::newRow("climbing resource dropped") << "<img src=\":/../etc/x.png\">X" << QStringList {} << QStringList { "<img" };
    QTest::newRow("table background dropped") << "<table background=\"/etc/x.png\"><tr><td background=\"/etc/y.png\">c</td></tr></table>"
                                              << QStringList { ">c<" } << QStringList { "/etc/x.png", "/etc/y.png" };
    QTest::newRow("formatting kept") << "<b>bold</b> <i>it</i>" << QStringList { "font-weight", "font-style:italic" }
                                     << QStringList {};
}

void tst_UsbReleaseTexts::catalogueRichText()
{
    QFETCH(QString, html);
    QFETCH(QStringList, kept);
    QFETCH(QStringList, gone);
    const QString clean = CatalogueRichText::sanitized(html);
    for (const QString &k : kept)
        QVERIFY2(clean.contains(k), qPrintable(k + " missing in " + clean));
    for (const QString &g : gone)
        QVERIFY2(!clean.contains(g), qPrintable(g + " still in " + clean));
}

QTEST_MAIN(tst_UsbReleaseTexts)
#include "tst_usbreleasetexts.moc"
