#include "catalogue/FirmwareDatabase.h"
#include "queue/UpdateSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTextDocument>

namespace {

DisplayEntry listed(const QString &model, int durationSecs = 0)
{
    DisplayEntry e;
    e.selected = true;
    e.downloadState = 3;
    e.modelName = model;
    e.serialNumber = QStringLiteral("SN-") + model;
    e.address = QHostAddress(QStringLiteral("127.0.0.9"));
    e.updateDurationSecs = durationSecs;
    e.catalogueSeries = 3;
    e.currentFirmware = QStringLiteral("R1.000");
    e.latestVersion = QStringLiteral("R2.000");
    return e;
}

// One release per model, with as many unpacked files as given; the queue reads the same catalogue.
FirmwareDatabase catalogue(const QList<QPair<QString, int>> &modelFiles)
{
    QJsonArray firmware;
    for (const auto &[model, files] : modelFiles) {
        QJsonArray unpacked;
        for (int i = 0; i < files; ++i)
            unpacked.append(QJsonObject { { "fileName", QStringLiteral("%1-%2.bin").arg(model).arg(i) },
                                          { "fileSize", 10 }, { "fileChecksum", "00" } });
        QJsonObject release { { "version", "R2.000" }, { "seriesName", "SERIES_CEDAR5" }, { "updateViaHTTP", 1 },
                              { "downloadLoc", "http://127.0.0.1/firmwareupdates/" + model + ".zip" },
                              { "models", QJsonArray { model } }, { "changes", QJsonObject { { "version", "R2.000" } } } };
        if (files > 0)
            release.insert("unpackedFileInfo", unpacked);
        firmware.append(release);
    }
    FirmwareDatabase database;
    database.parse(QJsonDocument(QJsonObject { { "info", QJsonObject { { "databaseVersion", 1 } } },
                                               { "firmware", firmware } }).toJson(),
                   QLocale::English);
    return database;
}

UpdateSummary::Options options(int limit = 5, bool assetTag = false)
{
    UpdateSummary::Options o;
    o.updateLimit = limit;
    o.showAssetTag = assetTag;
    o.headerColour = QStringLiteral("#ffffff");
    o.note1IconPath = QStringLiteral(":/resources/reset power.svg");
    return o;
}

QString plain(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

}

class tst_UpdateSummary : public QObject
{
    Q_OBJECT

private slots:
    void zeroRows();
    void rowsAreNumberedInTableOrder();
    void notes_data();
    void notes();
    void duration_data();
    void duration();
    void rolloutLine_data();
    void rolloutLine();
    void displayTextsAreEscaped_data();
    void displayTextsAreEscaped();
    void refusedRowsListedApart_data();
    void refusedRowsListedApart();
};

void tst_UpdateSummary::zeroRows()
{
    DisplayEntryList rows { listed(QStringLiteral("A"), 600) };
    rows[0].downloadState = 2; // not downloaded: not listed
    const UpdateSummary::Texts t = UpdateSummary::build(rows, options());
    QCOMPARE(t.listedRows, 0);
    QCOMPARE(t.header, QStringLiteral("The firmware on the following 0 display(s) is about to be updated.<br>"));
    QVERIFY(t.table.startsWith(QStringLiteral("<table table border=\"1\"")));
    QVERIFY(t.table.endsWith(QStringLiteral("</thead></table>")));
    QVERIFY(!t.message.contains(QStringLiteral("at least")));
    QCOMPARE(t.message, QStringLiteral("<br><b>Are you sure you want to proceed?</b>"));
}

void tst_UpdateSummary::rowsAreNumberedInTableOrder()
{
    DisplayEntryList rows { listed(QStringLiteral("A")), listed(QStringLiteral("B")), listed(QStringLiteral("C")) };
    rows[1].selected = false;
    rows[2].assetTag = QStringLiteral("Lobby");
    const UpdateSummary::Texts without = UpdateSummary::build(rows, options());
    QCOMPARE(without.listedRows, 2);
    QVERIFY(without.table.contains(
            QStringLiteral("<tr><td>1</td><td>A</td><td>SN-A</td><td>127.0.0.9</td><td>R1.000</td><td>R2.000</td><td></td></tr>"
                           "<tr><td>2</td><td>C</td><td>SN-C</td><td>127.0.0.9</td><td>R1.000</td><td>R2.000</td><td></td></tr>")));
    QVERIFY(!without.table.contains(QStringLiteral("Asset Tag")));
    QVERIFY(without.table.contains(QStringLiteral("<td bgcolor=\"#ffffff\">IP Address</td><td bgcolor=\"#ffffff\">Current</td>"
                                                  "<td bgcolor=\"#ffffff\">New</td><td bgcolor=\"#ffffff\">Notes</td>")));

    rows[2].currentFirmware = QStringLiteral("R1.500");
    const UpdateSummary::Texts with = UpdateSummary::build(rows, options(5, true));
    QVERIFY(with.table.contains(QStringLiteral("<td bgcolor=\"#ffffff\">Asset Tag</td>")));
    QVERIFY(with.table.contains(
            QStringLiteral("<tr><td>2</td><td>C</td><td>SN-C</td><td>Lobby</td><td>127.0.0.9</td><td>R1.500</td><td>R2.000</td><td></td></tr>")));
    // Every row has as many cells as the head.
    const QString plainTable = plain(with.table);
    QCOMPARE(with.table.count(QStringLiteral("<td")), 8 * 3);
    QVERIFY(plainTable.contains(QStringLiteral("R1.500")));
}

void tst_UpdateSummary::notes_data()
{
    QTest::addColumn<int>("manualPowerCycle");
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("powerSaveMode");
    QTest::addColumn<int>("needNormal");
    QTest::addColumn<int>("vcp");
    QTest::addColumn<QString>("rowNotes");
    QTest::addColumn<QStringList>("explained");

    QTest::newRow("none") << 0 << 3 << 1 << 0 << 1 << QString() << QStringList();
    QTest::newRow("note 1") << 2 << 3 << -2 << 0 << -2 << "See note 1. " << QStringList { "Note 1:" };
    QTest::newRow("note 2, standby") << 0 << 1 << 1 << 0 << -2
                                     << "See note 2. Current setting is &quot;Auto Standby&quot;."
                                     << QStringList { "Note 2:" };
    QTest::newRow("note 2, power save") << 0 << 2 << 0 << 0 << -2
                                        << "See note 2. Current setting is &quot;Auto Power Save&quot;."
                                        << QStringList { "Note 2:" };
    QTest::newRow("series 2, mode off") << 0 << 2 << 2 << 0 << -2 << QString() << QStringList();
    QTest::newRow("note 3") << 0 << 11 << -2 << 1 << 1 << "See note 3. " << QStringList { "Note 3:" };
    QTest::newRow("note 3, already normal") << 0 << 11 << -2 << 1 << 2 << QString() << QStringList();
    QTest::newRow("all three, in order") << 2 << 1 << 0 << 1 << 1
                                         << "See note 1. See note 2. Current setting is &quot;Auto Power Save&quot;.See note 3. "
                                         << QStringList { "Note 1:", "Note 2:", "Note 3:" };
}

void tst_UpdateSummary::notes()
{
    QFETCH(int, manualPowerCycle);
    QFETCH(int, series);
    QFETCH(int, powerSaveMode);
    QFETCH(int, needNormal);
    QFETCH(int, vcp);
    QFETCH(QString, rowNotes);
    QFETCH(QStringList, explained);

    DisplayEntryList rows { listed(QStringLiteral("A")) };
    DisplayEntry &r = rows[0];
    r.manualPowerCycle = manualPowerCycle;
    r.catalogueSeries = series;
    r.powerSaveMode = powerSaveMode;
    r.needPowerSaveModeToNormal = needNormal;
    r.powerSaveModeVcp = vcp;

    const UpdateSummary::Texts t = UpdateSummary::build(rows, options());
    QVERIFY2(t.table.contains(QStringLiteral("<td>127.0.0.9</td><td>R1.000</td><td>R2.000</td><td>") + rowNotes
                              + QStringLiteral("</td></tr>")),
             qPrintable(t.table));
    int last = -1;
    for (const QString &name : { QStringLiteral("Note 1:"), QStringLiteral("Note 2:"), QStringLiteral("Note 3:") }) {
        const int at = t.message.indexOf(name);
        QCOMPARE(at >= 0, explained.contains(name));
        if (at >= 0) {
            QVERIFY(at > last);
            last = at;
        }
    }
    if (explained.contains(QStringLiteral("Note 1:")))
        QVERIFY(t.message.contains(QStringLiteral("<img src=\":/resources/reset power.svg\"")));
    QVERIFY(t.message.endsWith(QStringLiteral("<br><b>Are you sure you want to proceed?</b>")));
}

void tst_UpdateSummary::duration_data()
{
    QTest::addColumn<QList<int>>("durations");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("sentence"); // empty: no duration sentence

    QTest::newRow("2x600, limit 1") << QList<int> { 600, 600 } << 1 << "at least 20 minutes";
    QTest::newRow("2x600, limit 5") << QList<int> { 600, 600 } << 5 << "at least 10 minutes";
    QTest::newRow("89 s") << QList<int> { 89 } << 5 << "at least 1 minute";
    QTest::newRow("90 s") << QList<int> { 90 } << 5 << "at least 2 minutes";
    QTest::newRow("60 s") << QList<int> { 60 } << 5 << "at least 1 minute";
    QTest::newRow("59 s") << QList<int> { 59 } << 5 << "less than a minute";
    QTest::newRow("29 s") << QList<int> { 29 } << 5 << "less than a minute";
    QTest::newRow("1 s") << QList<int> { 1 } << 5 << "less than a minute";
    QTest::newRow("2x40 s, limit 1") << QList<int> { 40, 40 } << 1 << "at least 1 minute";
    QTest::newRow("no duration") << QList<int> { 0 } << 5 << QString();
}

void tst_UpdateSummary::duration()
{
    QFETCH(QList<int>, durations);
    QFETCH(int, limit);
    QFETCH(QString, sentence);
    DisplayEntryList rows;
    for (int d : durations)
        rows.append(listed(QStringLiteral("M"), d));
    const UpdateSummary::Texts t = UpdateSummary::build(rows, options(limit));
    if (sentence.isEmpty())
        QVERIFY(!t.message.contains(QStringLiteral("The update process")));
    else
        QVERIFY2(t.message.contains(QStringLiteral("<br>The update process will take ") + sentence
                                    + QStringLiteral(", during which time")),
                 qPrintable(t.message));
}

void tst_UpdateSummary::rolloutLine_data()
{
    QTest::addColumn<bool>("firstPerModel");
    QTest::addColumn<int>("maxFailures");
    QTest::addColumn<QString>("line");
    QTest::newRow("both off") << false << 0 << QString();
    QTest::newRow("first per model") << true << 0 << "Rollout: one display of each model first";
    QTest::newRow("stop after 3") << false << 3 << "Rollout: stop after 3 failures";
    QTest::newRow("stop after 1") << false << 1 << "Rollout: stop after 1 failure";
    QTest::newRow("both") << true << 3 << "Rollout: one display of each model first; stop after 3 failures";
}

// The policy in force is stated once, before the duration and the question; off, nothing is said.
void tst_UpdateSummary::rolloutLine()
{
    QFETCH(bool, firstPerModel);
    QFETCH(int, maxFailures);
    QFETCH(QString, line);
    RolloutPolicy policy;
    policy.firstPerModel = firstPerModel;
    policy.maxFailures = maxFailures;
    QCOMPARE(UpdateSummary::rolloutText(policy), line);

    UpdateSummary::Options o = options();
    o.rollout = policy;
    const UpdateSummary::Texts t = UpdateSummary::build(DisplayEntryList { listed(QStringLiteral("A"), 600) }, o);
    const UpdateSummary::Texts plain = UpdateSummary::build(DisplayEntryList { listed(QStringLiteral("A"), 600) }, options());
    if (line.isEmpty()) {
        QCOMPARE(t.message, plain.message);
        QVERIFY(!t.message.contains(QStringLiteral("Rollout")));
        return;
    }
    QCOMPARE(t.message.count(QStringLiteral("Rollout:")), 1);
    const qsizetype at = t.message.indexOf(line);
    QVERIFY2(at >= 0, qPrintable(t.message));
    QVERIFY(at < t.message.indexOf(QStringLiteral("at least")));
    QVERIFY(at < t.message.indexOf(QStringLiteral("Are you sure")));
    QCOMPARE(t.header, plain.header);
    QCOMPARE(t.table, plain.table);
}

void tst_UpdateSummary::displayTextsAreEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("image") << "<img src=\"file:///etc/passwd\">";
    QTest::newRow("cell break") << "</td></tr></table><b>x";
    QTest::newRow("entity and quote") << "A&B \"q\" 'a'";
    QTest::newRow("placeholder") << "%1 %2 %6";
}

