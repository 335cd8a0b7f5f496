#include "SimStatsFile.h"

#include "SimUpdateStats.h"

#include <QJsonDocument>
#include <QSaveFile>

SimStatsFile::SimStatsFile(SimUpdateStats *stats, const QString &path, QObject *parent)
    : QObject(parent)
    , m_stats(stats)
    , m_path(path)
{
    connect(stats, &SimUpdateStats::changed, this, &SimStatsFile::write);
}

bool SimStatsFile::write()
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(m_stats->toJson()).toJson(QJsonDocument::Indented));
    return file.commit();
}
