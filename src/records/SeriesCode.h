#pragma once

#include <QString>

// The platform series codes kept in a row's catalogueSeries; they select the LAN update sequence.
namespace SeriesCode {

enum : int {
    SERIES_NONE = 0,
    SERIES_CEDAR4 = 1,
    SERIES_LARCH = 2,
    SERIES_CEDAR5 = 3,
    SERIES_BIRCH = 4,
    SERIES_CEDAR5_UHD = 5,
    SERIES_CEDAR5_XN = 6,
    SERIES_MAPLE_B = 7,
    SERIES_MAPLE_A = 8,
    SERIES_ROWAN_L = 9,
    SERIES_ROWAN_H = 10,
    SERIES_WILLOW = 11,
};

// The code of a release's seriesName, compared without regard to case; 0 for an unknown name.
int seriesCodeForName(const QString &name);

}
