#include "reports/DisplayListExport.h"

#include "records/DisplayTableState.h"

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
    // Scripts and spreadsheets find the columns by these names: they stay English in every
    // interface language, only the texts in the cells follow it.
    QStringList header { QStringLiteral("Model Name"), QStringLiteral("Serial Number") };
    if (options.showAssetTag)
        header << QStringLiteral("Asset Tag");
    header << QStringLiteral("IP Address") << QStringLiteral("Firmware Update IP Address") << QStringLiteral("MAC Address")
           << QStringLiteral("Power State") << QStringLiteral("Current Firmware") << QStringLiteral("Firmware 1")
           << QStringLiteral("Firmware 2") << QStringLiteral("Firmware 3") << QStringLiteral("Firmware 4")
           << QStringLiteral("Latest Firmware") << QStringLiteral("Firmware Availability") << QStringLiteral("Status");

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
