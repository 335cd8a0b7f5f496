#include "cli/ReportMergeCommand.h"

#include "cli/CtlOptions.h"
#include "cli/PlainText.h"
#include "cli/ReportMerge.h"
#include "reports/CsvWriter.h"
#include "reports/ReportFile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>

namespace {

QString fileText(const QString &path)
{
    return PlainText::sanitized(QDir::toNativeSeparators(path));
}

// The whole file, or empty with why it cannot be a report.
QByteArray readReport(const QString &path, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = ReportMergeCommand::tr("cannot be read: %1").arg(file.errorString());
        return QByteArray();
    }
    // Read one byte more than allowed: a pipe or a device has no size to ask for.
    const QByteArray bytes = file.read(ReportMergeCommand::MaxReportBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error = ReportMergeCommand::tr("cannot be read: %1").arg(file.errorString());
        return QByteArray();
    }
    if (bytes.size() > ReportMergeCommand::MaxReportBytes) {
        error = ReportMergeCommand::tr("larger than %1 MiB: not a report").arg(ReportMergeCommand::MaxReportBytes / (1024 * 1024));
        return QByteArray();
    }
    return bytes;
}

}

int ReportMergeCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            tr("Merges the JSON reports of several sites (quillonctl update --json or search --json) into one "
               "fleet report whose rows name their site."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, tr("Shows this help."));
    const QCommandLineOption json(QStringLiteral("json"), tr("Writes the fleet report as JSON to FILE."), tr("FILE"));
    const QCommandLineOption csv(QStringLiteral("csv"), tr("Writes the fleet report as CSV to FILE."), tr("FILE"));
    parser.addOptions({ help, json, csv });
    parser.addPositionalArgument(QStringLiteral("merge"), tr("The report command: merge."));
    parser.addPositionalArgument(
            QStringLiteral("[SITE=]FILE"),
            tr("A site's report. Without SITE= the file's name without \".json\" names the site. Without --json "
               "and --csv the fleet report goes to standard output as JSON."),
            QStringLiteral("[SITE=]FILE..."));
    const QString usage = QStringLiteral("quillonctl report merge [--json FILE] [--csv FILE] [SITE=]FILE...\n");

    const auto usageError = [&](const QString &text) {
        err << PlainText::sanitized(text) << '\n' << tr("Usage: ") << usage;
        err.flush();
        return int(CtlOptions::UsageError);
    };

    if (!parser.parse(QStringList { QStringLiteral("quillonctl report") } + arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        out.flush();
        return CtlOptions::Completed;
    }
    QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(tr("No report command given."));
    if (files.first() != QLatin1String("merge"))
        return usageError(tr("Unknown report command: %1").arg(files.first()));
    files.removeFirst();
    if (files.isEmpty())
        return usageError(tr("No report file given."));

    QList<ReportMerge::Source> sources;
    QHash<QString, QString> pathOfSite;
    for (const QString &argument : qAsConst(files)) {
        const ReportMerge::Source source = ReportMerge::source(argument);
        if (source.site.trimmed().isEmpty())
            return usageError(tr("%1: no site name.").arg(argument));
        if (source.path.isEmpty())
            return usageError(tr("%1: no file name.").arg(argument));
        if (pathOfSite.contains(source.site)) {
            return usageError(tr("The site %1 is named twice: %2 and %3.", "1=site 2, 3=files")
                                      .arg(source.site, pathOfSite.value(source.site), source.path));
        }
        pathOfSite.insert(source.site, source.path);
        sources.append(source);
    }

    // Every bad report is named, not only the first, so one run shows all the sites to look at.
    ReportMerge::Report report;
    bool failed = false;
    for (const ReportMerge::Source &source : qAsConst(sources)) {
        QString error;
        const QByteArray bytes = readReport(source.path, error);
        if (error.isEmpty())
            error = ReportMerge::add(report, source.site, bytes);
        if (!error.isEmpty()) {
            err << fileText(source.path) << QStringLiteral(": ") << PlainText::sanitized(error) << '\n';
            failed = true;
        }
    }
    if (failed) {
        err << tr("No fleet report was written.") << '\n';
        err.flush();
        return CtlOptions::Failed;
    }

    const QByteArray jsonBytes = ReportMerge::json(report);
    if (!parser.isSet(json) && !parser.isSet(csv))
        out << QString::fromUtf8(jsonBytes);
    QString writeError;
    if (parser.isSet(json))
        writeError = ReportFile::write(parser.value(json), jsonBytes);
    if (writeError.isEmpty() && parser.isSet(csv))
        writeError = ReportFile::write(parser.value(csv), CsvWriter::document(ReportMerge::table(report)));
    if (!writeError.isEmpty()) {
        err << PlainText::sanitized(writeError) << '\n';
        err.flush();
        return CtlOptions::Failed;
    }
    err << tr("Merged %1 row(s) of %2 site(s).", "1=rows 2=sites").arg(report.rows.size()).arg(sources.size()) << '\n';
    out.flush();
    err.flush();
    return CtlOptions::Completed;
}
