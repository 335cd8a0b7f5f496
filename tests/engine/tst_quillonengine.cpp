#include "common/EngineFixture.h"
#include "common/Leftovers.h"
#include "common/TestFiles.h"
#include "engine/QuillonEngine.h"
#include "queue/PowerSaveChange.h"
#include "reports/UpdateReport.h"

#include "SimUpdateStats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

// The engine's own behaviour against simulated displays and the firmware server: the
// confirmation handed out and answered through a call, a batch that owns the table from its
// confirmation, the record of the last batch outliving a search, and cancel. The displays live on
// 127.0.84.x (second addresses 127.0.85.x).
namespace {

// Series 1 in Auto Standby and series 2 in Auto Power Save are switched "Off" before their
// updates; series 3 in Auto Standby is not.
const QList<EngineFixture::Display> Plan = {
    { "LG-141", "SERIES_CEDAR4", 1, 1, 1 },
    { "CG-343", "SERIES_CEDAR5", 3, 2, 1 },
    { "CG-444", "SERIES_BIRCH", 4, 1, 2, true },
    { "RH-048", "SERIES_ROWAN_H", 10 },
    { "LG-242", "SERIES_LARCH", 2, 1, 0 },
    { "LG-243", "SERIES_LARCH", 2, 1, 0 },
};

}

class tst_QuillonEngine : public QObject
{
    Q_OBJECT

    EngineFixture m_fixture { QStringLiteral("127.0.84"), QStringLiteral("127.0.85") };
    std::unique_ptr<QuillonEngine> m_engine;
    // The batch points in the order they were reported: "started 127.0.84.1", ...
    QStringList m_points;

    const DisplayTableState &state() const { return m_engine->state(); }
    const DisplayEntry &row(int i) const { return state().displayEntries.at(state().rowForAddress(m_fixture.address(i))); }
    int attempts(int i)
    {
        return m_fixture.fleet().updateStats()->displays().value(m_fixture.address(i).toString()).attempts;
    }
    QString rowAddress(int row) const { return state().displayEntries.at(row).address.toString(); }

    // Every display back at the old firmware and its planned power-save setting, the table searched
    // again: the next batch has all four to update.
    void freshFleet()
    {
        for (int i = 0; i < Plan.size(); ++i) {
            SimDisplay *display = m_fixture.fleet().display(m_fixture.address(i));
            SimDisplayConfig c = display->config();
            c.mainFwVersion = EngineFixture::OldVersion;
            c.powerSaveSetting = Plan.at(i).powerSave;
            display->setConfig(c);
        }
        m_fixture.fleet().updateStats()->reset();
        QVERIFY(m_engine->startSearch(false));
        QVERIFY(QTest::qWaitFor([this] { return m_engine->isSearchSettled(); }, 30000));
        QCOMPARE(state().displayEntries.size(), Plan.size());
        for (const DisplayEntry &row : state().displayEntries)
            QVERIFY2(row.selected, qPrintable(row.modelName));
    }

    // Starts the update command and waits for the question it hands out.
    UpdateConfirmation askForConfirmation()
    {
        QSignalSpy asked(m_engine.get(), &QuillonEngine::confirmationRequested);
        m_engine->startUpdate();
        if (asked.isEmpty() && !asked.wait(30000))
            return UpdateConfirmation();
        return asked.constFirst().constFirst().value<UpdateConfirmation>();
    }

    bool waitSettled() const
    {
        return QTest::qWaitFor([this] { return m_engine->updatesSettled(); }, 120000);
    }

private slots:
    void initTestCase()
    {
        if (::geteuid() != 0)
            QSKIP("the displays' web servers and second addresses need port 80");
        m_fixture.setUp(Plan, 5);
        if (QTest::currentTestFailed())
            return;
        m_engine = m_fixture.makeEngine();
        QCOMPARE(m_engine->frontEnd(), QStringLiteral("quillonctl"));
        QString warning;
        QVERIFY(m_engine->openHistory(&warning).isEmpty());
        QVERIFY2(warning.isEmpty(), qPrintable(warning));
        // An engine that has not searched (quillonctl history, a download) leaves the search port
        // to whoever searches beside it.
        QCOMPARE(Leftovers::ownUdpSocketsOn(QHostAddress(QHostAddress::AnyIPv4), 5320), 0);
        QVERIFY(m_fixture.loadAndSearch(*m_engine));
        connect(m_engine.get(), &QuillonEngine::updateStarted, this,
                [this](int row) { m_points << QStringLiteral("started ") + rowAddress(row); });
        connect(m_engine.get(), &QuillonEngine::updateSettled, this,
                [this](int row) { m_points << QStringLiteral("settled ") + rowAddress(row); });
        connect(m_engine.get(), &QuillonEngine::updateVerified, this,
                [this](const QHostAddress &address, int outcome, const QString &version) {
                    m_points << QStringLiteral("verified %1 %2 %3").arg(address.toString()).arg(outcome).arg(version);
                });
    }

