#include "catalogue/FirmwareDatabase.h"
#include "control/TcpClient.h"
#include "discovery/DisplaySearchUDP.h"
#include "search/SearchOrchestrator.h"
#include "records/DisplayTableState.h"

#include "common/Leftovers.h"

#include "SimDisplay.h"

#include <QtTest>
#include <memory>

namespace {

const quint16 WebPort = 18080;

const char *CatalogueJson = R"({"info":{"databaseVersion":3},"firmware":[
  {"version":"1.300","seriesName":"SERIES_CEDAR5","models":["PX-551"],"updateViaHTTP":1,"updateViaUSB":1,
   "changes":{"version":"1.300","changeList":"Faster start"}},
  {"version":"1.300","seriesName":"SERIES_MAPLE_B","models":["MX-431B"],"updateViaHTTP":1,
   "changes":{"version":"1.300","changeList":"x"}}]})";

SimDisplayConfig display(const QString &model, const QString &serial, quint8 series, const QString &mainFw,
                         int powerMode, quint8 macLast)
{
    SimDisplayConfig config;
    config.modelName = model;
    config.serialNumber = serial;
    config.seriesCode = series;
    config.mainFwVersion = mainFw;
    config.powerMode = powerMode;
    config.macAddress = QByteArray::fromHex("0016AA0000") + char(macLast);
    config.webPort = WebPort;
    return config;
}

QHostAddress simAddress(int n)
{
    return QHostAddress(QStringLiteral("127.0.71.%1").arg(n));
}

} // namespace

// Three displays on loopback: a newer-series one with firmware to update, an older-series one that
// is up to date and switched off, and one whose control port refuses connections.
class TestSearchOrchestrator : public QObject
{
    Q_OBJECT

private:
    DisplayTableState m_state;
    FirmwareDatabase m_database;
    std::unique_ptr<SimDisplay> m_displays[3];
    std::unique_ptr<SearchOrchestrator> m_search;
    QStringList m_messages;
    QList<bool> m_evaluations;

    void newOrchestrator()
    {
        m_state = DisplayTableState();
        m_state.targetAddresses = { simAddress(1), simAddress(2), simAddress(3) };
        m_search = std::make_unique<SearchOrchestrator>(m_state, m_database);
        m_search->setPorts(SearchOrchestrator::ControlPort, WebPort);
        m_messages.clear();
        m_evaluations.clear();
        connect(m_search.get(), &SearchOrchestrator::statusMessage, this,
                [this](const QString &text, int) { m_messages << text; });
        connect(m_search.get(), &SearchOrchestrator::evaluated, this,
                [this](bool autoSelect) { m_evaluations << autoSelect; });
    }

