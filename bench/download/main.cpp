#include "download/FileDownloader.h"
#include "lib/ProcessGauges.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>

#include <cstdio>
#include <ctime>

using ProcessGauges::cpuMs;
using ProcessGauges::threadCpuMs;

// bench_download_client URL FILE MD5HEX: downloads URL into FILE, checks the MD5 and prints
// the status, the time taken and the main (GUI) thread's CPU time. Exits non-zero unless the
// download ends with status 0.
int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: bench_download_client URL FILE MD5HEX\n");
        return 2;
    }
    FileDownloader downloader(1, false, QUrl(args.at(1)), args.at(2), QByteArray::fromHex(args.at(3).toLatin1()));
    QElapsedTimer clock;
    int result = -1;
    const double cpuStart = threadCpuMs();
    const double processCpuStart = cpuMs();
    QObject::connect(&downloader, &FileDownloader::statusChanged, &app, [&](int, int status) {
        result = status;
        std::printf("status %d, %lld ms, main thread cpu %.0f ms, process cpu %.0f ms\n", status,
                    static_cast<long long>(clock.elapsed()), threadCpuMs() - cpuStart, cpuMs() - processCpuStart);
        QCoreApplication::exit(0);
    });
    clock.start();
    downloader.start();
    if (result < 0)
        app.exec();
    return result == 0 ? 0 : 1;
}
