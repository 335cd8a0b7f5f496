#include "history/HistoryFilterProxy.h"

#include "history/HistoryTableModel.h"

HistoryFilterProxy::HistoryFilterProxy(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(HistoryTableModel::SortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void HistoryFilterProxy::setText(const QString &text)
{
    m_text = text.trimmed();
    invalidateRowsFilter();
}

void HistoryFilterProxy::setDateRange(const QDate &from, const QDate &to)
{
    m_from = from;
    m_to = to;
    // Local days as times once, instead of a time zone conversion per row.
    m_fromMs = from.isValid() ? from.startOfDay().toMSecsSinceEpoch() : 0;
    m_toMs = to.isValid() ? to.addDays(1).startOfDay().toMSecsSinceEpoch() : 0;
    invalidateRowsFilter();
}

void HistoryFilterProxy::setResult(HistoryFilter::Result result)
{
    m_result = result;
    invalidateRowsFilter();
}

bool HistoryFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *model = qobject_cast<const HistoryTableModel *>(sourceModel());
    if (!model || sourceRow >= model->rowCount())
        return false;
    if (m_text.isEmpty() && !m_from.isValid() && !m_to.isValid() && m_result == HistoryFilter::Result::Any)
        return true;
    const UpdateAttempt &attempt = model->attempt(sourceRow);
    if (!m_text.isEmpty() && !attempt.address.contains(m_text, Qt::CaseInsensitive)
        && !attempt.serial.contains(m_text, Qt::CaseInsensitive) && !attempt.model.contains(m_text, Qt::CaseInsensitive))
        return false;
    const qint64 started = model->startedMs(sourceRow);
    if ((m_from.isValid() && started < m_fromMs) || (m_to.isValid() && started >= m_toMs))
        return false;
    switch (m_result) {
    case HistoryFilter::Result::Succeeded:
        return attempt.succeeded();
    case HistoryFilter::Result::Failed:
        return attempt.failed();
    case HistoryFilter::Result::Interrupted:
        return attempt.state == UpdateAttempt::State::Interrupted;
    case HistoryFilter::Result::Pending:
        return attempt.state == UpdateAttempt::State::Pending;
    case HistoryFilter::Result::Any:
        break;
    }
    return true;
}

bool HistoryFilterProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (const auto *model = qobject_cast<const HistoryTableModel *>(sourceModel()))
        return model->lessThan(left.row(), right.row(), left.column());
    return QSortFilterProxyModel::lessThan(left, right);
}
