// Times the main window's update_ui and one firmware status evaluation pass over 4,096 rows, the
// most a targeted search can find, and prints the median of several runs of each.
#include "app/CommandAvailability.h"
#include "app/Tessel.h"
#include "search/SearchOrchestrator.h"
#include "log/LogMessageHandler.h"
#include "lib/ProcessGauges.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using ProcessGauges::threadCpuMs;

constexpr int Rows = 4096;
constexpr int Models = 400;
constexpr int Runs = 11;
constexpr double UpdateUiGoalMs = 16.0;

QString modelName(int i)
{
    return QStringLiteral("QX-%1").arg(100 + i % Models);
}

// One release per model; a third of them newer than what the displays run.
QByteArray catalogue()
{
    QJsonArray firmware;
    for (int i = 0; i < Models; ++i) {
        const QString latest = i % 3 == 0 ? QStringLiteral("2.000") : QStringLiteral("1.000");
        firmware.append(QJsonObject {
                { "version", latest }, { "seriesName", "SERIES_CEDAR5" }, { "updateViaHTTP", 1 },
                { "updateViaUSB", 1 }, { "models", QJsonArray { modelName(i) } },
                { "changes", QJsonObject { { "version", latest }, { "changeList", "a|b|c" } } },
                { "previousVersionChangeList",
                  QJsonArray { QJsonObject { { "version", "1.500" }, { "changeList", "x" } } } } });
    }
    const QJsonObject doc { { "info", QJsonObject { { "databaseVersion", 1 } } }, { "firmware", firmware } };
    return QJsonDocument(doc).toJson(QJsonDocument::Compact);
}

DISPLAY_UDP_SEARCH_REPLY_INFO reply(int i)
{
    DISPLAY_UDP_SEARCH_REPLY_INFO info;
    info.ipAddress = QHostAddress((127u << 24) | (76u << 16) | (quint32(i / 250) << 8) | quint32(i % 250 + 1));
    info.modelName = modelName(i);
    info.series = 7;
    info.mainFwVersion = QStringLiteral("R1.000");
    info.fwVersions[0] = QStringLiteral("1.0");
    info.macAddress = QStringLiteral("00-16-AA-00-%1-%2").arg(i / 256, 2, 16, QLatin1Char('0')).arg(i % 256, 2, 16, QLatin1Char('0'));
    return info;
}

double medianMs(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    // Nothing listens there: the window falls back to the catalogue placed in its cache.
    qputenv("QUILLON_FIRMWARE_URL", "http://127.0.0.1:1/firmwareupdates/");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    {
        // The start-up search then asks one loopback address instead of broadcasting.
        QSettings s;
        s.setValue("Settings/IP Address Scan Text", "127.0.75.1");
    }
    const QString cache = home.filePath("data/Halvern/Quillon/Firmware");
    QDir().mkpath(cache);
    QFile file(cache + "/pd_firmware_releases.json");
    if (!file.open(QIODevice::WriteOnly) || file.write(catalogue()) < 0)
        return 1;
    file.close();

    Tessel window;
    window.resize(1180, 720);
    window.show();
    const DisplayTableState &state = window.tableState();
    if (!waitFor([&] { return state.searchAttempted && !state.searching && state.databaseLoaded; }, 20000)) {
        std::fprintf(stderr, "the start-up search did not end\n");
        return 1;
    }

    // 4,096 search replies; their control queries go to a closed port and fail at once.
    SearchOrchestrator *search = window.searchOrchestrator();
    search->setPorts(1, 1);
    QElapsedTimer fill;
    fill.start();
    const int batch = argc > 1 ? QByteArray(argv[1]).toInt() : Rows;
    for (int i = 0; i < batch; ++i)
        search->device_results_DisplaySearchUDP(reply(i));
    const double repliesMs = fill.nsecsElapsed() / 1e6;
    if (!waitFor([&] { return state.pendingControlRequests == 0; }, 600000)) {
        std::fprintf(stderr, "the control queries did not end\n");
        return 1;
    }
    const double fillMs = fill.nsecsElapsed() / 1e6;
    window.findChild<QTableView *>("display_list_tableView")->selectRow(0);
    QCoreApplication::processEvents();

    const double rules = medianMs([&] { CommandAvailability::evaluate(state, 0); });
    const double updateUi = medianMs([&] { window.update_ui(true); });
    // The same after the current row changed, so the information panel is laid out anew.
    auto *table = window.findChild<QTableView *>("display_list_tableView");
    // Its CPU time too: on a shared machine the wall time also holds whatever else ran meanwhile.
    std::vector<double> switched;
    std::vector<double> switchedCpu;
    for (int run = 0; run < Runs; ++run) {
        table->selectRow(run % 2 ? 0 : 3);
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        window.update_ui(true);
        switched.push_back(timer.nsecsElapsed() / 1e6);
        switchedCpu.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(switched.begin(), switched.end());
    std::sort(switchedCpu.begin(), switchedCpu.end());
    const double updateUiNewRow = switched[switched.size() / 2];
    const double updateUiNewRowCpu = switchedCpu[switchedCpu.size() / 2];
    const double evaluation = medianMs([&] { window.evaluateFirmwareStatus(false); });
    LogMessageHandler::uninstall();

    std::printf("main window, %d rows, median of %d runs\n", int(state.displayEntries.size()), Runs);
    std::printf("  search replies into rows:             %8.0f ms, until every query answered %8.0f ms\n",
                repliesMs, fillMs);
    std::printf("  update_ui, same current row:          %8.2f ms  (goal <= %.0f ms)  %s\n", updateUi,
                UpdateUiGoalMs, updateUi <= UpdateUiGoalMs ? "ok" : "SLOW");
    std::printf("  update_ui, current row just changed:  %8.2f ms  (goal <= %.0f ms)  %s\n", updateUiNewRow,
                UpdateUiGoalMs, updateUiNewRow <= UpdateUiGoalMs ? "ok" : "SLOW");
    std::printf("    its CPU time (this thread):         %8.2f ms\n", updateUiNewRowCpu);
    std::printf("    of which the enabling rules:        %8.3f ms\n", rules);
    std::printf("  evaluation pass (status of all rows): %8.2f ms\n", evaluation);
    return 0;
}
