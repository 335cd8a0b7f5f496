#pragma once

#include "common/TestFiles.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// Firmware packages as the firmware server holds them: plain files and real zip archives with
// the MD5 texts a catalogue gives for them.
namespace TestPackages {

using Member = QPair<QString, QByteArray>; // name inside the archive, content

// Bytes that differ for every seed, so that no two fixture files share a checksum.
inline QByteArray payload(const QString &seed, int size)
{
    QByteArray data;
    data.reserve(size);
    const QByteArray base = seed.toUtf8();
    while (data.size() < size)
        data += QCryptographicHash::hash(base + QByteArray::number(data.size()), QCryptographicHash::Sha256);
    data.truncate(size);
    return data;
}

inline QString md5Hex(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

// A catalogue release's "unpackedFileInfo" for the members of its archive.
inline QJsonArray unpackedFileInfo(const QList<Member> &members)
{
    QJsonArray unpacked;
    for (const Member &member : members) {
        unpacked.append(QJsonObject { { "fileName", member.first },
                                      { "fileSize", int(member.second.size()) },
                                      { "fileChecksum", md5Hex(member.second) } });
    }
    return unpacked;
}

inline bool makeZip(const QString &path, const QList<Member> &members)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const Member &member : members) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(member.first))
            || file.write(member.second) != member.second.size())
            return false;
        file.close();
        if (file.getZipError() != 0)
            return false;
    }
    zip.close();
    return zip.getZipError() == 0;
}

} // namespace TestPackages
