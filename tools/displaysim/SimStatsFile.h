#pragma once

#include <QObject>
#include <QString>

class SimUpdateStats;

// Keeps a JSON file in step with a fleet's update counters, rewritten
// (atomically) on every change, so a test running the product as another
// process can read how many displays were updated at once.
class SimStatsFile : public QObject
{
    Q_OBJECT

public:
    SimStatsFile(SimUpdateStats *stats, const QString &path, QObject *parent = nullptr);
    bool write(); // false when the file cannot be written

private:
    SimUpdateStats *m_stats;
    QString m_path;
};
