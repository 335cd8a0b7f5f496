#pragma once

#include "history/UpdateAttempt.h"
#include "reports/UpdateReport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QStringList>

// The history as the exports and quillonctl hand it out. The update report of a batch comes
// from its attempts through the report's own writer; the JSON of the history carries the
// report's keys where they mean the same thing and adds its own beside them.
class HistoryReport
{
    Q_DECLARE_TR_FUNCTIONS(HistoryReport)

public:
    static UpdateReport::Line reportLine(const UpdateAttempt &attempt);
    static QList<UpdateReport::Line> reportLines(const QList<UpdateAttempt> &attempts);

    // The result as a row shows it: the check's text after the check, else the session's.
    static QString resultText(const UpdateAttempt &attempt);
    static QString stateKey(UpdateAttempt::State state);
    // Local time, to the second; empty for an invalid time.
    static QString timeText(const QDateTime &time);

    // An array of objects: the update report's keys, then id, batch, state, series,
    // target_version, verification, verification_text, status_text, package, package_md5,
    // front_end and user.
    static QByteArray json(const QList<UpdateAttempt> &attempts);
    // Header line first (English: the file is read by programs), then one line per attempt.
    static QList<QStringList> csvTable(const QList<UpdateAttempt> &attempts);
};
