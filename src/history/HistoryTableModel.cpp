#include "history/HistoryTableModel.h"

#include "history/HistoryReport.h"

HistoryTableModel::HistoryTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void HistoryTableModel::setAttempts(QList<UpdateAttempt> attempts)
{
    beginResetModel();
    m_attempts = std::move(attempts);
    m_startedMs.resize(m_attempts.size());
    m_settledMs.resize(m_attempts.size());
    for (qsizetype i = 0; i < m_attempts.size(); ++i) {
        const UpdateAttempt &attempt = m_attempts.at(i);
        m_startedMs[i] = attempt.started.isValid() ? attempt.started.toMSecsSinceEpoch() : 0;
        m_settledMs[i] = attempt.settled.isValid() ? attempt.settled.toMSecsSinceEpoch() : 0;
    }
    endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_attempts.size());
}

int HistoryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_attempts.size())
        return {};
    const UpdateAttempt &attempt = m_attempts.at(index.row());
    if (role == SortRole) {
        switch (index.column()) {
        case StartedColumn:
            return m_startedMs[index.row()];
        case SettledColumn:
            return m_settledMs[index.row()];
        case ResultColumn:
            // Grouped by how the attempt ended, then by status code.
            return int(attempt.state) * 100 + attempt.status;
        default:
            break;
        }
        role = Qt::DisplayRole;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case StartedColumn:
        return HistoryReport::timeText(attempt.started);
    case SettledColumn:
        return HistoryReport::timeText(attempt.settled);
    case AddressColumn:
        return attempt.address;
    case ModelColumn:
        return attempt.model;
    case SerialColumn:
        return attempt.serial;
    case BeforeColumn:
        return attempt.firmwareBefore;
    case TargetColumn:
        return attempt.targetVersion;
    case AfterColumn:
        return HistoryReport::reportLine(attempt).versionAfter;
    case ResultColumn:
        return HistoryReport::resultText(attempt);
    case PackageColumn:
        return attempt.packageName;
    case FrontEndColumn:
        return attempt.frontEnd;
    case UserColumn:
        return attempt.userName;
    default:
        return {};
    }
}

bool HistoryTableModel::lessThan(int leftRow, int rightRow, int column) const
{
    switch (column) {
    case StartedColumn:
        return m_startedMs[leftRow] < m_startedMs[rightRow];
    case SettledColumn:
        return m_settledMs[leftRow] < m_settledMs[rightRow];
    default:
        break;
    }
    const QVariant left = data(index(leftRow, column), SortRole);
    const QVariant right = data(index(rightRow, column), SortRole);
    if (left.typeId() == QMetaType::Int)
        return left.toInt() < right.toInt();
    return left.toString().compare(right.toString(), Qt::CaseInsensitive) < 0;
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case StartedColumn:
        return tr("Started");
    case SettledColumn:
        return tr("Ended");
    case AddressColumn:
        return tr("IP Address");
    case ModelColumn:
        return tr("Model Name");
    case SerialColumn:
        return tr("Serial Number");
    case BeforeColumn:
        return tr("Version Before");
    case TargetColumn:
        return tr("Target Version");
    case AfterColumn:
        return tr("Version After");
    case ResultColumn:
        return tr("Result");
    case PackageColumn:
        return tr("Package");
    case FrontEndColumn:
        return tr("Started From");
    case UserColumn:
        return tr("User");
    default:
        return {};
    }
}
