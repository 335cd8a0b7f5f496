#pragma once

#include "records/DisplayEntry.h"

#include <QCoreApplication>
#include <QString>
#include <functional>

// The texts a row shows in the display list: power state, firmware availability and status.
// They live below the table so that the command line and the exports say exactly what the
// window says; the translation context stays the table model's.
class DisplayRowText
{
    Q_DECLARE_TR_FUNCTIONS(displayListModel)

public:
    // The user text of a LAN update status code; the update part owns those texts.
    using StatusTextLookup = std::function<QString(qint32 status)>;

    // Empty when the power state is unknown.
    static QString powerText(const DisplayEntry &entry);
    // A null result means the state has no text of its own.
    static QString availabilityText(const DisplayEntry &entry);
    static QString statusText(const DisplayEntry &entry, bool legacySupport, const StatusTextLookup &lookup);
    // A row whose display is being asked for its version after the update.
    static QString checkingText();
    // The status of a row under update, elapsedMs after the update began.
    static QString progressText(const DisplayEntry &entry, qint64 elapsedMs);
};
