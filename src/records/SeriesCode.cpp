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

constexpr std::array<int, 6> NoTimes{ 0, 0, 0, 0, 0, 0 };
constexpr std::array<int, 6> InOrder{ 0, 1, 2, 3, 4, 5 };
constexpr char Cgictrl[] = "/cgi-bin/cgictrl";
constexpr char Pjctrl[] = "/pjctrl";

constexpr SeriesRow SeriesRows[] = {
    { SERIES_NONE, UpdateSequenceKind::None, "", MultipartSeparator::None, NoTimes, InOrder },
    { SERIES_CEDAR4, UpdateSequenceKind::LegacyUpload, Cgictrl, MultipartSeparator::Comma,
      { 600, 300, 180, 180, 600, 600 }, { 5, 4, 2, 3, 1, 0 } },
    { SERIES_LARCH, UpdateSequenceKind::LegacyUpload, Cgictrl, MultipartSeparator::Comma,
      { 300, 300, 900, 180, 600, 600 }, InOrder },
    { SERIES_CEDAR5, UpdateSequenceKind::CgictrlSteps, Cgictrl, MultipartSeparator::Comma, NoTimes, InOrder },
    { SERIES_BIRCH, UpdateSequenceKind::CgictrlSteps, Cgictrl, MultipartSeparator::Comma, NoTimes, InOrder },
    { SERIES_CEDAR5_UHD, UpdateSequenceKind::CgictrlSteps, Cgictrl, MultipartSeparator::Comma, NoTimes, InOrder },
    { SERIES_CEDAR5_XN, UpdateSequenceKind::CgictrlSteps, Cgictrl, MultipartSeparator::Comma, NoTimes, InOrder },
    { SERIES_MAPLE_B, UpdateSequenceKind::None, "", MultipartSeparator::None, NoTimes, InOrder },
    { SERIES_MAPLE_A, UpdateSequenceKind::None, "", MultipartSeparator::None, NoTimes, InOrder },
    { SERIES_ROWAN_L, UpdateSequenceKind::PjctrlChunked, Pjctrl, MultipartSeparator::None, NoTimes, InOrder },
    { SERIES_ROWAN_H, UpdateSequenceKind::PjctrlStamped, Pjctrl, MultipartSeparator::Semicolon, NoTimes, InOrder },
    { SERIES_WILLOW, UpdateSequenceKind::TcpAssisted, "/upload", MultipartSeparator::None, NoTimes, InOrder },
};

}

const SeriesRow &seriesRow(int code)
{
    for (const SeriesRow &row : SeriesRows) {
        if (row.code == code)
            return row;
    }
    return SeriesRows[0];
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

bool powerSaveMustBeSwitchedToNormal(int needPowerSaveModeToNormal, int powerSaveModeVcp)
{
    return needPowerSaveModeToNormal == 1 && powerSaveModeVcp == 1;
}

}
