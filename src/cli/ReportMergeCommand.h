#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QTextStream;

// `quillonctl report merge`: the sites' JSON reports, fetched to one machine, into one fleet
// report as JSON and CSV. It reads files and writes files only: no settings, no network.
class ReportMergeCommand
{
    Q_DECLARE_TR_FUNCTIONS(ReportMergeCommand)

public:
    // A report is a few hundred bytes per display; anything larger than this is not one.
    static constexpr qint64 MaxReportBytes = 16 * 1024 * 1024;

    // arguments: what follows "report" on the command line. Returns the exit code: 0 merged,
    // 1 an input could not be read or is no report (each one named) or an output could not be
    // written, 2 a usage error.
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
