#pragma once

#include "history/HistoryFilter.h"

#include <QDate>
#include <QSortFilterProxyModel>
#include <QString>

// The history view's sorting and filters over a HistoryTableModel: sorts on its raw values, and
// keeps the rows whose address, serial number or model holds the text, that started within the
// date range (local dates, both ends included) and that ended as the result filter asks.
class HistoryFilterProxy : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit HistoryFilterProxy(QObject *parent = nullptr);

    void setText(const QString &text);
    // An invalid date leaves that end open.
    void setDateRange(const QDate &from, const QDate &to);
    void setResult(HistoryFilter::Result result);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QString m_text;
    QDate m_from;
    QDate m_to;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 0;
    HistoryFilter::Result m_result = HistoryFilter::Result::Any;
};
