#include "catalogue/FirmwareDatabase.h"
#include "common/TestFiles.h"
#include "flows/CatalogueStartupFlow.h"
#include "flows/FirmwareServer.h"
#include "fwserver/FwServer.h"
#include "records/DisplayTableState.h"

#include <QtTest>

namespace {

QByteArray catalogue(int databaseVersion, int releases)
{
    QByteArray firmware;
    for (int i = 0; i < releases; ++i) {
        if (i)
            firmware += ',';
        firmware += QStringLiteral(R"({"version":"1.%1","seriesName":"SERIES_CEDAR5","models":["PX-%1"],
            "updateViaHTTP":1,"changes":{"version":"1.%1","changeList":"a|b"}})").arg(i).toUtf8();
    }
    return QStringLiteral(R"({"info":{"databaseVersion":%1,"aboutURLs":"<a href='x'>x</a>"},"firmware":[)")
                   .arg(databaseVersion).toUtf8()
            + firmware + "]}";
}

} // namespace

class TestCatalogueStartupFlow : public QObject
{
    Q_OBJECT

private slots:
    void baseUrl_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("expected");
        const QString fallback = QString::fromLatin1(FirmwareServer::DefaultBaseUrl);
        QTest::newRow("unset") << QByteArray() << fallback;
        QTest::newRow("local server") << QByteArray("http://127.0.0.1:8123/firmwareupdates/")
                                      << "http://127.0.0.1:8123/firmwareupdates/";
        QTest::newRow("missing slash") << QByteArray(" http://127.0.0.1:8123/firmwareupdates ")
                                       << "http://127.0.0.1:8123/firmwareupdates/";
        QTest::newRow("not a web address") << QByteArray("ftp://mirror/firmwareupdates/") << fallback;
        QTest::newRow("no host") << QByteArray("firmwareupdates/") << fallback;
    }

    void baseUrl()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QString, expected);
        if (variable.isNull())
            qunsetenv(FirmwareServer::BaseUrlVariable);
        else
            qputenv(FirmwareServer::BaseUrlVariable, variable);
        QCOMPARE(FirmwareServer::baseUrl(), expected);
        QCOMPARE(FirmwareServer::catalogueUrl(expected).toString(), expected + "pd_firmware_releases.json");
        qunsetenv(FirmwareServer::BaseUrlVariable);
    }

    // The settings dialog's server comes between the variable and the maker's server; what
    // cannot be used is passed over.
    void savedUrlBelowTheVariable_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("usable");       // the saved text passes the dialog's rule
        const QString fallback = QString::fromLatin1(FirmwareServer::DefaultBaseUrl);
        QTest::newRow("saved mirror") << QByteArray() << "http://127.0.0.2:8123/firmwareupdates"
                                      << "http://127.0.0.2:8123/firmwareupdates/" << true;
        QTest::newRow("variable wins") << QByteArray("http://127.0.0.1:9/fw/") << "https://mirror.example/fw/"
                                       << "http://127.0.0.1:9/fw/" << true;
        QTest::newRow("unusable variable, saved used") << QByteArray("ftp://x/") << "https://mirror.example/fw/"
                                                       << "https://mirror.example/fw/" << true;
        QTest::newRow("empty saved") << QByteArray() << QString() << fallback << false;
        QTest::newRow("no scheme") << QByteArray() << "mirror.example/fw/" << fallback << false;
        QTest::newRow("file URL") << QByteArray() << "file:///etc/" << fallback << false;
        QTest::newRow("no host") << QByteArray() << "http:///fw/" << fallback << false;
        QTest::newRow("spaces inside") << QByteArray() << "http://mirror example/fw/" << fallback << false;
    }

    void savedUrlBelowTheVariable()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QString, saved);
        QFETCH(QString, expected);
        QFETCH(bool, usable);
        if (variable.isNull())
            qunsetenv(FirmwareServer::BaseUrlVariable);
        else
            qputenv(FirmwareServer::BaseUrlVariable, variable);
        QCOMPARE(FirmwareServer::baseUrl(saved), expected);
        QCOMPARE(FirmwareServer::isUsableBaseUrl(saved), usable);
        {
            QTemporaryDir cache;
            DisplayTableState state;
            FirmwareDatabase database;
            CatalogueStartupFlow flow(state, database, cache.path());
            flow.useSavedServerUrl(saved);
            QCOMPARE(flow.serverBaseUrl(), expected);
        }
        qunsetenv(FirmwareServer::BaseUrlVariable);
    }

    // The log names the catalogue URL in use, and a value of the variable that was ignored. Only
    // the loopback row downloads: the default server is never asked from a test.
    void urlLogLines_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("warning");   // empty: no warning expected
        QTest::addColumn<QString>("catalogue"); // empty: no download started
        QTest::newRow("unset") << QByteArray() << QString() << QString();
        QTest::newRow("local server") << QByteArray("http://127.0.0.1:9/fw/") << QString()
                                      << "http://127.0.0.1:9/fw/pd_firmware_releases.json";
        QTest::newRow("ftp ignored") << QByteArray("ftp://mirror/firmwareupdates/")
                                     << "Warning: ignored QUILLON_FIRMWARE_URL value ftp://mirror/firmwareupdates/ "
                                        "(not an http or https URL with a host); using "
                                        + QString::fromLatin1(FirmwareServer::DefaultBaseUrl)
                                     << QString();
        QTest::newRow("no scheme ignored") << QByteArray("127.0.0.1:8123") << "value 127.0.0.1:8123 (" << QString();
        QTest::newRow("blank is unset") << QByteArray("  ") << QString() << QString();
    }

    void urlLogLines()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QString, warning);
        QFETCH(QString, catalogue);
        if (variable.isNull())
            qunsetenv(FirmwareServer::BaseUrlVariable);
        else
            qputenv(FirmwareServer::BaseUrlVariable, variable);

        static QStringList lines;
        lines.clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtInfoMsg)
                lines << text;
        });
        {
            QTemporaryDir cache;
            DisplayTableState state;
            FirmwareDatabase database;
            CatalogueStartupFlow flow(state, database, cache.path());
            // Nothing listens on the discard port: the download fails, the URL has been logged.
            if (!catalogue.isEmpty())
                flow.downloadJsonData();
        }
        qInstallMessageHandler(previous);
        qunsetenv(FirmwareServer::BaseUrlVariable);

        if (!catalogue.isEmpty())
            QVERIFY2(lines.contains(QStringLiteral("Firmware catalogue URL: ") + catalogue), qPrintable(lines.join('\n')));
        const QStringList warnings = lines.filter(QStringLiteral("Warning: ignored QUILLON_FIRMWARE_URL"));
        if (warning.isEmpty()) {
            QVERIFY2(warnings.isEmpty(), qPrintable(lines.join('\n')));
        } else {
            QCOMPARE(warnings.size(), 1);
            QVERIFY2(warnings.first().contains(warning), qPrintable(warnings.first()));
        }
    }

    // One start-up each: what the server holds, what the cache holds, and what the window then does.
    void startup_data()
    {
        QTest::addColumn<int>("serverStatus");     // 0: serve the file; else answer with this HTTP status
        QTest::addColumn<QByteArray>("serverCopy");
        QTest::addColumn<QByteArray>("localCopy");
        QTest::addColumn<bool>("targets");
        QTest::addColumn<bool>("searchAllowed");
        QTest::addColumn<int>("heldVersion");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("firstSearch");  // "", "broadcast" or "targeted"
        QTest::addColumn<bool>("localRewritten");

        const QByteArray v7 = catalogue(7, 3);
        const QByteArray v5 = catalogue(5, 2);
        QTest::newRow("newer server copy")
                << 0 << v7 << v5 << false << true << 7 << true
                << QStringList { "Downloaded 3 firmware definitions" } << "broadcast" << true;
        QTest::newRow("targets configured")
                << 0 << v7 << QByteArray() << true << true << 7 << true
                << QStringList { "Downloaded 3 firmware definitions" } << "targeted" << true;
        QTest::newRow("same version keeps local file")
                << 0 << catalogue(5, 4) << v5 << false << true << 5 << true
                << QStringList { "2 local file firmware definitions" } << "broadcast" << false;
        QTest::newRow("server unreachable, local copy")
                << 404 << QByteArray() << v5 << false << true << 5 << true
                << QStringList { "2 local file firmware definitions",
                                 "Error 10003 downloading firmware definitions. Check Internet connection and restart." }
                << "broadcast" << false;
        QTest::newRow("nothing anywhere: no search")
                << 404 << QByteArray() << QByteArray() << false << true << -1 << false
                << QStringList { "0 local file firmware definitions",
                                 "Error 10003 downloading firmware definitions. Check Internet connection and restart." }
                << "" << false;
        QTest::newRow("newer server copy without releases")
                << 0 << catalogue(9, 0) << v5 << false << true << 5 << true
                << QStringList { "2 local file firmware definitions" } << "broadcast" << false;
        QTest::newRow("search button disabled")
                << 0 << v7 << v5 << false << false << 7 << true
                << QStringList { "Downloaded 3 firmware definitions" } << "" << true;
        QTest::newRow("broken server copy")
                << 0 << QByteArray("{\"info\":{\"databaseVersion\":99},\"firmware\":[") << v5 << false << true
                << 5 << true << QStringList { "2 local file firmware definitions" } << "broadcast" << false;
    }

    void startup()
    {
        QFETCH(int, serverStatus);
        QFETCH(QByteArray, serverCopy);
        QFETCH(QByteArray, localCopy);
        QFETCH(bool, targets);
        QFETCH(bool, searchAllowed);
        QFETCH(int, heldVersion);
        QFETCH(bool, loaded);
        QFETCH(QStringList, messages);
        QFETCH(QString, firstSearch);
        QFETCH(bool, localRewritten);

        QTemporaryDir serverRoot;
        QTemporaryDir cache;
        if (!serverCopy.isNull())
            QVERIFY(TestFiles::writeFile(serverRoot.filePath("pd_firmware_releases.json"), serverCopy));
        const QString localPath = cache.filePath("pd_firmware_releases.json");
        if (!localCopy.isNull())
            QVERIFY(TestFiles::writeFile(localPath, localCopy));

        FwServer server;
        server.setRoot(serverRoot.path());
        server.setBasePath("/firmwareupdates/");
        FwBehaviour behaviour;
        behaviour.forcedStatus = serverStatus;
        server.setBehaviour(behaviour);
        QVERIFY(server.listen(QHostAddress("127.0.0.1")));

        DisplayTableState state;
        if (targets)
            state.targetAddresses << QHostAddress("127.0.9.1");
        FirmwareDatabase database;
        CatalogueStartupFlow flow(state, database, cache.path());
        flow.setServerBaseUrl(server.url(QString()).toString());
        flow.setDelays(50, 80);
        flow.setSearchAllowedCheck([searchAllowed] { return searchAllowed; });

        QStringList shown;
        QList<int> timeouts;
        connect(&flow, &CatalogueStartupFlow::statusMessage, this, [&](const QString &text, int timeoutMs) {
            shown << text;
            timeouts << timeoutMs;
        });
        QStringList searches;
        connect(&flow, &CatalogueStartupFlow::firstSearchDue, this,
                [&](bool targeted) { searches << (targeted ? "targeted" : "broadcast"); });
        QSignalSpy updateCheck(&flow, &CatalogueStartupFlow::applicationUpdateCheckDue);
        QSignalSpy redraws(&flow, &CatalogueStartupFlow::uiUpdateNeeded);

        flow.downloadJsonData();
        QVERIFY(state.databaseDownloadInFlight);
        QVERIFY(flow.isDownloading());
        QCOMPARE(database.databaseVersion, 0); // cleared while the download runs

        QVERIFY(updateCheck.wait(5000));
        QCOMPARE(updateCheck.count(), 1);
        QVERIFY(!state.databaseDownloadInFlight);
        QVERIFY(!flow.isDownloading());
        QVERIFY(redraws.count() >= 1);
        QCOMPARE(database.databaseVersion, heldVersion);
        QCOMPARE(state.databaseLoaded, loaded);
        QCOMPARE(shown, messages);
        QCOMPARE(timeouts.first(), 5000);
        if (timeouts.size() > 1)
            QCOMPARE(timeouts.last(), 0); // the error stays until the user restarts
        QCOMPARE(searches, firstSearch.isEmpty() ? QStringList() : QStringList { firstSearch });
        QCOMPARE(state.searchAttempted, firstSearch.isEmpty());
        if (localRewritten)
            QCOMPARE(TestFiles::readFile(localPath), serverCopy);
        else if (!localCopy.isNull())
            QCOMPARE(TestFiles::readFile(localPath), localCopy);
        else
            QVERIFY(!QFile::exists(localPath));
    }

    void aboutText()
    {
        FirmwareDatabase database;
        QCOMPARE(database.parse(catalogue(42, 1)), 0);
        QCOMPARE(CatalogueStartupFlow::databaseVersionText(database),
                 QStringLiteral("Firmware database version: 42<br>"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueStartupFlow)
#include "tst_cataloguestartupflow.moc"
