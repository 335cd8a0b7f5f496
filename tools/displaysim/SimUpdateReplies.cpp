#include "SimUpdateReplies.h"

namespace {

QByteArray n(int v)
{
    return QByteArray::number(v);
}

} // namespace

QByteArray SimUpdateReplies::checkKeys(const SimFirmwareUpdate::Check &check)
{
    QByteArray out = "{\n \"upload\": " + n(check.upload);
    if (check.paccheck >= 0)
        out += ",\n \"paccheck_result\": " + n(check.paccheck);
    if (!check.codes.isEmpty()) {
        out += ",\n \"fwcheck_result\": [";
        for (int i = 0; i < check.codes.size(); ++i)
            out += QByteArray(i ? ", " : "") + "{\"Firmware\": " + n(i + 1) + ", \"result_code\": " + n(check.codes.at(i)) + "}";
        out += "]";
    }
    return out + "\n}\n";
}

QByteArray SimUpdateReplies::updateKeys(const QList<int> &codes)
{
    QByteArray out = "{\n \"update_sts\": [";
    for (int i = 0; i < codes.size(); ++i)
        out += QByteArray(i ? ", " : "") + "{\"Firmware\": " + n(i + 1) + ", \"result_code\": " + n(codes.at(i)) + "}";
    return out + "]\n}\n";
}

QByteArray SimUpdateReplies::checkCommented(const SimFirmwareUpdate::Check &check)
{
    QByteArray out = "{\n// package check\n\"upload\":\"" + n(check.upload) + "\",\n";
    out += "\"paccheck_result\":\"" + n(qMax(0, check.paccheck)) + "\",\n";
    out += "// one entry per firmware slot\n\"fwcheck_result\":[\n";
    for (int i = 0; i < 6; ++i) {
        if (i < check.codes.size())
            out += "{\"Firmware\":" + n(i + 1) + ",\"result_code\":" + n(check.codes.at(i)) + ",},\n";
        else
            out += "{},\n";
    }
    return out + "],\n}\n";
}

QByteArray SimUpdateReplies::updateCommented(const QList<int> &codes, int current)
{
    QByteArray out = "{\n// update state, component in work first\n\"update_sts\":[\n";
    if (current >= 1 && current <= codes.size())
        out += "{\"Firmware\":" + n(current) + ",\"result_code\":" + n(codes.at(current - 1)) + ",},\n";
    return out + "],\n}\n";
}

QByteArray SimUpdateReplies::acceptedCommented()
{
    return "{\n// accepted\n\"result\":\"0\",\n}\n";
}

QByteArray SimUpdateReplies::legacyWritten()
{
    return "<html><head><title>Firmware</title></head>\n<body><p>File written successfully</p></body></html>\n";
}

QByteArray SimUpdateReplies::legacyWriting()
{
    return "<html><head><title>Firmware</title></head>\n<body><p>Image file writing.</p></body></html>\n";
}

QByteArray SimUpdateReplies::legacyFailed()
{
    return "<html><head><title>Firmware</title></head>\n<body><p>File write error</p></body></html>\n";
}
