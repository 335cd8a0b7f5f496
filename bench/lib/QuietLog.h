#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>

// The benchmarks print figures only. The product logs every step (a line per display, per reply,
// per session tick); here those lines would bury the figures and take time of their own. Warnings
// and worse still reach standard error: they say the figures may not be worth reading.
namespace QuietLog {

inline void handleMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // What the offscreen platform and a bare environment say on every run, whatever is measured.
    if (message.startsWith(QLatin1String("This plugin does not support"))
        || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// First thing in main(): a handler the product installs later (the main window's log) passes
// every line on to this one.
inline void install()
{
    qInstallMessageHandler(handleMessage);
}

} // namespace QuietLog
