#pragma once

#include <QString>

// The change entry of one firmware version; changeList is already in the user's language and
// holds several items separated by "|".
struct VersionChangeEntry
{
    QString revision;
    QString version;
    QString changeList;
};