    void searchAndSettle(bool forceBroadcast)
    {
        m_search->startSearch(forceBroadcast);
        QTRY_VERIFY_WITH_TIMEOUT(!m_state.searching && m_state.pendingControlRequests == 0, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!m_evaluations.isEmpty(), 5000);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(m_database.parse(CatalogueJson), 0);
        m_displays[0] = std::make_unique<SimDisplay>(display("PX-551", "61A00001BA", 3, "R1.200", 1, 1));
        m_displays[1] = std::make_unique<SimDisplay>(display("MX-431B", "72B00002CC", 7, "R1.300", 4, 2));
        SimDisplayConfig silent = display("PX-551", "61A00003BA", 3, "R1.200", 1, 3);
        silent.misbehaviour.control = SimMisbehaviour::Listener::Refuse;
        m_displays[2] = std::make_unique<SimDisplay>(silent);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_displays[i]->start(simAddress(i + 1)), 0);
    }

    void init() { newOrchestrator(); }

    void searchFlags_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<QString>("mainFw");
        QTest::addColumn<QString>("fw1");
        QTest::addColumn<QString>("ip2");
        QTest::addColumn<uint>("flags");
        QTest::newRow("series 5, main unknown") << 5 << "-.-" << "R1.0" << "0.0.0.0" << 0x80330Fu;
        QTest::newRow("series 11, nothing known") << 11 << "" << "" << "" << 0x803167u;
        QTest::newRow("series 13 counts as older") << 13 << "R-.-" << "" << "" << 0x803167u;
        QTest::newRow("series 7, all known") << 7 << "R1.3" << "R1.0" << "" << 0x803107u;
        QTest::newRow("series 7 with update address") << 7 << "R1.3" << "R1.0" << "10.0.0.9" << 0x803307u;
        QTest::newRow("series 3, nothing known") << 3 << "" << "" << "" << 0x80331Fu;
        QTest::newRow("series 140") << 140 << "R1.3" << "R1.0" << "" << 0x803307u;
    }

    void searchFlags()
    {
        QFETCH(int, series);
        QFETCH(QString, mainFw);
        QFETCH(QString, fw1);
        QFETCH(QString, ip2);
        QFETCH(uint, flags);
        DISPLAY_UDP_SEARCH_REPLY_INFO info;
        info.series = quint8(series);
        info.mainFwVersion = mainFw;
        info.fwVersions[0] = fw1;
        info.ip2Address = ip2.isEmpty() ? QHostAddress() : QHostAddress(ip2);
        QCOMPARE(QString::number(SearchOrchestrator::searchRequestFlags(info), 16),
                 QString::number(flags, 16));
    }

    void refreshFlags_data()
    {
        QTest::addColumn<int>("displaySeries");
        QTest::addColumn<int>("catalogueSeries");
        QTest::addColumn<int>("useIP2");
        QTest::addColumn<uint>("flags");
        QTest::newRow("newer series") << 3 << 3 << 0 << 0x80111Fu;
        QTest::newRow("older series, power-save family, second address") << 1 << 1 << 1 << 0x803367u;
        QTest::newRow("series 11, catalogue series 2") << 11 << 2 << 0 << 0x803167u;
    }

    void refreshFlags()
    {
        QFETCH(int, displaySeries);
        QFETCH(int, catalogueSeries);
        QFETCH(int, useIP2);
        QFETCH(uint, flags);
        DisplayEntry row;
        row.displaySeries = displaySeries;
        row.catalogueSeries = catalogueSeries;
        row.useIP2 = useIP2;
        QCOMPARE(QString::number(SearchOrchestrator::refreshRequestFlags(row), 16), QString::number(flags, 16));
    }

    // Replies are copied field by field, each only when it was asked for.
    void replyCopy_data()
    {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("powerMode");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("assetTag");
        QTest::addColumn<QString>("expectedModel");
        QTest::addColumn<int>("expectedPower");
        QTest::addColumn<QString>("expectedAssetTag");
        QTest::addColumn<int>("expectedComm");
        QTest::newRow("power 4 shows as standby") << 0x07u << 0 << 4 << "PX-651" << "" << "PX-651" << 2 << "old tag" << 0;
        QTest::newRow("power 3 suspend") << 0x04u << 0 << 3 << "" << "" << "PX-551" << 3 << "old tag" << 0;
        QTest::newRow("power 9 unknown") << 0x04u << 0 << 9 << "" << "" << "PX-551" << -1 << "old tag" << 0;
        QTest::newRow("blank model kept") << 0x01u << 0 << 0 << "   " << "" << "PX-551" << 1 << "old tag" << 0;
        QTest::newRow("power not asked") << 0x01u << 0 << 4 << "PX-651" << "" << "PX-651" << 1 << "old tag" << 0;
        QTest::newRow("empty asset tag copied") << 0x100u << 0 << 0 << "" << "" << "PX-551" << 1 << "" << 0;
        QTest::newRow("failed query keeps what it got") << 0x107u << -1 << 0 << "PX-651" << "T" << "PX-651" << -1 << "T" << 1;
    }

    void replyCopy()
    {
        QFETCH(uint, flags);
        QFETCH(int, status);
        QFETCH(int, powerMode);
        QFETCH(QString, model);
        QFETCH(QString, assetTag);
        DisplayEntry row;
        row.address = QHostAddress("127.0.72.1");
        row.modelName = "PX-551";
        row.powerState = 1;
        row.assetTag = "old tag";
        m_state.displayEntries = { row };
        m_state.pendingControlRequests = 1;
        PD_TCP_REPLY reply;
        reply.ipAddress = QHostAddress("::ffff:127.0.72.1");
        reply.requestFlags = flags;
        reply.status = status;
        reply.powerMode = powerMode;
        reply.modelName = model;
        reply.assetTag = assetTag;
        QSignalSpy changed(m_search.get(), &SearchOrchestrator::update_info);
        m_search->device_results_TcpClient(reply);

        const DisplayEntry &after = m_state.displayEntries.at(0);
        QTEST(after.modelName, "expectedModel");
        QTEST(after.powerState, "expectedPower");
        QTEST(after.assetTag, "expectedAssetTag");
        QTEST(after.commStatus, "expectedComm");
        QCOMPARE(m_state.pendingControlRequests, 0);
        QCOMPARE(m_evaluations, QList<bool> { true });
        QVERIFY(changed.count() >= 2); // the reply's row, then the evaluation
    }

    void replyForVanishedRowStillCounts()
    {
        m_state.pendingControlRequests = 2;
        PD_TCP_REPLY reply;
        reply.ipAddress = QHostAddress("127.0.72.9");
        m_search->device_results_TcpClient(reply);
        QCOMPARE(m_state.pendingControlRequests, 1);
        QVERIFY(m_evaluations.isEmpty());
        m_search->device_results_TcpClient(reply);
        m_search->device_results_TcpClient(reply);
        QCOMPARE(m_state.pendingControlRequests, 0);
        QCOMPARE(m_evaluations.size(), 2);
    }

    void targetedSearchFillsRowsAndEvaluatesOnce()
    {
        QSignalSpy resets(m_search.get(), &SearchOrchestrator::resetAll);
        QSignalSpy added(m_search.get(), &SearchOrchestrator::addRow);
        // The search port is taken by the first search, not by the orchestrator's construction,
        // so a front end that never searches takes no replies of a search beside it.
        const QHostAddress anyIPv4(QHostAddress::AnyIPv4);
        QCOMPARE(Leftovers::ownUdpSocketsOn(anyIPv4, 5320), 0);
        m_search->startSearch(false);
        QVERIFY(m_state.searching);
        QCOMPARE(Leftovers::ownUdpSocketsOn(anyIPv4, 5320), 1);
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;

        QCOMPARE(resets.count(), 1);
        QCOMPARE(added.count(), 3);
        QCOMPARE(m_state.displayEntries.size(), 3);
        QCOMPARE(m_evaluations, QList<bool> { true });
        QVERIFY(m_state.searchAttempted);
        QVERIFY(m_state.selectionRefreshPending);
        QCOMPARE(m_messages.first(), QStringLiteral("Searching..."));
        QVERIFY(m_messages.contains("Searching... Found 3 display(s) on LAN"));
        QVERIFY(m_messages.contains("Found 3 display(s) on LAN"));

        const int px = m_state.rowForAddress(simAddress(1));
        const int mx = m_state.rowForAddress(simAddress(2));
        const int silent = m_state.rowForAddress(simAddress(3));
        QVERIFY(px >= 0 && mx >= 0 && silent >= 0);
        const DisplayEntry &a = m_state.displayEntries.at(px);
        QCOMPARE(a.serialNumber, QStringLiteral("61A00001BA"));
        QCOMPARE(a.currentFirmware, QStringLiteral("R1.200"));
        QCOMPARE(a.macAddress, QStringLiteral("00-16-AA-00-00-01"));
        QCOMPARE(a.powerState, 1);
        QCOMPARE(a.firmwareStatus, int(FirmwareStatus::NewForLan));
        QVERIFY(a.selected); // chosen for update by the search's evaluation
        QVERIFY(!a.controlRequest);
        const DisplayEntry &b = m_state.displayEntries.at(mx);
        QCOMPARE(b.powerState, 2);
        QCOMPARE(b.firmwareStatus, int(FirmwareStatus::UpToDate));
        QVERIFY(!b.selected);
        const DisplayEntry &c = m_state.displayEntries.at(silent);
        QCOMPARE(c.commStatus, 1);
        QCOMPARE(c.serialNumber, QString());
    }

    void broadcastIgnoresTargetsAndRepeatedStart()
    {
        m_search->setAdapters(QList<NetworkAdapter>({ { "sim-a", simAddress(1), simAddress(1), true },
                                                   { "sim-b", simAddress(2), simAddress(2), true },
                                                   { "sim-a again", simAddress(1), simAddress(1), true } }));
        QSignalSpy resets(m_search.get(), &SearchOrchestrator::resetAll);
        m_search->startSearch(true);
        QVERIFY(m_state.searching);
        m_search->startSearch(false); // a press while searching changes nothing
        QCOMPARE(resets.count(), 1);
        QCOMPARE(m_messages.count("Searching..."), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!m_state.searching && m_state.pendingControlRequests == 0, 20000);
        QCOMPARE(m_state.displayEntries.size(), 2);
        QCOMPARE(m_state.rowForAddress(simAddress(3)), -1);
    }

    void searchStartFailures_data()
    {
        QTest::addColumn<QVariant>("selection");
        QTest::addColumn<bool>("tableEmptied");
        QTest::newRow("no adapters") << QVariant(SearchOrchestrator::AllAdapters) << true;
        QTest::newRow("adapter index beyond the list") << QVariant(4) << true;
        QTest::newRow("no selection") << QVariant() << false;
    }

    void searchStartFailures()
    {
        QFETCH(QVariant, selection);
        QFETCH(bool, tableEmptied);
        m_state.displayEntries = { DisplayEntry() };
        m_search->setInterfaceSelection(selection);
        m_search->startSearch(true);
        QVERIFY(!m_state.searching);
        QVERIFY(m_state.searchAttempted);
        QCOMPARE(m_state.displayEntries.isEmpty(), tableEmptied);
        const QStringList expected = tableEmptied ? QStringList { "Searching...", "Search error" } : QStringList();
        QCOMPARE(m_messages, expected);
    }

    void twoRefreshesCountDownAndEvaluateOnce()
    {
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        m_messages.clear();
        m_evaluations.clear();
        const int px = m_state.rowForAddress(simAddress(1));
        const int mx = m_state.rowForAddress(simAddress(2));
        m_search->refresh_row_by_TcpClient(px);
        m_search->refresh_row_by_TcpClient(px); // already being queried: ignored
        m_search->refresh_row_by_TcpClient(mx);
        m_search->refresh_row_by_TcpClient(-1);
        m_search->refresh_row_by_TcpClient(3);
        QCOMPARE(m_state.pendingControlRequests, 2);
        QVERIFY(m_state.refreshPending);
        QTRY_COMPARE_WITH_TIMEOUT(m_state.pendingControlRequests, 0, 15000);
        QCOMPARE(m_messages, (QStringList { "Refreshing display information from 1 display(s)...",
                                            "Refreshing display information from 2 display(s)...",
                                            "Refreshing display information from 1 display(s)...", "" }));
        QCOMPARE(m_evaluations, QList<bool> { false });
        QVERIFY(!m_state.refreshPending);
    }

    void refreshEvaluatedWhenAPowerReplyComesLast()
    {
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        m_messages.clear();
        m_evaluations.clear();
        const int px = m_state.rowForAddress(simAddress(1));
        const int mx = m_state.rowForAddress(simAddress(2));
        // The power command of the second display answers late, after the whole refresh.
        SimMisbehaviour late;
        late.replyDelayMs = 800;
        late.delayedItems = QStringList { QStringLiteral("C203") };
        m_displays[1]->setMisbehaviour(late);
        QSignalSpy awaited(m_search.get(), &SearchOrchestrator::awaitedDisplaysChanged);

        m_search->refresh_row_by_TcpClient(px);
        m_search->requestPowerOn_by_TcpClient(mx);
        QCOMPARE(m_search->awaitedDisplays(), (QList<QHostAddress> { simAddress(1), simAddress(2) }));
        QTRY_COMPARE_WITH_TIMEOUT(m_state.pendingControlRequests, 1, 15000);
        QCOMPARE(m_search->awaitedDisplays(), QList<QHostAddress> { simAddress(2) });
        // While the power reply is out, the report names the one display still awaited.
        QTRY_VERIFY_WITH_TIMEOUT(!awaited.isEmpty() && awaited.last().at(0).toInt() == 1, 700);
        QCOMPARE(awaited.last().at(1).toStringList(), QStringList { "127.0.71.2" });
        QTRY_COMPARE_WITH_TIMEOUT(m_state.pendingControlRequests, 0, 15000);
        m_displays[1]->setMisbehaviour(SimMisbehaviour());

        QCOMPARE(m_evaluations, QList<bool> { false });
        QVERIFY(!m_state.refreshPending);
        QVERIFY(!m_state.powerRequestPending);
        QCOMPARE(m_messages.last(), QString());
        QCOMPARE(m_state.displayEntries[mx].powerState, 1);
        // Once nothing is out, that is reported too.
        QTRY_COMPARE_WITH_TIMEOUT(awaited.last().at(0).toInt(), 0, 1000);
        QCOMPARE(awaited.last().at(1).toStringList(), QStringList());
        QVERIFY(m_search->awaitedDisplays().isEmpty());
        m_displays[1]->setPowerMode(4);
    }

    void refreshSkipsRowUnderUpdate()
    {
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        static char session;
        m_state.displayEntries[0].updateSession = reinterpret_cast<HttpClient *>(&session);
        m_search->refresh_row_by_TcpClient(0);
        m_search->requestPowerOff_by_TcpClient(0);
        QCOMPARE(m_state.pendingControlRequests, 0);
        QVERIFY(!m_state.displayEntries[0].controlRequest);
        m_state.displayEntries[0].updateSession = nullptr;
    }

    void powerOffThenOn()
    {
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        const int px = m_state.rowForAddress(simAddress(1));
        m_evaluations.clear();
        QSignalSpy settled(m_search.get(), &SearchOrchestrator::controlRequestSettled);

        m_search->requestPowerOff_by_TcpClient(px);
        QVERIFY(m_state.powerRequestPending);
        QVERIFY(m_state.displayEntries[px].controlRequest);
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 1, 10000);
        QCOMPARE(m_state.displayEntries[px].powerState, 2);
        QCOMPARE(m_displays[0]->config().powerMode, 4);
        QVERIFY(!m_state.powerRequestPending);
        QVERIFY(!m_state.displayEntries[px].controlRequest);

        m_search->requestPowerOn_by_TcpClient(px);
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 2, 10000);
        QCOMPARE(m_state.displayEntries[px].powerState, 1);
        QCOMPARE(m_displays[0]->config().powerMode, 1);
        QCOMPARE(m_state.pendingControlRequests, 0);

        // The next search still chooses the displays with new firmware.
        m_state.displayEntries[px].selected = false;
        m_evaluations.clear();
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(m_evaluations, QList<bool> { true });
        QVERIFY(m_state.displayEntries[m_state.rowForAddress(simAddress(1))].selected);
    }

    void powerSaveRequest()
    {
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        const int px = m_state.rowForAddress(simAddress(1));
        QSignalSpy settled(m_search.get(), &SearchOrchestrator::controlRequestSettled);
        m_search->requestSetPowerSaveToAutoStandby_by_TcpClient(px);
        QVERIFY(!m_state.powerRequestPending);
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 1, 10000);
        QCOMPARE(m_displays[0]->config().powerSaveSetting, 1);
        QCOMPARE(m_state.displayEntries[px].commStatus, 0);
    }

    void failedPowerRequestDropsRowFromUpdate()
    {
        searchAndSettle(false);
        if (QTest::currentTestFailed())
            return;
        const int silent = m_state.rowForAddress(simAddress(3));
        m_state.displayEntries[silent].selected = true;
        m_state.displayEntries[silent].updateStatus = 1;
        QSignalSpy settled(m_search.get(), &SearchOrchestrator::controlRequestSettled);
        m_search->requestPowerOn_by_TcpClient(silent);
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 1, 10000);
        const DisplayEntry &row = m_state.displayEntries.at(silent);
        QCOMPARE(row.commStatus, 1);
        QVERIFY(!row.selected);
        QCOMPARE(row.updateStatus, 0);
        QCOMPARE(row.powerState, -1);
    }
};

QTEST_GUILESS_MAIN(TestSearchOrchestrator)
#include "tst_searchorchestrator.moc"
