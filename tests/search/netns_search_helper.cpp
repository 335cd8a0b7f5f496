// Both ends of the broadcast search test, each run inside its own network namespace:
//   netns_search_helper display <model> <serial>   a simulated display on every address of the host
//   netns_search_helper search <expected rows>     a broadcast search over the host's own adapters
#include "catalogue/FirmwareDatabase.h"
#include "search/SearchOrchestrator.h"
#include "platform/NetworkAdapterList.h"
#include "records/DisplayTableState.h"

#include "SimDisplay.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

namespace {

int runDisplay(const QString &model, const QString &serial)
{
    SimDisplayConfig config;
    config.modelName = model;
    config.serialNumber = serial;
    config.seriesCode = 7;
    SimDisplay display(config);
    // A broadcast reaches only sockets bound to the wildcard address, as on a real display.
    const int started = display.start(QHostAddress(QHostAddress::AnyIPv4));
    QTextStream out(stdout);
    if (started != 0) {
        out << "display start failed " << started << Qt::endl;
        return 1;
    }
    out << "ready" << Qt::endl;
    return QCoreApplication::exec();
}

int runSearch(int expectedRows)
{
    DisplayTableState state;
    FirmwareDatabase database;
    SearchOrchestrator search(state, database);
    const NetworkAdapterList adapters = NetworkAdapterList::fromSystem();
    search.setAdapters(adapters.adapters());
    QTextStream out(stdout);
    for (const NetworkAdapter &adapter : adapters.adapters())
        out << "adapter " << adapter.humanReadableName << ' ' << adapter.ip.toString() << " broadcast "
            << adapter.broadcast.toString() << Qt::endl;

    QTimer settle;
    QObject::connect(&settle, &QTimer::timeout, qApp, [&] {
        if (state.searching || state.pendingControlRequests > 0)
            return;
        for (const DisplayEntry &row : qAsConst(state.displayEntries))
            out << "row " << row.address.toString() << ' ' << row.modelName << ' ' << row.serialNumber
                << " power " << row.powerState << " comm " << row.commStatus << Qt::endl;
        QCoreApplication::exit(state.displayEntries.size() == expectedRows ? 0 : 1);
    });
    QTimer::singleShot(30000, qApp, [] {
        QTextStream(stdout) << "timed out" << Qt::endl;
        QCoreApplication::exit(2);
    });
    search.startSearch(true);
    settle.start(200);
    if (!state.searching) {
        out << "search did not start" << Qt::endl;
        return 1;
    }
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("display"))
        return runDisplay(args.at(2), args.at(3));
    if (args.size() == 3 && args.at(1) == QLatin1String("search"))
        return runSearch(args.at(2).toInt());
    QTextStream(stderr) << "usage: netns_search_helper display <model> <serial> | search <rows>\n";
    return 2;
}
