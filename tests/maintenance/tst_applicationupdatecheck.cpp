#include "catalogue/FirmwareDatabase.h"
#include "maintenance/ApplicationUpdateCheck.h"
#include "download/FileDownloader.h"
#include "fwserver/FwServer.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString noNewer = QStringLiteral("No newer updates are available. You are using the latest version.");
const QString noInformation = QStringLiteral("Error: Unable to retrieve latest version information.");

// A catalogue document with the given application header; history is "build:list" items.
QByteArray catalogue(int latestBuild, const QString &version, const QString &location, const QStringList &history)
{
    QJsonObject info { { "databaseVersion", 7 } };
    if (latestBuild != 0)
        info.insert("latestAppBuildWindows", latestBuild);
    info.insert("latestAppVersionStringWindows", version);
    info.insert("latestAppdownloadLocWindows", location);
    QJsonArray entries;
    for (const QString &entry : history)
        entries.append(QJsonObject { { "build", entry.section(':', 0, 0).toInt() },
                                     { "changeList", entry.section(':', 1) } });
    info.insert("previousAppChangeListWindows", entries);
    const QJsonObject document { { "info", info }, { "firmware", QJsonArray() } };
    return QJsonDocument(document).toJson();
}

FirmwareDatabase parsed(const QByteArray &bytes)
{
    FirmwareDatabase database;
    database.parse(bytes, QLocale::English);
    return database;
}

} // namespace

Q_DECLARE_METATYPE(ApplicationUpdateCheck::Outcome)

class tst_ApplicationUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void outcomes_data();
    void outcomes();
    void newerBuildMessage_data();
    void newerBuildMessage();
    void logsBothBuilds();
    void catalogueFetchedFromTheServer_data();
    void catalogueFetchedFromTheServer();
};

void tst_ApplicationUpdateCheck::outcomes_data()
{
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("latestBuild");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<ApplicationUpdateCheck::Outcome>("outcome");
    QTest::addColumn<QString>("message");

    QTest::newRow("no catalogue, automatic") << false << 260000 << false << ApplicationUpdateCheck::NoInformation << "";
    QTest::newRow("no catalogue, menu") << false << 260000 << true << ApplicationUpdateCheck::NoInformation
                                        << noInformation;
    QTest::newRow("no build named, automatic") << true << 0 << false << ApplicationUpdateCheck::NoInformation << "";
    QTest::newRow("no build named, menu") << true << 0 << true << ApplicationUpdateCheck::NoInformation
                                          << noInformation;
    QTest::newRow("negative build, menu") << true << -5 << true << ApplicationUpdateCheck::NoInformation
                                          << noInformation;
    QTest::newRow("same build, automatic") << true << 250930 << false << ApplicationUpdateCheck::UpToDate << "";
    QTest::newRow("same build, menu") << true << 250930 << true << ApplicationUpdateCheck::UpToDate << noNewer;
    QTest::newRow("older build, menu") << true << 240101 << true << ApplicationUpdateCheck::UpToDate << noNewer;
    QTest::newRow("newer build, automatic") << true << 250931 << false << ApplicationUpdateCheck::NewerAvailable
                                            << "<html>A newer version 1.4.00 is <a href=\"https://dl.example.invalid/"
                                               "q.exe\">available for download</a>.</html>";
}

void tst_ApplicationUpdateCheck::outcomes()
{
    QFETCH(bool, loaded);
    QFETCH(int, latestBuild);
    QFETCH(bool, fromMenu);
    QFETCH(ApplicationUpdateCheck::Outcome, outcome);
    QFETCH(QString, message);

    const FirmwareDatabase database =
        parsed(catalogue(latestBuild, "1.4.00", "https://dl.example.invalid/q.exe", { "250930:Old" }));
    const ApplicationUpdateCheck::Result result = ApplicationUpdateCheck::check(database, loaded, fromMenu);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.message, message);
}

