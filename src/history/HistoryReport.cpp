#include "history/HistoryReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString isoText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODate) : QString();
}

}

QString HistoryReport::stateKey(UpdateAttempt::State state)
{
    return UpdateAttempt::stateName(state);
}

QString HistoryReport::timeText(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString HistoryReport::resultText(const UpdateAttempt &attempt)
{
    switch (attempt.state) {
    case UpdateAttempt::State::Pending:
        return tr("Running");
    case UpdateAttempt::State::Interrupted:
        return tr("Interrupted");
    case UpdateAttempt::State::Settled:
        break;
    }
    return attempt.verificationText.isEmpty() ? attempt.statusText : attempt.verificationText;
}

UpdateReport::Line HistoryReport::reportLine(const UpdateAttempt &attempt)
{
    UpdateReport::Line line;
    line.started = attempt.started;
    line.settled = attempt.settled;
    line.model = attempt.model;
    line.serial = attempt.serial;
    line.address = attempt.address;
    line.versionBefore = attempt.firmwareBefore;
    // Only a version the display itself reported after the update; only the release's counts.
    line.versionAfter = attempt.firmwareAfter;
    line.versionReadBack = !attempt.firmwareAfter.isEmpty();
    line.verified = attempt.verification == UpdateAttempt::Verified;
    line.rollout = attempt.rollout;
    line.result = attempt.status;
    line.resultText = resultText(attempt);
    return line;
}

QList<UpdateReport::Line> HistoryReport::reportLines(const QList<UpdateAttempt> &attempts)
{
    QList<UpdateReport::Line> lines;
    lines.reserve(attempts.size());
    for (const UpdateAttempt &attempt : attempts)
        lines.append(reportLine(attempt));
    return lines;
}

QByteArray HistoryReport::json(const QList<UpdateAttempt> &attempts)
{
    QJsonArray array;
    for (const UpdateAttempt &attempt : attempts) {
        QJsonObject object = UpdateReport::jsonObject(reportLine(attempt));
        object.insert(QStringLiteral("id"), attempt.id);
        object.insert(QStringLiteral("batch"), attempt.batch);
        object.insert(QStringLiteral("state"), stateKey(attempt.state));
        object.insert(QStringLiteral("series"), attempt.series);
        object.insert(QStringLiteral("target_version"), attempt.targetVersion);
        object.insert(QStringLiteral("verification"), attempt.verification);
        object.insert(QStringLiteral("verification_text"), attempt.verificationText);
        object.insert(QStringLiteral("status_text"), attempt.statusText);
        object.insert(QStringLiteral("package"), attempt.packageName);
        object.insert(QStringLiteral("package_md5"), attempt.packageMd5);
        object.insert(QStringLiteral("front_end"), attempt.frontEnd);
        object.insert(QStringLiteral("user"), attempt.userName);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QList<QStringList> HistoryReport::csvTable(const QList<UpdateAttempt> &attempts)
{
    QList<QStringList> table { { QStringLiteral("started"), QStringLiteral("settled"), QStringLiteral("address"),
                                 QStringLiteral("model"), QStringLiteral("serial"), QStringLiteral("series"),
                                 QStringLiteral("firmware_before"), QStringLiteral("target_version"),
                                 QStringLiteral("firmware_after"), QStringLiteral("state"), QStringLiteral("result"),
                                 QStringLiteral("result_text"), QStringLiteral("package"),
                                 QStringLiteral("package_md5"), QStringLiteral("front_end"), QStringLiteral("user"),
                                 QStringLiteral("batch") } };
    for (const UpdateAttempt &attempt : attempts) {
        const UpdateReport::Line line = reportLine(attempt);
        table.append({ isoText(attempt.started), isoText(attempt.settled), attempt.address, attempt.model,
                       attempt.serial, QString::number(attempt.series), attempt.firmwareBefore, attempt.targetVersion,
                       line.versionAfter, stateKey(attempt.state), QString::number(attempt.status), line.resultText,
                       attempt.packageName, attempt.packageMd5, attempt.frontEnd, attempt.userName, attempt.batch });
    }
    return table;
}
