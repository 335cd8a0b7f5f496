#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The fleet report: the JSON reports of many sites (each one quillonctl's `update --json` or
// `search --json` output, fetched from the site's host) as one list whose rows carry the site's
// name. Every input is checked row by row, because a report may come from a host that ran another
// version, was cut short, or was tampered with: a row must have each field of its kind with the
// right type, and every report of one merge must be of the same kind.
class ReportMerge
{
    Q_DECLARE_TR_FUNCTIONS(ReportMerge)

public:
    enum class Kind { Empty, Update, Search };

    struct Source
    {
        QString site;
        QString path;
    };

    // The merged rows in the order of their sites and, within a site, of its report; each row
    // holds "site" and the fields of its kind (other fields are dropped).
    struct Report
    {
        Kind kind = Kind::Empty;
        QList<QJsonObject> rows;
    };

    // "SITE=FILE", or a file whose name (without ".json") names the site. A '=' counts only
    // before the first '/', so "reports/a=b.json" is a file.
    static Source source(const QString &argument);

    // Adds one site's report to the merge. Empty on success, else why the document is refused
    // (the caller names the file); a refused document adds nothing.
    static QString add(Report &report, const QString &site, const QByteArray &document);

    static QByteArray json(const Report &report);
    // Header row of field names, then one row per display; flags as true/false.
    static QList<QStringList> table(const Report &report);
};
