#pragma once

#include "catalogue/AppChangeEntry.h"
#include "records/AppBuild.h"

#include <QList>
#include <QString>
#include <functional>

class FirmwareDatabase;

// Compares the application's build with the newest one the catalogue announces and words the
// answer for the user. The main window shows a non-empty message in an information box.
class ApplicationUpdateCheck
{
public:
    enum Outcome {
        NoInformation,  // no catalogue, or it names no application build
        UpToDate,
        NewerAvailable,
    };

    struct Result
    {
        Outcome outcome = NoInformation;
        QString message; // rich text; empty when nothing is to be shown
    };

    // Makes one change item of the catalogue fit to show as rich text (the catalogue rich-text
    // filter); without one an item is shown as plain text.
    using ItemFilter = std::function<QString(const QString &item)>;

    // With showMessageIfNoNewer unset (the automatic check after start-up) only a newer build
    // produces a message; the menu command sets it and always gets an answer.
    static Result check(const FirmwareDatabase &database, bool databaseLoaded, bool showMessageIfNoNewer,
                        int ownBuild = AppBuild::Number, const ItemFilter &itemFilter = {});

    // The numbered items of every history entry newer than ownBuild, in file order, each followed
    // by "<br>"; empty when there are none.
    static QString changeItems(const QList<AppChangeEntry> &history, int ownBuild = AppBuild::Number,
                               const ItemFilter &itemFilter = {});
};
