// Targeted search of every given address, then one control query per display found with the flags
// a fresh search gives a series-11 display (0x803167), through a query gate of the search's size
// as the search orchestration does, on quillonctl's event loop ("--loop qt": on Qt's own). Timed
// from the search start to the last control result. Prints one line: "sweep <label> targets=..
// found=.. results=.. errors=.. wall_ms=.. search_ms=.. cpu_ms=.. gauge_ms=.. peak_fds=..
// peak_threads=.. statuses=..", cpu_ms without gauge_ms, the CPU of the bench's own gauges.
#include "platform/Platform.h"
#include "control/ControlQueryGate.h"
#include "control/TcpClient.h"
#include "discovery/DisplaySearchUDP.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "lib/ProcessGauges.h"
#include "lib/SimulatedAddresses.h"
#include "lib/QuietLog.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

namespace {

using ProcessGauges::countEntries;
using ProcessGauges::cpuMs;
using ProcessGauges::threadCpuMs;

constexpr quint32 FreshSearchFlags = 0x803167;

int openFds()
{
    return countEntries("/proc/self/fd") - 1; // less the descriptor that reads the folder
}

int threadCount()
{
    return countEntries("/proc/self/task");
}

} // namespace

int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    // The application does the same at start-up.
    Platform::raiseOpenFileLimit();
    // quillonctl's event loop, unless "--loop qt" asks for Qt's own (for comparison).
    bool qtLoop = false;
    for (int i = 1; i + 1 < argc; ++i)
        qtLoop = qtLoop || (std::strcmp(argv[i], "--loop") == 0 && std::strcmp(argv[i + 1], "qt") == 0);
    if (!qtLoop) {
        if (QAbstractEventDispatcher *dispatcher = Platform::createCommandLineEventDispatcher())
            QCoreApplication::setEventDispatcher(dispatcher);
    }

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString label = QStringLiteral("run");
    QList<QHostAddress> targets;
    int gateLimit = ControlQueryGate::DefaultLimit;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--label")) {
            label = args.at(i + 1);
        } else if (args.at(i) == QLatin1String("--loop")) {
            // read above, before the application object
        } else if (args.at(i) == QLatin1String("--gate")) {
            gateLimit = args.at(i + 1).toInt();
        } else if (args.at(i) == QLatin1String("--range")) {
            const QStringList parts = args.at(i + 1).split(QLatin1Char(':'));
            targets += SimulatedAddresses::range(QHostAddress(parts.value(0)), parts.value(1).toInt());
        }
    }
    if (targets.isEmpty()) {
        std::fprintf(stderr, "usage: bench_sweep [--label L] [--loop qt] --range 127.x.y.z:count ...\n");
        return 2;
    }

    DisplaySearchUDP search;
    ControlQueryGate gate(gateLimit, ControlQueryGate::DefaultParkLimit);
    search.setFilterMode(2);
    search.setTargetAddresses(targets);

    int found = 0;
    int results = 0;
    int errors = 0;
    int peakFds = 0;
    int peakThreads = 0;
    bool searchDone = false;
    QElapsedTimer clock;
    qint64 searchMs = 0;
    qint64 lastResultMs = 0;
    QMap<qint32, int> statusCounts;

    const auto maybeQuit = [&] {
        if (searchDone && results == found)
            app.quit();
    };
    QObject::connect(&search, &DisplaySearchUDP::device_results, &app,
                     [&](const DISPLAY_UDP_SEARCH_REPLY_INFO &info) {
        ++found;
        auto *client = new TcpClient(&app);
        QObject::connect(client, &TcpClient::device_results, &app, [&, client](const PD_TCP_REPLY &reply) {
            ++results;
            statusCounts[reply.status]++;
            if (reply.status != 0 || reply.modelName.isEmpty())
                ++errors;
            lastResultMs = clock.elapsed();
            client->deleteLater();
            maybeQuit();
        });
        client->setQueryGate(&gate);
        client->setRequestFlags(FreshSearchFlags);
        client->connectToDisplay(info.ipAddress, 7142, info.ip2Address);
    });
    QObject::connect(&search, &DisplaySearchUDP::finished, &app, [&] {
        searchDone = true;
        searchMs = clock.elapsed();
        maybeQuit();
    });
    QTimer fdSampler;
    const bool verbose = qEnvironmentVariableIsSet("SWEEP_VERBOSE");
    // The gauges' own CPU (listing /proc ten times a second) is the bench's, not the sweep's.
    double gaugeMs = 0;
    QObject::connect(&fdSampler, &QTimer::timeout, &app, [&] {
        const double gaugeStart = threadCpuMs();
        peakFds = qMax(peakFds, openFds());
        peakThreads = qMax(peakThreads, threadCount());
        if (verbose)
            std::fprintf(stderr, "%6lld ms found=%d results=%d fds=%d\n", clock.elapsed(), found, results, openFds());
        gaugeMs += threadCpuMs() - gaugeStart;
    });
    fdSampler.start(100);

    const double cpuStart = cpuMs();
    clock.start();
    if (search.startSearch(DisplaySearchUDP::Targeted) != 0) {
        std::fprintf(stderr, "search did not start\n");
        return 1;
    }
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    app.exec();
    const qint64 wallMs = lastResultMs > 0 ? lastResultMs : clock.elapsed();
    const double cpu = cpuMs() - cpuStart - gaugeMs;

    QStringList statuses;
    for (auto it = statusCounts.cbegin(); it != statusCounts.cend(); ++it)
        statuses << QStringLiteral("%1:%2").arg(it.key()).arg(it.value());
    std::printf("sweep %s targets=%d found=%d results=%d errors=%d wall_ms=%lld search_ms=%lld cpu_ms=%.0f "
                "gauge_ms=%.0f peak_fds=%d peak_threads=%d statuses=%s\n",
                qPrintable(label), int(targets.size()), found, results, errors, wallMs, searchMs, cpu, gaugeMs, peakFds, peakThreads,
                qPrintable(statuses.join(QLatin1Char(','))));
    return 0;
}
