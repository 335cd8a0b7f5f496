#include "SimConfigJson.h"
#include "SimDisplay.h"
#include "SimFleet.h"
#include "SimIdentityFactory.h"
#include "SimStatsFile.h"
#include "SimUpdateStats.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

void watch(SimDisplay *d)
{
    const QByteArray address = d->address().toString().toLatin1();
    QObject::connect(d, &SimDisplay::searchReceived, d, [address](int type) {
        std::fprintf(stderr, "%s udp type %d\n", address.constData(), type);
    });
    QObject::connect(d, &SimDisplay::controlRequestReceived, d, [address](const QByteArray &body) {
        std::fprintf(stderr, "%s tcp %s\n", address.constData(), body.toPercentEncoding(" ").constData());
    });
    QObject::connect(d, &SimDisplay::webRequestReceived, d, [address](const QByteArray &m, const QByteArray &t) {
        std::fprintf(stderr, "%s http %s %s\n", address.constData(), m.constData(),
                     t.left(200).toPercentEncoding("/?&=_").constData());
    });
}

int fail(const QString &text)
{
    std::fprintf(stderr, "displaysim: %s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("displaysim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated displays on loopback addresses."));
    parser.addHelpOption();
    const QCommandLineOption firstOption(QStringLiteral("first"), QStringLiteral("First address (127.x.y.z)."),
                                         QStringLiteral("address"), QStringLiteral("127.0.1.1"));
    const QCommandLineOption countOption(QStringLiteral("count"), QStringLiteral("Number of displays."),
                                         QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption configOption(QStringLiteral("config"), QStringLiteral("JSON file with per-display settings."),
                                          QStringLiteral("file"));
    const QCommandLineOption seriesOption(QStringLiteral("series"),
                                          QStringLiteral("UDP series codes to use in turn, comma-separated."),
                                          QStringLiteral("codes"));
    const QCommandLineOption webPortOption(QStringLiteral("web-port"), QStringLiteral("HTTP port of every display."),
                                           QStringLiteral("port"), QStringLiteral("80"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Log every request on standard error."));
    const QCommandLineOption statsOption(QStringLiteral("stats-file"),
                                         QStringLiteral("JSON file rewritten on every update state change: "
                                                        "displays updating now, the most at once, outcomes, firmware."),
                                         QStringLiteral("file"));
    parser.addOptions({ firstOption, countOption, configOption, seriesOption, webPortOption, verboseOption, statsOption });
    parser.process(app);

    const QHostAddress first(parser.value(firstOption));
    if (first.protocol() != QAbstractSocket::IPv4Protocol || (first.toIPv4Address() >> 24) != 127)
        return fail(QStringLiteral("--first must be a 127.x.y.z address"));
    bool ok = false;
    const int count = parser.value(countOption).toInt(&ok);
    if (!ok || count < 1 || count > 65000)
        return fail(QStringLiteral("--count must be a number from 1 to 65000"));
    const int webPort = parser.value(webPortOption).toInt(&ok);
    if (!ok || webPort < 1 || webPort > 65535)
        return fail(QStringLiteral("--web-port must be a port number"));
    QList<int> series;
    if (parser.isSet(seriesOption)) {
        for (const QString &s : parser.value(seriesOption).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const int code = s.trimmed().toInt(&ok);
            if (!ok || code < 0 || code > 255)
                return fail(QStringLiteral("--series takes codes from 0 to 255"));
            series.append(code);
        }
    }

    const SimIdentityFactory factory(series);
    QList<SimDisplayConfig> configs;
    QHostAddress address = first;
    if ((first.toIPv4Address() & 0xFF) == 0 || (first.toIPv4Address() & 0xFF) == 0xFF)
        address = SimFleet::nextAddress(first);
    for (int i = 0; i < count; ++i) {
        SimDisplayConfig c = factory.make(i);
        c.webPort = quint16(webPort);
        // The display's own address serves as its firmware-update address,
        // so the reachability check finds a page there.
        if (SimIdentityFactory::usesSecondAddress(c.seriesCode))
            c.secondAddress = address;
        configs.append(c);
        address = SimFleet::nextAddress(address);
    }
    QString error;
    if (parser.isSet(configOption) && SimConfigJson::applyFile(parser.value(configOption), first, configs, &error) != 0)
        return fail(error);

    SimFleet fleet;
    const int status = fleet.start(first, configs);
    if (status != 0)
        return fail(QStringLiteral("could not start the displays (status %1); is the address range free?").arg(status));
    SimStatsFile *statsFile = nullptr;
    if (parser.isSet(statsOption)) {
        statsFile = new SimStatsFile(fleet.updateStats(), parser.value(statsOption), &fleet);
        if (!statsFile->write())
            return fail(QStringLiteral("cannot write %1").arg(parser.value(statsOption)));
    }
    if (parser.isSet(verboseOption)) {
        for (SimDisplay *d : fleet.displays())
            watch(d);
        // One line per change of the update counters, with each display's outcome.
        SimUpdateStats *stats = fleet.updateStats();
        QObject::connect(stats, &SimUpdateStats::changed, stats, [stats] {
            QByteArray line = "update current " + QByteArray::number(stats->current()) + " max "
                + QByteArray::number(stats->maxConcurrent());
            const QMap<QString, SimUpdateStats::Display> displays = stats->displays();
            for (auto it = displays.begin(); it != displays.end(); ++it) {
                if (it->updating || it->rebooting || it->gone || !it->outcome.isEmpty())
                    line += ' ' + it.key().toLatin1() + '=' + (it->gone ? "gone" : it->rebooting ? "rebooting" : it->updating ? "updating" : it->outcome);
            }
            std::fprintf(stderr, "%s\n", line.constData());
        });
    }
    std::printf("displaysim ready: %d displays from %s to %s\n", count,
                qPrintable(fleet.displays().first()->address().toString()),
                qPrintable(fleet.displays().last()->address().toString()));
    std::fflush(stdout);
    return app.exec();
}
