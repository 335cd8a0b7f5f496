#include "app/CommandAvailability.h"
#include "records/AppBuild.h"
#include "records/DisplayTableState.h"

#include <QtTest>
#include <functional>

// The rows only carry these pointers as "something is running" marks; nothing dereferences them.
static TcpClient *runningQuery()
{
    static char mark;
    return reinterpret_cast<TcpClient *>(&mark);
}
static HttpClient *runningSession()
{
    static char mark;
    return reinterpret_cast<HttpClient *>(&mark);
}

using StateChange = std::function<void(DisplayTableState &, int &currentRow)>;
Q_DECLARE_METATYPE(StateChange)

static QStringList enabledNames(const CommandAvailability &a)
{
    QStringList names;
    const QList<QPair<const char *, bool>> all {
        { "busy", a.busyCursor },          { "search", a.search },
        { "targeted", a.targetedSearch },  { "cancelQueued", a.cancelQueuedUpdates },
        { "lan", a.updateViaLan },         { "refreshAll", a.refreshAll },
        { "refreshSelected", a.refreshSelected }, { "usb", a.usbDrive },
        { "tools", a.catalogueTools },     { "deselect", a.deselectAll },
        { "clearDownloads", a.clearDownloads },
    };
    for (const auto &entry : all) {
        if (entry.second)
            names << QLatin1String(entry.first);
    }
    return names;
}

// Three idle rows after a finished search: row 0 is current and can go to a USB drive, row 1 has
// newer firmware and is checked for a LAN update.
static DisplayTableState idleTable()
{
    DisplayTableState state;
    state.databaseLoaded = true;
    for (int i = 0; i < 3; ++i) {
        DisplayEntry row;
        row.address = QHostAddress(QStringLiteral("127.0.9.%1").arg(i + 1));
        row.modelName = QStringLiteral("PX-55%1").arg(i);
        row.powerState = 1;
        row.firmwareStatus = FirmwareStatus::UpToDate;
        row.updateViaHTTP = 1;
        row.updateViaUSB = 1;
        state.displayEntries.append(row);
    }
    state.displayEntries[1].firmwareStatus = FirmwareStatus::NewForLan;
    state.displayEntries[1].selected = true;
    return state;
}