void tst_UpdateSummary::displayTextsAreEscaped()
{
    QFETCH(QString, text);
    DisplayEntryList rows { listed(QStringLiteral("M")) };
    rows[0].modelName = text;
    rows[0].serialNumber = text + QStringLiteral("s");
    rows[0].assetTag = text + QStringLiteral("t");
    rows[0].currentFirmware = text + QStringLiteral("c");
    rows[0].latestVersion = text + QStringLiteral("n");
    // The same display twice: once to update, once refused (its series has no LAN sequence).
    rows.append(rows[0]);
    rows[1].catalogueSeries = 7;
    const UpdateSummary::Texts t = UpdateSummary::build(rows, options(5, true));
    QVERIFY(!t.table.contains(text) || text.toHtmlEscaped() == text);
    // Shown as rich text, the characters come out as they were typed.
    const QString shown = plain(t.table);
    QVERIFY2(shown.contains(text), qPrintable(shown));
    for (const char *suffix : { "s", "t", "c", "n" })
        QCOMPARE(shown.count(text + suffix), suffix == QLatin1String("n") ? 1 : 2);
    QCOMPARE(t.table.count(QStringLiteral("<tr>")), 4);
}

void tst_UpdateSummary::refusedRowsListedApart_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("withCatalogue");
    QTest::addColumn<QString>("reason"); // empty: updated with the others

    const QString noLan = QStringLiteral("This model cannot be updated via LAN. Use a USB drive.");
    QTest::newRow("series 7") << 7 << 1 << true << noLan;
    QTest::newRow("series 8") << 8 << 1 << true << noLan;
    QTest::newRow("no series") << 0 << 1 << true << noLan;
    QTest::newRow("seven files") << 3 << 7 << true
                                 << "The firmware has 7 files, more than the 6 a LAN update can send.";
    QTest::newRow("six files") << 3 << 6 << true << QString();
    QTest::newRow("plain package") << 11 << 0 << true << QString();
    QTest::newRow("series 7, no catalogue") << 7 << 1 << false << noLan;
    // Without the catalogue the files are unknown: the queue still refuses the row later.
    QTest::newRow("seven files, no catalogue") << 3 << 7 << false << QString();
}

