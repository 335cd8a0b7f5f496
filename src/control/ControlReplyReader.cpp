#include "control/ControlReplyReader.h"

#include "control/ControlFrame.h"
#include "control/ControlItem.h"

namespace {

// What a reply handler reads and changes of the query in progress.
struct ReplyContext
{
    PD_TCP_REPLY &reply;
    quint32 &pending;
    const quint32 current;          // flag of the item the reply answers
    int &firmwareIndex;
    int &assetTagOffset;
    const char messageType;
};

// ---- VCP replies ('D' get, 'F' set): the page and code of the reply pick the handler. ----

struct VcpReplyHandler
{
    quint32 pageCode;               // (page << 8) | code
    void (*apply)(ReplyContext &context, bool ok, quint32 value);
};

const VcpReplyHandler VcpReplyHandlers[] = {
    { 0x00D6, [](ReplyContext &c, bool ok, quint32 value) {
          if (ok)
              c.reply.powerMode = qint32(value);
      } },
    { 0x023E, [](ReplyContext &c, bool ok, quint32 value) {
          if (ok)
              c.reply.param023E = QString(QChar(char16_t(value)));
      } },
    { 0x11EE, [](ReplyContext &c, bool ok, quint32 value) {
          c.reply.powerSaveModeVcp = ok && (value == 1 || value == 2) ? qint32(value) : -1;
      } },
    { 0x11F0, [](ReplyContext &c, bool ok, quint32 value) {
          if (ok)
              c.reply.value11F0 = qint32(value);
          else
              c.reply.status = ControlStatus::Failed;
      } },
    { 0x1306, [](ReplyContext &c, bool ok, quint32 value) {
          if (ok && c.messageType == 'D')
              c.reply.value1306 = qint32(value);
      } },
    { 0x1307, [](ReplyContext &c, bool ok, quint32 value) {
          if (ok)
              c.reply.value1307 = qint32(value);
      } },
    { 0x1303, [](ReplyContext &c, bool ok, quint32 value) {
          if (ok && c.messageType == 'F')
              c.reply.value1307 = qint32(value);
      } },
};

// Any well-formed VCP reply settles the item asked, whether or not its page and code are known.
int readVcpReply(ReplyContext &context, const QByteArray &body)
{
    quint32 result = 0;
    quint32 page = 0;
    quint32 code = 0;
    quint32 value = 0;
    if (body.size() != 16 || !ControlFrame::readHex(body, 0, 2, &result) || !ControlFrame::readHex(body, 2, 2, &page)
        || !ControlFrame::readHex(body, 4, 2, &code) || !ControlFrame::readHex(body, 12, 4, &value))
        return ControlStatus::Malformed;

    const quint32 pageCode = (page << 8) | code;
    for (const VcpReplyHandler &handler : VcpReplyHandlers) {
        if (handler.pageCode == pageCode) {
            handler.apply(context, result == 0, value);
            break;
        }
    }
    context.pending &= ~context.current;
    return ControlStatus::Complete;
}

// ---- Command replies ('B'): the item asked picks the handler for the power commands, the first
// four characters of the body (the reply code) for everything else. ----

int readPowerCommandReply(ReplyContext &c, const QByteArray &body)
{
    quint32 result = 0;
    quint32 mode = 0;
    const int modeDigits = qMin(4, int(body.size()) - 8);
    if (body.size() < 10 || !ControlFrame::readHex(body, 0, 2, &result) || result != 0
        || body.mid(2, 4).toUpper() != "C203" || body.mid(6, 2).toUpper() != "D6"
        || !ControlFrame::readHex(body, 8, modeDigits, &mode))
        return ControlStatus::Malformed;
    c.reply.powerMode = qint32(mode);
    c.pending &= ~c.current;
    return ControlStatus::Complete;
}

// Model name, serial number and main firmware: the rest of the body is the text in hex digits.
template<QString PD_TCP_REPLY::*Field, quint32 Flag>
int readHexTextReply(ReplyContext &c, const QByteArray &rest)
{
    QString text;
    if (!ControlFrame::hexText(rest, &text))
        return ControlStatus::Malformed;
    c.reply.*Field = text;
    c.pending &= ~Flag;
    return ControlStatus::Complete;
}

int readPowerStatusReply(ReplyContext &c, const QByteArray &rest)
{
    // Any other shape leaves the power status pending; it is asked again, a bounded number of times.
    quint32 mode = 0;
    if (rest.size() == 12 && rest.left(4).toUpper() == "D600") {
        if (!ControlFrame::readHex(rest, 8, 4, &mode))
            return ControlStatus::Malformed;
        c.reply.powerMode = qint32(mode);
        c.pending &= ~RequestFlag::PowerStatus;
    }
    return ControlStatus::Complete;
}

int readFirmwareVersionsReply(ReplyContext &c, const QByteArray &rest)
{
    if (rest.size() >= 64) {
        for (int group = 0; group < 4; ++group) {
            QString text;
            if (!ControlFrame::hexText(rest.mid(group * 16, 16), &text))
                return ControlStatus::Malformed;
            c.reply.fwVersions[group] = text;
        }
    }
    c.pending &= ~RequestFlag::FirmwareVersions;
    return ControlStatus::Complete;
}

int readFirmwareByIndexReply(ReplyContext &c, const QByteArray &rest)
{
    quint32 result = 0;
    quint32 index = 0;
    if (!ControlFrame::readHex(rest, 0, 2, &result) || !ControlFrame::readHex(rest, 2, 2, &index))
        return ControlStatus::Malformed;
    if (result != 0) {
        c.pending &= ~(c.current & (RequestFlag::FirmwareByIndex | RequestFlag::MainFirmwareByIndex));
        return ControlStatus::Complete;
    }
    const QString text = ControlFrame::rawText(rest.mid(4));
    if (index == 0) {
        c.reply.mainFwVersion = text;
        c.pending &= ~RequestFlag::MainFirmwareByIndex;
    } else if (index >= 1 && index <= 4) {
        c.reply.fwVersions[index - 1] = text;
        ++c.firmwareIndex;
        if (index == 4)
            c.pending &= ~RequestFlag::FirmwareByIndex;
    } else {
        c.pending &= ~RequestFlag::FirmwareByIndex;
        c.firmwareIndex = -1;
    }
    return ControlStatus::Complete;
}

int readPowerSaveReply(ReplyContext &c, const QByteArray &rest)
{
    quint32 result = 0;
    quint32 value = 0;
    if (!ControlFrame::readHex(rest, 0, 2, &result) || !ControlFrame::readHex(rest, 2, 2, &value))
        return ControlStatus::Malformed;
    if (result == 0)
        c.reply.powerSaveSetting = value <= 2 ? qint32(value) : -1;
    else if (result == 1)
        c.reply.powerSaveSetting = value == 0 ? 2 : -1;
    else
        c.reply.powerSaveSetting = -1;
    c.pending &= ~c.current;
    return ControlStatus::Complete;
}

// The asset tag comes in two halves of 32 characters.
int readAssetTagReply(ReplyContext &c, const QByteArray &rest)
{
    c.reply.assetTag += ControlFrame::rawText(rest);
    if (c.assetTagOffset == 0)
        c.assetTagOffset = 32;
    else
        c.pending &= ~RequestFlag::AssetTag;
    return ControlStatus::Complete;
}

struct ItemReplyHandler
{
    quint32 item;
    int (*read)(ReplyContext &context, const QByteArray &body);
};

const ItemReplyHandler ItemReplyHandlers[] = {
    { RequestFlag::PowerOn, readPowerCommandReply },
    { RequestFlag::PowerOff, readPowerCommandReply },
};

struct CodeReplyHandler
{
    const char *code;
    int (*read)(ReplyContext &context, const QByteArray &rest);
};

const CodeReplyHandler CodeReplyHandlers[] = {
    { "C317", readHexTextReply<&PD_TCP_REPLY::modelName, RequestFlag::ModelName> },
    { "C316", readHexTextReply<&PD_TCP_REPLY::serialNumber, RequestFlag::SerialNumber> },
    { "C13F", readHexTextReply<&PD_TCP_REPLY::mainFwVersion, RequestFlag::MainFirmware> },
    { "0200", readPowerStatusReply },
    { "C13E", readFirmwareVersionsReply },
    { "CB02", readFirmwareByIndexReply },
    { "CB0B", readPowerSaveReply },
    { "C10B", readAssetTagReply },
};

int readCommandReply(ReplyContext &context, const QByteArray &body)
{
    for (const ItemReplyHandler &handler : ItemReplyHandlers) {
        if (handler.item == context.current)
            return handler.read(context, body);
    }
    if (body.size() < 4)
        return ControlStatus::Malformed;
    const QByteArray code = body.left(4).toUpper();
    for (const CodeReplyHandler &handler : CodeReplyHandlers) {
        if (code == handler.code)
            return handler.read(context, body.mid(4));
    }
    return ControlStatus::Unsupported;
}


} // namespace

ControlReplyReader::ControlReplyReader(PD_TCP_REPLY &reply, quint32 &pending, int &firmwareIndex, int &assetTagOffset)
    : m_reply(reply), m_pending(pending), m_firmwareIndex(firmwareIndex), m_assetTagOffset(assetTagOffset)
{
}

// A reply is what one read brings; a frame split over two reads does not validate.
int ControlReplyReader::read(const QByteArray &data, quint32 current)
{
    char type = 0;
    QByteArray body;
    if (ControlFrame::decode(data, &type, &body) != ControlStatus::Complete)
        return ControlStatus::Malformed;
    if (type == '0' || body == "BE")
        return ControlStatus::Unsupported;
    ReplyContext context { m_reply, m_pending, current, m_firmwareIndex, m_assetTagOffset, type };
    if (type == 'D' || type == 'F')
        return readVcpReply(context, body);
    return readCommandReply(context, body);
}
