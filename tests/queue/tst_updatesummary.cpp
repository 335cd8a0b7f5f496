#include "queue/UpdateSummary.h"

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
    return e;
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
            QStringLiteral("<tr><td>1</td><td>A</td><td>SN-A</td><td>127.0.0.9</td><td></td></tr>"
                           "<tr><td>2</td><td>C</td><td>SN-C</td><td>127.0.0.9</td><td></td></tr>")));
    QVERIFY(!without.table.contains(QStringLiteral("Asset Tag")));
    QVERIFY(without.table.contains(QStringLiteral("<td bgcolor=\"#ffffff\">Notes</td>")));

    const UpdateSummary::Texts with = UpdateSummary::build(rows, options(5, true));
    QVERIFY(with.table.contains(QStringLiteral("<td bgcolor=\"#ffffff\">Asset Tag</td>")));
    QVERIFY(with.table.contains(
            QStringLiteral("<tr><td>2</td><td>C</td><td>SN-C</td><td>Lobby</td><td>127.0.0.9</td><td></td></tr>")));
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
    QVERIFY2(t.table.contains(QStringLiteral("<td>127.0.0.9</td><td>") + rowNotes + QStringLiteral("</td></tr>")),
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
    QTest::newRow("89 s") << QList<int> { 89 } << 5 << "at least 1 minutes";
    QTest::newRow("29 s") << QList<int> { 29 } << 5 << "at least 0 minutes";
    QTest::newRow("30 s") << QList<int> { 30 } << 5 << "at least 1 minutes";
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
    const UpdateSummary::Texts t = UpdateSummary::build(rows, options(5, true));
    QVERIFY(!t.table.contains(text) || text.toHtmlEscaped() == text);
    // Shown as rich text, the characters come out as they were typed.
    const QString shown = plain(t.table);
    QVERIFY2(shown.contains(text), qPrintable(shown));
    QVERIFY(shown.contains(text + QStringLiteral("s")));
    QVERIFY(shown.contains(text + QStringLiteral("t")));
    QCOMPARE(t.table.count(QStringLiteral("<tr>")), 2);
}

QTEST_MAIN(tst_UpdateSummary)
#include "tst_updatesummary.moc"
