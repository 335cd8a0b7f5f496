#include "platform/FatVolumeType.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace {

quint32 le16(const QByteArray &s, int offset)
{
    return quint32(quint8(s.at(offset))) | quint32(quint8(s.at(offset + 1))) << 8;
}

quint32 le32(const QByteArray &s, int offset)
{
    return le16(s, offset) | le16(s, offset + 2) << 16;
}

bool isPowerOfTwo(quint32 v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

} // namespace

QString FatVolumeType::fromBootSector(const QByteArray &sector)
{
    if (sector.size() < 512 || quint8(sector.at(510)) != 0x55 || quint8(sector.at(511)) != 0xAA)
        return {};
    // An exFAT or NTFS boot sector carries the same signature but no FAT parameter block.
    if (sector.mid(3, 8) == "EXFAT   " || sector.mid(3, 8) == "NTFS    ")
        return {};
    const quint32 bytesPerSector = le16(sector, 11);
    const quint32 sectorsPerCluster = quint8(sector.at(13));
    const quint32 reservedSectors = le16(sector, 14);
    const quint32 fatCount = quint8(sector.at(16));
    const quint32 rootEntries = le16(sector, 17);
    const quint32 totalSectors16 = le16(sector, 19);
    const quint32 fatSize16 = le16(sector, 22);
    const quint32 totalSectors32 = le32(sector, 32);
    const quint32 fatSize32 = le32(sector, 36);

    if (bytesPerSector < 512 || bytesPerSector > 4096 || !isPowerOfTwo(bytesPerSector)
        || !isPowerOfTwo(sectorsPerCluster) || reservedSectors == 0 || fatCount == 0)
        return {};
    const quint64 fatSize = fatSize16 != 0 ? fatSize16 : fatSize32;
    const quint64 totalSectors = totalSectors16 != 0 ? totalSectors16 : totalSectors32;
    const quint64 rootSectors = (quint64(rootEntries) * 32 + bytesPerSector - 1) / bytesPerSector;
    const quint64 overhead = reservedSectors + fatCount * fatSize + rootSectors;
    if (fatSize == 0 || totalSectors <= overhead)
        return {};
    const quint64 clusters = (totalSectors - overhead) / sectorsPerCluster;
    if (clusters < 4085)
        return QStringLiteral("FAT12");
    if (clusters < 65525)
        return QStringLiteral("FAT16");
    return QStringLiteral("FAT32");
}

QString FatVolumeType::fromUdevData(const QByteArray &data)
{
    static const QByteArray key = "E:ID_FS_VERSION=";
    const QList<QByteArray> lines = data.split('\n');
    for (const QByteArray &line : lines) {
        if (!line.startsWith(key))
            continue;
        const QByteArray value = line.mid(key.size()).trimmed().toUpper();
        if (value == "FAT12" || value == "FAT16" || value == "FAT32")
            return QString::fromLatin1(value);
    }
    return {};
}

QString FatVolumeType::forDevice(const QString &devicePath, const QString &sysClassBlock,
                                 const QString &udevDataFolder)
{
    const QString node = QFileInfo(devicePath).canonicalFilePath();
    if (node.isEmpty())
        return {};
    const QString name = QFileInfo(node).fileName();
    QFile numbers(sysClassBlock + QLatin1Char('/') + name + QLatin1String("/dev"));
    if (!name.startsWith(QLatin1Char('.')) && numbers.open(QIODevice::ReadOnly)) {
        const QByteArray majorMinor = numbers.read(32).trimmed();
        QFile record(udevDataFolder + QLatin1String("/b") + QString::fromLatin1(majorMinor));
        if (!majorMinor.contains('/') && record.open(QIODevice::ReadOnly)) {
            const QString type = fromUdevData(record.read(64 * 1024));
            if (!type.isEmpty())
                return type;
        }
    }
    QFile volume(node);
    if (!volume.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return fromBootSector(volume.read(512));
}
