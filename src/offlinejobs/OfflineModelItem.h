#pragma once

#include <QString>

// One line of the offline download list: a model name of one release.
struct OfflineModelItem
{
    QString text;          // the model name, with the serial-number rule text when the release has one
    int releaseIndex = -1; // the release's index in the database
};
