#include "cli/ReportMerge.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace {

// TextOrNull: quillonctl writes null where a display told nothing (no version after a failed update).
enum class FieldType { Text, TextOrNull, Flag, Number };

struct Field
{
    const char *name;
    FieldType type;
    // Fields added to quillonctl's output later: a report of an older quillonctl lacks them.
    // When there, they are checked and kept like the others.
    bool optional = false;
};

// The fields quillonctl writes, in the order the CSV shows them.
const Field UpdateFields[] = {
    { "address", FieldType::Text },
    { "model", FieldType::Text },
    { "serial", FieldType::Text },
    { "firmware_before", FieldType::Text },
    { "firmware_after", FieldType::TextOrNull },
    { "firmware_after_verified", FieldType::Flag },
    { "result", FieldType::Number },
    { "result_text", FieldType::Text },
    { "started", FieldType::Text },
    { "settled", FieldType::Text },
};

const Field SearchFields[] = {
    { "address", FieldType::Text },
    { "model", FieldType::Text },
    { "serial", FieldType::Text },
    { "power", FieldType::Text },
    { "firmware", FieldType::Text },
    { "status", FieldType::Text },
    { "update_available", FieldType::Flag },
    { "mac", FieldType::Text, true },
    { "asset_tag", FieldType::Text, true },
    { "latest_version", FieldType::Text, true },
    { "firmware_status", FieldType::Text, true },
};

struct KindFields
{
    ReportMerge::Kind kind;
    const char *marker; // a field only rows of this kind have
    const Field *fields;
    int count;
};

const KindFields Kinds[] = {
    { ReportMerge::Kind::Update, "result", UpdateFields, int(std::size(UpdateFields)) },
    { ReportMerge::Kind::Search, "status", SearchFields, int(std::size(SearchFields)) },
};

const QString SiteField = QStringLiteral("site");

const KindFields *kindFields(ReportMerge::Kind kind)
{
    for (const KindFields &entry : Kinds) {
        if (entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

QString kindName(ReportMerge::Kind kind)
{
    return kind == ReportMerge::Kind::Update ? ReportMerge::tr("an update report") : ReportMerge::tr("a search report");
}

bool hasType(const QJsonValue &value, FieldType type)
{
    switch (type) {
    case FieldType::Text:
        return value.isString();
    case FieldType::TextOrNull:
        return value.isString() || value.isNull();
    case FieldType::Flag:
        return value.isBool();
    case FieldType::Number: {
        if (!value.isDouble())
            return false;
        const double number = value.toDouble();
        return std::isfinite(number) && number == std::floor(number)
                && number >= double(std::numeric_limits<int>::min()) && number <= double(std::numeric_limits<int>::max());
    }
    }
    return false;
}

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::Text:
        return ReportMerge::tr("a text");
    case FieldType::TextOrNull:
        return ReportMerge::tr("a text or null");
    case FieldType::Flag:
        return ReportMerge::tr("true or false");
    case FieldType::Number:
        return ReportMerge::tr("a whole number");
    }
    return QString();
}

QString cellText(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toInt());
    return value.toString();
}

}

ReportMerge::Source ReportMerge::source(const QString &argument)
{
    const int equals = argument.indexOf(QLatin1Char('='));
    const int slash = argument.indexOf(QLatin1Char('/'));
    if (equals >= 0 && (slash < 0 || equals < slash))
        return { argument.left(equals), argument.mid(equals + 1) };
    QString name = QFileInfo(argument).fileName();
    if (name.endsWith(QLatin1String(".json"), Qt::CaseInsensitive))
        name.chop(5);
    return { name, argument };
}

QString ReportMerge::add(Report &report, const QString &site, const QByteArray &document)
{
    if (document.trimmed().isEmpty())
        return tr("the file is empty: the site's quillonctl ended before it had results (see its log)");
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError)
        return tr("not a JSON document (%1 at byte %2)", "1=parser message 2=offset").arg(error.errorString()).arg(error.offset);
    if (!parsed.isArray())
        return tr("not a list of displays");

    Kind kind = report.kind;
    QList<QJsonObject> rows;
    const QJsonArray array = parsed.array();
    for (int i = 0; i < array.size(); ++i) {
        const int rowNumber = i + 1;
        if (!array.at(i).isObject())
            return tr("row %1 is not an object").arg(rowNumber);
        const QJsonObject input = array.at(i).toObject();
        const KindFields *fields = nullptr;
        for (const KindFields &entry : Kinds) {
            if (input.contains(QLatin1String(entry.marker))) {
                fields = &entry;
                break;
            }
        }
        if (!fields)
            return tr("row %1 is neither an update nor a search result").arg(rowNumber);
        if (kind != Kind::Empty && kind != fields->kind) {
            return tr("row %1 belongs to %2, the rows before it to %3", "2, 3=kind of report")
                    .arg(rowNumber)
                    .arg(kindName(fields->kind), kindName(kind));
        }
        kind = fields->kind;

        // Fields the merge does not know (a later quillonctl's) go on as they came; the known
        // ones are checked, and the site is ours.
        QJsonObject row = input;
        row.insert(SiteField, site);
        for (int f = 0; f < fields->count; ++f) {
            const Field &field = fields->fields[f];
            const QString name = QLatin1String(field.name);
            const QJsonValue value = input.value(name);
            if (field.optional && value.isUndefined())
                continue;
            if (!hasType(value, field.type)) {
                return tr("row %1: \"%2\" is missing or not %3", "3=a type, e.g. a text")
                        .arg(rowNumber)
                        .arg(name, typeName(field.type));
            }
            row.insert(name, field.type == FieldType::Number ? QJsonValue(value.toInt()) : value);
        }
        rows.append(row);
    }
    report.kind = kind;
    report.rows += rows;
    return QString();
}

QByteArray ReportMerge::json(const Report &report)
{
    QJsonArray array;
    for (const QJsonObject &row : report.rows)
        array.append(row);
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QList<QStringList> ReportMerge::table(const Report &report)
{
    QStringList header { SiteField };
    const KindFields *fields = kindFields(report.kind);
    for (int f = 0; fields && f < fields->count; ++f)
        header.append(QLatin1String(fields->fields[f].name));
    QList<QStringList> table { header };
    for (const QJsonObject &row : report.rows) {
        QStringList cells;
        for (const QString &name : qAsConst(header))
            cells.append(cellText(row.value(name)));
        table.append(cells);
    }
    return table;
}
