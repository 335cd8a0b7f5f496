#pragma once

#include <QCoreApplication>
#include <QString>

// How long an update takes, in the whole minutes a technician reads: "less than a minute",
// "1 minute", "12 minutes". The information panel and the confirmation before an update both
// say it, so they must never disagree.
class DurationText
{
    Q_DECLARE_TR_FUNCTIONS(DurationText)

public:
    // Half a minute or more counts as a whole one: 89 s is 1 minute, 90 s is 2.
    static int roundedMinutes(int seconds);
    // Below 60 s (0 included) "less than a minute"; otherwise the rounded minutes.
    static QString minutes(int seconds);
};