    void cleanupTestCase()
    {
        m_engine.reset();
    }

    // The engine asks through a signal and waits: nothing reaches a display until the answer is
    // yes, a no leaves everything as it was, and an answer nobody asked for does nothing.
    void confirmationIsHandedOutAndAnswered()
    {
        QSignalSpy started(m_engine.get(), &QuillonEngine::batchStarted);
        QSignalSpy finished(m_engine.get(), &QuillonEngine::batchFinished);

        UpdateConfirmation request = askForConfirmation();
        QCOMPARE(request.listed.size(), Plan.size());
        for (int i = 0; i < Plan.size(); ++i)
            QVERIFY(request.listed.contains(m_fixture.address(i)));
        QVERIFY(request.cautionsNeeded);
        QCOMPARE(request.updateLimit, 5);
        QVERIFY(m_engine->isConfirmationPending());
        const UpdateSummary::Texts texts = m_engine->summaryTexts(UpdateSummary::Options());
        QCOMPARE(texts.listedRows, int(Plan.size()));
        QVERIFY2(texts.header.contains(QStringLiteral("following %1 display(s)").arg(Plan.size())), qPrintable(texts.header));

        m_engine->confirmUpdate(false);
        QVERIFY(!m_engine->isConfirmationPending());
        QVERIFY(!m_engine->isBatchRunning());
        QTest::qWait(500);
        m_engine->confirmUpdate(true); // nothing was asked: no batch
        QTest::qWait(300);
        QCOMPARE(started.count(), 0);
        QVERIFY(!m_engine->isBatchRunning());
        for (int i = 0; i < Plan.size(); ++i) {
            QCOMPARE(state().displayEntries.at(i).updateStatus, 0);
            QCOMPARE(attempts(i), 0);
        }
        QCOMPARE(m_fixture.fleet().display(m_fixture.address(0))->config().powerSaveSetting, 1);

        // A "no" to the summary leaves the cautions still to be accepted.
        request = askForConfirmation();
        QVERIFY(request.cautionsNeeded);
        m_engine->acceptCautions();
        m_engine->confirmUpdate(true);
        QCOMPARE(started.count(), 1);
        QVERIFY(waitSettled());
        QCOMPARE(finished.count(), 1);

        QCOMPARE(m_fixture.fleet().display(m_fixture.address(0))->config().powerSaveSetting, 2);
        for (int i = 0; i < Plan.size(); ++i) {
            const QString address = m_fixture.address(i).toString();
            const DisplayEntry &row = state().displayEntries.at(state().rowForAddress(m_fixture.address(i)));
            QVERIFY2(row.resultStatus == 3, qPrintable(address));
            QCOMPARE(row.currentFirmware, EngineFixture::VersionAfter);
            // Each point once, in the order of the update.
            const int start = m_points.indexOf(QStringLiteral("started ") + address);
            const int settle = m_points.indexOf(QStringLiteral("settled ") + address);
            const int verify = m_points.indexOf(QStringLiteral("verified %1 0 %2").arg(address, EngineFixture::VersionAfter));
            QVERIFY2(start >= 0 && start < settle && settle < verify, qPrintable(m_points.join(QLatin1String(", "))));
            QCOMPARE(int(m_points.count(QStringLiteral("started ") + address)), 1);
            QCOMPARE(int(m_points.count(QStringLiteral("settled ") + address)), 1);
        }

        // Accepted once for the engine's life.
        freshFleet();
        QVERIFY(!askForConfirmation().cautionsNeeded);
        m_engine->confirmUpdate(false);
    }

