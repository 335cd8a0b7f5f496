#pragma once

#include <QDateTime>
#include <QString>

// The names File › Export suggests: what the file holds and when, so that a folder of exports
// sorts by date and two batches on one day do not take each other's name.
class ExportFileName
{
public:
    // "quillon-displays-YYYY-MM-DD.csv"
    static QString displayList(const QDateTime &when);
    // "quillon-update-YYYY-MM-DD-HHMM.json", or ".csv"
    static QString updateReport(const QDateTime &when, bool json);
    // The folder the save dialog opens in with the suggested name: the last folder written to
    // while it still exists, else the documents folder (or the home folder).
    static QString suggestedPath(const QString &lastFolder, const QString &fileName);
};
