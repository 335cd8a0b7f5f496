#pragma once

#include <QSortFilterProxyModel>

// Sorts the display table on the model's sort role: the address column gives IPv4 addresses as
// numbers, so 10.0.0.2 follows 9.255.255.255. Texts that hold an IPv4 address compare as numbers
// too, and other texts compare by the user's locale.
class MySortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit MySortFilterProxyModel(QObject *parent = nullptr);

protected:
    bool lessThan(const QModelIndex &source_left, const QModelIndex &source_right) const override;
};
