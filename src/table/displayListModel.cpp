#include "table/displayListModel.h"

#include "records/AppBuild.h"
#include "records/DisplayRowText.h"
#include "records/SeriesCode.h"
#include "theme/Theme.h"

#include <QBrush>
#include <QFont>
#include <QPixmap>

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

bool isUpToDateOrNewForLan(const DisplayEntry &entry)
{
    return entry.firmwareStatus == FirmwareStatus::UpToDate || entry.firmwareStatus == FirmwareStatus::NewForLan;
}

bool isErrorStatus(qint32 status, qint32 lowest)
{
    return (status >= lowest && status <= -1) || status == 4;
}

// Cheaper than QHostAddress::toString() and the same text for IPv4; it runs for every row shown.
QString dottedQuad(quint32 ip)
{
    QString text;
    text.reserve(15);
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += QString::number((ip >> shift) & 0xff);
        if (shift)
            text += QLatin1Char('.');
    }
    return text;
}

}

displayListModel::displayListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    setStatusTextLookup({});
}

void displayListModel::setStatusTextLookup(StatusTextLookup statusText)
{
    m_statusText = std::move(statusText);
    if (!m_statusText) {
        m_statusText = [](qint32 status) {
            return QCoreApplication::translate("UpdateStatusText", "Status: %1", "1=number (for unknown status type)")
                .arg(status);
        };
    }
}

void displayListModel::setEntries(DisplayEntryList *entries)
{
    m_entries = entries;
}

void displayListModel::setLegacySupport(bool enabled)
{
    m_legacySupport = enabled;
}

int displayListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_entries)
        return 0;
    return int(m_entries->size());
}

int displayListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(ColumnCount);
}

const DisplayEntry *displayListModel::entryAt(int row) const
{
    if (!m_entries || row < 0 || row >= m_entries->size())
        return nullptr;
    return &m_entries->at(row);
}

bool displayListModel::isBuildAcceptable(const DisplayEntry &entry)
{
    return entry.requiresAppBuild <= AppBuild::Number;
}

bool displayListModel::isUserCheckable(const DisplayEntry &entry)
{
    const bool statusAllowsUpdate = entry.firmwareStatus == FirmwareStatus::NotComparable
        || isUpToDateOrNewForLan(entry);
    return statusAllowsUpdate && isBuildAcceptable(entry) && entry.updateViaHTTP != 0;
}

bool displayListModel::isRowIdle(int row) const
{
    const DisplayEntry *entry = entryAt(row);
    return entry && !entry->updateSession;
}

bool displayListModel::hasPowerSaveSettings(int row) const
{
    const DisplayEntry *entry = entryAt(row);
    return entry && SeriesCode::hasPowerSaveSetting(entry->catalogueSeries);
}

QVariant displayListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    return cellData(index.row(), index.column(), role);
}

