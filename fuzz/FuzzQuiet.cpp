#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

// The parsers log what they refuse; millions of refusals on stderr would only slow the fuzzer.
struct QuietLog
{
    QuietLog()
    {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", qPrintable(message));
                std::abort();
            }
        });
    }
};

const QuietLog quietLog;

} // namespace
