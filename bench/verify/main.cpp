#include "download/DownloadExtractFirmware.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

// bench_verify_client PACKAGE MD5HEX: checks a cached package that is itself the firmware, as
// a release without unpacked files would. Exits non-zero unless the package passes.
int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: bench_verify_client PACKAGE MD5HEX\n");
        return 2;
    }
    const QFileInfo package(args.at(1));
    FirmwareRelease release;
    release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/") + package.fileName();
    release.fileChecksum = args.at(2);
    release.fileSize = qint32(qMin<qint64>(package.size(), INT32_MAX));
    DownloadExtractFirmware job(1, release, package.absolutePath());

    QElapsedTimer clock;
    clock.start();
    const bool intact = job.isAlreadyDownloaded();
    std::printf("%s, %lld ms\n", intact ? "intact" : "not intact", static_cast<long long>(clock.elapsed()));
    return intact ? 0 : 1;
}
