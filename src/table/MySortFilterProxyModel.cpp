#include "table/MySortFilterProxyModel.h"

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

}

MySortFilterProxyModel::MySortFilterProxyModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

bool MySortFilterProxyModel::lessThan(const QModelIndex &source_left, const QModelIndex &source_right) const
{
    const QVariant leftData = sourceModel()->data(source_left, sortRole());
    if (leftData.userType() != QMetaType::QString)
        return QSortFilterProxyModel::lessThan(source_left, source_right);

    const QString left = leftData.toString();
    const QString right = sourceModel()->data(source_right, sortRole()).toString();

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