    // Every update of a batch is in the history, whoever drives the engine: begun before its
    // first request, settled with the session's result, and completed by the check after it.
    void historyKeepsEveryUpdateOfTheBatch()
    {
        freshFleet();
        QVERIFY(!askForConfirmation().listed.isEmpty());
        m_engine->confirmUpdate(true);
        QVERIFY(waitSettled());

        const QList<UpdateAttempt> all = m_engine->history().attempts();
        QVERIFY(!all.isEmpty());
        const QString batch = all.constLast().batch;
        QList<UpdateAttempt> attempts;
        for (const UpdateAttempt &attempt : all) {
            if (attempt.batch == batch)
                attempts.append(attempt);
        }
        QCOMPARE(attempts.size(), Plan.size());
        for (const UpdateAttempt &attempt : attempts) {
            QVERIFY2(state().rowForAddress(QHostAddress(attempt.address)) >= 0, qPrintable(attempt.address));
            QCOMPARE(attempt.state, UpdateAttempt::State::Settled);
            QCOMPARE(attempt.status, 3);
            QCOMPARE(attempt.firmwareBefore, EngineFixture::OldVersion);
            QCOMPARE(attempt.targetVersion, EngineFixture::NewVersion);
            QCOMPARE(attempt.firmwareAfter, EngineFixture::VersionAfter);
            QCOMPARE(attempt.verification, int(UpdateAttempt::Verified));
            QCOMPARE(attempt.frontEnd, QStringLiteral("quillonctl"));
            QVERIFY(!attempt.packageName.isEmpty());
            QCOMPARE(attempt.packageMd5.size(), 32);
            QVERIFY(attempt.started.isValid() && attempt.settled >= attempt.started);
        }
        // The next test starts from displays still to update.
        freshFleet();
    }

    // From the confirmation on, before the power-save change has answered and before the queue's
    // first tick, the batch owns the table: a search would empty the rows its sessions follow.
    void batchCountsAsRunningFromConfirmation()
    {
        QSignalSpy finished(m_engine.get(), &QuillonEngine::batchFinished);
        QVERIFY(!askForConfirmation().listed.isEmpty());
        m_engine->confirmUpdate(true);
        QVERIFY(m_engine->isBatchRunning());
        QVERIFY(state().batchRunning);
        QCOMPARE(state().activeUpdates, 0);
        QVERIFY(state().powerSaveChangePending);

        QSignalSpy reset(m_engine.get(), &QuillonEngine::rowsReset);
        QVERIFY(!m_engine->startSearch(true));
        QVERIFY(!m_engine->startSearch(false));
        QVERIFY(!state().searching);
        QCOMPARE(state().displayEntries.size(), Plan.size());
        // Nor can a second update command ask again while this batch runs.
        QSignalSpy asked(m_engine.get(), &QuillonEngine::confirmationRequested);
        m_engine->startUpdate();

        QVERIFY(QTest::qWaitFor([this] { return state().activeUpdates > 0; }, 30000));
        QVERIFY(!m_engine->startSearch(false));
        QVERIFY(waitSettled());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(asked.count(), 0);
        QVERIFY(!m_engine->isBatchRunning());
        for (const DisplayEntry &row : state().displayEntries)
            QCOMPARE(row.resultStatus, 3);
    }

    // The record of the last batch stays exportable after a search has replaced the table, with
    // what it said before; the next confirmed batch starts a record of its own.
    void lastBatchRecordOutlivesSearch()
    {
        const QList<UpdateReport::Line> before = m_engine->lastBatchReport();
        QCOMPARE(before.size(), Plan.size());
        QVERIFY(m_engine->hasLastBatchReport());

        QVERIFY(m_engine->startSearch(false));
        QVERIFY(QTest::qWaitFor([this] { return m_engine->isSearchSettled(); }, 30000));
        QCOMPARE(state().displayEntries.size(), Plan.size());
        QVERIFY(!UpdateReport::hasLines(state()));

        QVERIFY(m_engine->hasLastBatchReport());
        const QList<UpdateReport::Line> after = m_engine->lastBatchReport();
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            QCOMPARE(after.at(i).address, before.at(i).address);
            QCOMPARE(after.at(i).model, before.at(i).model);
            QCOMPARE(after.at(i).versionBefore, EngineFixture::OldVersion);
            QCOMPARE(after.at(i).versionAfter, EngineFixture::VersionAfter);
            QVERIFY(after.at(i).versionReadBack);
            QCOMPARE(after.at(i).result, 3);
            QCOMPARE(after.at(i).resultText, before.at(i).resultText);
            QCOMPARE(after.at(i).started, before.at(i).started);
            QCOMPARE(after.at(i).settled, before.at(i).settled);
        }
        const QString path = m_fixture.homeFile(QStringLiteral("report.json"));
        QCOMPARE(m_engine->exportUpdateReport(path, true), QString());
        const QJsonArray lines = QJsonDocument::fromJson(TestFiles::readFile(path)).array();
        QCOMPARE(lines.size(), Plan.size());
        for (const QJsonValue &line : lines)
            QCOMPARE(line.toObject().value("firmware_after").toString(), EngineFixture::VersionAfter);