// A row the queue will refuse is judged before the question: listed apart with its reason, not
// counted among the displays to update nor in their time.
void tst_UpdateSummary::refusedRowsListedApart()
{
    QFETCH(int, series);
    QFETCH(int, files);
    QFETCH(bool, withCatalogue);
    QFETCH(QString, reason);

    const FirmwareDatabase database = catalogue({ { "OK-1", 1 }, { "X-2", files } });
    DisplayEntryList rows { listed(QStringLiteral("OK-1"), 600), listed(QStringLiteral("X-2"), 600) };
    rows[1].catalogueSeries = series;
    rows[1].manualPowerCycle = 2; // a note it would carry if it were updated
    rows[1].address = QHostAddress(QStringLiteral("127.0.0.10"));
    UpdateSummary::Options o = options(1);
    if (withCatalogue)
        o.database = &database;
    const UpdateSummary::Texts t = UpdateSummary::build(rows, o);

    const bool refused = !reason.isEmpty();
    QCOMPARE(t.listedRows, refused ? 1 : 2);
    QCOMPARE(t.refusedRows, refused ? 1 : 0);
    QVERIFY(t.header.contains(QStringLiteral("following %1 display(s)").arg(t.listedRows)));
    QCOMPARE(t.estimateSecs, refused ? 600 : 1200);
    QVERIFY(t.message.contains(refused ? QStringLiteral("at least 10 minutes") : QStringLiteral("at least 20 minutes")));
    QCOMPARE(t.message.contains(QStringLiteral("Note 1:")), !refused);

    const QString shown = plain(t.table);
    const int apart = shown.indexOf(QStringLiteral("will not be updated"));
    QCOMPARE(apart >= 0, refused);
    if (refused) {
        QVERIFY2(shown.contains(QStringLiteral("The following 1 display(s) will not be updated:")), qPrintable(shown));
        // Below the displays to update, with the model, the address and the reason.
        QVERIFY(shown.indexOf(QStringLiteral("OK-1")) < apart);
        QVERIFY(shown.indexOf(QStringLiteral("X-2"), apart) > apart);
        QVERIFY(shown.indexOf(QStringLiteral("127.0.0.10"), apart) > apart);
        QVERIFY2(shown.indexOf(reason, apart) > apart, qPrintable(shown));
        QVERIFY(!t.table.contains(QStringLiteral("<td>2</td>")));
    } else {
        QVERIFY(t.table.contains(QStringLiteral("<tr><td>2</td><td>X-2</td>")));
    }
}

QTEST_MAIN(tst_UpdateSummary)
#include "tst_updatesummary.moc"
