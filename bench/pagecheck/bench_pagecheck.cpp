// The web page lock check against every given address, whose pages accept the connection and never
// answer. Two ways:
//   --mode client:  one TcpClient per display asking only the lock check (flag 0x1000), through a
//                   query gate of the search's size, as the search orchestration runs them;
//   --mode manager: one QNetworkAccessManager per check, all at once, with the same 5 s wait for a
//                   first answer: how the checks were made before they moved to a plain socket.
// Prints one line: "pagecheck <mode> displays=.. results=.. undetermined=.. wall_ms=.. cpu_ms=..
// peak_fds=.. peak_threads=.. peak_rss_mb=..".
#include "platform/Platform.h"
#include "control/ControlItem.h"
#include "control/ControlQueryGate.h"
#include "control/TcpClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include "lib/ProcessGauges.h"
#include "lib/SimulatedAddresses.h"
#include "lib/QuietLog.h"

#include <sys/resource.h>

#include <cstdio>

namespace {

using ProcessGauges::countEntries;
using ProcessGauges::cpuMs;

constexpr int FirstAnswerWaitMs = 5000;

// The kernel's own high-water mark of the resident set.
double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    Platform::raiseOpenFileLimit();

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString mode = QStringLiteral("client");
    QList<QHostAddress> displays;
    quint16 webPort = 80;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--mode")) {
            mode = args.at(i + 1);
        } else if (args.at(i) == QLatin1String("--web-port")) {
            webPort = quint16(args.at(i + 1).toUInt());
        } else if (args.at(i) == QLatin1String("--range")) {
            const QStringList parts = args.at(i + 1).split(QLatin1Char(':'));
            displays += SimulatedAddresses::range(QHostAddress(parts.value(0)), parts.value(1).toInt());
        }
    }
    if (displays.isEmpty() || (mode != QLatin1String("client") && mode != QLatin1String("manager"))) {
        std::fprintf(stderr, "usage: bench_pagecheck --mode client|manager [--web-port P] --range 127.x.y.z:count\n");
        return 2;
    }
    for (const QHostAddress &address : std::as_const(displays)) {
        if (!address.isLoopback()) {
            std::fprintf(stderr, "bench_pagecheck: loopback addresses only\n");
            return 2;
        }
    }

    int results = 0;
    int undetermined = 0;
    int peakFds = 0;
    int peakThreads = 0;
    QElapsedTimer clock;
    qint64 lastResultMs = 0;
    const auto settled = [&](bool determined) {
        ++results;
        if (!determined)
            ++undetermined;
        lastResultMs = clock.elapsed();
        if (results == displays.size())
            app.quit();
    };

    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &app, [&] {
        peakFds = qMax(peakFds, countEntries("/proc/self/fd") - 1);
        peakThreads = qMax(peakThreads, countEntries("/proc/self/task"));
    });
    sampler.start(50);

    ControlQueryGate gate;
    const double cpuStart = cpuMs();
    clock.start();
    for (const QHostAddress &address : std::as_const(displays)) {
        if (mode == QLatin1String("client")) {
            auto *client = new TcpClient(&app);
            QObject::connect(client, &TcpClient::device_results, &app, [&, client](const PD_TCP_REPLY &reply) {
                client->deleteLater();
                settled(reply.lockStatus != 2);
            });
            client->setQueryGate(&gate);
            client->setHttpPort(webPort);
            client->setRequestFlags(RequestFlag::PageLockCheck);
            client->connectToDisplay(address, 7142, QHostAddress(QHostAddress::AnyIPv4));
        } else {
            auto *manager = new QNetworkAccessManager(&app);
            QNetworkRequest request(QUrl(QStringLiteral("http://%1:%2/index.html").arg(address.toString()).arg(webPort)));
            request.setTransferTimeout(FirstAnswerWaitMs);
            QNetworkReply *reply = manager->get(request);
            QObject::connect(reply, &QNetworkReply::finished, &app, [&, reply, manager] {
                settled(reply->error() == QNetworkReply::NoError && !reply->readAll().isEmpty());
                reply->deleteLater();
                manager->deleteLater();
            });
        }
    }
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = cpuMs() - cpuStart;

    std::printf("pagecheck %s displays=%d results=%d undetermined=%d wall_ms=%lld cpu_ms=%.0f peak_fds=%d "
                "peak_threads=%d peak_rss_mb=%.0f\n",
                qPrintable(mode), int(displays.size()), results, undetermined, lastResultMs, cpu, peakFds,
                peakThreads, peakRssMb());
    return results == displays.size() ? 0 : 1;
}
