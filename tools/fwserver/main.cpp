#include "fwserver/FwServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

bool parseLength(const QString &text, FwBehaviour::Length *length)
{
    static const struct { const char *name; FwBehaviour::Length length; } names[] = {
        {"correct", FwBehaviour::Length::Correct},
        {"absent", FwBehaviour::Length::Absent},
        {"larger", FwBehaviour::Length::TooLarge},
        {"smaller", FwBehaviour::Length::TooSmall},
    };
    for (const auto &entry : names) {
        if (text == QLatin1String(entry.name)) {
            *length = entry.length;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fwserver"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves a folder over HTTP/1.1 as a stand-in firmware server."));
    parser.addHelpOption();
    const QCommandLineOption rootOption(QStringLiteral("root"), QStringLiteral("Folder to serve."), QStringLiteral("dir"));
    const QCommandLineOption addressOption(QStringLiteral("address"), QStringLiteral("Address to listen on."), QStringLiteral("ip"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port (0 picks a free one)."), QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption baseOption(QStringLiteral("base"), QStringLiteral("Base path of every URL."), QStringLiteral("path"), QStringLiteral("/"));
    const QCommandLineOption delayOption(QStringLiteral("delay"), QStringLiteral("Wait before the first byte."), QStringLiteral("ms"));
    const QCommandLineOption silentOption(QStringLiteral("never-answer"), QStringLiteral("Accept requests but never answer."));
    const QCommandLineOption closeOption(QStringLiteral("close-after"), QStringLiteral("Close after this many body bytes."), QStringLiteral("bytes"));
    const QCommandLineOption statusOption(QStringLiteral("status"), QStringLiteral("Answer every request with this status."), QStringLiteral("code"));
    const QCommandLineOption lengthOption(QStringLiteral("content-length"), QStringLiteral("correct, absent, larger or smaller."), QStringLiteral("mode"));
    const QCommandLineOption trickleOption(QStringLiteral("trickle"), QStringLiteral("Send the body in pieces: bytes:ms."), QStringLiteral("bytes:ms"));
    parser.addOptions({rootOption, addressOption, portOption, baseOption, delayOption, silentOption,
                       closeOption, statusOption, lengthOption, trickleOption});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(rootOption) || !QFileInfo(parser.value(rootOption)).isDir()) {
        err << "fwserver: --root must name a folder\n";
        return 2;
    }
    FwBehaviour behaviour;
    behaviour.firstByteDelayMs = parser.value(delayOption).toInt();
    behaviour.neverAnswer = parser.isSet(silentOption);
    if (parser.isSet(closeOption))
        behaviour.closeAfterBytes = parser.value(closeOption).toLongLong();
    behaviour.forcedStatus = parser.value(statusOption).toInt();
    if (parser.isSet(lengthOption) && !parseLength(parser.value(lengthOption), &behaviour.length)) {
        err << "fwserver: unknown --content-length mode\n";
        return 2;
    }
    if (parser.isSet(trickleOption)) {
        const QStringList parts = parser.value(trickleOption).split(QLatin1Char(':'));
        bool ok1 = false;
        bool ok2 = parts.size() == 2;
        behaviour.trickleBytes = parts.value(0).toLongLong(&ok1);
        if (ok2)
            behaviour.trickleIntervalMs = parts.value(1).toInt(&ok2);
        if (!ok1 || !ok2 || behaviour.trickleBytes <= 0) {
            err << "fwserver: --trickle wants bytes:ms\n";
            return 2;
        }
    }

    const QHostAddress address(parser.value(addressOption));
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (address.isNull() || !portOk || port > 65535) {
        err << "fwserver: bad --address or --port\n";
        return 2;
    }

    FwServer server;
    server.setRoot(parser.value(rootOption));
    server.setBasePath(parser.value(baseOption));
    server.setBehaviour(behaviour);
    if (!server.listen(address, quint16(port))) {
        err << "fwserver: " << server.errorString() << "\n";
        return 1;
    }
    // Scripts read the port from this line.
    std::printf("fwserver listening on %s\n", qPrintable(server.url(QString()).toString()));
    std::fflush(stdout);
    return app.exec();
}
