#pragma once

#include "records/DisplayEntry.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>

#include <functional>

// Turns the main window's DisplayEntry rows into the cells of the display table. It only reads
// the rows; the one field it writes is `selected`, through the check box of column 0.
class displayListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        ActionColumn = 0,
        ModelNameColumn,
        SerialNumberColumn,
        AssetTagColumn,
        AddressColumn,
        MacAddressColumn,
        PowerStateColumn,
        CurrentFirmwareColumn,
        AvailabilityColumn,
        StatusColumn,
        ColumnCount,
        // Extra sections answered by headerData() and cellData() but not counted as columns.
        SeriesSection = 10,
        Firmware1Section = 11,
        Firmware4Section = 14,
        CatalogueSeriesSection = 15,
        IdSection = 17,
    };

    // What the sort proxy compares: the number of an IPv4 address in the address column, the
    // display text everywhere else. It changes only with the display text.
    static constexpr int SortRole = Qt::UserRole;

    static constexpr int IconSize = 20;

    // The user text of a LAN update status code; the update part owns those texts.
    using StatusTextLookup = std::function<QString(qint32 status)>;

    explicit displayListModel(QObject *parent = nullptr);

    void setEntries(DisplayEntryList *entries);
    // Without a lookup an update status shows as "Status: <n>".
    void setStatusTextLookup(StatusTextLookup statusText);
    void setLegacySupport(bool enabled);
    bool legacySupport() const { return m_legacySupport; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // The cell of any section, the extra ones (10 to 17) included; data() forwards here.
    QVariant cellData(int row, int column, int role) const;

    // No update session attached: the row's menus may act on the display.
    bool isRowIdle(int row) const;
    // The series whose power-save setting the table's menu can change.
    bool hasPowerSaveSettings(int row) const;

    // The row's firmware needs no newer application than this one.
    static bool isBuildAcceptable(const DisplayEntry &entry);
    // The check box of column 0 is offered (whether or not it is enabled).
    static bool isUserCheckable(const DisplayEntry &entry);
    // The status of a row under update, elapsedMs after the update began.
    static QString progressText(const DisplayEntry &entry, qint64 elapsedMs);

signals:
    void need_update_ui();

public slots:
    void rowChanged(int row);
    void addRow(int count);
    void resetAll();

private:
    const DisplayEntry *entryAt(int row) const;
    QVariant displayText(int row, int column, const DisplayEntry &entry) const;
    QString actionText(const DisplayEntry &entry) const;
    QString availabilityText(const DisplayEntry &entry) const;
    QString statusText(const DisplayEntry &entry) const;
    QString statusIconName(const DisplayEntry &entry) const;
    QVariant extraSectionData(int column, const DisplayEntry &entry) const;
    QPixmap icon(const QString &name) const;

    DisplayEntryList *m_entries = nullptr;
    // Fitting the columns asks every row in view for its icons: loaded from SVG each time, they
    // were most of the cost of update_ui. Rebuilt when the appearance turns dark or light.
    mutable QHash<QString, QPixmap> m_icons;
    mutable bool m_iconsDark = false;
    bool m_legacySupport = false;
    StatusTextLookup m_statusText;
};
