#include "reports/UpdateReport.h"

#include "records/DisplayTableState.h"
#include "reports/DisplayListExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODate) : QString();
}

}

bool UpdateReport::hasLines(const DisplayTableState &state)
{
    for (const DisplayEntry &entry : state.displayEntries) {
        if (entry.updateStartedAt.isValid() || entry.heldBack)
            return true;
    }
    return false;
}

QList<UpdateReport::Line> UpdateReport::lines(const DisplayTableState &state, bool legacySupport,
                                              const DisplayRowText::StatusTextLookup &statusText)
{
    QList<Line> lines;
    for (const DisplayEntry &entry : state.displayEntries) {
        if (entry.heldBack) {
            Line line;
            line.model = entry.modelName;
            line.serial = entry.serialNumber;
            line.address = DisplayListExport::addressText(entry.address);
            line.versionBefore = entry.currentFirmware;
            line.versionAfter = entry.currentFirmware;
            line.resultText = entry.updateNote;
            line.rollout = entry.updateRollout;
            lines.append(line);
            continue;
        }
        if (!entry.updateStartedAt.isValid())
            continue;
        Line line;
        line.rollout = entry.updateRollout;
        line.started = entry.updateStartedAt;
        line.settled = entry.updateSettledAt;
        line.model = entry.modelName;
        line.serial = entry.serialNumber;
        line.address = DisplayListExport::addressText(entry.address);
        line.versionBefore = entry.firmwareBefore;
        // Only what this display itself reported after the update: never the catalogue's version,
        // nor another display's at the same address.
        line.versionAfter = entry.firmwareAfter;
        line.versionReadBack = !entry.firmwareAfter.isEmpty();
        line.verified = entry.verifyOutcome == VerifyOutcome::Verified;
        line.result = entry.updateStatus != 0 ? entry.updateStatus : entry.resultStatus;
        line.resultText = DisplayRowText::statusText(entry, legacySupport, statusText);
        lines.append(line);
    }
    return lines;
}

QList<QStringList> UpdateReport::table(const QList<Line> &lines)
{
    // The header and the read-back flag are for scripts as much as for people: English in every
    // interface language. Only the result text follows the language.
    QList<QStringList> table { { QStringLiteral("Started"), QStringLiteral("Settled"), QStringLiteral("Model Name"),
                                 QStringLiteral("Serial Number"), QStringLiteral("IP Address"),
                                 QStringLiteral("Version Before"), QStringLiteral("Version After"),
                                 QStringLiteral("Version Read Back"), QStringLiteral("Result") } };
    for (const Line &line : lines) {
        table.append({ timeText(line.started), timeText(line.settled), line.model, line.serial, line.address,
                       line.versionBefore, line.versionAfter,
                       line.versionReadBack ? QStringLiteral("Yes") : QStringLiteral("No"), line.resultText });
    }
    return table;
}

QJsonObject UpdateReport::jsonObject(const Line &line)
{
    return QJsonObject {
        { QStringLiteral("address"), line.address },
        { QStringLiteral("model"), line.model },
        { QStringLiteral("serial"), line.serial },
        { QStringLiteral("firmware_before"), line.versionBefore },
        { QStringLiteral("firmware_after"),
          line.versionAfter.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(line.versionAfter) },
        { QStringLiteral("firmware_after_verified"), line.verified },
        { QStringLiteral("result"), line.result },
        { QStringLiteral("result_text"), line.resultText },
        { QStringLiteral("started"), timeText(line.started) },
        { QStringLiteral("settled"), timeText(line.settled) },
        { QStringLiteral("rollout"), QJsonObject {
                { QStringLiteral("first_per_model"), line.rollout.firstPerModel },
                { QStringLiteral("max_failures"), line.rollout.maxFailures },
          } },
    };
}

QByteArray UpdateReport::json(const QList<Line> &lines)
{
    QJsonArray array;
    for (const Line &line : lines)
        array.append(jsonObject(line));
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}
