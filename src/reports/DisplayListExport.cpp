#include "reports/DisplayListExport.h"

#include "records/DisplayTableState.h"

namespace {

QString columnTitle(const char *title)
{
    // The table model's own column titles, so the file's header matches the window's.
    return QCoreApplication::translate("displayListModel", title, "column title");
}

}

QString DisplayListExport::addressText(const QHostAddress &address)
{
    if (address.isNull())
        return QString();
    bool isIPv4 = false;
    const quint32 ip = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ip).toString() : address.toString();
}

QList<QStringList> DisplayListExport::table(const DisplayTableState &state, const QList<int> &rowOrder,
                                            const Options &options)
{
    QStringList header { columnTitle("Model Name"), columnTitle("Serial Number") };
    if (options.showAssetTag)
        header << columnTitle("Asset Tag");
    header << columnTitle("IP Address") << tr("Firmware Update IP Address") << columnTitle("MAC Address")
           << columnTitle("Power State") << columnTitle("Current Firmware") << tr("Firmware 1") << tr("Firmware 2")
           << tr("Firmware 3") << tr("Firmware 4") << tr("Latest Firmware") << columnTitle("Firmware Availability")
           << columnTitle("Status");

    QList<int> order = rowOrder;
    if (order.isEmpty()) {
        for (int row = 0; row < state.displayEntries.size(); ++row)
            order.append(row);
    }

    QList<QStringList> table { header };
    for (int row : qAsConst(order)) {
        if (!state.isValidRow(row))
            continue;
        const DisplayEntry &entry = state.displayEntries.at(row);
        QStringList cells { entry.modelName, entry.serialNumber };
        if (options.showAssetTag)
            cells << entry.assetTag;
        const QHostAddress second = entry.useIP2 != 0 ? entry.updateAddress : QHostAddress();
        cells << addressText(entry.address) << addressText(second) << entry.macAddress
              << DisplayRowText::powerText(entry) << entry.currentFirmware;
        for (int k = 0; k < 4; ++k)
            cells << entry.componentVersion[k];
        cells << entry.latestVersion << DisplayRowText::availabilityText(entry)
              << DisplayRowText::statusText(entry, options.legacySupport, options.statusText);
        table.append(cells);
    }
    return table;
}
