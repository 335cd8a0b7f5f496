#pragma once

#include "history/UpdateAttempt.h"

#include <QAbstractTableModel>
#include <QList>

#include <vector>

// The update attempts as the history view's table: one row each, texts for the cells and the
// raw values (times as numbers, codes as numbers) under SortRole so the proxy sorts on data,
// not on the texts shown.
class HistoryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        StartedColumn,
        SettledColumn,
        AddressColumn,
        ModelColumn,
        SerialColumn,
        ResultColumn,
        BeforeColumn,
        TargetColumn,
        AfterColumn,
        PackageColumn,
        FrontEndColumn,
        UserColumn,
        ColumnCount
    };

    enum Role { SortRole = Qt::UserRole + 1 };

    explicit HistoryTableModel(QObject *parent = nullptr);

    void setAttempts(QList<UpdateAttempt> attempts);
    const QList<UpdateAttempt> &attempts() const { return m_attempts; }
    const UpdateAttempt &attempt(int row) const { return m_attempts.at(row); }
    qint64 startedMs(int row) const { return m_startedMs[row]; }
    // The raw value the proxy sorts a column on, without a QVariant per comparison.
    bool lessThan(int leftRow, int rightRow, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<UpdateAttempt> m_attempts;
    // Times as numbers, computed once: a sort of 100,000 rows compares them millions of times.
    std::vector<qint64> m_startedMs;
    std::vector<qint64> m_settledMs;
};
