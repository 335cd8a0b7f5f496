#include "table/MySortFilterProxyModel.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace {

const QRegularExpression &addressPattern()
{
    static const QRegularExpression pattern(QStringLiteral("(\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3})"));
    return pattern;
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
