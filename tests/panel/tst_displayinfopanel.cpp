#include "catalogue/FirmwareRelease.h"
#include "panel/DisplayInfoPanel.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

PanelColours lightColours()
{
    PanelColours colours;
    for (int slot = 0; slot < 14; ++slot)
        colours.colours << QStringLiteral("#0000%1").arg(slot, 2, 10, QLatin1Char('0'));
    return colours;
}

QString iconPath(const QString &name)
{
    return QStringLiteral(":/resources/%1.svg").arg(name);
}

QString statusText(int status)
{
    return QStringLiteral("status text %1").arg(status);
}

DisplayInfoPanel::WindowState searchedState()
{
    DisplayInfoPanel::WindowState state;
    state.searchAttempted = true;
    state.databaseLoaded = true;
    state.rowCount = 1;
    state.colours = lightColours();
    return state;
}

QString build(const DisplayEntry *row, const FirmwareRelease *release = nullptr,
              DisplayInfoPanel::WindowState state = searchedState())
{
    return DisplayInfoPanel(state, iconPath, statusText).build(row, release);
}

DisplayEntry plainRow()
{
    DisplayEntry row;
    row.address = QHostAddress("10.1.2.3");
    row.updateAddress = QHostAddress("10.1.2.4");
    row.modelName = "PX-551";
    row.serialNumber = "7A012345";
    row.macAddress = "00-11-22-33-44-55";
    row.currentFirmware = "R1.100";
    row.powerState = 1;
    return row;
}

// A row described as "field=value field=value", so each case of the tables below reads as the
// state it sets up.
DisplayEntry rowWith(const QString &fields)
{
    static const QHash<QString, qint32 DisplayEntry::*> ints {
        { "powerState", &DisplayEntry::powerState },
        { "updateStatus", &DisplayEntry::updateStatus },
        { "resultStatus", &DisplayEntry::resultStatus },
        { "catalogueSeries", &DisplayEntry::catalogueSeries },
        { "firmwareStatus", &DisplayEntry::firmwareStatus },
        { "requiresAppBuild", &DisplayEntry::requiresAppBuild },
        { "updateViaHTTP", &DisplayEntry::updateViaHTTP },
        { "updateViaUSB", &DisplayEntry::updateViaUSB },
        { "updateDurationSecs", &DisplayEntry::updateDurationSecs },
        { "componentCount", &DisplayEntry::componentCount },
        { "useIP2", &DisplayEntry::useIP2 },
        { "needPowerOnToUpdate", &DisplayEntry::needPowerOnToUpdate },
        { "needPowerOnToReadInfo", &DisplayEntry::needPowerOnToReadInfo },
        { "commStatus", &DisplayEntry::commStatus },
        { "manualPowerCycle", &DisplayEntry::manualPowerCycle },
        { "lockStatus", &DisplayEntry::lockStatus },
        { "powerSaveMode", &DisplayEntry::powerSaveMode },
        { "verifyOutcome", &DisplayEntry::verifyOutcome },
    };
    DisplayEntry row = plainRow();
    for (const QString &pair : fields.split(' ', Qt::SkipEmptyParts)) {
        const QString name = pair.section('=', 0, 0);
        const int value = pair.section('=', 1).toInt();
        if (name == "selected")
            row.selected = value != 0;
        else if (ints.contains(name))
            row.*ints.value(name) = value;
        else
            qFatal("unknown field %s", qPrintable(name));
    }
    return row;
}

QString body(const QString &html)
{
    const int start = html.indexOf("<body>\n") + 7;
    return html.mid(start, html.indexOf("</body>") - start);
}

// The section of the document from one table title to the end of that table.
QString tableSection(const QString &html, const QString &title)
{
    const int start = html.indexOf(title);
    if (start < 0)
        return {};
    return html.mid(start, html.indexOf("</table>", start) - start);
}

