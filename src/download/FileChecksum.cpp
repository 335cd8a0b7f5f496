#include "download/FileChecksum.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// Large reads keep the hash, not the system calls, the limit on big packages.
constexpr qint64 ReadBlockSize = 4 * 1024 * 1024;

} // namespace

QString FileChecksum::md5Hex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    QByteArray block(ReadBlockSize, Qt::Uninitialized);
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
