#include "queue/LaneEstimate.h"

#include <QVarLengthArray>

#include <algorithm>
#include <limits>

namespace {

bool counts(const DisplayEntry &row)
{
    return row.selected && row.downloadState == 3 && row.updateDurationSecs >= 1;
}

}

int LaneEstimate::seconds(const DisplayEntryList &rows, int updateLimit, Mode mode)
{
    QVarLengthArray<qint64, 32> lanes(qMax(1, updateLimit));
    std::fill(lanes.begin(), lanes.end(), 0);

    if (mode == Mode::Remaining) {
        int lane = 0;
        for (const DisplayEntry &row : rows) {
            if (lane >= lanes.size())
                break;
            if (!counts(row) || row.updateStatus != 2)
                continue;
            const qint64 elapsed = row.updateTimer.isValid() ? row.updateTimer.elapsed() / 1000 : 0;
            lanes[lane++] += row.updateDurationSecs - elapsed;
        }
    }

    for (const DisplayEntry &row : rows) {
        if (!counts(row))
            continue;
        if (mode == Mode::Remaining && row.updateStatus != 1)
            continue;
        // The first lane with the smallest total on a tie, as a free session would be taken.
        *std::min_element(lanes.begin(), lanes.end()) += row.updateDurationSecs;
    }

    const qint64 largest = *std::max_element(lanes.begin(), lanes.end());
    return int(qBound(qint64(0), largest, qint64(std::numeric_limits<int>::max())));
}

QString LaneEstimate::minutesSeconds(int seconds)
{
    const int s = qMax(0, seconds);
    return tr("%1:%2", "1=minutes 2=seconds")
            .arg(s / 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
}
