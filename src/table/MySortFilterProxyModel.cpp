#include "table/MySortFilterProxyModel.h"

#include "table/displayListModel.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace {

const QRegularExpression &addressPattern()
{
    static const QRegularExpression pattern(QStringLiteral("(\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3})"));
    return pattern;
}

// Reads a plain dotted quad such as "10.0.0.2" without the pattern and the general address parser,
// which dominate the time of sorting a large table by address. Anything else, leading zeros
// included, is left to the general path.
bool readPlainDottedQuad(QStringView text, quint32 *ip)
{
    quint32 result = 0;
    quint32 octet = 0;
    int digits = 0;
    int dots = 0;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (digits == 1 && octet == 0)
                return false;
            octet = octet * 10 + quint32(c.unicode() - '0');
            if (++digits > 3 || octet > 255)
                return false;
        } else if (c == QLatin1Char('.') && digits > 0 && dots < 3) {
            result = (result << 8) | octet;
            octet = 0;
            digits = 0;
            ++dots;
        } else {
            return false;
        }
    }
    if (digits == 0 || dots != 3)
        return false;
    *ip = (result << 8) | octet;
    return true;
}

bool textLessThan(const QString &left, const QString &right)
{
    quint32 leftPlain = 0;
    quint32 rightPlain = 0;
    if (readPlainDottedQuad(left, &leftPlain) && readPlainDottedQuad(right, &rightPlain))
        return leftPlain < rightPlain;

    const QRegularExpression &pattern = addressPattern();
    if (pattern.match(left).hasMatch() && pattern.match(right).hasMatch()) {
        const QHostAddress leftAddress(left);
        const QHostAddress rightAddress(right);
        if (!leftAddress.isNull() && !rightAddress.isNull()) {
            bool leftIsIPv4 = false;
            bool rightIsIPv4 = false;
            const quint32 leftNumber = leftAddress.toIPv4Address(&leftIsIPv4);
            const quint32 rightNumber = rightAddress.toIPv4Address(&rightIsIPv4);
            if (leftIsIPv4 && rightIsIPv4)
                return leftNumber < rightNumber;
        }
    }
    return QString::localeAwareCompare(left, right) < 0;
}

}

MySortFilterProxyModel::MySortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

// The proxy's sortRole stays the display role, which is the role the model names when a row
// changes, so changed rows are still sorted again; the values compared come from the sort role.
bool MySortFilterProxyModel::lessThan(const QModelIndex &source_left, const QModelIndex &source_right) const
{
    QVariant left = sourceModel()->data(source_left, displayListModel::SortRole);
    QVariant right = sourceModel()->data(source_right, displayListModel::SortRole);
    if (!left.isValid() && !right.isValid()) {
        left = sourceModel()->data(source_left, sortRole());
        right = sourceModel()->data(source_right, sortRole());
    }
    const bool leftNumber = left.userType() == QMetaType::UInt;
    const bool rightNumber = right.userType() == QMetaType::UInt;
    if (leftNumber && rightNumber)
        return left.toUInt() < right.toUInt();
    // An IPv4 address against an IPv6 one: both as the table shows them.
    if (leftNumber || rightNumber)
        return textLessThan(sourceModel()->data(source_left, Qt::DisplayRole).toString(),
                            sourceModel()->data(source_right, Qt::DisplayRole).toString());
    if (left.userType() == QMetaType::QString)
        return textLessThan(left.toString(), right.toString());
    return QSortFilterProxyModel::lessThan(source_left, source_right);
}
