#include "update/UploadKey.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QtGlobal>

namespace UploadKey {

namespace {

bool usablePrefix(const QByteArray &text)
{
    if (text.size() != 8)
        return false;
    for (const char c : text) {
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    return true;
}

} // namespace

QByteArray prefix()
{
    if (!qEnvironmentVariableIsSet(PrefixVariable))
        return BuiltInPrefix;
    const QByteArray fromEnvironment = qgetenv(PrefixVariable);
    if (usablePrefix(fromEnvironment))
        return fromEnvironment;
    qWarning().noquote() << PrefixVariable
                         << "must hold exactly 8 printable ASCII characters; using the built-in upload key prefix.";
    return BuiltInPrefix;
}

QByteArray key(const QByteArray &prefix, quint16 displayValue)
{
    const QByteArray text = prefix + QByteArray::number(displayValue, 16).rightJustified(4, '0') + '\n';
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

}
