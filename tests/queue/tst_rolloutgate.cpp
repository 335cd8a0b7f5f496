#include "queue/RolloutGate.h"

#include <QtTest>

// The rollout rules on plain keys: a script of what the queue reports (started, settled,
// verified) and what each group's next display is then told.
namespace {

// One step of a script: "start A1 LG", "settle A1 ok", "settle A1 fail", "check A1 ok",
// "check A1 wrong". Displays and groups are short names.
struct Step
{
    enum Kind { Start, Settle, Check } kind;
    QString display;
    QString arg; // group for Start; "ok" or anything else for Settle and Check
};

Step start(const char *display, const char *group) { return { Step::Start, display, group }; }
Step settle(const char *display, bool completed) { return { Step::Settle, display, completed ? "ok" : "fail" }; }
Step check(const char *display, bool onRelease) { return { Step::Check, display, onRelease ? "ok" : "wrong" }; }

using Hold = RolloutGate::Hold;
using Script = QList<Step>;
using Expected = QHash<QString, Hold>; // group -> hold after the script

}

Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(Expected)

class tst_RolloutGate : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void groupsAreModelAndVersion();
    void rowTexts_data();
    void rowTexts();
};

void tst_RolloutGate::rules_data()
{
    QTest::addColumn<bool>("firstPerModel");
    QTest::addColumn<int>("maxFailures");
    QTest::addColumn<Script>("script");
    QTest::addColumn<Expected>("expected");
    QTest::addColumn<int>("failures");

    // Both off: the plain queue, whatever happens.
    QTest::newRow("off, failures do not hold anything")
            << false << 0
            << Script { start("A1", "A"), settle("A1", false), start("B1", "B"), settle("B1", false) }
            << Expected { { "A", Hold::None }, { "B", Hold::None }, { "C", Hold::None } } << 2;

    // One of each model first.
    QTest::newRow("first not started yet: the group may start")
            << true << 0 << Script {} << Expected { { "A", Hold::None } } << 0;
    QTest::newRow("first running: the others wait")
            << true << 0 << Script { start("A1", "A") }
            << Expected { { "A", Hold::WaitingForFirst }, { "B", Hold::None } } << 0;
    QTest::newRow("first complete but not yet checked: still waiting")
            << true << 0 << Script { start("A1", "A"), settle("A1", true) }
            << Expected { { "A", Hold::WaitingForFirst } } << 0;
    QTest::newRow("first verified: the others start")
            << true << 0 << Script { start("A1", "A"), settle("A1", true), check("A1", true) }
            << Expected { { "A", Hold::None } } << 0;
    QTest::newRow("first failed: only its model is held back")
            << true << 0 << Script { start("A1", "A"), start("B1", "B"), settle("A1", false) }
            << Expected { { "A", Hold::FirstFailed }, { "B", Hold::WaitingForFirst }, { "C", Hold::None } } << 1;
    QTest::newRow("first came back on another version: a failure")
            << true << 0 << Script { start("A1", "A"), settle("A1", true), check("A1", false) }
            << Expected { { "A", Hold::FirstFailed } } << 1;
    QTest::newRow("a later display's failure does not hold its model")
            << true << 0
            << Script { start("A1", "A"), settle("A1", true), check("A1", true), start("A2", "A"), settle("A2", false) }
            << Expected { { "A", Hold::None } } << 1;
    QTest::newRow("a check without a completed session is ignored")
            << true << 0 << Script { start("A1", "A"), check("A1", true) }
            << Expected { { "A", Hold::WaitingForFirst } } << 0;
    QTest::newRow("a second check of one display is ignored")
            << true << 0 << Script { start("A1", "A"), settle("A1", true), check("A1", true), check("A1", false) }
            << Expected { { "A", Hold::None } } << 0;
    QTest::newRow("reports on displays never started are ignored")
            << true << 1 << Script { settle("X1", false), check("X1", false) }
            << Expected { { "X", Hold::None } } << 0;

    // Stop after N failures.
    QTest::newRow("below the limit: going on")
            << false << 3 << Script { start("A1", "A"), start("B1", "B"), settle("A1", false), settle("B1", false) }
            << Expected { { "A", Hold::None }, { "C", Hold::None } } << 2;
    QTest::newRow("at the limit: stopped for every group")
            << false << 2
            << Script { start("A1", "A"), start("B1", "B"), settle("A1", false), settle("B1", true), check("B1", false) }
            << Expected { { "A", Hold::BatchStopped }, { "B", Hold::BatchStopped }, { "C", Hold::BatchStopped } } << 2;
    QTest::newRow("limit 1: the first failure stops")
            << false << 1 << Script { start("A1", "A"), settle("A1", false) }
            << Expected { { "A", Hold::BatchStopped }, { "B", Hold::BatchStopped } } << 1;
    QTest::newRow("successes do not count")
            << false << 1 << Script { start("A1", "A"), settle("A1", true), check("A1", true) }
            << Expected { { "A", Hold::None } } << 0;

    // Both: the stop wins over waiting, and first displays count like any other.
    QTest::newRow("both: a stopped batch holds the waiting groups too")
            << true << 2
            << Script { start("A1", "A"), start("B1", "B"), start("C1", "C"), settle("A1", false), settle("B1", false) }
            << Expected { { "A", Hold::BatchStopped }, { "C", Hold::BatchStopped }, { "D", Hold::BatchStopped } } << 2;
    QTest::newRow("both: one failed first, below the limit")
            << true << 2 << Script { start("A1", "A"), start("B1", "B"), settle("A1", false) }
            << Expected { { "A", Hold::FirstFailed }, { "B", Hold::WaitingForFirst }, { "C", Hold::None } } << 1;
}

