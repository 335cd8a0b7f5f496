#include "update/ReplyVerdicts.h"

#include "update/KeyScanner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <limits>

namespace ReplyVerdicts {

namespace {

// A JSON number within int range, else the given stand-in (huge numbers included).
int jsonInt(const QJsonValue &value, int otherwise)
{
    if (!value.isDouble())
        return otherwise;
    const double number = value.toDouble();
    if (!(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()))
        return otherwise;
    return int(number);
}

} // namespace

bool isOkText(const QByteArray &body)
{
    QByteArray text = body;
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    return text == "OK";
}

Verdict fileCheckVerdict(const QByteArray &body, int componentIndex)
{
    KeyScanner scanner(body);
    int value = 0;
    if (!KeyScanner::toNumber(scanner.next("upload"), &value))
        return Verdict::Failure;
    switch (value) {
    case 0:
        return Verdict::InProgress;
    case 1:
        return componentIndex < 0 ? Verdict::Ready : Verdict::InProgress;
    case 2:
        break;
    default:
        return Verdict::Failure;
    }

    if (!KeyScanner::toNumber(scanner.next("paccheck_result"), &value))
        return Verdict::Failure;
    if (value <= 99)
        return Verdict::InProgress;
    if (value > 100)
        return Verdict::Failure;

    // Before an upload every entry is read until one is missing, which always leaves the check in
    // progress; with a component its own entry decides.
    const int entries = componentIndex < 0 ? std::numeric_limits<int>::max() : componentIndex + 1;
    for (int i = 0; i < entries; ++i) {
        const QByteArray text = scanner.next("result_code");
        if (text.isEmpty())
            return Verdict::InProgress;
        if (!KeyScanner::toNumber(text, &value))
            return Verdict::Failure;
    }
    if (value <= 99)
        return Verdict::InProgress;
    return value == 100 ? Verdict::Success : Verdict::Failure;
}

ComponentResult updateResultVerdict(const QByteArray &body, int componentIndex)
{
    ComponentResult result;
    if (componentIndex < 0)
        return result;
    KeyScanner scanner(body);
    QByteArray text;
    for (int i = 0; i <= componentIndex; ++i)
        text = scanner.next("result_code");
    int value = 0;
    if (!KeyScanner::toNumber(text, &value))
        return result;
    if (value >= 0 && value <= 100) {
        result.state = ComponentResult::State::InProgress;
        result.percent = value;
    } else if (value == 202) {
        result.state = ComponentResult::State::InProgress;
        result.percent = 0;
    } else if (value == 204) {
        result.state = ComponentResult::State::Done;
        result.percent = 100;
    }
    return result;
}

LegacyUpload legacyUploadVerdict(const QByteArray &body)
{
    if (body.contains("File written successfully"))
        return LegacyUpload::Written;
    if (body.contains("Image file writing."))
        return LegacyUpload::Writing;
    return LegacyUpload::Failed;
}

int legacyUploadLogCode(LegacyUpload result)
{
    switch (result) {
    case LegacyUpload::Written:
        return 0;
    case LegacyUpload::Writing:
        return 3;
    case LegacyUpload::Failed:
        break;
    }
    return -1;
}

QJsonObject cleanJson(const QByteArray &body, bool *parsed)
{
    static const QRegularExpression comment(QStringLiteral("//.*"));
    static const QRegularExpression trailingComma(QStringLiteral("\\,(\\s*[\\}\\]])"));
    QString text = QString::fromUtf8(body);
    text.remove(comment);
    text.replace(trailingComma, QStringLiteral("\\1"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    const bool ok = error.error == QJsonParseError::NoError && document.isObject();
    if (parsed)
        *parsed = ok;
    return ok ? document.object() : QJsonObject();
}

ChunkedFileCheck chunkedFileCheckVerdict(const QByteArray &body, const std::array<bool, 6> &enabled,
                                         int uploadComponent)
{
    ChunkedFileCheck check;
    check.uploadComponent = uploadComponent;
    const QJsonObject reply = cleanJson(body);

    bool inProgress = false;
    bool error = false;
    const QJsonValue pac = reply.value(QStringLiteral("paccheck_result"));
    bool isNumber = false;
    const int pacValue = pac.isString() ? pac.toString().toInt(&isNumber, 10) : 0;
    if (isNumber && pacValue == 100) {
    } else if (isNumber && pacValue >= 0 && pacValue <= 99) {
        inProgress = true;
    } else {
        error = true;
        if (uploadComponent >= 0 && uploadComponent < int(check.failed.size()))
            check.failed[uploadComponent] = true;
    }

    const QJsonArray components = reply.value(QStringLiteral("fwcheck_result")).toArray();
    for (int i = 0; i < int(enabled.size()) && i < components.size(); ++i) {
        const QJsonObject entry = components.at(i).toObject();
        if (entry.isEmpty() || !enabled[i])
            continue;
        const int code = jsonInt(entry.value(QStringLiteral("result_code")), -1);
        if (code == 100)
            continue;
        check.uploadComponent = i;
        if (code >= 0 && code <= 99) {
            inProgress = true;
        } else {
            error = true;
            check.failed[i] = true;
        }
    }
    check.verdict = inProgress ? Verdict::InProgress : error ? Verdict::Failure : Verdict::Success;
    return check;
}

ChunkedUpdateResult chunkedUpdateResultVerdict(const QByteArray &body)
{
    ChunkedUpdateResult result;
    bool parsed = false;
    const QJsonObject reply = cleanJson(body, &parsed);
    if (!parsed)
        return result;
    const QJsonObject first = reply.value(QStringLiteral("update_sts")).toArray().at(0).toObject();
    if (first.isEmpty()) {
        result.state = ChunkedUpdateResult::State::Finished;
        return result;
    }
    const int code = jsonInt(first.value(QStringLiteral("result_code")), -1);
    const int firmware = jsonInt(first.value(QStringLiteral("Firmware")), -1);
    if (firmware < 1 || firmware > 4) {
        result.state = ChunkedUpdateResult::State::Finished;
        return result;
    }
    result.component = firmware - 1;
    if (code == 202 || code == 204) {
        result.percent = 100;
        result.state = code == 204 ? ChunkedUpdateResult::State::Finished : ChunkedUpdateResult::State::InProgress;
    } else if (code >= 0 && code <= 100) {
        result.percent = code;
        result.state = ChunkedUpdateResult::State::InProgress;
        result.current = true;
    } else {
        result.state = ChunkedUpdateResult::State::Failure;
        result.current = true;
    }
    return result;
}

}
