// Runs one LAN firmware update session against one display and prints its state once a second:
//   lanupdate --host 127.0.1.5 --series 3 [--web-port 80] [--control-port 7142] [--power-prep]
//             [--tick-ms 1000] FILE [FILE...]
// Files are the component files 1..6 in order; every file given is a component to update.
// Exit code 0 when the session ends "Complete.", 1 for any other end, 2 for bad arguments.
#include "update/HttpClient.h"
#include "update/UpdateStatus.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lanupdate"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Updates one display's firmware over the LAN."));
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Display address."), QStringLiteral("address"));
    const QCommandLineOption series(QStringLiteral("series"), QStringLiteral("Series code 1-6, 9, 10 or 11."),
                                    QStringLiteral("code"));
    const QCommandLineOption webPort(QStringLiteral("web-port"), QStringLiteral("Web server port."),
                                     QStringLiteral("port"), QStringLiteral("80"));
    const QCommandLineOption controlPort(QStringLiteral("control-port"), QStringLiteral("Control protocol port."),
                                         QStringLiteral("port"), QStringLiteral("7142"));
    const QCommandLineOption powerPrep(QStringLiteral("power-prep"),
                                       QStringLiteral("Switch the display on and its power save to normal first (series 11)."));
    const QCommandLineOption tick(QStringLiteral("tick-ms"), QStringLiteral("Session tick."), QStringLiteral("ms"),
                                  QStringLiteral("1000"));
    parser.addOptions({ host, series, webPort, controlPort, powerPrep, tick });
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Component files 1..6."));
    parser.process(app);

    QTextStream out(stdout);
    const QStringList files = parser.positionalArguments();
    if (!parser.isSet(host) || !parser.isSet(series) || files.isEmpty() || files.size() > HttpClient::ComponentSlots) {
        out << parser.helpText();
        return 2;
    }

    std::array<QString, 6> componentFiles;
    std::array<bool, 6> enabled{};
    for (int i = 0; i < files.size(); ++i) {
        componentFiles[i] = files.at(i);
        enabled[i] = true;
    }
    SessionParams params;
    params.seriesCode = parser.value(series).toInt();
    params.needPowerPrep = parser.isSet(powerPrep);
    params.webPort = quint16(parser.value(webPort).toUInt());
    params.controlPort = quint16(parser.value(controlPort).toUInt());
    params.tickMs = qMax(10, parser.value(tick).toInt());

    HttpClient session;
    if (session.setup(0, parser.value(host), componentFiles, enabled, params) != 0)
        return 1;
    session.start();

    auto report = [&] {
        out << updateStatusText(session.sessionStatus());
        if (session.uploading())
            out << "  upload " << session.uploadPercent() << "%";
        for (int i = 0; i < files.size(); ++i)
            out << "  FW" << i + 1 << ": " << updateStatusText(session.componentStatus(i)) << ' '
                << session.componentPercent(i) << '%';
        out << Qt::endl;
    };
    QTimer every;
    QObject::connect(&every, &QTimer::timeout, &app, [&] {
        report();
        if (session.sessionStatus() != UpdateStatus::Running)
            app.exit(session.sessionStatus() == UpdateStatus::Complete ? 0 : 1);
    });
    every.start(1000);
    return app.exec();
}
