#include "discovery/AddressListParser.h"

#include <QRegularExpression>
#include <QSet>

namespace {

// Each group is read as a number, so "010.000.001.002" is 10.0.1.2; a group above 255 fails.
bool parseAddress(const QString &text, quint32 *value)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    quint32 result = 0;
    for (int group = 1; group <= 4; ++group) {
        // \d also matches non-ASCII digits, which toInt() refuses.
        bool ok = false;
        const int number = match.captured(group).toInt(&ok);
        if (!ok || number > 255)
            return false;
        result = (result << 8) | quint32(number);
    }
    *value = result;
    return true;
}

// Keeps first-seen order while answering "already listed?" in constant time, since a list may
// hold thousands of addresses and each range asks once per address.
class OrderedAddressSet
{
public:
    explicit OrderedAddressSet(QList<QHostAddress> &out) : m_out(out) {}
    int size() const { return m_out.size(); }
    bool contains(quint32 address) const { return m_seen.contains(address); }
    void add(quint32 address)
    {
        if (m_seen.contains(address))
            return;
        m_seen.insert(address);
        m_out.append(QHostAddress(address));
    }

private:
    QList<QHostAddress> &m_out;
    QSet<quint32> m_seen;
};

int addRange(OrderedAddressSet &list, quint32 first, quint32 last, int limit)
{
    const qint64 count = qint64(last) - qint64(first) + 1;
    if (count > limit || count + list.size() > limit)
        return AddressListParser::TooManyAddresses;
    for (quint32 address = first;; ++address) {
        list.add(address);
        if (address == last)
            break;
    }
    return AddressListParser::Valid;
}

// "a.b.c.d/n": the block's host addresses, as the wildcard gives a /24's. Network and broadcast
// addresses are left out down to /30; a /31 has no such pair and a /32 is the address alone.
// Host bits in the address are ignored, so the address of any member names its block.
int parseBlock(const QString &item, OrderedAddressSet &list, int limit)
{
    const int slash = item.indexOf(QLatin1Char('/'));
    static const QRegularExpression prefixPattern(QStringLiteral("^\\d{1,2}$"));
    const QString prefixText = item.mid(slash + 1).trimmed();
    quint32 address = 0;
    if (!parseAddress(item.left(slash).trimmed(), &address) || !prefixPattern.match(prefixText).hasMatch())
        return AddressListParser::FormatError;
    bool ok = false;
    const int prefix = prefixText.toInt(&ok);
    if (!ok || prefix > 32)
        return AddressListParser::FormatError;
    const quint32 mask = prefix == 0 ? 0 : ~quint32(0) << (32 - prefix);
    quint32 first = address & mask;
    quint32 last = first | ~mask;
    if (prefix <= 30) {
        ++first;
        --last;
    }
    return addRange(list, first, last, limit);
}

int parseItem(const QString &item, OrderedAddressSet &list, int limit)
{
    if (item.contains(QLatin1Char('/')))
        return item.count(QLatin1Char('/')) == 1 && !item.contains(QLatin1Char('-')) ? parseBlock(item, list, limit)
                                                                                     : AddressListParser::FormatError;
    const QStringList parts = item.split(QLatin1Char('-'), Qt::KeepEmptyParts);
    if (parts.size() == 1) {
        if (item.endsWith(QLatin1String(".*"))) {
            const QString stem = item.left(item.lastIndexOf(QLatin1Char('.')));
            quint32 first = 0;
            quint32 last = 0;
            if (!parseAddress(stem + QLatin1String(".1"), &first) || !parseAddress(stem + QLatin1String(".254"), &last))
                return AddressListParser::FormatError;
            return addRange(list, first, last, limit);
        }
        quint32 address = 0;
        if (!parseAddress(item, &address))
            return AddressListParser::FormatError;
        if (!list.contains(address)) {
            if (list.size() >= limit)
                return AddressListParser::TooManyAddresses;
            list.add(address);
        }
        return AddressListParser::Valid;
    }
    if (parts.size() == 2) {
        const QString firstText = parts.at(0).trimmed();
        QString lastText = parts.at(1).trimmed();
        quint32 first = 0;
        if (!parseAddress(firstText, &first))
            return AddressListParser::FormatError;
        static const QRegularExpression shortEnd(QStringLiteral("^\\d{1,3}$"));
        if (shortEnd.match(lastText).hasMatch()) {
            QStringList groups = firstText.split(QLatin1Char('.'));
            if (groups.size() != 4)
                return AddressListParser::FormatError;
            groups[3] = lastText;
            lastText = groups.join(QLatin1Char('.'));
        }
        quint32 last = 0;
        if (!parseAddress(lastText, &last))
            return AddressListParser::FormatError;
        if (last <= first)
            return AddressListParser::FormatError;
        return addRange(list, first, last, limit);
    }
    return AddressListParser::FormatError;
}

} // namespace

int AddressListParser::parse(const QString &text, QList<QHostAddress> &addresses, int &item, int limit)
{
    addresses.clear();
    item = 0;
    OrderedAddressSet list(addresses);

    static const QRegularExpression separators(QStringLiteral("[,\t\n]"));
    const QStringList items = text.split(separators, Qt::SkipEmptyParts);
    for (const QString &raw : items) {
        ++item;
        const QString entry = raw.trimmed();
        if (entry.isEmpty() || entry.startsWith(QLatin1Char(';')) || entry.startsWith(QLatin1Char('#')))
            continue;
        const int result = parseItem(entry, list, limit);
        if (result != Valid)
            return result;
    }
    return addresses.isEmpty() ? NoAddress : Valid;
}