QVariant displayListModel::cellData(int row, int column, int role) const
{
    const DisplayEntry *entry = entryAt(row);
    if (!entry)
        return {};

    switch (role) {
    case Qt::DisplayRole:
        return displayText(row, column, *entry);
    case SortRole: {
        // An IPv4 address sorts as its number, without a text to format and parse back.
        bool isIPv4 = false;
        const quint32 ip = column == AddressColumn ? entry->address.toIPv4Address(&isIPv4) : 0;
        if (isIPv4)
            return QVariant::fromValue<quint32>(ip);
        return displayText(row, column, *entry);
    }
    case Qt::ToolTipRole:
        if (column == StatusColumn)
            return statusText(*entry);
        return tr("Right-click to refresh Display Information or change Power State", "tool tip");
    case Qt::DecorationRole: {
        QString name;
        if (column == PowerStateColumn) {
            if (entry->powerState == 1)
                name = QStringLiteral("power-on");
            else if (entry->powerState == 2 || entry->powerState == 3)
                name = QStringLiteral("power-off");
            else
                name = QStringLiteral("power-unknown");
        } else if (column == AvailabilityColumn) {
            if (isUpToDateOrNewForLan(*entry) && entry->selected && entry->downloadState == 2)
                name = QStringLiteral("cloud download");
        } else if (column == StatusColumn) {
            name = statusIconName(*entry);
        }
        if (name.isEmpty())
            return {};
        return icon(name);
    }
    case Qt::FontRole:
        if (entry->firmwareStatus == FirmwareStatus::NewForLan) {
            QFont font;
            font.setWeight(QFont::Bold);
            return font;
        }
        return {};
    case Qt::BackgroundRole:
        if (column == AvailabilityColumn && isUpToDateOrNewForLan(*entry) && entry->selected
            && isBuildAcceptable(*entry) && entry->downloadState == 1)
            return QBrush(Qt::red);
        return {};
    case Qt::CheckStateRole:
        if (column == ActionColumn && isUserCheckable(*entry))
            return entry->selected ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

QVariant displayListModel::displayText(int row, int column, const DisplayEntry &entry) const
{
    switch (column) {
    case ActionColumn:
        return actionText(entry);
    case ModelNameColumn:
        return entry.modelName;
    case SerialNumberColumn:
        return entry.serialNumber;
    case AssetTagColumn:
        return entry.assetTag;
    case AddressColumn: {
        bool isIPv4 = false;
        const quint32 ip = entry.address.toIPv4Address(&isIPv4);
        return isIPv4 ? dottedQuad(ip) : entry.address.toString();
    }
    case MacAddressColumn:
        return entry.macAddress;
    case PowerStateColumn:
        return DisplayRowText::powerText(entry);
    case CurrentFirmwareColumn:
        return entry.currentFirmware;
    case AvailabilityColumn: {
        const QString text = availabilityText(entry);
        if (!text.isNull())
            return text;
        break;
    }
    case StatusColumn:
        return statusText(entry);
    default: {
        const QVariant extra = extraSectionData(column, entry);
        if (extra.isValid())
            return extra;
        break;
    }
    }
    return tr("Row%1, Column%2").arg(row + 1).arg(column + 1);
}

QVariant displayListModel::extraSectionData(int column, const DisplayEntry &entry) const
{
    if (column == SeriesSection)
        return entry.displaySeries;
    if (column >= Firmware1Section && column <= Firmware4Section) {
        const int component = column - Firmware1Section;
        if (entry.updateStatus == 2)
            return entry.componentProgress[component];
        return entry.componentVersion[component];
    }
    if (column == CatalogueSeriesSection)
        return entry.catalogueSeries;
    if (column == IdSection)
        return entry.address.toString();
    return {};
}

QString displayListModel::actionText(const DisplayEntry &entry) const
{
    if (entry.updateViaHTTP == 0 || !isBuildAcceptable(entry))
        return QString(QLatin1String(""));
    switch (entry.firmwareStatus) {
    case FirmwareStatus::NotComparable:
    case FirmwareStatus::NewForLan:
        return tr("Update", "action column - update");
    case FirmwareStatus::UpToDate:
        return tr("Overwrite", "action column - if fw is same");
    default:
        return QString(QLatin1String(""));
    }
}

QString displayListModel::availabilityText(const DisplayEntry &entry) const
{
    return DisplayRowText::availabilityText(entry);
}

QString displayListModel::statusText(const DisplayEntry &entry) const
{
    return DisplayRowText::statusText(entry, m_legacySupport, m_statusText);
}

QString displayListModel::progressText(const DisplayEntry &entry, qint64 elapsedMs)
{
    return DisplayRowText::progressText(entry, elapsedMs);
}

QPixmap displayListModel::icon(const QString &name) const
{
    const bool dark = Theme::isDarkAppearance();
    if (dark != m_iconsDark) {
        m_icons.clear();
        m_iconsDark = dark;
    }
    auto it = m_icons.constFind(name);
    if (it == m_icons.constEnd())
        it = m_icons.insert(name, Theme::themedIcon(name).pixmap(IconSize, IconSize));
    return it.value();
}

QString displayListModel::statusIconName(const DisplayEntry &entry) const
{
    if (entry.controlRequest)
        return QStringLiteral("refresh");
    if (entry.firmwareStatus == FirmwareStatus::NewForUsbOnly)
        return QStringLiteral("usb drive");
    if (isUpToDateOrNewForLan(entry) && entry.selected && isBuildAcceptable(entry) && entry.downloadState == 1)
        return QStringLiteral("comm-error");
    if (entry.powerState != 1 && entry.needPowerOnToReadInfo
        && (entry.commStatus == 1 || entry.firmwareStatus == FirmwareStatus::NoVersionInfo))
        return QStringLiteral("info");
    if (entry.commStatus == 1)
        return QStringLiteral("warning");
    if (entry.lockStatus == 1 && entry.selected)
        return QStringLiteral("warning");
    if (entry.commStatus == 2)
        return QStringLiteral("warning");
    if (entry.requiresAppBuild > AppBuild::Number)
        return QStringLiteral("info");
    if (entry.needPowerOnToUpdate && entry.updateStatus == 0 && entry.powerState != 1 && entry.selected)
        return QStringLiteral("warning");

    switch (entry.updateStatus) {
    case 1:
        return QStringLiteral("monitor pause");
    case 2:
        return entry.uploading ? QStringLiteral("monitor download") : QStringLiteral("monitor updating progress");
    case 3:
        return QStringLiteral("checkmark");
    case 0:
        if (isErrorStatus(entry.resultStatus, -5))
            return QStringLiteral("monitor error");
        if (entry.resultStatus == 3)
            return entry.manualPowerCycle == 2 ? QStringLiteral("checkmark and reset power") : QStringLiteral("checkmark");
        break;
    default:
        if (isErrorStatus(entry.updateStatus, -4))
            return QStringLiteral("monitor error");
        break;
    }

    if (entry.selected
        && (SeriesCode::powerSaveMustBeSwitchedOff(entry.catalogueSeries, entry.powerSaveMode)
            || SeriesCode::powerSaveMustBeSwitchedToNormal(entry.needPowerSaveModeToNormal, entry.powerSaveModeVcp)))
        return QStringLiteral("info");
    return QString();
}

QVariant displayListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;

    switch (section) {
    case ActionColumn:
        return tr("Action", "column title");
    case ModelNameColumn:
        return tr("Model Name", "column title");
    case SerialNumberColumn:
        return tr("Serial Number", "column title");
    case AssetTagColumn:
        return tr("Asset Tag", "column title");
    case AddressColumn:
        return tr("IP Address", "column title");
    case MacAddressColumn:
        return tr("MAC Address", "column title");
    case PowerStateColumn:
        return tr("Power State", "column title");
    case CurrentFirmwareColumn:
        return tr("Current Firmware", "column title");
    case AvailabilityColumn:
        return tr("Firmware Availability", "column title");
    case StatusColumn:
        return tr("Status", "column title");
    case SeriesSection:
        return QStringLiteral("Series");
    case CatalogueSeriesSection:
        return QStringLiteral("Json series");
    case IdSection:
        return QStringLiteral("ID");
    default:
        if (section >= Firmware1Section && section <= Firmware4Section)
            return QStringLiteral("Firmware %1").arg(section - Firmware1Section + 1);
        return {};
    }
}

bool displayListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !m_entries || index.row() >= m_entries->size())
        return false;
    (*m_entries)[index.row()].selected = value.toInt() == Qt::Checked;
    emit need_update_ui();
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

Qt::ItemFlags displayListModel::flags(const QModelIndex &index) const
{
    const DisplayEntry *entry = index.isValid() ? entryAt(index.row()) : nullptr;
    if (!entry)
        return Qt::NoItemFlags;
    if (index.column() != ActionColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;

    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (!entry->updateSession && (entry->legacyModel == 0 || m_legacySupport))
        flags |= Qt::ItemIsEnabled;
    if (isUserCheckable(*entry))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool displayListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (count > 0) {
        beginInsertRows(parent, row, row + count - 1);
        endInsertRows();
    }
    return true;
}

void displayListModel::rowChanged(int row)
{
    const int rows = rowCount();
    if (rows == 0 || row >= rows)
        return;
    // One announcement for the whole table when every row may have changed.
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? rows - 1 : row;
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1), { Qt::DisplayRole });
}

void displayListModel::addRow(int count)
{
    if (count < 1)
        return;
    beginInsertRows(QModelIndex(), count - 1, count - 1);
    endInsertRows();
}

void displayListModel::resetAll()
{
    beginResetModel();
    endResetModel();
}
