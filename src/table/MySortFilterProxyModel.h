#pragma once

#include <QSortFilterProxyModel>

// Sorts the display table; cells that hold IPv4 addresses compare as numbers, so 10.0.0.2
// follows 9.255.255.255, and other texts compare by the user's locale.
class MySortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit MySortFilterProxyModel(QObject *parent = nullptr);

protected:
    bool lessThan(const QModelIndex &source_left, const QModelIndex &source_right) const override;
};