// Short markers of the 19 callouts, in their order.
const QStringList calloutMarkers {
    "Newer application needed",
    "Checking the version…",
    "Updating...",
    "Queued...",
    ">Success<",
    "An error occurred during the firmware update",
    "Error: The display is currently locked",
    "Error: The IP address for the Firmware update is unreachable",
    "Info: Display information not available while Power is Off",
    "Info: Display information not available when using the S-Format command setting",
    "Info: Manual AC power cycle required to complete the firmware update",
    "Error: Power State is Off",
    "Manual setting of <b>'Power Save Mode'</b> required after update",
    "Info: Manual AC power cycle required after update",
    "Firmware is up to date",
    "No firmware available",
    "Unable to compare firmware versions",
    "Error: Unable to communicate with display",
    "New firmware",
};

} // namespace

class tst_DisplayInfoPanel : public QObject
{
    Q_OBJECT

private slots:
    void callouts_data();
    void callouts();
    void calloutsKeepTheirOrder();
    void noSelection_data();
    void noSelection();
    void changeList();
    void changeListKeepsOnlySafeMarkup_data();
    void changeListKeepsOnlySafeMarkup();
    void displayTextsAreEscaped();
    void addresses_data();
    void addresses();
    void updateInformation_data();
    void updateInformation();
    void versionTable_data();
    void versionTable();
    void documentation();
    void powerLEDBlinkCode_data();
    void powerLEDBlinkCode();
};

