#include "SimSearchReply.h"

#include <QtEndian>

namespace {

void putText(QByteArray &d, int offset, int width, const QString &text)
{
    const QByteArray bytes = text.toLatin1().left(width);
    d.replace(offset, bytes.size(), bytes);
}

void put32(QByteArray &d, int offset, quint32 v)
{
    qToLittleEndian(v, d.data() + offset);
}

} // namespace

quint32 SimSearchReply::requestType(const QByteArray &datagram)
{
    if (datagram.size() < 20)
        return 0;
    return qFromLittleEndian<quint32>(datagram.constData() + 16);
}

QByteArray SimSearchReply::build(const SimDisplayConfig &c, const QByteArray &requestBytes)
{
    const QByteArray request = requestBytes.leftJustified(RequestSize, '\0');
    const SimMisbehaviour &m = c.misbehaviour;
    QByteArray d(ReplySize, '\0');
    d.replace(0, 4, m.wrongMagic ? QByteArray("XXXX") : c.magic.left(4).leftJustified(4, '\0'));
    d[4] = request.at(4);
    quint16 sequence = qFromLittleEndian<quint16>(request.constData() + 8);
    if (m.wrongSequence)
        ++sequence;
    qToLittleEndian(sequence, d.data() + 8);
    qToLittleEndian(quint16(ReplySize - 16), d.data() + 10);
    d.replace(12, 4, request.mid(12, 4));

    const quint32 type = requestType(request);
    put32(d, 16, m.searchReplyType >= 0 ? quint32(m.searchReplyType) : (type == 2 ? 2u : 3u));
    put32(d, 20, c.headerWord);
    putText(d, 32, 24, c.idText);
    d.replace(56, 6, c.macAddress.left(6).leftJustified(6, '\0'));
    putText(d, 96, 48, c.modelName);
    put32(d, 144, c.featureFlags1);
    put32(d, 148, c.featureFlags2);
    d[152] = char(c.idChar);
    d[156] = char(c.seriesCode);
    bool ok = false;
    const quint32 ip2 = c.secondAddress.toIPv4Address(&ok);
    qToBigEndian(ok ? ip2 : 0u, d.data() + 168);
    if (c.searchReportsFirmware) {
        for (int i = 0; i < 4; ++i)
            putText(d, 180 + 9 * i, 9, c.fwVersions.value(i));
        putText(d, 226, 30, c.mainFwVersion);
    } else {
        putText(d, 226, 30, QStringLiteral("-.-"));
    }

    if (m.searchReplySize != ReplySize)
        d = d.left(qMax(0, m.searchReplySize)).leftJustified(qMax(0, m.searchReplySize), '\0');
    return d;
}
