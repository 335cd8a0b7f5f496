#include "SimControlResponder.h"

#include "SimControlFrame.h"

namespace {

using Reply = SimControlResponder::Reply;

QByteArray hex2(int v)
{
    return QByteArray::number(v & 0xFF, 16).toUpper().rightJustified(2, '0');
}

QByteArray hex4(int v)
{
    return QByteArray::number(v & 0xFFFF, 16).toUpper().rightJustified(4, '0');
}

// -1 when text is not a hexadecimal number.
int parseHex(const QByteArray &text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 16);
    return ok && !text.isEmpty() && !text.startsWith('-') && !text.startsWith('+') ? v : -1;
}

// Body room left after a reply code of prefixLength characters.
QByteArray hexText(const QString &text, int prefixLength)
{
    const int room = (SimControlFrame::MaxBody - prefixLength) / 2;
    return text.toLatin1().left(room).toHex().toUpper();
}

QByteArray rawText(const QString &text, int prefixLength)
{
    return text.toLatin1().left(SimControlFrame::MaxBody - prefixLength);
}

Reply command(const QByteArray &body, bool changed = false)
{
    return Reply{ 'B', body, changed };
}

Reply readModel(SimDisplayConfig &s, const QByteArray &)
{
    return command("C317" + hexText(s.modelName, 4));
}

Reply readSerial(SimDisplayConfig &s, const QByteArray &)
{
    return command("C316" + hexText(s.serialNumber, 4));
}

Reply readPowerStatus(SimDisplayConfig &s, const QByteArray &)
{
    return command("0200D600" + hex4(4) + hex4(s.powerMode));
}

Reply setPower(SimDisplayConfig &s, const QByteArray &body)
{
    const int mode = parseHex(body.mid(6));
    if (mode < 1 || mode > 4)
        return command("01C203D6" + hex4(s.powerMode));
    const bool changed = s.powerMode != mode;
    s.powerMode = mode;
    return command("00C203D6" + hex4(mode), changed);
}

Reply readMainFirmware(SimDisplayConfig &s, const QByteArray &)
{
    return command("C13F" + hexText(s.mainFwVersion, 4));
}

Reply readAssetTag(SimDisplayConfig &s, const QByteArray &body)
{
    const int offset = parseHex(body.mid(4, 2));
    const int length = parseHex(body.mid(6, 2));
    if (offset < 0 || length < 0)
        return {};
    return command("C10B" + rawText(s.assetTag.mid(offset, length), 4));
}

Reply readPowerSave(SimDisplayConfig &s, const QByteArray &)
{
    return command("CB0B" + hex2(s.powerSaveReadResult) + hex2(s.powerSaveSetting));
}

Reply setPowerSave(SimDisplayConfig &s, const QByteArray &body)
{
    const int v = parseHex(body.mid(6, 2));
    if (v < 0 || v > 2)
        return command("CB0B01" + body.mid(6, 2));
    const bool changed = s.powerSaveSetting != v;
    s.powerSaveSetting = v;
    return command("CB0B00" + hex2(v), changed);
}

Reply readFirmwareGroups(SimDisplayConfig &s, const QByteArray &)
{
    QByteArray out = "C13E";
    for (int i = 0; i < 4; ++i) {
        QByteArray group = s.fwVersions.value(i).toLatin1().left(8);
        group.append(QByteArray(8 - group.size(), char(s.fwGroupPad)));
        out += group.toHex().toUpper();
    }
    return command(out);
}

Reply readFirmwareByIndex(SimDisplayConfig &s, const QByteArray &body)
{
    const int index = parseHex(body.mid(4, 2));
    if (index < 0)
        return {};
    if (index > 4)
        return command("CB0201" + hex2(index));
    const QString text = index == 0 ? s.mainFwVersion : s.fwVersions.value(index - 1);
    return command("CB0200" + hex2(index) + rawText(text, 8));
}

QByteArray vcpBody(int result, quint16 code, int value)
{
    return hex2(result) + hex4(code) + "00" + "FFFF" + hex4(value);
}

Reply readVcp(SimDisplayConfig &s, const QByteArray &body)
{
    const int code = parseHex(body);
    if (code < 0)
        return {};
    const int forced = s.vcpResults.value(quint16(code), 0);
    if (forced != 0)
        return Reply{ 'D', vcpBody(forced, quint16(code), 0) };
    if (code == 0x00D6)
        return Reply{ 'D', vcpBody(0, 0x00D6, s.powerMode) };
    if (!s.vcpValues.contains(quint16(code)))
        return Reply{ 'D', vcpBody(1, quint16(code), 0) };
    return Reply{ 'D', vcpBody(0, quint16(code), s.vcpValues.value(quint16(code))) };
}

Reply setVcp(SimDisplayConfig &s, const QByteArray &body)
{
    const int code = parseHex(body.left(4));
    const int value = parseHex(body.mid(4, 4));
    if (code < 0 || value < 0)
        return {};
    const quint16 c = quint16(code);
    const int forced = s.vcpResults.value(c, 0);
    if (forced != 0)
        return Reply{ 'F', vcpBody(forced, c, 0) };
    if (c == 0x00D6) {
        const bool changed = s.powerMode != value;
        s.powerMode = value;
        return Reply{ 'F', vcpBody(0, c, value), changed };
    }
    if (!s.vcpValues.contains(c))
        return Reply{ 'F', vcpBody(1, c, 0) };
    const bool changed = s.vcpValues.value(c) != value;
    s.vcpValues[c] = quint16(value);
    // Asking for an upload hands out the key value instead of echoing the request.
    const int current = c == 0x1307 ? s.uploadKeyValue : value;
    return Reply{ 'F', vcpBody(0, c, current), changed };
}

struct Item {
    char type;
    const char *prefix;
    int length; // whole body length
    Reply (*handler)(SimDisplayConfig &, const QByteArray &);
};

// First match wins; the "C" and "E" rows take any VCP code.
const Item items[] = {
    { 'A', "C217", 4, readModel },
    { 'A', "01D6", 4, readPowerStatus },
    { 'A', "C203D6", 10, setPower },
    { 'A', "C216", 4, readSerial },
    { 'A', "C03F", 4, readMainFirmware },
    { 'A', "C00B", 8, readAssetTag },
    { 'A', "CA0B00", 6, readPowerSave },
    { 'A', "CA0B01", 8, setPowerSave },
    { 'A', "C03E", 4, readFirmwareGroups },
    { 'A', "CA02", 6, readFirmwareByIndex },
    { 'C', "", 4, readVcp },
    { 'E', "", 8, setVcp },
};

} // namespace

SimControlResponder::Reply SimControlResponder::respond(SimDisplayConfig &state, char type, const QByteArray &body)
{
    const QByteArray upper = body.toUpper();
    for (const Item &item : items) {
        if (item.type == type && upper.size() == item.length && upper.startsWith(item.prefix))
            return item.handler(state, upper);
    }
    return {};
}

SimControlResponder::Reply SimControlResponder::vcpReply(char type, int result, quint16 code, int value)
{
    return Reply{ type, vcpBody(result, code, value) };
}
