#include "SimFleet.h"

#include "SimDisplay.h"
#include "SimUpdateStats.h"

SimFleet::SimFleet(QObject *parent)
    : QObject(parent)
    , m_stats(new SimUpdateStats(this))
{
}

SimFleet::~SimFleet()
{
    stop();
}

QHostAddress SimFleet::nextAddress(const QHostAddress &a)
{
    quint32 v = a.toIPv4Address() + 1;
    while ((v & 0xFF) == 0 || (v & 0xFF) == 0xFF)
        ++v;
    return QHostAddress(v);
}

int SimFleet::start(const QHostAddress &first, const QList<SimDisplayConfig> &configs)
{
    stop();
    bool ok = false;
    const quint32 v = first.toIPv4Address(&ok);
    if (!ok || (v >> 24) != 127)
        return SimDisplay::NotIPv4;
    QHostAddress address = first;
    if ((v & 0xFF) == 0 || (v & 0xFF) == 0xFF)
        address = nextAddress(first);
    for (const SimDisplayConfig &config : configs) {
        if ((address.toIPv4Address() >> 24) != 127) {
            stop();
            return SimDisplay::NotIPv4;
        }
        auto *display = new SimDisplay(config, this);
        display->setUpdateStats(m_stats);
        const int status = display->start(address);
        m_displays.append(display);
        if (status != SimDisplay::Started) {
            stop();
            return status;
        }
        address = nextAddress(address);
    }
    return 0;
}

void SimFleet::stop()
{
    qDeleteAll(m_displays);
    m_displays.clear();
    m_stats->reset();
}

SimDisplay *SimFleet::display(const QHostAddress &address) const
{
    for (SimDisplay *d : m_displays)
        if (d->address().isEqual(address, QHostAddress::TolerantConversion))
            return d;
    return nullptr;
}