void tst_DisplayInfoPanel::callouts_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("quiet row") << "" << QList<int>() << QStringList();
    QTest::newRow("newer build needed") << "requiresAppBuild=250931" << QList<int> { 1 }
                                        << QStringList { "Application build 250931 is required" };
    QTest::newRow("own build is enough") << "requiresAppBuild=250930" << QList<int>() << QStringList();
    QTest::newRow("updating") << "updateStatus=2" << QList<int> { 3 }
                              << QStringList { ":/resources/monitor updating progress.svg" };
    QTest::newRow("checking the version") << "updateStatus=2 verifyOutcome=-2 firmwareStatus=6" << QList<int> { 2, 19 }
                                         << QStringList { "being read back; do not switch it off" };
    QTest::newRow("version check failed") << "resultStatus=4 verifyOutcome=1" << QList<int> { 6 }
                                          << QStringList { "' See the" };
    QTest::newRow("queued") << "updateStatus=1" << QList<int> { 4 } << QStringList { ":/resources/monitor pause.svg" };
    QTest::newRow("success") << "resultStatus=3" << QList<int> { 5 } << QStringList { "successfully updated" };
    QTest::newRow("success while queued again") << "updateStatus=1 resultStatus=3" << QList<int> { 4 }
                                                << QStringList();
    QTest::newRow("timeout") << "resultStatus=-3" << QList<int> { 6 } << QStringList { "'status text -3' See the" };
    QTest::newRow("retrying") << "resultStatus=-5" << QList<int> { 6 } << QStringList { "'status text -5'" };
    QTest::newRow("update failed") << "resultStatus=4" << QList<int> { 6 } << QStringList { "'status text 4'" };
    QTest::newRow("unknown result") << "resultStatus=-6" << QList<int>() << QStringList();
    QTest::newRow("locked") << "selected=1 lockStatus=1" << QList<int> { 7 }
                            << QStringList { "here <a href=\"http://10.1.2.3/\">10.1.2.3</a> to unlock",
                                             "default is <b>'PX-551'</b>", ":/resources/right click.svg" };
    QTest::newRow("lock beats unreachable") << "selected=1 lockStatus=1 commStatus=2" << QList<int> { 7 }
                                            << QStringList();
    // The unreachable address stays told when the row is unticked: it still cannot be updated.
    QTest::newRow("locked but not ticked") << "lockStatus=1 commStatus=2" << QList<int> { 8 } << QStringList();
    QTest::newRow("unreachable, not ticked") << "commStatus=2" << QList<int> { 8 }
                                             << QStringList { "configure the IP address here <a href=\"http://10.1.2.3/\">" };
    QTest::newRow("lock undetermined") << "selected=1 lockStatus=2 commStatus=2" << QList<int> { 8 }
                                       << QStringList { "configure the IP address here <a href=\"http://10.1.2.3/\">" };
    QTest::newRow("off, reports nothing") << "powerState=2 needPowerOnToReadInfo=1 commStatus=1" << QList<int> { 9 }
                                          << QStringList();
    QTest::newRow("suspended, no version") << "powerState=3 needPowerOnToReadInfo=1 firmwareStatus=1"
                                           << QList<int> { 9 } << QStringList();
    QTest::newRow("off, other bit: 8 and 17 both silent") << "powerState=2 needPowerOnToReadInfo=2 commStatus=1"
                                                          << QList<int>() << QStringList();
    QTest::newRow("S-format") << "powerState=-1 needPowerOnToReadInfo=2 firmwareStatus=1" << QList<int> { 10 }
                              << QStringList { "<b>'N-Format'</b>" };
    QTest::newRow("S-format with comm error") << "powerState=-1 needPowerOnToReadInfo=3 commStatus=1"
                                              << QList<int> { 10, 18 } << QStringList();
    QTest::newRow("unknown power is not off") << "powerState=-1 needPowerOnToReadInfo=1 commStatus=1"
                                              << QList<int> { 18 } << QStringList();
    QTest::newRow("on but silent") << "powerState=1 commStatus=1" << QList<int> { 18 }
                                   << QStringList { ":/resources/refresh.svg", ":/resources/warning.svg" };
    QTest::newRow("off without read rule") << "powerState=2 commStatus=1" << QList<int> { 18 } << QStringList();
    QTest::newRow("cycle after success, not ticked") << "resultStatus=3 manualPowerCycle=2" << QList<int> { 5, 11 }
                                                     << QStringList { ":/resources/reset power.svg" };
    QTest::newRow("cycle, ticked") << "selected=1 resultStatus=3 manualPowerCycle=2" << QList<int> { 5, 14 }
                                   << QStringList();
    QTest::newRow("must be on") << "selected=1 powerState=2 needPowerOnToUpdate=1" << QList<int> { 12 }
                                << QStringList();
    QTest::newRow("must be on, is on") << "selected=1 powerState=1 needPowerOnToUpdate=1" << QList<int>()
                                       << QStringList();
    QTest::newRow("must be on, not ticked") << "powerState=2 needPowerOnToUpdate=1" << QList<int>() << QStringList();
    QTest::newRow("auto power save") << "selected=1 catalogueSeries=1 powerSaveMode=0" << QList<int> { 13 }
                                     << QStringList { "Power Save Mode is <b>'Auto Power Save'</b>" };
    QTest::newRow("auto standby") << "selected=1 catalogueSeries=2 powerSaveMode=1" << QList<int> { 13 }
                                  << QStringList { "Power Save Mode is <b>'Auto Standby'</b>" };
    QTest::newRow("power save off") << "selected=1 catalogueSeries=2 powerSaveMode=2" << QList<int>() << QStringList();
    QTest::newRow("other series") << "selected=1 catalogueSeries=3 powerSaveMode=0" << QList<int>() << QStringList();
    QTest::newRow("up to date") << "firmwareStatus=4" << QList<int> { 15 }
                                << QStringList { "Currently installed firmware version R1.100 is the latest" };
    QTest::newRow("none for model") << "firmwareStatus=2" << QList<int> { 16 } << QStringList();
    QTest::newRow("not comparable") << "firmwareStatus=3" << QList<int> { 17 } << QStringList();
    QTest::newRow("new for USB only") << "firmwareStatus=5" << QList<int>() << QStringList();
}

