#pragma once

#include <QString>

// One entry of the application's change history; changeList is already in the user's language.
struct AppChangeEntry
{
    qint32 build = 0;
    QString changeList;
};