void tst_ApplicationUpdateCheck::newerBuildMessage_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("message");

    const QString location = "https://dl.example.invalid/quillon-1.4.exe";
    const QString head = "<html>A newer version 1.4.00 is <a href=\"" + location + "\">available for download</a>.";
    const QString heading = "<br>The following changes have been made in this version:<br>";

    QTest::newRow("only newer entries are listed")
        << "1.4.00" << location << QStringList { "250930:Old fix", "251100:A|B" }
        << head + heading + "1. A<br>2. B<br><br></html>";
    QTest::newRow("counter runs across entries")
        << "1.4.00" << location << QStringList { "251000:A|B", "240000:Old", "251100:<b>C</b>" }
        << head + heading + "1. A<br>2. B<br>3. <b>C</b><br><br></html>";
    QTest::newRow("empty items are kept")
        << "1.4.00" << location << QStringList { "251000:A||B" }
        << head + heading + "1. A<br>2. <br>3. B<br><br></html>";
    QTest::newRow("no newer history") << "1.4.00" << location << QStringList { "250930:Old" } << head + "</html>";
    QTest::newRow("no history") << "1.4.00" << location << QStringList() << head + "</html>";
    QTest::newRow("placeholders in the history stay")
        << "1.4.00" << location << QStringList { "251000:%1 %2|%3" }
        << head + heading + "1. %1 %2<br>2. %3<br><br></html>";
    // The desktop opens whatever a link in the message box names.
    QTest::newRow("change items link only to web pages")
        << "1.4.00" << location
        << QStringList { "251000:<a href=\"file:///C:/Windows/x.exe\">run</a> <a href=\"\\\\share\\x\">share</a> "
                         "<a href=\"https://notes.example.invalid/n\">notes</a>" }
        << head + heading + "1. run share <a href=\"https://notes.example.invalid/n\">notes</a><br><br></html>";
    QTest::newRow("change items show only our images")
        << "1.4.00" << location
        << QStringList { "251000:<img src=\"http://img.example.invalid/p.png\">A<img src=\":/images/x.png\">" }
        << head + heading + "1. A<img src=\":/images/x.png\"><br><br></html>";
    QTest::newRow("version text is not markup")
        << "<img src=x>" << location << QStringList()
        << "<html>A newer version &lt;img src=x&gt; is <a href=\"" + location + "\">available for download</a>.</html>";
    QTest::newRow("quote in the location stays inside the attribute")
        << "1.4.00" << "https://dl.example.invalid/q.exe?a=1&b=\"x\"" << QStringList()
        << "<html>A newer version 1.4.00 is <a href=\"https://dl.example.invalid/q.exe?a=1&amp;b=&quot;x&quot;\">"
           "available for download</a>.</html>";
    QTest::newRow("script location is refused")
        << "1.4.00" << "javascript:alert(1)" << QStringList()
        << "<html>A newer version 1.4.00 is <a href=\"\">available for download</a>.</html>";
    QTest::newRow("local file location is refused")
        << "1.4.00" << "file:///C:/Windows/System32/cmd.exe" << QStringList()
        << "<html>A newer version 1.4.00 is <a href=\"\">available for download</a>.</html>";
}

void tst_ApplicationUpdateCheck::newerBuildMessage()
{
    QFETCH(QString, version);
    QFETCH(QString, location);
    QFETCH(QStringList, history);
    QFETCH(QString, message);

    const FirmwareDatabase database = parsed(catalogue(260000, version, location, history));
    for (bool fromMenu : { false, true }) {
        const ApplicationUpdateCheck::Result result = ApplicationUpdateCheck::check(database, true, fromMenu);
        QCOMPARE(result.outcome, ApplicationUpdateCheck::NewerAvailable);
        QCOMPARE(result.message, message);
    }
}

void tst_ApplicationUpdateCheck::logsBothBuilds()
{
    const FirmwareDatabase database = parsed(catalogue(251234, "1.4.00", "https://x.invalid/q", {}));
    QTest::ignoreMessage(QtInfoMsg, "Current application build: 250930");
    QTest::ignoreMessage(QtInfoMsg, "Latest download application build: 251234");
    ApplicationUpdateCheck::check(database, true, false);
}

void tst_ApplicationUpdateCheck::catalogueFetchedFromTheServer_data()
{
    QTest::addColumn<int>("forcedStatus");
    QTest::addColumn<ApplicationUpdateCheck::Outcome>("outcome");

    QTest::newRow("served") << 0 << ApplicationUpdateCheck::NewerAvailable;
    QTest::newRow("not found") << 404 << ApplicationUpdateCheck::NoInformation;
}

// The path the main window takes: the catalogue comes from the firmware server into memory, is
// parsed, and the check runs on what arrived.
void tst_ApplicationUpdateCheck::catalogueFetchedFromTheServer()
{
    QFETCH(int, forcedStatus);
    QFETCH(ApplicationUpdateCheck::Outcome, outcome);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QFile file(root.filePath("pd_firmware_releases.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(catalogue(251500, "1.4.00", "https://dl.example.invalid/quillon.exe",
                         { "250900:Old", "251500:Faster search|Fewer clicks" }));
    file.close();

    FwServer server;
    server.setRoot(root.path());
    server.setBasePath("/firmwareupdates/");
    FwBehaviour behaviour;
    behaviour.forcedStatus = forcedStatus;
    server.setBehaviour(behaviour);
    QVERIFY2(server.listen(QHostAddress::LocalHost), qPrintable(server.errorString()));

    FileDownloader download(1, false, server.url("pd_firmware_releases.json"), QString(), QByteArray());
    QSignalSpy finished(&download, &FileDownloader::statusChanged);
    download.start();
    QVERIFY(finished.wait(10000));

    FirmwareDatabase database;
    const bool received = finished.first().at(1).toInt() == 0 && database.parse(download.downloadedData()) == 0;
    const ApplicationUpdateCheck::Result result = ApplicationUpdateCheck::check(database, received, true);
    QCOMPARE(result.outcome, outcome);
    if (outcome == ApplicationUpdateCheck::NewerAvailable) {
        QVERIFY(result.message.contains("<a href=\"https://dl.example.invalid/quillon.exe\">"));
        QVERIFY(result.message.contains("1. Faster search<br>2. Fewer clicks<br>"));
        QVERIFY(!result.message.contains("Old"));
    } else {
        QCOMPARE(result.message, noInformation);
    }
}

QTEST_MAIN(tst_ApplicationUpdateCheck)
#include "tst_applicationupdatecheck.moc"