void tst_DisplayInfoPanel::callouts()
{
    QFETCH(QString, fields);
    QFETCH(QList<int>, shown);
    QFETCH(QStringList, texts);

    const DisplayEntry row = rowWith(fields);
    const QString html = build(&row);
    for (int number = 1; number <= calloutMarkers.size(); ++number) {
        const QString &marker = calloutMarkers.at(number - 1);
        QVERIFY2(html.contains(marker) == shown.contains(number),
                 qPrintable(QStringLiteral("callout %1 (%2) %3").arg(number).arg(marker,
                     shown.contains(number) ? "missing" : "unexpected")));
    }
    for (const QString &text : texts)
        QVERIFY2(html.contains(text), qPrintable(text));
    QCOMPARE(html.count("style=\"margin-bottom: 20px;\""), shown.size());
    QCOMPARE(html.count("<table"), html.count("</table>"));
}

void tst_DisplayInfoPanel::calloutsKeepTheirOrder()
{
    DisplayEntry row = rowWith("selected=1 requiresAppBuild=300000 resultStatus=-1 lockStatus=1 "
                               "powerState=2 needPowerOnToUpdate=1 catalogueSeries=1 powerSaveMode=1 "
                               "manualPowerCycle=2 firmwareStatus=6 commStatus=1");
    row.latestVersion = "R2.000";
    const QString html = build(&row);
    const QList<int> expected { 1, 6, 7, 12, 13, 14, 18, 19 };
    int previous = -1;
    for (int number : expected) {
        const int at = html.indexOf(calloutMarkers.at(number - 1));
        QVERIFY2(at > previous, qPrintable(QStringLiteral("callout %1 out of place").arg(number)));
        previous = at;
    }
    QVERIFY(html.contains("🆕New firmware R2.000 available"));
    QVERIFY(html.contains("New firmware version R2.000 is available for this display. Currently installed "
                          "firmware is version R1.100."));
}

void tst_DisplayInfoPanel::noSelection_data()
{
    QTest::addColumn<bool>("searchAttempted");
    QTest::addColumn<bool>("searching");
    QTest::addColumn<bool>("databaseLoaded");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("withRow");
    QTest::addColumn<QStringList>("titles");

    const QStringList help { "Didn't find a display?", "Create a firmware USB drive" };
    QTest::newRow("before any search") << false << false << true << 0 << false << QStringList();
    QTest::newRow("row selected before any search") << false << false << true << 1 << true << QStringList();
    QTest::newRow("searching") << true << true << true << 3 << false << QStringList();
    QTest::newRow("no catalogue") << true << false << false << 2 << false
                                  << QStringList { "⚠️Unable to download firmware definitions" };
    QTest::newRow("rows but none selected")
        << true << false << true << 2 << false
        << (QStringList { "Select a row in the table above to see details of a detected display" } + help);
    QTest::newRow("nothing found") << true << false << true << 0 << false << help;
}

void tst_DisplayInfoPanel::noSelection()
{
    QFETCH(bool, searchAttempted);
    QFETCH(bool, searching);
    QFETCH(bool, databaseLoaded);
    QFETCH(int, rows);
    QFETCH(bool, withRow);
    QFETCH(QStringList, titles);

    DisplayInfoPanel::WindowState state = searchedState();
    state.searchAttempted = searchAttempted;
    state.searching = searching;
    state.databaseLoaded = databaseLoaded;
    state.rowCount = rows;
    const DisplayEntry row = rowWith("commStatus=1 firmwareStatus=4");
    const QString html = build(withRow ? &row : nullptr, nullptr, state);

    QVERIFY(html.startsWith("<html><head>\n\n<style>"));
    QVERIFY(html.endsWith("</body></html>"));
    if (titles.isEmpty()) {
        QVERIFY(body(html).isEmpty());
        return;
    }
    QCOMPARE(html.count("style=\"margin-bottom: 20px;\""), titles.size());
    int previous = -1;
    for (const QString &title : titles) {
        const int at = html.indexOf(">" + title + "</font>");
        QVERIFY2(at > previous, qPrintable(title));
        previous = at;
    }
    if (titles.size() > 1) {
        QVERIFY(html.contains("<img src=\":/resources/search settings.svg\" width=\"16\" height=\"16\"> "
                              "<b>'Configure Targeted network search'</b>"));
        QVERIFY(html.contains("<img src=\":/resources/usb drive.svg\" width=\"16\" height=\"16\"><b>'Create"));
    }
}