class TestCommandAvailability : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<StateChange>("change");
        QTest::addColumn<QStringList>("enabled");

        const QStringList idle { "search", "lan", "refreshAll", "refreshSelected", "usb", "tools", "deselect",
                                 "clearDownloads" };
        auto without = [&idle](const QStringList &gone, const QStringList &added = {}) {
            QStringList names;
            for (const QString &n : idle) {
                if (!gone.contains(n))
                    names << n;
            }
            QStringList order { "busy", "search", "targeted", "cancelQueued", "lan", "refreshAll",
                                "refreshSelected", "usb", "tools", "deselect", "clearDownloads" };
            names += added;
            std::sort(names.begin(), names.end(), [&order](const QString &l, const QString &r) {
                return order.indexOf(l) < order.indexOf(r);
            });
            return names;
        };

        QTest::newRow("idle") << StateChange([](DisplayTableState &, int &) {}) << idle;
        QTest::newRow("targets configured")
                << StateChange([](DisplayTableState &s, int &) { s.targetAddresses << QHostAddress("127.0.9.1"); })
                << without({}, { "targeted" });
        QTest::newRow("checked row with comm error")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[1].commStatus = 1; })
                << without({ "lan" });
        QTest::newRow("checked row with unreachable update address")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[1].commStatus = 2; })
                << without({ "lan" });
        QTest::newRow("unchecked row with comm error")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[2].commStatus = 1; })
                << idle;
        QTest::newRow("checked row needs power on, is standby")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[1].needPowerOnToUpdate = 1;
                       s.displayEntries[1].powerState = 2;
                   })
                << without({ "lan" });
        QTest::newRow("checked row needs power on, power unknown")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[1].needPowerOnToUpdate = 1;
                       s.displayEntries[1].powerState = -1;
                   })
                << without({ "lan" });
        QTest::newRow("checked row needs power on, is on")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[1].needPowerOnToUpdate = 1; })
                << idle;
        QTest::newRow("searching")
                << StateChange([](DisplayTableState &s, int &) { s.searching = true; })
                << QStringList { "busy", "deselect", "clearDownloads" };
        QTest::newRow("refresh in flight")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[2].controlRequest = runningQuery();
                       s.pendingControlRequests = 1;
                       s.refreshPending = true;
                   })
                << QStringList { "busy", "deselect", "clearDownloads" };
        QTest::newRow("package download running")
                << StateChange([](DisplayTableState &s, int &) {
                       s.activeDownloads = 1;
                       s.updateDownloadPending = true;
                   })
                << QStringList { "busy", "refreshAll", "refreshSelected", "deselect" };
        QTest::newRow("download pending before it counts")
                << StateChange([](DisplayTableState &s, int &) { s.usbDownloadPending = true; })
                << without({ "clearDownloads" }, { "busy" });
        QTest::newRow("update running on another row")
                << StateChange([](DisplayTableState &s, int &) {
                       s.activeUpdates = 1;
                       s.displayEntries[2].updateSession = runningSession();
                       s.displayEntries[2].updateStatus = 2;
                   })
                << QStringList { "refreshAll", "refreshSelected", "deselect" };
        QTest::newRow("current row under update")
                << StateChange([](DisplayTableState &s, int &) {
                       s.activeUpdates = 1;
                       s.displayEntries[0].updateSession = runningSession();
                       s.displayEntries[0].updateStatus = 2;
                   })
                << QStringList { "refreshAll", "deselect" };
        QTest::newRow("queued rows")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[1].updateStatus = 1;
                       s.displayEntries[2].updateStatus = 1;
                   })
                << without({ "clearDownloads" }, { "cancelQueued" });
        // Confirmed, the power-save change or the queue's first tick still to come: no session
        // runs yet, but a search would empty the rows the batch is about to update.
        QTest::newRow("batch confirmed, nothing running yet")
                << StateChange([](DisplayTableState &s, int &) {
                       s.batchRunning = true;
                       s.targetAddresses << QHostAddress("127.0.9.1");
                   })
                << without({ "search", "lan", "clearDownloads" });
        QTest::newRow("batch confirmed, rows queued")
                << StateChange([](DisplayTableState &s, int &) {
                       s.batchRunning = true;
                       s.displayEntries[1].updateStatus = 1;
                   })
                << without({ "search", "lan", "clearDownloads" }, { "cancelQueued" });
        // Between "complete" and the version read back the row still counts as in its update.
        QTest::newRow("version being checked")
                << StateChange([](DisplayTableState &s, int &) {
                       s.activeUpdates = 1;
                       s.displayEntries[2].updateStatus = 2;
                       s.displayEntries[2].verifyOutcome = VerifyOutcome::Checking;
                   })
                << QStringList { "refreshAll", "refreshSelected", "deselect" };
        QTest::newRow("catalogue download in flight")
                << StateChange([](DisplayTableState &s, int &) {
                       s.databaseDownloadInFlight = true;
                       s.databaseLoaded = false;
                   })
                << QStringList { "deselect" };
        QTest::newRow("database not loaded")
                << StateChange([](DisplayTableState &s, int &) { s.databaseLoaded = false; })
                << QStringList { "search", "deselect", "clearDownloads" };
        QTest::newRow("nothing checked")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[1].selected = false; })
                << without({ "lan", "deselect" });
        QTest::newRow("no current row")
                << StateChange([](DisplayTableState &, int &current) { current = -1; })
                << without({ "refreshSelected", "usb" });
        QTest::newRow("current row beyond the list")
                << StateChange([](DisplayTableState &, int &current) { current = 3; })
                << without({ "refreshSelected", "usb" });
        QTest::newRow("current row USB not offered")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[0].updateViaUSB = 0; })
                << without({ "usb" });
        QTest::newRow("current row needs newer build")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[0].requiresAppBuild = AppBuild::Number + 1;
                   })
                << without({ "usb" });
        QTest::newRow("current row needs exactly this build")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[0].requiresAppBuild = AppBuild::Number;
                   })
                << idle;
        QTest::newRow("empty table")
                << StateChange([](DisplayTableState &s, int &current) {
                       s.displayEntries.clear();
                       current = -1;
                   })
                << QStringList { "search", "tools", "clearDownloads" };
        QTest::newRow("control replies pending without a row")
                << StateChange([](DisplayTableState &s, int &) { s.pendingControlRequests = 2; })
                << without({}, { "busy" });
    }

    void rules()
    {
        QFETCH(StateChange, change);
        QFETCH(QStringList, enabled);
        DisplayTableState state = idleTable();
        int currentRow = 0;
        change(state, currentRow);
        const CommandAvailability a = CommandAvailability::evaluate(state, currentRow);
        QCOMPARE(enabledNames(a), enabled);
        // A named blocker always keeps the command off.
        QVERIFY(a.lanUpdateBlockers.isEmpty() || !a.updateViaLan);
    }

    // The rows named as blocking the LAN update are exactly those the rule stops at: unticking
    // them turns the command on.
    void lanUpdateBlockers_data()
    {
        QTest::addColumn<StateChange>("change");
        QTest::addColumn<QStringList>("blockers");

        const QString unreachable = QStringLiteral("%1: the address for firmware updates cannot be reached — untick it to update the others");
        const QString silent = QStringLiteral("%1: the display does not answer — untick it to update the others");
        const QString powerOff = QStringLiteral("%1: the display must be powered on to update its firmware — power it on or untick it to update the others");

        QTest::newRow("none") << StateChange([](DisplayTableState &, int &) {}) << QStringList();
        QTest::newRow("ticked, update address unreachable")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[1].commStatus = 2; })
                << QStringList { unreachable.arg("127.0.9.2") };
        QTest::newRow("unticked, update address unreachable")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[2].commStatus = 2; })
                << QStringList();
        QTest::newRow("ticked, silent")
                << StateChange([](DisplayTableState &s, int &) { s.displayEntries[1].commStatus = 1; })
                << QStringList { silent.arg("127.0.9.2") };
        QTest::newRow("ticked, must be on")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[1].needPowerOnToUpdate = 1;
                       s.displayEntries[1].powerState = 2;
                   })
                << QStringList { powerOff.arg("127.0.9.2") };
        QTest::newRow("one text per row, the address first")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[1].commStatus = 2;
                       s.displayEntries[1].needPowerOnToUpdate = 1;
                       s.displayEntries[1].powerState = 2;
                   })
                << QStringList { unreachable.arg("127.0.9.2") };
        QTest::newRow("several, in table order, healthy ones left out")
                << StateChange([](DisplayTableState &s, int &) {
                       for (DisplayEntry &row : s.displayEntries)
                           row.selected = true;
                       s.displayEntries[2].commStatus = 1;
                       s.displayEntries[0].commStatus = 2;
                   })
                << QStringList { unreachable.arg("127.0.9.1"), silent.arg("127.0.9.3") };
        QTest::newRow("IPv6-mapped address shown as IPv4")
                << StateChange([](DisplayTableState &s, int &) {
                       s.displayEntries[1].address = QHostAddress(QStringLiteral("::ffff:127.0.82.1"));
                       s.displayEntries[1].commStatus = 2;
                   })
                << QStringList { unreachable.arg("127.0.82.1") };
        QTest::newRow("also while a search runs")
                << StateChange([](DisplayTableState &s, int &) {
                       s.searching = true;
                       s.displayEntries[1].commStatus = 1;
                   })
                << QStringList { silent.arg("127.0.9.2") };
    }

    void lanUpdateBlockers()
    {
        QFETCH(StateChange, change);
        QFETCH(QStringList, blockers);
        DisplayTableState state = idleTable();
        int currentRow = 0;
        change(state, currentRow);
        const CommandAvailability a = CommandAvailability::evaluate(state, currentRow);
        QCOMPARE(a.lanUpdateBlockers, blockers);
        if (blockers.isEmpty())
            return;
        QVERIFY(!a.updateViaLan);
        // Untick every named row; a healthy row stays (or is) ticked, and only a search keeps
        // the command off then.
        bool anyTicked = false;
        for (DisplayEntry &row : state.displayEntries) {
            if (row.commStatus != 0 || (row.needPowerOnToUpdate && row.powerState != 1))
                row.selected = false;
            anyTicked = anyTicked || row.selected;
        }
        for (DisplayEntry &row : state.displayEntries) {
            if (!anyTicked && row.commStatus == 0 && !row.needPowerOnToUpdate) {
                row.selected = true;
                anyTicked = true;
            }
        }
        const CommandAvailability after = CommandAvailability::evaluate(state, currentRow);
        QVERIFY(after.lanUpdateBlockers.isEmpty());
        QCOMPARE(after.updateViaLan, !state.searching);
    }

    void blockerSummary_data()
    {
        QTest::addColumn<QStringList>("blockers");
        QTest::addColumn<QString>("summary");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("one") << QStringList { "a: why" } << "a: why";
        QTest::newRow("three") << QStringList { "a: why", "b: why", "c: why" }
                               << "a: why (and 2 more ticked display(s), listed in the button's tool tip)";
    }

    void blockerSummary()
    {
        QFETCH(QStringList, blockers);
        QFETCH(QString, summary);
        QCOMPARE(CommandAvailability::blockerSummary(blockers), summary);
    }

    void deselectAllKeepsRowsUnderUpdate()
    {
        DisplayTableState state = idleTable();
        for (DisplayEntry &row : state.displayEntries)
            row.selected = true;
        state.displayEntries[2].updateSession = runningSession();

        QCOMPARE(state.uncheckIdleRows(), (QList<int> { 0, 1 }));
        QVERIFY(!state.displayEntries[0].selected);
        QVERIFY(!state.displayEntries[1].selected);
        QVERIFY(state.displayEntries[2].selected);
        // Nothing left to change: the window then skips its redraw.
        QVERIFY(state.uncheckIdleRows().isEmpty());
        QVERIFY(CommandAvailability::evaluate(state, 0).deselectAll);
    }
};

QTEST_GUILESS_MAIN(TestCommandAvailability)
#include "tst_commandavailability.moc"
