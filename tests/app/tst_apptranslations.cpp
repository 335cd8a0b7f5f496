#include "app/AppTranslations.h"
#include "records/AppBuild.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

class tst_AppTranslations : public QObject
{
    Q_OBJECT

private slots:
    void cataloguesAreInTheResources()
    {
        QVERIFY(QFile::exists(QStringLiteral(":/translations/Resources/OrvaneQuillon_ja.qm")));
        QVERIFY(QFile::exists(QString::fromLatin1(AppTranslations::QtCatalogue)));
    }

    void otherLanguagesStayUntranslated_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("C") << QLocale::c();
    }

    void otherLanguagesStayUntranslated()
    {
        QFETCH(QLocale, locale);
        AppTranslations translations;
        QCOMPARE(translations.install(locale), 0);
        QCOMPARE(QCoreApplication::translate("Tessel", "Deselect all"), QStringLiteral("Deselect all"));
    }

    void japaneseInstallsBothCatalogues()
    {
        {
            AppTranslations translations;
            QCOMPARE(translations.install(QLocale(QLocale::Japanese, QLocale::Japan)), 2);
            QCOMPARE(QCoreApplication::translate("Tessel", "Deselect all"), QStringLiteral("すべて選択解除"));
            QCOMPARE(AppBuild::versionText(), QStringLiteral("アプリケーション バージョン: 1.3.00 (ビルド 250930)"));
            // A text of Qt's own catalogue.
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
        }
        // Removed again with the object.
        QCOMPARE(QCoreApplication::translate("Tessel", "Deselect all"), QStringLiteral("Deselect all"));
    }
};

QTEST_GUILESS_MAIN(tst_AppTranslations)
#include "tst_apptranslations.moc"