void tst_DisplayInfoPanel::changeList()
{
    DisplayEntry row = rowWith("firmwareStatus=6");
    row.latestVersion = "R3.000";
    row.changeLists = QStringList { "Fix <b>A</b>|Fix B", "Fix C" };
    const QString html = build(&row);
    QVERIFY(html.contains(">📋Firmware Change List</font>"));
    QVERIFY(html.contains("All changes from the installed version R1.100 to the latest version R3.000:"));
    QVERIFY(html.contains(">1. Fix <b>A</b></font><br><font color=\"#000013\">2. Fix B</font><br>"
                          "<font color=\"#000013\">3. Fix C</font>"));
    // It follows the callouts and precedes the tables.
    QVERIFY(html.indexOf("Firmware Change List") > html.indexOf("New firmware version"));
    QVERIFY(html.indexOf("Firmware Change List") < html.indexOf("Display Information"));

    row.changeLists.clear();
    QVERIFY(!build(&row).contains("Firmware Change List"));

    // After the update the display reports the latest version: lists kept from before are not pending.
    row.changeLists = QStringList { "Fix <b>A</b>|Fix B", "Fix C" };
    for (const int status : { int(FirmwareStatus::UpToDate), int(FirmwareStatus::NotComparable),
                              int(FirmwareStatus::NoVersionInfo), int(FirmwareStatus::NoneForModel) }) {
        row.firmwareStatus = status;
        row.currentFirmware = "R3.000";
        QVERIFY2(!build(&row).contains("All changes from"), qPrintable(QString::number(status)));
    }
    row.firmwareStatus = FirmwareStatus::NewForUsbOnly;
    row.currentFirmware = "R1.100";
    QVERIFY(build(&row).contains("All changes from the installed version R1.100 to the latest version R3.000:"));
}

void tst_DisplayInfoPanel::changeListKeepsOnlySafeMarkup_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("gone");

    // Change lists come from the firmware server: links only to web pages, images only our own.
    QTest::newRow("script link") << "<a href=\"javascript:alert(1)\">Click</a> here" << "Click here" << "javascript";
    QTest::newRow("file link") << "<a href=\"file:///etc/passwd\">Open</a>" << "Open" << "file:";
    QTest::newRow("web link kept") << "See <a href=\"https://notes.example.invalid/r3?a=1&b=2\">notes</a>"
                                   << "See <a href=\"https://notes.example.invalid/r3?a=1&amp;b=2\">notes</a>"
                                   << "javascript";
    QTest::newRow("quote breaking out of a link") << "<a href='http://x.invalid/\"onclick=\"y'>L</a>"
                                                  << "L</font>" << "onclick";
    QTest::newRow("foreign image") << "<img src=\"http://tracker.invalid/p.png\">Fix" << "Fix" << "tracker";
    QTest::newRow("local file image") << "<img src=\"file:///home/user/secret.png\">Fix" << "Fix" << "secret";
    QTest::newRow("our own image kept") << "<img src=\":/resources/info.svg\">Fix"
                                        << "<img src=\":/resources/info.svg\">Fix" << "javascript";
    QTest::newRow("background image") << "<span style=\"background-image:url(http://bg.invalid/a.png)\">Fix</span>"
                                      << "Fix" << "bg.invalid";
    QTest::newRow("style sheet") << "<style>p { background: url(http://css.invalid/a.png) }</style>Fix" << "Fix"
                                 << "css.invalid";
}

