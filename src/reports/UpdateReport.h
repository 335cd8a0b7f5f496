#pragma once

#include "records/DisplayRowText.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QStringList>

struct DisplayTableState;

// "Export update report...", and the result list of the command line's update: one line per
// display whose update was started in this table (a search starts a new table), with when it
// started and settled, the version before and after and the result.
class UpdateReport
{
    Q_DECLARE_TR_FUNCTIONS(UpdateReport)

public:
    struct Line
    {
        QDateTime started;
        QDateTime settled;       // invalid while the update runs
        QString model;
        QString serial;
        QString address;
        QString versionBefore;
        QString versionAfter;         // as the display reported it after the update; empty when it did not
        bool versionReadBack = false; // versionAfter was read from the display after its restart
        bool verified = false;        // and it is the release's: the only success
        int result = 0;               // the session's status code
        QString resultText;
    };

    static QList<Line> lines(const DisplayTableState &state, bool legacySupport,
                             const DisplayRowText::StatusTextLookup &statusText);
    static bool hasLines(const DisplayTableState &state);

    static QList<QStringList> table(const QList<Line> &lines);
    // An array of objects: address, model, serial, firmware_before, firmware_after (null when
    // nothing was read back), firmware_after_verified, result, result_text, started, settled.
    static QByteArray json(const QList<Line> &lines);
};
