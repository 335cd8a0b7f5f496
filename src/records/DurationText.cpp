#include "records/DurationText.h"

int DurationText::roundedMinutes(int seconds)
{
    return int(seconds / 60.0 + 0.5);
}

QString DurationText::minutes(int seconds)
{
    // Rounding alone would call 30 s "1 minute" and 29 s "0 minutes".
    if (seconds < 60)
        return tr("less than a minute");
    const int n = roundedMinutes(seconds);
    // English is shown without a catalogue (quillonctl loads none), so its singular is a source
    // text of its own; both are plural entries, so a catalogue still picks each language's form.
    return n == 1 ? tr("%n minute", "update time", n) : tr("%n minutes", "update time", n);
}