void tst_RolloutGate::rules()
{
    QFETCH(bool, firstPerModel);
    QFETCH(int, maxFailures);
    QFETCH(Script, script);
    QFETCH(Expected, expected);
    QFETCH(int, failures);

    RolloutPolicy policy;
    policy.firstPerModel = firstPerModel;
    policy.maxFailures = maxFailures;
    RolloutGate gate(policy);
    for (const Step &step : script) {
        switch (step.kind) {
        case Step::Start:
            QCOMPARE(gate.hold(step.arg), Hold::None); // the queue starts only what may start
            gate.started(step.display, step.arg);
            break;
        case Step::Settle:
            gate.settled(step.display, step.arg == QLatin1String("ok"));
            break;
        case Step::Check:
            gate.verified(step.display, step.arg == QLatin1String("ok"));
            break;
        }
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(gate.hold(it.key()) == it.value(), qPrintable(QStringLiteral("group %1: %2").arg(it.key()).arg(int(gate.hold(it.key())))));
    QCOMPARE(gate.failures(), failures);
    QCOMPARE(gate.stopped(), maxFailures > 0 && failures >= maxFailures);
}

// The same model with another target version (two catalogue releases) is a group of its own,
// and a model name cannot run into its version.
void tst_RolloutGate::groupsAreModelAndVersion()
{
    RolloutPolicy policy;
    policy.firstPerModel = true;
    RolloutGate gate(policy);
    gate.started(QStringLiteral("A1"), RolloutGate::groupKey(QStringLiteral("PX-1"), QStringLiteral("2.000")));
    gate.settled(QStringLiteral("A1"), false);
    QCOMPARE(gate.hold(RolloutGate::groupKey(QStringLiteral("PX-1"), QStringLiteral("2.000"))), Hold::FirstFailed);
    QCOMPARE(gate.hold(RolloutGate::groupKey(QStringLiteral("PX-1"), QStringLiteral("2.100"))), Hold::None);
    QVERIFY(RolloutGate::groupKey(QStringLiteral("PX-12"), QStringLiteral(".000"))
            != RolloutGate::groupKey(QStringLiteral("PX-1"), QStringLiteral("2.000")));
}

void tst_RolloutGate::rowTexts_data()
{
    QTest::addColumn<int>("hold");
    QTest::addColumn<int>("maxFailures");
    QTest::addColumn<QString>("text");
    QTest::newRow("may start") << int(Hold::None) << 3 << QString();
    QTest::newRow("waiting") << int(Hold::WaitingForFirst) << 0 << "Waiting for the first display of this model";
    QTest::newRow("first failed") << int(Hold::FirstFailed) << 0 << "Not started: the first display of this model failed";
    QTest::newRow("stopped after 3") << int(Hold::BatchStopped) << 3 << "Not started: the batch stopped after 3 failures";
    QTest::newRow("stopped after 1") << int(Hold::BatchStopped) << 1 << "Not started: the batch stopped after 1 failure";
}

void tst_RolloutGate::rowTexts()
{
    QFETCH(int, hold);
    QFETCH(int, maxFailures);
    QFETCH(QString, text);
    RolloutPolicy policy;
    policy.maxFailures = maxFailures;
    QCOMPARE(RolloutGate::rowText(Hold(hold), policy), text);
}

QTEST_GUILESS_MAIN(tst_RolloutGate)
#include "tst_rolloutgate.moc"
