#include "records/SeriesCode.h"

#include <iterator>

namespace SeriesCode {

namespace {

struct SeriesName
{
    const char *name;
    int code;
};

// Searched in this order. MAPLE_A and MAPLE_B carry each other's position's code on purpose:
// the codes were fixed before the names were listed alphabetically.
constexpr SeriesName SeriesNames[] = {
    { "SERIES_CEDAR4", SERIES_CEDAR4 },
    { "SERIES_LARCH", SERIES_LARCH },
    { "SERIES_CEDAR5", SERIES_CEDAR5 },
    { "SERIES_BIRCH", SERIES_BIRCH },
    { "SERIES_CEDAR5_UHD", SERIES_CEDAR5_UHD },
    { "SERIES_CEDAR5_XN", SERIES_CEDAR5_XN },
    { "SERIES_MAPLE_A", SERIES_MAPLE_A },
    { "SERIES_MAPLE_B", SERIES_MAPLE_B },
    { "SERIES_ROWAN_L", SERIES_ROWAN_L },
    { "SERIES_ROWAN_H", SERIES_ROWAN_H },
    { "SERIES_WILLOW", SERIES_WILLOW },
};

}

int seriesCodeForName(const QString &name)
{
    for (const SeriesName &entry : SeriesNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.code;
    }
    return SERIES_NONE;
}

bool hasPowerSaveSetting(int series)
{
    return series == SERIES_CEDAR4 || series == SERIES_LARCH;
}

bool powerSaveMustBeSwitchedOff(int series, int powerSaveMode)
{
    return hasPowerSaveSetting(series) && (powerSaveMode == 0 || powerSaveMode == 1);
}

}
