#pragma once

#include <QString>

// One documentation link of a release, already in the user's language.
struct DocumentationLink
{
    QString name;
    QString url;
};
