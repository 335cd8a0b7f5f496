#include "discovery/SearchDatagram.h"

#include "discovery/DISPLAY_UDP_SEARCH_REPLY_INFO.h"
#include "discovery/DisplayText.h"

#include <QtEndian>

namespace {

// Request layout
constexpr int ReqMagic = 0;
constexpr int ReqVersion = 4;
constexpr int ReqSequence = 8;
constexpr int ReqPayloadLength = 10;
constexpr int ReqTime = 12;
constexpr int ReqType = 16;
constexpr int ReqFilterMask1 = 24;
constexpr int ReqFilterMask2 = 28;

// Reply layout
constexpr int RepMagic = 0;
constexpr int RepSequence = 8;
constexpr int RepType = 16;
constexpr int RepHeaderWord = 20;
constexpr int RepIdentText = 32;
constexpr int RepIdentTextWidth = 24;
constexpr int RepMac = 56;
constexpr int RepModel = 96;
constexpr int RepModelWidth = 48;
constexpr int RepFeatures1 = 144;
constexpr int RepFeatures2 = 148;
constexpr int RepIdChar = 152;
constexpr int RepSeries = 156;
constexpr int RepAddress2 = 168;
constexpr int RepVersion1 = 180;
constexpr int RepVersionWidth = 9;
constexpr int RepMainVersion = 226;
constexpr int RepMainVersionWidth = 30;

constexpr quint32 Mode1Mask = 0x31;
constexpr quint32 Mode2Mask = 0x100;

template<typename T>
T readLE(const QByteArray &data, int offset)
{
    return qFromLittleEndian<T>(data.constData() + offset);
}

template<typename T>
void writeLE(QByteArray &data, int offset, T value)
{
    qToLittleEndian<T>(value, data.data() + offset);
}

// Only these series carry a firmware-update address in the reply.
bool seriesHasSecondAddress(quint8 series)
{
    switch (series) {
    case 3: case 4: case 5: case 6: case 69: case 140:
        return true;
    default:
        return false;
    }
}

} // namespace

namespace SearchDatagram {

QByteArray buildRequest(quint16 sequence, quint32 timeMs, quint32 requestType, int filterMode)
{
    QByteArray request(RequestSize, '\0');
    request.replace(ReqMagic, 4, "ZRPJ", 4);
    request[ReqVersion] = 0x14;
    writeLE<quint16>(request, ReqSequence, sequence);
    writeLE<quint16>(request, ReqPayloadLength, RequestSize - 16);
    writeLE<quint32>(request, ReqTime, timeMs);
    writeLE<quint32>(request, ReqType, requestType);
    writeLE<quint32>(request, ReqFilterMask1, filterMode == 1 ? Mode1Mask : 0);
    writeLE<quint32>(request, ReqFilterMask2, filterMode == 2 ? Mode2Mask : 0);
    return request;
}

QByteArray buildAcknowledgement(const QByteArray &request)
{
    QByteArray ack = request.left(RequestSize);
    ack.resize(ReplySize, '\0');
    writeLE<quint32>(ack, ReqType, Acknowledgement);
    return ack;
}

quint32 replyType(const QByteArray &reply)
{
    if (reply.size() != ReplySize)
        return 0;
    return readLE<quint32>(reply, RepType);
}

bool passesChecks(const QByteArray &reply, quint16 sequence, int filterMode)
{
    if (reply.size() != ReplySize)
        return false;
    const QByteArray magic = reply.mid(RepMagic, 4);
    if (magic != "ZRPD" && magic != "ZRPJ")
        return false;
    if (readLE<quint16>(reply, RepSequence) != sequence)
        return false;
    if (filterMode == 1 && !(readLE<quint32>(reply, RepFeatures1) & 0xFF & Mode1Mask))
        return false;
    if (filterMode == 2 && !(readLE<quint32>(reply, RepFeatures2) & Mode2Mask))
        return false;
    return !fieldText(reply, RepIdentText, RepIdentTextWidth).isEmpty();
}

QString fieldText(const QByteArray &reply, int offset, int width)
{
    if (offset < 0 || width <= 0 || offset + width > reply.size())
        return QString();
    const char *begin = reply.constData() + offset;
    const int length = int(qstrnlen(begin, uint(width)));
    return DisplayText::withoutControls(QString::fromLatin1(begin, length)).trimmed();
}

bool decodeRecord(const QByteArray &reply, DISPLAY_UDP_SEARCH_REPLY_INFO *info)
{
    if (reply.size() != ReplySize)
        return false;
    const quint8 idByte = quint8(reply.at(RepIdChar));
    if (idByte >= 0x80)
        return false;

    info->idChar = idByte == '*' ? 1 : idByte;
    info->modelName = fieldText(reply, RepModel, RepModelWidth);
    info->headerWord = readLE<quint32>(reply, RepHeaderWord);
    for (int i = 0; i < 4; ++i)
        info->fwVersions[i] = fieldText(reply, RepVersion1 + i * RepVersionWidth, RepVersionWidth);
    info->fwVersions[4].clear();
    info->fwVersions[5].clear();
    info->mainFwVersion = fieldText(reply, RepMainVersion, RepMainVersionWidth);
    info->series = quint8(reply.at(RepSeries));
    info->ip2Address = seriesHasSecondAddress(info->series)
            ? QHostAddress(qFromBigEndian<quint32>(reply.constData() + RepAddress2))
            : QHostAddress();
    const auto mac = [&reply](int i) { return quint8(reply.at(RepMac + i)); };
    info->macAddress = QStringLiteral("%1-%2-%3-%4-%5-%6")
                               .arg(mac(0), 2, 16, QLatin1Char('0'))
                               .arg(mac(1), 2, 16, QLatin1Char('0'))
                               .arg(mac(2), 2, 16, QLatin1Char('0'))
                               .arg(mac(3), 2, 16, QLatin1Char('0'))
                               .arg(mac(4), 2, 16, QLatin1Char('0'))
                               .arg(mac(5), 2, 16, QLatin1Char('0'))
                               .toUpper();
    info->featureFlags1 = readLE<quint32>(reply, RepFeatures1);
    info->featureFlags2 = readLE<quint32>(reply, RepFeatures2);
    return true;
}

} // namespace SearchDatagram
