#include "app/AppTranslations.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "records/DisplayRowText.h"
#include "records/DurationText.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

#include <functional>

// Texts whose source changed must still find their Japanese entry: a source that no longer
// matches the catalogue falls back to English without a word, in the middle of a Japanese window.
class tst_JapaneseTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void translated_data();
    void translated();

private:
    AppTranslations m_translations;
};

using TextMaker = std::function<QString()>;
Q_DECLARE_METATYPE(TextMaker)

void tst_JapaneseTexts::initTestCase()
{
    QVERIFY(m_translations.install(QLocale(QLocale::Japanese, QLocale::Japan)) >= 1);
}

void tst_JapaneseTexts::translated_data()
{
    QTest::addColumn<TextMaker>("make");
    QTest::addColumn<QString>("expected");

    QTest::newRow("under a minute") << TextMaker([] { return DurationText::minutes(59); }) << "1 分未満";
    QTest::newRow("one minute") << TextMaker([] { return DurationText::minutes(89); }) << "1 分";
    QTest::newRow("minutes") << TextMaker([] { return DurationText::minutes(720); }) << "12 分";
    QTest::newRow("progress with completed files and time left") << TextMaker([] {
        DisplayEntry row;
        row.updateStatus = 2;
        row.componentCount = 2;
        row.componentProgress = { 100, 0, -1, -1, -1, -1 };
        row.updateDurationSecs = 600;
        return DisplayRowText::progressText(row, 60000);
    }) << "更新中 50% 完了: FW1 残り時間 (推定): 09:00";
    QTest::newRow("targeted search instructions") << TextMaker([] {
        AdvancedIPSearchDialog dialog;
        const QString text = dialog.findChild<QLabel *>(QStringLiteral("instructions_label"))->text();
        // Only the first sentence: the rest is markup and examples.
        return text.contains(QStringLiteral("IPv4 アドレスの一覧")) ? QStringLiteral("translated") : text;
    }) << "translated";
}

void tst_JapaneseTexts::translated()
{
    QFETCH(TextMaker, make);
    QFETCH(QString, expected);
    QCOMPARE(make(), expected);
}

QTEST_MAIN(tst_JapaneseTexts)
#include "tst_japanesetexts.moc"
