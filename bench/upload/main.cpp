// Runs N legacy update sessions (one component each) at once against displays on consecutive
// loopback addresses, all uploading the same file, and prints the wall time until every session
// settled, how many completed, and the process's peak resident memory.
//   bench_upload_client <first address> <count> <web port> <file>
#include "update/HttpClient.h"
#include "update/UpdateStatus.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

int main(int argc, char **argv)
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <first address> <count> <web port> <file>\n", argv[0]);
        return 2;
    }
    const quint32 first = QHostAddress(QString::fromLocal8Bit(argv[1])).toIPv4Address();
    const int count = QByteArray(argv[2]).toInt();
    const quint16 port = quint16(QByteArray(argv[3]).toUInt());
    const QString file = QString::fromLocal8Bit(argv[4]);
    if (first == 0 || count <= 0 || count > 255 || port == 0)
        return 2;


    std::vector<std::unique_ptr<HttpClient>> sessions;
    SessionParams params;
    params.seriesCode = 1;
    params.tickMs = 50;
    params.webPort = port;
    std::array<QString, 6> files{ file };
    std::array<bool, 6> enabled{ true };
    quint32 address = first;
    for (int i = 0; i < count; ++i, ++address) {
        while ((address & 0xff) == 0 || (address & 0xff) == 255)
            ++address;
        auto session = std::make_unique<HttpClient>();
        if (session->setup(i, QHostAddress(address).toString(), files, enabled, params) != 0)
            return 1;
        sessions.push_back(std::move(session));
    }

    QElapsedTimer clock;
    clock.start();
    for (auto &session : sessions)
        session->start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        for (const auto &session : sessions) {
            if (session->sessionStatus() == UpdateStatus::Running)
                return;
        }
        app.quit();
    });
    poll.start(5);
    app.exec();
    const qint64 elapsed = clock.elapsed();

    int complete = 0;
    for (const auto &session : sessions)
        complete += session->sessionStatus() == UpdateStatus::Complete ? 1 : 0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("sessions %d complete %d elapsed_ms %lld peak_rss_kb %ld\n", count, complete,
                static_cast<long long>(elapsed), usage.ru_maxrss);
    return complete == count ? 0 : 1;
}