        freshFleet();
        QVERIFY(m_engine->hasLastBatchReport());
        QVERIFY(!askForConfirmation().listed.isEmpty());
        m_engine->confirmUpdate(true);
        QVERIFY(!m_engine->hasLastBatchReport());
        QVERIFY(m_engine->lastBatchReport().isEmpty());
        QVERIFY(waitSettled());
        QCOMPARE(m_engine->lastBatchReport().size(), Plan.size());
    }

    // Cancel takes back what is queued, also a batch whose power-save change has not answered
    // yet; a running session goes on to its end, and the batch ends once.
    void cancelQueuedUpdates_data()
    {
        QTest::addColumn<bool>("waitForFirstSession");
        QTest::newRow("before the power-save change answers") << false;
        QTest::newRow("while one session runs") << true;
    }

    void cancelQueuedUpdates()
    {
        QFETCH(bool, waitForFirstSession);
        freshFleet();
        m_engine->setUpdateLimit(1);
        QSignalSpy finished(m_engine.get(), &QuillonEngine::batchFinished);
        QVERIFY(!askForConfirmation().listed.isEmpty());
        m_engine->confirmUpdate(true);
        if (waitForFirstSession)
            QVERIFY(QTest::qWaitFor([this] { return state().activeUpdates == 1; }, 30000));
        else
            QVERIFY(state().powerSaveChangePending);
        m_engine->cancelQueuedUpdates();
        QVERIFY(waitSettled());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!m_engine->isBatchRunning());

        int updated = 0;
        for (int i = 0; i < Plan.size(); ++i) {
            const DisplayEntry &row = state().displayEntries.at(state().rowForAddress(m_fixture.address(i)));
            QCOMPARE(row.updateStatus, 0);
            if (attempts(i) > 0) {
                ++updated;
                QCOMPARE(row.resultStatus, 3);
            } else {
                // Not updated: still ticked for another try.
                QVERIFY(row.selected);
            }
        }
        QCOMPARE(updated, waitForFirstSession ? 1 : 0);
        QCOMPARE(m_fixture.fleet().updateStats()->maxConcurrent(), waitForFirstSession ? 1 : 0);
        m_engine->setUpdateLimit(5);
    }

    // The power-save change goes before the queue: series 1 and 2 switched "Off", series 3 left
    // as it is, and a display whose control port refuses by then is dropped from the batch.
    void powerSaveChangeBeforeQueueing()
    {
        freshFleet();
        SimDisplay *refusing = m_fixture.fleet().display(m_fixture.address(5));
        SimDisplayConfig c = refusing->config();
        c.misbehaviour.control = SimMisbehaviour::Listener::Refuse;
        refusing->setConfig(c);

        QSignalSpy ready(m_engine->powerSaveChange(), &PowerSaveChange::readyToQueue);
        QVERIFY(!askForConfirmation().listed.isEmpty());
        m_engine->confirmUpdate(true);
        QCOMPARE(state().pendingControlRequests, 3);
        QVERIFY(row(1).controlRequest == nullptr);
        QVERIFY(ready.isEmpty());
        QVERIFY(ready.wait(30000));
        QCOMPARE(ready.count(), 1);
        for (int i : { 0, 4 })
            QCOMPARE(m_fixture.fleet().displays().at(i)->config().powerSaveSetting, 2);
        QCOMPARE(m_fixture.fleet().displays().at(1)->config().powerSaveSetting, 1);
        // The refusing display was dropped from the update.
        QVERIFY(!row(5).selected);
        QCOMPARE(row(5).commStatus, 1);
        QVERIFY(waitSettled());
        for (int i : { 0, 1, 2, 3, 4 })
            QCOMPARE(row(i).resultStatus, 3);
        QCOMPARE(row(5).resultStatus, 0);
        QCOMPARE(attempts(5), 0);

        // Nothing to change: queue at once.
        m_engine->state().displayEntries[state().rowForAddress(m_fixture.address(0))].selected = true;
        m_engine->state().displayEntries[state().rowForAddress(m_fixture.address(0))].powerSaveMode = 2;
        QVERIFY(!m_engine->powerSaveChange()->start());

        c.misbehaviour.control = SimMisbehaviour::Listener::Normal;
        refusing->setConfig(c);
    }
};

QTEST_GUILESS_MAIN(tst_QuillonEngine)
#include "tst_quillonengine.moc"