void tst_DisplayInfoPanel::changeListKeepsOnlySafeMarkup()
{
    QFETCH(QString, item);
    QFETCH(QString, kept);
    QFETCH(QString, gone);

    DisplayEntry row = rowWith("firmwareStatus=6");
    row.latestVersion = "R3.000";
    row.changeLists = QStringList { item };
    const QString html = build(&row);
    const QString list = html.mid(html.indexOf("Firmware Change List"));
    QVERIFY2(list.contains(">1. " + kept), qPrintable(list.left(1200)));
    QVERIFY2(!html.contains(gone), qPrintable(list.left(1200)));
}

void tst_DisplayInfoPanel::displayTextsAreEscaped()
{
    const QString hostile = "<a href=\"http://evil/\">x</a><img src=\"file:///etc/passwd\">";
    DisplayEntry row = rowWith("selected=1 lockStatus=1 firmwareStatus=6 componentCount=2 updateViaHTTP=1");
    row.modelName = hostile;
    row.serialNumber = hostile;
    row.macAddress = hostile;
    row.currentFirmware = hostile;
    row.latestVersion = hostile;
    row.componentVersion = { hostile, hostile, hostile, hostile, hostile, hostile };
    row.changeLists = QStringList { "Item" };

    const QString html = build(&row);
    QVERIFY(!html.contains("http://evil/\""));
    QVERIFY(!html.contains("<img src=\"file:"));

    // What the check after an update found quotes the display's own version and serial number.
    DisplayEntry failed = rowWith("resultStatus=4 verifyOutcome=3");
    failed.updateNote = "Another display answers at this address (serial " + hostile + ", expected 7A012345)";
    const QString failedHtml = build(&failed);
    QVERIFY(!failedHtml.contains("http://evil/\""));
    QVERIFY(!failedHtml.contains("<img src=\"file:"));
    QVERIFY(failedHtml.contains("'Another display answers at this address (serial &lt;a href=&quot;http://evil/"));
    QVERIFY(html.contains("&lt;a href=&quot;http://evil/&quot;&gt;x&lt;/a&gt;&lt;img src=&quot;file:///etc/passwd&quot;&gt;"));

    // What the panel widget makes of it: every image is one of ours and every link goes to the display.
    QTextDocument document;
    document.setHtml(html);
    int images = 0;
    int links = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                ++images;
                QVERIFY2(format.toImageFormat().name().startsWith(":/resources/"),
                         qPrintable(format.toImageFormat().name()));
            }
            if (format.isAnchor()) {
                ++links;
                QVERIFY2(format.anchorHref().startsWith("http://10.1.2."), qPrintable(format.anchorHref()));
            }
        }
    }
    QVERIFY(images > 0);
    QVERIFY(links > 0);
    QVERIFY(document.toPlainText().contains(hostile));

    // A name that looks like a placeholder stays a name.
    row.modelName = "%1%2%3";
    const QString placeholders = build(&row);
    QVERIFY(placeholders.contains("default is <b>'%1%2%3'</b> unless changed"));
    QVERIFY(placeholders.contains("<td class=\"second-column\" width=\"40%\">%1%2%3</td>"));
}

void tst_DisplayInfoPanel::addresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("link");

    QTest::newRow("IPv4") << "192.168.0.20" << "<a href=\"http://192.168.0.20/\">192.168.0.20</a>";
    QTest::newRow("IPv4 seen through a dual-stack socket") << "::ffff:192.168.0.20"
                                                           << "<a href=\"http://192.168.0.20/\">192.168.0.20</a>";
    QTest::newRow("IPv6 with scope") << "fe80::1%eth0" << "<a href=\"http://[fe80::1]/\">[fe80::1]</a>";
    QTest::newRow("none") << "" << "";
}

void tst_DisplayInfoPanel::addresses()
{
    QFETCH(QString, address);
    QFETCH(QString, link);

    DisplayEntry row = rowWith("selected=1 lockStatus=1 updateViaHTTP=1");
    row.address = QHostAddress(address);
    const QString html = build(&row);
    const QString table = tableSection(html, "Display Information");
    QVERIFY(table.contains("Main IP address</td>\n<td class=\"second-column\" width=\"40%\">" + link + "</td>"));
    QVERIFY(!table.contains("http:///"));
    if (!link.isEmpty())
        QVERIFY(html.contains("Please login to the display here " + link));
}

