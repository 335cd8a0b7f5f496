// Times one scheduling tick of the update queue (the window's once-a-second timer slot, on the
// GUI thread) over 4,096 rows of which 20 have running sessions, with the table model told of
// every row the tick touches, and prints the median of the ticks.
#include "catalogue/FirmwareDatabase.h"
#include "queue/UpdateQueue.h"
#include "records/DisplayTableState.h"
#include "table/displayListModel.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rows = 4096;
constexpr int Running = 20;
constexpr int Queued = 200; // waiting behind the running ones
constexpr int Ticks = 41;
constexpr double GoalMs = 5.0;

}

int main(int argc, char **argv)
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    QApplication app(argc, argv);
    QTemporaryDir cache;
    QFile file(cache.filePath(QStringLiteral("bench.bin")));
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(4096, 'x')) != 4096)
        return 1;
    file.close();

    FirmwareDatabase database;
    const QJsonObject release { { "version", "2.000" },
                                { "seriesName", "SERIES_CEDAR5" },
                                { "downloadLoc", "http://127.0.0.1/firmwareupdates/bench.bin" },
                                { "models", QJsonArray { "QX-551" } },
                                { "changes", QJsonObject { { "version", "2.000" } } } };
    database.parse(QJsonDocument(QJsonObject { { "info", QJsonObject { { "databaseVersion", 1 } } },
                                               { "firmware", QJsonArray { release } } })
                           .toJson(),
                   QLocale::English);

    // 4,096 downloaded rows; every 16th one is queued, and nothing listens at the addresses, so
    // the first 20 sessions stay running (retrying) and the rest queued for the whole benchmark.
    DisplayTableState state;
    state.updateLimit = Running;
    state.displayEntries.reserve(Rows);
    for (int i = 0; i < Rows; ++i) {
        DisplayEntry row;
        row.address = QHostAddress((127u << 24) | (84u << 16) | quint32(i / 250) << 8 | quint32(i % 250 + 1));
        row.modelName = QStringLiteral("QX-551");
        row.serialNumber = QStringLiteral("SN%1").arg(i);
        row.catalogueSeries = 3;
        row.latestVersion = QStringLiteral("2.000");
        row.updateDurationSecs = 600;
        row.componentCount = 1;
        row.downloadState = 3;
        row.selected = i % 16 == 0 && i / 16 < Running + Queued;
        state.displayEntries.append(row);
    }

    displayListModel model;
    model.setEntries(&state.displayEntries);
    UpdateQueue queue(state, database, cache.path());
    SessionParams params;
    params.retryPauseMs = 600000;
    params.stepTimeoutSecs = 600;
    queue.setSessionParams(params);
    queue.setVerificationEnabled(false);
    QObject::connect(&queue, &UpdateQueue::update_info, &model, &displayListModel::rowChanged);
    // The ticks are called here, one at a time; the queue's own timer must not add any.
    queue.setTickInterval(24 * 3600 * 1000);

    if (queue.queueUpdates() != Running + Queued) {
        std::fprintf(stderr, "expected %d queued rows\n", Running + Queued);
        return 1;
    }
    // Check most of the rest too: idle rows the tick and the estimate walk past.
    for (int i = 1; i < Rows; i += 3)
        state.displayEntries[i].selected = true;

    std::vector<double> times;
    for (int tick = 0; tick < Ticks; ++tick) {
        QElapsedTimer timer;
        timer.start();
        queue.FirmUpdateTimerHandle();
        times.push_back(timer.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    if (state.activeUpdates != Running) {
        std::fprintf(stderr, "expected %d running sessions, found %d\n", Running, state.activeUpdates);
        return 1;
    }

    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("update queue tick, %d rows, %d running, %d queued: median %.2f ms over %d ticks (min %.2f, max %.2f); goal <= %.0f ms: %s\n",
                Rows, Running, Queued, median, Ticks, times.front(), times.back(), GoalMs, median <= GoalMs ? "met" : "MISSED");
    return 0;
}
