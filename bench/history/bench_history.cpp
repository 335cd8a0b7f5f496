// Times the update history on a file of 100,000 attempts: the three writes of each update while a
// batch runs (pending, settled, verified; each one a commit that reaches the disk), a query by
// serial number, and loading the history view's model (the newest rows at once, then all of them
// from the event loop, under the sorted proxy), and prints
// the figures with their goals. The file lives in a temporary folder on the disk that holds
// /tmp (pass a folder to measure another disk).
#include "history/HistoryFilterProxy.h"
#include "history/HistoryTableModel.h"
#include "history/HistoryViewLoader.h"
#include "history/UpdateHistory.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rows = 100000;
constexpr int BatchAttempts = 200;  // updates of the batch written while the benchmark runs
constexpr int SerialQueries = 101;
constexpr int ViewLoads = 7;
constexpr double SerialGoalMs = 5.0;
constexpr double ViewGoalMs = 100.0;

UpdateAttempt fleetAttempt(int i)
{
    UpdateAttempt attempt;
    attempt.batch = QStringLiteral("batch-%1").arg(i / 20);
    attempt.started = QDateTime(QDate(2024, 1, 1), QTime(8, 0), Qt::UTC).addSecs(qint64(i) * 600);
    attempt.settled = attempt.started.addSecs(420);
    attempt.address = QStringLiteral("10.%1.%2.%3").arg(i / 62500).arg(i / 250 % 250).arg(i % 250 + 1);
    attempt.model = i % 3 ? QStringLiteral("QX-551") : QStringLiteral("PX-750");
    // About ten updates per display over the years.
    attempt.serial = QStringLiteral("SN%1").arg(i % 10000, 6, 10, QLatin1Char('0'));
    attempt.series = 3;
    attempt.firmwareBefore = QStringLiteral("R1.%1").arg(i % 90, 3, 10, QLatin1Char('0'));
    attempt.targetVersion = QStringLiteral("R2.000");
    attempt.firmwareAfter = QStringLiteral("R2.000");
    attempt.state = UpdateAttempt::State::Settled;
    attempt.status = i % 17 ? 3 : -3;
    attempt.statusText = i % 17 ? QStringLiteral("Success") : QStringLiteral("Error: Timeout.");
    attempt.verification = i % 17 ? UpdateAttempt::Verified : UpdateAttempt::None;
    attempt.verificationText = i % 17 ? QStringLiteral("Success. Verified: version R2.000") : QString();
    attempt.packageName = QStringLiteral("QX-551_R2.000.zip");
    attempt.packageMd5 = QStringLiteral("0123456789abcdef0123456789abcdef");
    attempt.frontEnd = QStringLiteral("window");
    attempt.userName = QStringLiteral("tech");
    return attempt;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ms(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

}

int main(int argc, char **argv)
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtInfoMsg && type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/bench_history-XXXXXX") : QString());
    UpdateHistory history(dir.filePath(QStringLiteral("history.sqlite")));
    if (!dir.isValid() || history.open() != UpdateHistory::OpenStatus::Opened) {
        std::fprintf(stderr, "no history file: %s\n", qPrintable(history.lastError()));
        return 1;
    }

    QElapsedTimer fill;
    fill.start();
    for (int first = 0; first < Rows; first += 10000) {
        QList<UpdateAttempt> chunk;
        for (int i = first; i < first + 10000; ++i)
            chunk.append(fleetAttempt(i));
        if (!history.appendAttempts(chunk)) {
            std::fprintf(stderr, "fill failed: %s\n", qPrintable(history.lastError()));
            return 1;
        }
    }
    const double fillMs = ms(fill);

    // A batch: each update's pending row, its settled result and its check, one commit each.
    std::vector<double> writes;
    QElapsedTimer batch;
    batch.start();
    for (int i = 0; i < BatchAttempts; ++i) {
        UpdateAttempt attempt = fleetAttempt(Rows + i);
        attempt.started = QDateTime();
        QElapsedTimer one;
        one.start();
        const qint64 id = history.beginAttempt(attempt);
        writes.push_back(ms(one));
        one.restart();
        const bool settled = history.settleAttempt(id, 3, QStringLiteral("Success"));
        writes.push_back(ms(one));
        one.restart();
        const bool verified = history.recordVerification(id, QStringLiteral("R2.000"), UpdateAttempt::Verified,
                                                         QStringLiteral("Success. Verified: version R2.000"));
        writes.push_back(ms(one));
        if (id < 0 || !settled || !verified) {
            std::fprintf(stderr, "a batch write failed: %s\n", qPrintable(history.lastError()));
            return 1;
        }
    }
    const double batchMs = ms(batch);
    const double worstWrite = *std::max_element(writes.begin(), writes.end());

    std::vector<double> queries;
    int found = 0;
    for (int q = 0; q < SerialQueries; ++q) {
        HistoryFilter filter;
        filter.serial = QStringLiteral("SN%1").arg(q * 97 % 10000, 6, 10, QLatin1Char('0'));
        QElapsedTimer one;
        one.start();
        found += int(history.attempts(filter).size());
        queries.push_back(ms(one));
    }

    // The view as the dialog builds it: the newest rows shown at once, then every row.
    std::vector<double> firsts, wholes;
    int shown = 0;
    for (int run = 0; run < ViewLoads; ++run) {
        HistoryTableModel model;
        HistoryFilterProxy proxy;
        proxy.setSourceModel(&model);
        proxy.sort(HistoryTableModel::StartedColumn, Qt::DescendingOrder);
        HistoryViewLoader loader(history, model);
        bool done = false;
        QObject::connect(&loader, &HistoryViewLoader::finished, [&done] { done = true; });
        QElapsedTimer one;
        one.start();
        loader.start();
        if (proxy.rowCount() > 0)
            proxy.index(0, 0).data();
        firsts.push_back(ms(one));
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        shown = proxy.rowCount();
        wholes.push_back(ms(one));
    }
    const int total = Rows + BatchAttempts;
    std::printf("history fill: %d rows in %.0f ms (%.0f rows/s, one transaction per 10,000)\n", Rows, fillMs,
                Rows / (fillMs / 1000.0));
    std::printf("history writes during a batch, %d rows present: %d updates x 3 commits in %.0f ms = %.0f updates/s "
                "(%.0f writes/s); write median %.2f ms, worst %.2f ms\n",
                Rows, BatchAttempts, batchMs, BatchAttempts / (batchMs / 1000.0), 3 * BatchAttempts / (batchMs / 1000.0),
                median(writes), worstWrite);
    std::printf("history query by serial, %d rows: median %.3f ms over %d queries (%d rows found); goal <= %.0f ms: %s\n",
                total, median(queries), SerialQueries, found, SerialGoalMs, median(queries) <= SerialGoalMs ? "met" : "MISSED");
    std::printf("history view model, %d rows: shown (newest %d, sorted) in median %.1f ms, every row in the model "
                "and sorted in median %.0f ms, over %d loads; goal <= %.0f ms for the view: %s\n",
                shown, HistoryViewLoader::FirstRows, median(firsts), median(wholes), ViewLoads, ViewGoalMs,
                median(firsts) <= ViewGoalMs ? "met" : "MISSED");
    return shown == total ? 0 : 1;
}