void tst_DisplayInfoPanel::updateInformation_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("3599 s rounds to 60") << "updateDurationSecs=3599 updateViaHTTP=1 updateViaUSB=1 manualPowerCycle=1"
                                         << QStringList { "60 minutes", "Supported", "No", "Supported" };
    QTest::newRow("89 s rounds to 1") << "updateDurationSecs=89 updateViaHTTP=1 manualPowerCycle=2"
                                      << QStringList { "1 minute", "Supported", "Yes", "Not supported" };
    QTest::newRow("90 s rounds up") << "updateDurationSecs=90 updateViaHTTP=1"
                                    << QStringList { "2 minutes", "Supported", "N/A", "Not supported" };
    QTest::newRow("59 s is under a minute") << "updateDurationSecs=59 updateViaHTTP=1 manualPowerCycle=1"
                                            << QStringList { "less than a minute", "Supported", "No", "Not supported" };
    QTest::newRow("USB only: no power cycle row") << "updateDurationSecs=0 updateViaUSB=1 manualPowerCycle=2"
                                                  << QStringList { "Not stated", "Not supported", "Supported" };
}

void tst_DisplayInfoPanel::updateInformation()
{
    QFETCH(QString, fields);
    QFETCH(QStringList, rows);

    const DisplayEntry row = rowWith(fields);
    FirmwareRelease release;
    release.powerLEDBinkCodeProgress = 1;
    release.powerLEDBinkCodeDone = 6;
    release.powerLEDBinkCodeError = 99;

    const QString html = build(&row, &release);
    const QString table = tableSection(html, "Firmware Update Information");
    QStringList values;
    static const QRegularExpression secondColumn("<td class=\"second-column\" width=\"40%\">(.*)</td>");
    for (auto it = secondColumn.globalMatch(table); it.hasNext();)
        values << it.next().captured(1);
    QCOMPARE(values, rows);
    QCOMPARE(table.contains("Requires manual AC power cycle after LAN update"), rows.size() == 4);

    const QString leds = tableSection(html, "Firmware Update Power LED sequence");
    QVERIFY(leds.contains("In progress</td>\n<td class=\"second-column\" width=\"40%\">Flashing <font "
                          "color=\"green\"><b>GREEN</b></font></td>"));
    QVERIFY(leds.contains("Continuous <font color=\"blue\"><b>BLUE</b></font>"));
    QVERIFY(leds.contains("Error</td>\n<td class=\"second-column\" width=\"40%\">Unknown</td>"));
    QVERIFY(leds.contains("Normal operation</td>\n<td class=\"second-column\" width=\"40%\">Usual power indication (none of the patterns above)</td>"));

    // Without a catalogue release neither table appears, but the display's own tables do.
    const QString bare = build(&row);
    QVERIFY(!bare.contains("Firmware Update Information"));
    QVERIFY(!bare.contains("Firmware Update Power LED sequence"));
    QVERIFY(bare.contains("Display Information"));
}

void tst_DisplayInfoPanel::versionTable_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<int>("rows");

    QTest::newRow("one component") << "componentCount=1" << 2;
    QTest::newRow("no component count") << "componentCount=0" << 2;
    QTest::newRow("two components") << "componentCount=2" << 6;
}

