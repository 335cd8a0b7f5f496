#include "app/AppTranslations.h"
#include "dialogs/AdvancedIPSearchDialog.h"
#include "records/DisplayRowText.h"
#include "records/DisplayTableState.h"
#include "records/DurationText.h"
#include "reports/CsvWriter.h"
#include "reports/DisplayListExport.h"
#include "reports/UpdateReport.h"
#include "update/UpdateStatusText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
    void exportsKeepMachineFieldsEnglish();

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
    QTest::newRow("success and its version check") << TextMaker([] {
        DisplayEntry row;
        row.resultStatus = 3;
        row.verifyOutcome = VerifyOutcome::Verified;
        row.updateNote = QStringLiteral("確認済み: バージョン R2.000");
        return DisplayRowText::statusText(row, false, {});
    }) << "成功。確認済み: バージョン R2.000";
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

// A Japanese window writes files that scripts read: the CSV header rows, the JSON keys, the
// result codes and the yes/no of the read-back column stay English; the texts of the cells, the
// result texts among them, are Japanese as in the window.
void tst_JapaneseTexts::exportsKeepMachineFieldsEnglish()
{
    DisplayTableState state;
    DisplayEntry row;
    row.address = QHostAddress(QStringLiteral("127.0.80.1"));
    row.modelName = QStringLiteral("LG-141");
    row.serialNumber = QStringLiteral("80A00000");
    row.powerState = 1;
    row.currentFirmware = QStringLiteral("R2.000");
    row.latestVersion = QStringLiteral("R2.000");
    row.firmwareStatus = FirmwareStatus::UpToDate;
    row.updateStartedAt = QDateTime(QDate(2026, 12, 10), QTime(1, 2, 3), Qt::UTC);
    row.updateSettledAt = row.updateStartedAt.addSecs(60);
    row.firmwareBefore = QStringLiteral("R1.000");
    row.firmwareAfter = QStringLiteral("R2.000");
    row.resultStatus = 3;
    row.verifyOutcome = VerifyOutcome::Verified;
    state.displayEntries << row;

    DisplayListExport::Options options;
    options.showAssetTag = true;
    options.statusText = &UpdateStatusText::text;
    const QList<QStringList> list = DisplayListExport::table(state, {}, options);
    QCOMPARE(list.first(), (QStringList { "Model Name", "Serial Number", "Asset Tag", "IP Address",
                                          "Firmware Update IP Address", "MAC Address", "Power State",
                                          "Current Firmware", "Firmware 1", "Firmware 2", "Firmware 3", "Firmware 4",
                                          "Latest Firmware", "Firmware Availability", "Status" }));
    const QStringList cells = list.at(1);
    QCOMPARE(cells.at(6), QStringLiteral("電源オン"));
    QCOMPARE(cells.at(14), QStringLiteral("成功"));

    const QList<UpdateReport::Line> lines = UpdateReport::lines(state, false, &UpdateStatusText::text);
    const QList<QStringList> report = UpdateReport::table(lines);
    QCOMPARE(report.first(), (QStringList { "Started", "Settled", "Model Name", "Serial Number", "IP Address",
                                            "Version Before", "Version After", "Version Read Back", "Result" }));
    QCOMPARE(report.at(1).at(7), QStringLiteral("Yes"));
    QCOMPARE(report.at(1).at(8), QStringLiteral("成功"));
    QVERIFY(CsvWriter::document(report).contains("Started,Settled,Model Name"));

    const QJsonObject json = QJsonDocument::fromJson(UpdateReport::json(lines)).array().first().toObject();
    QCOMPARE(json.keys(), (QStringList { "address", "firmware_after", "firmware_after_verified", "firmware_before",
                                         "model", "result", "result_text", "rollout", "serial", "settled", "started" }));
    QCOMPARE(json.value("result").toInt(), 3);
    QCOMPARE(json.value("firmware_after_verified").toBool(), true);
    QCOMPARE(json.value("result_text").toString(), QStringLiteral("成功"));
}

QTEST_MAIN(tst_JapaneseTexts)
#include "tst_japanesetexts.moc"
