// Parses a catalogue just under the local read cap and evaluates 4,096 display rows against it,
// with the model index and, as the reference, with a walk through every release per row.
#include "CatalogueGenerator.h"

#include "catalogue/CatalogueMerge.h"
#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareStatusEvaluator.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int Rows = 4096;
constexpr int Runs = 15;
constexpr double GoalMs = 50.0;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// setup runs before each timed run, outside the measurement.
template<typename Setup, typename Work>
double medianMs(Setup setup, Work work)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        setup();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

bool sameRows(const DisplayEntryList &a, const DisplayEntryList &b)
{
    for (int i = 0; i < a.size(); ++i) {
        const DisplayEntry &x = a.at(i);
        const DisplayEntry &y = b.at(i);
        if (x.firmwareStatus != y.firmwareStatus || x.selected != y.selected
            || x.updateViaHTTP != y.updateViaHTTP || x.manualPowerCycle != y.manualPowerCycle
            || x.commStatus != y.commStatus || x.latestVersion != y.latestVersion
            || x.catalogueSeries != y.catalogueSeries || x.changeLists != y.changeLists
            || x.requiresAppBuild != y.requiresAppBuild || x.componentCount != y.componentCount)
            return false;
    }
    return true;
}

}

int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const QByteArray bytes = CatalogueGenerator::catalogue(int(CatalogueMerge::LocalReadLimit), 20261210);
    const DisplayEntryList freshRows = CatalogueGenerator::rows(bytes, Rows, 4096);

    FirmwareDatabase database;
    const double parseMs = medianMs([] {}, [&] { database.parse(bytes, QLocale::English); });

    DisplayEntryList indexed;
    const FirmwareStatusEvaluator evaluator(database, true);
    const double evaluateMs = medianMs([&] { indexed = freshRows; indexed.detach(); },
                                       [&] { evaluator.evaluateFirmwareStatus(indexed, true); });

    DisplayEntryList linear;
    FirmwareStatusEvaluator reference(database, true);
    reference.setLinearLookup(true);
    const double linearMs = medianMs([&] { linear = freshRows; linear.detach(); },
                                     [&] { reference.evaluateFirmwareStatus(linear, true); });

    int matched = 0;
    for (const DisplayEntry &row : indexed)
        matched += row.firmwareStatus != FirmwareStatus::NoneForModel;

    out << "catalogue: " << bytes.size() << " bytes, " << database.count() << " releases; "
        << Rows << " rows, " << matched << " with a release; median of " << Runs << " runs\n";
    out << QStringLiteral("parse:                         %1 ms\n").arg(parseMs, 0, 'f', 2);
    out << QStringLiteral("evaluate (model index):        %1 ms\n").arg(evaluateMs, 0, 'f', 2);
    out << QStringLiteral("evaluate (linear walk, ref.):  %1 ms   ratio reference/index %2\n")
               .arg(linearMs, 0, 'f', 2).arg(linearMs / evaluateMs, 0, 'f', 1);
    out << QStringLiteral("parse + evaluate:              %1 ms   ratio to the %2 ms goal %3\n")
               .arg(parseMs + evaluateMs, 0, 'f', 2).arg(GoalMs, 0, 'f', 0)
               .arg((parseMs + evaluateMs) / GoalMs, 0, 'f', 2);
    const bool same = sameRows(indexed, linear);
    out << "index and linear walk give identical rows: " << (same ? "yes" : "NO") << "\n";
    return same ? 0 : 1;
}
