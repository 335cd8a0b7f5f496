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
    const UpdateAttempt &attempt = model->attempt(sourceRow);
    if (!m_text.isEmpty() && !attempt.address.contains(m_text, Qt::CaseInsensitive)
        && !attempt.serial.contains(m_text, Qt::CaseInsensitive) && !attempt.model.contains(m_text, Qt::CaseInsensitive))
        return false;
    const QDate day = attempt.started.toLocalTime().date();
    if ((m_from.isValid() && day < m_from) || (m_to.isValid() && day > m_to))
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
