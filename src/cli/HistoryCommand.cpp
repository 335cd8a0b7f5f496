#include "cli/HistoryCommand.h"

#include "engine/QuillonEngine.h"

#include "cli/CtlOptions.h"
#include "cli/PlainText.h"
#include "history/HistoryReport.h"
#include "history/InterruptedUpdatesNotice.h"
#include "history/UpdateHistory.h"

#include <QTextStream>

void HistoryCommand::openAtStart(QuillonEngine &engine, QTextStream &err)
{
    QString warning;
    const QList<UpdateAttempt> interrupted = engine.openHistory(&warning);
    if (!warning.isEmpty())
        err << PlainText::sanitized(warning) << '\n';
    if (!interrupted.isEmpty())
        err << PlainText::sanitized(InterruptedUpdatesNotice::text(interrupted)) << '\n';
    err.flush();
}

int HistoryCommand::run(UpdateHistory &history, const CtlOptions &options, QTextStream &out)
{
    HistoryFilter filter;
    filter.since = options.historySince;
    filter.serial = options.historySerial;
    filter.address = options.historyAddress;
    filter.batch = options.historyBatch;
    if (options.historyInterrupted)
        filter.result = HistoryFilter::Result::Interrupted;
    const QList<UpdateAttempt> attempts = history.attempts(filter);
    if (options.json)
        out << QString::fromUtf8(HistoryReport::json(attempts));
    else
        out << text(attempts);
    out.flush();
    return CtlOptions::Completed;
}

QString HistoryCommand::text(const QList<UpdateAttempt> &attempts)
{
    if (attempts.isEmpty())
        return tr("No updates in the history.") + QLatin1Char('\n');
    QList<QStringList> rows { { tr("Started"), tr("Address"), tr("Model"), tr("Serial"), tr("Before"), tr("After"),
                                tr("Result") } };
    for (const UpdateAttempt &attempt : attempts) {
        const UpdateReport::Line line = HistoryReport::reportLine(attempt);
        QStringList row { HistoryReport::timeText(attempt.started), attempt.address, attempt.model, attempt.serial,
                          line.versionBefore, line.versionAfter, line.resultText };
        for (QString &cell : row)
            cell = PlainText::sanitized(cell).simplified();
        rows.append(row);
    }
    QList<int> widths(rows.first().size(), 0);
    for (const QStringList &row : qAsConst(rows)) {
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], int(row.at(c).size()));
    }
    QString text;
    for (const QStringList &row : qAsConst(rows)) {
        QString line;
        for (int c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row.at(c).leftJustified(widths[c] + 2) : row.at(c);
        text += line.trimmed() + QLatin1Char('\n');
    }
    return text;
}
