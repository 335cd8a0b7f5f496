#pragma once

#include <QCoreApplication>
#include <QList>

class QTextStream;
class QuillonEngine;
class UpdateHistory;
struct CtlOptions;
struct UpdateAttempt;

// "quillonctl history": the update attempts of the history, filtered by the options, as
// columns or as JSON; and, at every start, the updates an earlier run left unfinished.
class HistoryCommand
{
    Q_DECLARE_TR_FUNCTIONS(HistoryCommand)

public:
    static int run(UpdateHistory &history, const CtlOptions &options, QTextStream &out);
    // Opens the history and reports on standard error what opening it found: a damaged file moved
    // aside, no history at all, or updates whose program ended before they did.
    static void openAtStart(QuillonEngine &engine, QTextStream &err);
    static QString text(const QList<UpdateAttempt> &attempts);
};
