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
}

void tst_About_Dialog::links()
{
    QFETCH(QString, linksText);
    QFETCH(bool, replaced);

    About_Dialog defaults(nullptr, QString(), QString());
    const QString defaultLinks = defaults.findChild<QLabel *>(QStringLiteral("URL_label"))->text();
    QVERIFY(defaultLinks.contains(QLatin1String("href")));

    About_Dialog dialog(nullptr, QString(), linksText);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("URL_label"));
    QCOMPARE(label->text(), replaced ? linksText : defaultLinks);
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

QTEST_MAIN(tst_About_Dialog)
#include "tst_about_dialog.moc"