void tst_DisplayInfoPanel::versionTable()
{
    QFETCH(QString, fields);
    QFETCH(int, rows);

    DisplayEntry row = rowWith(fields);
    row.latestVersion = "R2.000";
    row.componentVersion = { "F1", "F2", "F3", "F4", "F5", "F6" };
    const QString table = tableSection(build(&row), "Firmware Version Information");
    QCOMPARE(table.count("<tr class="), rows);
    QVERIFY(table.contains("<td class=\"first-column\" width=\"30%\">Component</td>\n"
                           "<td class=\"first-column\" width=\"35%\">Current</td>\n"
                           "<td class=\"first-column\" width=\"35%\">Available</td>"));
    QVERIFY(table.contains("Main</td>\n<td class=\"second-column\" width=\"35%\">R1.100</td>\n"
                           "<td class=\"third-column\" width=\"35%\">R2.000</td>"));
    if (rows > 2) {
        QVERIFY(table.contains("Firmware 4</td>\n<td class=\"second-column\" width=\"35%\">F4</td>\n"
                               "<td class=\"third-column\" width=\"35%\"></td>"));
        QVERIFY(!table.contains("F5"));
    }
}

void tst_DisplayInfoPanel::documentation()
{
    const DisplayEntry row = plainRow();
    FirmwareRelease release;
    QVERIFY(!build(&row, &release).contains("Product Documentation"));

    release.documentationList = {
        { "Manual", "https://docs.example.invalid/manual.pdf" },
        { "Quick & easy", "http://docs.example.invalid/q?a=1&b=2" },
        { "Data sheet", "https://docs.example.invalid/sheet\"onmouseover=\"x" },
        { "Local", "file:///C:/Windows/System32/calc.exe" },
    };
    const QString html = build(&row, &release);
    const QString table = html.mid(html.indexOf("📖Product Documentation"));
    QCOMPARE(table.count("<tr class="), 2);
    QCOMPARE(table.count("border-bottom: 1px solid #000010;\"></td>"), 2);
    QVERIFY(table.contains("<a href=\"https://docs.example.invalid/manual.pdf\">Manual</a>"));
    QVERIFY(table.contains("<a href=\"http://docs.example.invalid/q?a=1&amp;b=2\">Quick &amp; easy</a>"));
    QVERIFY(!table.contains("\"onmouseover"));
    QVERIFY(!table.contains("href=\"file:"));
    QVERIFY(table.contains(">Local</font>"));
    // The documentation comes last, after the display's own tables.
    QVERIFY(html.indexOf("Product Documentation") > html.indexOf("Firmware Version Information"));
}

void tst_DisplayInfoPanel::powerLEDBlinkCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("text");

    QTest::newRow("1 light") << 1 << false << "Flashing <font color=\"green\"><b>GREEN</b></font>";
    QTest::newRow("1 dark") << 1 << true << "Flashing <font color=\"#00ff00\"><b>GREEN</b></font>";
    QTest::newRow("2 light") << 2 << false
                             << "Alternating <font color=\"red\"><b>RED</b></font> / <font color=\"green\"><b>GREEN</b></font>";
    QTest::newRow("2 dark") << 2 << true
                            << "Alternating <font color=\"red\"><b>RED</b></font> / <font color=\"#00ff00\"><b>GREEN</b></font>";
    QTest::newRow("3") << 3 << true << "Flashing <font color=\"red\"><b><b>RED</b></font>";
    QTest::newRow("4") << 4 << false << "Flashing <font color=\"blue\"><b>BLUE</b></font>";
    QTest::newRow("5") << 5 << false << "Flashing <font color=\"orange\"><b>ORANGE</b></font>";
    QTest::newRow("6") << 6 << true << "Continuous <font color=\"blue\"><b>BLUE</b></font>";
    QTest::newRow("0") << 0 << false << "Unknown";
    QTest::newRow("7") << 7 << false << "Unknown";
    QTest::newRow("negative") << -1 << true << "Unknown";
}

void tst_DisplayInfoPanel::powerLEDBlinkCode()
{
    QFETCH(int, code);
    QFETCH(bool, dark);
    QFETCH(QString, text);
    QCOMPARE(DisplayInfoPanel::powerLEDBlinkCodeToString(code, dark), text);
}

QTEST_MAIN(tst_DisplayInfoPanel)
#include "tst_displayinfopanel.moc"
