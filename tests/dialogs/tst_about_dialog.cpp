#include "dialogs/About_Dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_About_Dialog : public QObject
{
    Q_OBJECT

private slots:
    void versionText();
    void links_data();
    void links();
    void okCloses();
    void readableInTheDarkPalette();
    void hostileLinksAreFiltered();
};

void tst_About_Dialog::versionText()
{
    QCOMPARE(About_Dialog::applicationVersionText(), QStringLiteral("Application version: 1.3.00 (Build 250930)"));

    About_Dialog dialog(nullptr, QStringLiteral("Firmware database version: 42<br>"), QString());
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("version_label"))->text(),
             QStringLiteral("Firmware database version: 42<br>Application version: 1.3.00 (Build 250930)"));
}

void tst_About_Dialog::links_data()
{
    QTest::addColumn<QString>("linksText");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("empty keeps the defaults") << QString() << false;
    QTest::newRow("given links replace them") << QStringLiteral("<a href=\"https://example.org\">Firmware notes</a>") << true;
    QTest::newRow("nothing usable keeps the defaults") << QStringLiteral("<img src=\"file:///etc/passwd\"><script>x</script>") << false;
}

// The links come from the firmware server: what the label shows and opens is filtered.
void tst_About_Dialog::hostileLinksAreFiltered()
{
    const QString hostile = QStringLiteral(
            "<a href=\"javascript:alert(1)\">Run</a> | <a href=\"file:///etc/passwd\">Files</a> | "
            "<img src=\"http://127.0.0.1:9/track.png\"><a href=\"https://support.example.org/\">Support</a>"
            "<style>a { color: white; }</style>");
    About_Dialog dialog(nullptr, QString(), hostile);
    const QString shown = dialog.findChild<QLabel *>(QStringLiteral("URL_label"))->text();
    QVERIFY(shown.contains(QLatin1String("href=\"https://support.example.org/\">Support</a>")));
    for (const char *gone : { "javascript:", "file:", "<img", "127.0.0.1", "color: white" })
        QVERIFY2(!shown.contains(QLatin1String(gone)), gone);
    QVERIFY(shown.contains(QLatin1String("Run")));
}

void tst_About_Dialog::links()
{
    QFETCH(QString, linksText);
    QFETCH(bool, replaced);

    About_Dialog defaults(nullptr, QString(), QString());
    const QString defaultLinks = defaults.findChild<QLabel *>(QStringLiteral("URL_label"))->text();
    QVERIFY(defaultLinks.contains(QLatin1String("https://support.halvern.example/")));

    About_Dialog dialog(nullptr, QString(), linksText);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("URL_label"));
    if (replaced) {
        QVERIFY(label->text().endsWith(linksText));
        QVERIFY(!label->text().contains(QLatin1String("support.halvern.example")));
    } else {
        QCOMPARE(label->text(), defaultLinks);
    }
    QVERIFY(label->openExternalLinks());
}

void tst_About_Dialog::okCloses()
{
    About_Dialog dialog(nullptr, QString(), QString());
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
}

// The dialog stays white in a dark palette: its links must stay dark enough to read on white, and
// the logo's subtitle must not be cut at the image's edge.
void tst_About_Dialog::readableInTheDarkPalette()
{
    const QPalette previous = QGuiApplication::palette();
    QPalette dark = previous;
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x8a, 0xc8, 0xff));
    QApplication::setPalette(dark);
    {
        About_Dialog dialog(nullptr, QString(), QStringLiteral("<a href=\"https://example.org\">Firmware notes</a>"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // The darkest pixel of a link-only label is the link's own colour.
        const QImage link = dialog.findChild<QLabel *>(QStringLiteral("URL_label"))->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < link.height(); ++y) {
            for (int x = 0; x < link.width(); ++x)
                darkest = qMin(darkest, link.pixelColor(x, y).lightness());
        }
        QVERIFY2(darkest < 110, qPrintable(QString::number(darkest)));

        const QImage shown = dialog.grab().toImage();
        const QColor background = shown.pixelColor(2, shown.height() - 2);
        QVERIFY2(background.lightness() > 240, qPrintable(background.name()));

        // The logo's right-most column holds no ink: its texts end inside the image.
        auto *logo = dialog.findChild<QLabel *>(QStringLiteral("logo_label"));
        const QImage image = logo->pixmap().toImage();
        QVERIFY(!image.isNull());
        for (int y = 0; y < image.height(); ++y)
            QVERIFY2(qAlpha(image.pixel(image.width() - 1, y)) == 0, qPrintable(QString::number(y)));
    }
    QApplication::setPalette(previous);
}

QTEST_MAIN(tst_About_Dialog)
#include "tst_about_dialog.moc"
