#include "records/AddressText.h"

QString AddressText::of(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    if (!ok)
        return address.toString();
    // Written here rather than by QHostAddress::toString, which goes through a general formatter
    // and several allocations: the table, the enabling rules and the logs write thousands of these
    // on every refresh of a large sweep.
    char text[16];
    int length = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned part = (v4 >> shift) & 0xFF;
        if (part >= 100)
            text[length++] = char('0' + part / 100);
        if (part >= 10)
            text[length++] = char('0' + part / 10 % 10);
        text[length++] = char('0' + part % 10);
        if (shift > 0)
            text[length++] = '.';
    }
    return QString::fromLatin1(text, length);
}
