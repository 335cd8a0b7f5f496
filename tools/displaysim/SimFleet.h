#pragma once

#include "SimDisplayConfig.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

class SimDisplay;
class SimUpdateStats;

// Many simulated displays on consecutive loopback addresses.
class SimFleet : public QObject
{
    Q_OBJECT

public:
    explicit SimFleet(QObject *parent = nullptr);
    ~SimFleet() override;

    // Starts one display per config on first, first+1, ... (127.x.y.z only;
    // an address ending in .0 or .255 is skipped). 0, or the first display's
    // negative start status, in which case none stays running.
    int start(const QHostAddress &first, const QList<SimDisplayConfig> &configs);
    void stop();

    const QList<SimDisplay *> &displays() const { return m_displays; }
    // How many displays were in an update at once (see SimUpdateStats).
    SimUpdateStats *updateStats() const { return m_stats; }
    SimDisplay *display(const QHostAddress &address) const;

    // The address after a, skipping .0 and .255 in the last byte.
    static QHostAddress nextAddress(const QHostAddress &a);

private:
    QList<SimDisplay *> m_displays;
    SimUpdateStats *m_stats;
};
