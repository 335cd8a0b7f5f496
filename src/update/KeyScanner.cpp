#include "update/KeyScanner.h"

QByteArray KeyScanner::next(const QByteArray &key)
{
    const int keyAt = m_body.indexOf('"' + key + '"', m_cursor);
    if (keyAt < 0)
        return {};
    const int colon = m_body.indexOf(':', keyAt);
    if (colon < 0)
        return {};
    int end = m_body.indexOf(',', colon);
    if (end < 0)
        end = m_body.indexOf('}', colon);
    if (end < 0)
        return {};
    QByteArray value = m_body.mid(colon + 1, end - colon - 1).trimmed();
    value = value.replace('"', QByteArray()).replace('}', QByteArray()).trimmed();
    if (!value.isEmpty())
        m_cursor = end;
    return value;
}

bool KeyScanner::toNumber(const QByteArray &value, int *number)
{
    bool ok = false;
    const int parsed = value.toInt(&ok, 10);
    if (ok && number)
        *number = parsed;
    return ok;
}
