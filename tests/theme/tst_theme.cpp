#include "common/TestPalette.h"
#include "theme/Theme.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPalette>
#include <QtTest>

namespace {

using TestPalette::render;
using TestPalette::setWindowLightness;

const QStringList iconNames = {
    "search", "search broadcast", "search target", "search settings", "update_lan", "usb drive",
    "copy to usb", "version history", "info", "refresh", "refresh all", "cancel", "settings",
    "app update", "log", "clear", "copy clipboard", "delete-red", "cloud download", "monitor download",
    "monitor updating progress", "monitor pause", "monitor error", "checkmark",
    "checkmark and reset power", "reset power", "power-on", "power-off", "power-unknown", "comm-error",
    "warning", "right click",
};

}

class tst_Theme : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QApplication::setPalette(QPalette());
    }

    void everyIconIsInTheResources()
    {
        for (const QString &name : iconNames) {
            const QString path = QStringLiteral(":/resources/%1.svg").arg(name);
            QVERIFY2(QFile::exists(path), qPrintable(path));
            QVERIFY2(!QIcon(path).pixmap(16, 16).isNull(), qPrintable(path));
        }
        QVERIFY(QFile::exists(QStringLiteral(":/resources/search.svg")));
        for (const QString &name : iconNames) {
            const QString dark = QStringLiteral(":/resources/dark/%1.svg").arg(name);
            if (QFile::exists(dark))
                QVERIFY2(!QIcon(dark).pixmap(16, 16).isNull(), qPrintable(dark));
        }
        QVERIFY(!QIcon(QStringLiteral(":/resources/app splash.svg")).isNull());
        QVERIFY(!QIcon(QStringLiteral(":/resources/app about.svg")).isNull());
        QVERIFY(!QIcon(QStringLiteral(":/images/Tessel.ico")).pixmap(32, 32).isNull());
    }

    void lightnessBoundary_data()
    {
        QTest::addColumn<int>("lightness");
        QTest::addColumn<bool>("dark");
        QTest::newRow("black") << 0 << true;
        QTest::newRow("127") << 127 << true;
        QTest::newRow("128 counts as light") << 128 << false;
        QTest::newRow("white") << 255 << false;
    }

    void lightnessBoundary()
    {
        QFETCH(int, lightness);
        QFETCH(bool, dark);
        setWindowLightness(lightness);
        QCOMPARE(Theme::isDarkAppearance(), dark);
    }

    void pathLookup_data()
    {
        QTest::addColumn<int>("lightness");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("light") << 240 << "search" << ":/resources/search.svg";
        QTest::newRow("dark with variant") << 20 << "search" << ":/resources/dark/search.svg";
        QTest::newRow("dark without variant falls back") << 20 << "app about" << ":/resources/app about.svg";
        QTest::newRow("128 is light") << 128 << "refresh" << ":/resources/refresh.svg";
        QTest::newRow("127 is dark") << 127 << "refresh" << ":/resources/dark/refresh.svg";
        QTest::newRow("unknown name still gives the light path") << 20 << "no such icon"
                                                                 << ":/resources/no such icon.svg";
    }

    void pathLookup()
    {
        QFETCH(int, lightness);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        setWindowLightness(lightness);
        QCOMPARE(Theme::themedIconPath(name), expected);
    }

    void iconLookupFollowsThePaletteAtOnce()
    {
        const QImage light = render(QIcon(QStringLiteral(":/resources/search.svg")));
        const QImage dark = render(QIcon(QStringLiteral(":/resources/dark/search.svg")));
        QVERIFY(light != dark);

        setWindowLightness(20);
        QCOMPARE(render(Theme::themedIcon(QStringLiteral("search"))), dark);
        setWindowLightness(230);
        QCOMPARE(render(Theme::themedIcon(QStringLiteral("search"))), light);
    }

    void darkWithoutVariantGivesTheLightIcon()
    {
        QVERIFY(!QFile::exists(QStringLiteral(":/resources/dark/app about.svg")));
        setWindowLightness(20);
        const QIcon icon = Theme::themedIcon(QStringLiteral("app about"));
        QVERIFY(!icon.isNull());
        QCOMPARE(render(icon), render(QIcon(QStringLiteral(":/resources/app about.svg"))));
    }

    void colourTable_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QStringList>("colours");
        QTest::newRow("dark") << true << QStringList {
            "#000000", "#4a4a4a", "#87ceeb", "#87ceeb", "#4a4a4a", "#d3d3d3", "#2a2a2a",
            "#ffffff", "#2a2a2a", "#ffffff", "#d3d3d3", "#ffffff", "#2a2a2a", "#ffffff" };
        QTest::newRow("light") << false << QStringList {
            "#ffffff", "#2e5cb8", "#ffffff", "#1e4a8c", "#f8f9fa", "#343a40", "#e9ecef",
            "#212529", "#e9ecef", "#212529", "#6c757d", "#212529", "#e9ecef", "#212529" };
    }

    void colourTable()
    {
        QFETCH(bool, dark);
        QFETCH(QStringList, colours);
        const PanelColours set = Theme::panelColours(dark);
        QCOMPARE(set.colours, colours);
        QCOMPARE(set.borderWidth, 3);
    }
};

QTEST_MAIN(tst_Theme)
#include "tst_theme.moc"
