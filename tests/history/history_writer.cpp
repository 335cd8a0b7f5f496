// A second program on the same history file, for the tests of two writers and of updates whose
// program ended before they did.
//   history_writer write   PATH COUNT TAG   begin, settle and verify COUNT attempts; exit 1 if any write failed
//   history_writer abandon PATH COUNT TAG   begin COUNT attempts and exit without settling them
//   history_writer hold    PATH COUNT TAG   begin COUNT attempts, print "ready", wait for standard input to close
#include "history/UpdateHistory.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5)
        return 2;
    const QString mode = args.at(1);
    const int count = args.at(3).toInt();
    const QString tag = args.at(4);
    UpdateHistory history(args.at(2));
    if (history.open() == UpdateHistory::OpenStatus::Unavailable) {
        std::fprintf(stderr, "history not available: %s\n", qPrintable(history.lastError()));
        return 1;
    }
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        UpdateAttempt attempt;
        attempt.batch = tag;
        attempt.address = QStringLiteral("127.0.90.%1").arg(i % 250 + 1);
        attempt.model = QStringLiteral("QX-551");
        attempt.serial = QStringLiteral("%1-%2").arg(tag).arg(i);
        attempt.firmwareBefore = QStringLiteral("R1.000");
        attempt.targetVersion = QStringLiteral("R2.000");
        attempt.frontEnd = QStringLiteral("quillonctl");
        const qint64 id = history.beginAttempt(attempt);
        if (id < 0) {
            ++failed;
            continue;
        }
        if (mode == QLatin1String("write")
            && (!history.settleAttempt(id, UpdateAttempt::SessionComplete, QStringLiteral("Success"))
                || !history.recordVerification(id, QStringLiteral("R2.000"), UpdateAttempt::Verified,
                                               QStringLiteral("Verified")))) {
            ++failed;
        }
    }
    if (failed)
        std::fprintf(stderr, "%d write(s) failed: %s\n", failed, qPrintable(history.lastError()));
    if (mode == QLatin1String("hold")) {
        std::printf("ready\n");
        std::fflush(stdout);
        char buffer[64];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
    }
    return failed ? 1 : 0;
}
