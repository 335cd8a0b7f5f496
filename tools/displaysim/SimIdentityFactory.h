#pragma once

#include "SimDisplayConfig.h"

#include <QList>

// Generated, varied display identities for a fleet: the n-th display of a run
// gets a model of one of the given UDP series codes (all known ones when the
// list is empty), a unique serial number and MAC, and firmware texts.
class SimIdentityFactory
{
public:
    explicit SimIdentityFactory(const QList<int> &seriesCodes = {});
    SimDisplayConfig make(int n) const;
    static QList<int> knownSeriesCodes();
    // Series whose displays announce a firmware-update (second) address.
    static bool usesSecondAddress(int seriesCode);

private:
    QList<int> m_series;
};
