#include "app/AppSplash.h"

#include <QApplication>
#include <QtTest>

class tst_AppSplash : public QObject
{
    Q_OBJECT

private slots:
    void imageAndVersionText()
    {
        AppSplash splash;
        QVERIFY(!splash.pixmap().isNull());
        QVERIFY(splash.pixmap().width() <= 300 && splash.pixmap().height() <= 300);
        QVERIFY(splash.pixmap().width() >= 200);
        QVERIFY(splash.screen().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        splash.show();
        QCOMPARE(splash.screen().message(), QStringLiteral("Application version: 1.3.00 (Build 250930)"));
        QVERIFY(splash.screen().isVisible());
    }
};

QTEST_MAIN(tst_AppSplash)
#include "tst_appsplash.moc"
