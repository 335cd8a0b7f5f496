#pragma once

#include <QString>
#include <array>

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

// How a series is updated over the LAN.
enum class UpdateSequenceKind { None, LegacyUpload, CgictrlSteps, PjctrlChunked, PjctrlStamped, TcpAssisted };

// The separator between "multipart/form-data" and the boundary in an upload's content type.
enum class MultipartSeparator { None, Comma, Semicolon };

// One row of the series table: everything the update engine needs to know about a series.
struct SeriesRow
{
    int code;
    UpdateSequenceKind sequence;
    const char *cgiPath;                      // "" when the series has no web update
    MultipartSeparator separator;
    std::array<int, 6> legacyTimeoutSecs;     // by upload slot, legacy upload only
    std::array<int, 6> uploadOrder;           // component of each upload slot, legacy upload only
};

// The row of a series code; codes outside the table get the row of code 0 (no sequence).
const SeriesRow &seriesRow(int code);

// The code of a release's seriesName, compared without regard to case; 0 for an unknown name.
int seriesCodeForName(const QString &name);

// The series with a power-save setting (Auto Power Save, Auto Standby or Off) that the table's
// menu can change: SERIES_CEDAR4 and SERIES_LARCH.
bool hasPowerSaveSetting(int series);

// A display of such a series set to Auto Power Save (0) or Auto Standby (1): its power-save
// setting is switched to Off before a LAN update. powerSaveMode as in DisplayEntry.
bool powerSaveMustBeSwitchedOff(int series, int powerSaveMode);

// A release that asks for the power-save mode "Normal" (needPowerSaveModeToNormal 1) on a display
// not yet in it (powerSaveModeVcp 1): the update switches it to Normal before it starts.
bool powerSaveMustBeSwitchedToNormal(int needPowerSaveModeToNormal, int powerSaveModeVcp);

}
