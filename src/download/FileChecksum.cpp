#include "download/FileChecksum.h"

#include <QCryptographicHash>
#include <QFile>

QString FileChecksum::md5Hex(const QString &path, qint64 readBlockSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    QByteArray block(qMax<qint64>(readBlockSize, 4096), Qt::Uninitialized);
    for (;;) {
        const qint64 count = file.read(block.data(), block.size());
        if (count < 0)
            return {};
        if (count == 0)
            break;
        hash.addData(QByteArrayView(block.constData(), count));
    }
    return QString::fromLatin1(hash.result().toHex());
}
