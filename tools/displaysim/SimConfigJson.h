#pragma once

#include "SimDisplayConfig.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QString>

// The JSON config file of the displaysim command (format in README.md).
class SimConfigJson
{
public:
    // Applies the members present in object to config; unknown members are
    // reported in *error and make the call fail (-1). 0 on success.
    static int apply(const QJsonObject &object, SimDisplayConfig &config, QString *error = nullptr);

    // Applies the file's "defaults" to every config and each "displays" entry
    // to the config it names ("index" 0-based, or "address" with first the
    // fleet's first address). 0, or -1 with *error set.
    static int applyFile(const QString &path, const QHostAddress &first, QList<SimDisplayConfig> &configs,
                         QString *error = nullptr);
};
