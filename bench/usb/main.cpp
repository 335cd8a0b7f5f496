#include "usbwriter/UsbDriveWriter.h"
#include "lib/QuietLog.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

// bench_usb_client FILE DRIVE MD5HEX [--flush]: copies FILE (a release whose package is the
// firmware) to the folder DRIVE in 131072-byte blocks and verifies it by MD5, as the USB drive
// dialog does. Without --flush the copy is not pushed to the device before the read-back.
int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse(); // as the programs do at start-up
    QuietLog::install();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || args.size() > 5 || (args.size() == 5 && args.at(4) != QLatin1String("--flush"))) {
        std::fprintf(stderr, "usage: bench_usb_client FILE DRIVE MD5HEX [--flush]\n");
        return 2;
    }
    const QFileInfo file(args.at(1));
    FirmwareRelease release;
    release.downloadLoc = QStringLiteral("http://127.0.0.1/firmwareupdates/") + file.fileName();
    release.fileChecksum = args.at(3);
    release.fileSize = qint32(qMin<qint64>(file.size(), INT32_MAX));
    release.updateViaUSB = 7;

    UsbDriveWriter writer(0, file.absolutePath(), UsbCopyPlan::fromRelease(release));
    writer.setFlushToDevice(args.size() == 5);
    QElapsedTimer clock;
    clock.start();
    const int result = writer.write(args.at(2));
    std::printf("result %d, %lld ms\n", result, static_cast<long long>(clock.elapsed()));
    return result == UsbDriveWriter::Copied ? 0 : 1;
}
