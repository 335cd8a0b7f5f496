#include "cli/CtlSession.h"
#include "cli/CtlOptions.h"
#include "cli/DownloadCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/InterruptHook.h"
#include "cli/PlainText.h"
#include "cli/ReportMergeCommand.h"
#include "cli/SearchCommand.h"
#include "cli/UpdateCommand.h"
#include "cli/UsbCommand.h"
#include "engine/QuillonEngine.h"
#include "platform/Platform.h"
#include "settings/SettingsMigration.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

#include <cstdio>

namespace {

// The libraries' log lines on standard error, whatever the platform's default logging target;
// display-supplied texts in them cannot steer the terminal.
void logToStderr(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QString line = PlainText::sanitized(qFormatLogMessage(type, context, message));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Without --verbose a script's standard error holds only what quillonctl itself says (progress,
// results, errors); the log lines every step writes would bury them.
void logNothing(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg)
        logToStderr(type, context, message);
}

}

int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse();
    // A search of thousands of displays keeps hundreds of sockets open; Qt's own loop would hand
    // every one of them to the kernel on every turn.
    if (QAbstractEventDispatcher *dispatcher = Platform::createCommandLineEventDispatcher())
        QCoreApplication::setEventDispatcher(dispatcher);
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(logToStderr);
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("halvern.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QString message;
    int exitCode = CtlOptions::Completed;
    const CtlOptions options = CtlOptions::parse(QCoreApplication::arguments(), message, exitCode);
    if (!options.verbose)
        qInstallMessageHandler(logNothing);
    if (options.command == CtlOptions::Command::None) {
        (exitCode == CtlOptions::Completed ? out : err) << message;
        return exitCode;
    }

    // The fleet report reads and writes files only: no settings, no network.
    if (options.command == CtlOptions::Command::Report)
        return ReportMergeCommand::run(options.reportArguments, out, err);

    // The window's store: the same limit, legacy setting and cache folder.
    QSettings settings;
    SettingsMigration::migrateFromOlderEdition(settings);
    Platform::raiseOpenFileLimit();

    InterruptHook hook;
    QuillonEngine engine(QuillonEngine::CtlFrontEnd);
    HistoryCommand::openAtStart(engine, err);
    if (options.command == CtlOptions::Command::History)
        return HistoryCommand::run(engine.history(), options, out);

    engine.setUpdateLimit(options.updateLimit);
    // The options add to the saved rollout policy for this run only; nothing is stored.
    RolloutPolicy rollout = engine.state().rollout;
    rollout.firstPerModel = rollout.firstPerModel || options.firstPerModel;
    if (options.maxFailures >= 0)
        rollout.maxFailures = options.maxFailures;
    engine.setRolloutPolicy(rollout);
    // The window's own answer to the cautions is the technician's; here it is --yes.
    engine.acceptCautions();
    if (options.shortWaits)
        engine.useShortWaits();
    CtlSession session(engine, out, err);
    switch (options.command) {
    case CtlOptions::Command::Search:
        exitCode = SearchCommand::run(session, options, hook);
        break;
    case CtlOptions::Command::Update:
        exitCode = UpdateCommand(session, options, hook).run();
        break;
    case CtlOptions::Command::Download:
        exitCode = DownloadCommand::run(session, options, hook);
        break;
    case CtlOptions::Command::Usb:
        exitCode = UsbCommand::run(session, options, hook);
        break;
    case CtlOptions::Command::History:
    case CtlOptions::Command::None:
    case CtlOptions::Command::Report:
        break;
    }
    out.flush();
    err.flush();
    return exitCode;
}
