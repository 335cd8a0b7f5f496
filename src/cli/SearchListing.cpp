#include "cli/SearchListing.h"

#include "cli/PlainText.h"
#include "records/DisplayRowText.h"
#include "records/DisplayTableState.h"
#include "reports/DisplayListExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

// Stable words for scripts, whatever the interface language.
QString firmwareStatusName(qint32 status)
{
    switch (status) {
    case FirmwareStatus::NoVersionInfo:
        return QStringLiteral("no_version_info");
    case FirmwareStatus::NoneForModel:
        return QStringLiteral("none_for_model");
    case FirmwareStatus::NotComparable:
        return QStringLiteral("not_comparable");
    case FirmwareStatus::UpToDate:
        return QStringLiteral("up_to_date");
    case FirmwareStatus::NewForUsbOnly:
        return QStringLiteral("new_usb_only");
    case FirmwareStatus::NewForLan:
        return QStringLiteral("new_lan");
    default:
        return QStringLiteral("not_evaluated");
    }
}

QStringList cells(const DisplayEntry &entry)
{
    return { DisplayListExport::addressText(entry.address), entry.modelName, entry.serialNumber,
             DisplayRowText::powerText(entry), entry.currentFirmware, DisplayRowText::availabilityText(entry) };
}

}

QString SearchListing::text(const DisplayTableState &state)
{
    QList<QStringList> rows { { tr("Address"), tr("Model"), tr("Serial"), tr("Power"), tr("Firmware"),
                                tr("Availability") } };
    for (const DisplayEntry &entry : state.displayEntries)
        rows.append(cells(entry));
    return PlainText::columns(rows);
}

QByteArray SearchListing::json(const DisplayTableState &state)
{
    QJsonArray array;
    for (const DisplayEntry &entry : state.displayEntries) {
        const QStringList row = cells(entry);
        array.append(QJsonObject {
                { QStringLiteral("address"), row.at(0) },
                { QStringLiteral("model"), row.at(1) },
                { QStringLiteral("serial"), row.at(2) },
                { QStringLiteral("power"), row.at(3) },
                { QStringLiteral("firmware"), row.at(4) },
                { QStringLiteral("status"), row.at(5) },
                { QStringLiteral("update_available"), entry.firmwareStatus == FirmwareStatus::NewForLan },
                { QStringLiteral("mac"), entry.macAddress },
                { QStringLiteral("asset_tag"), entry.assetTag },
                { QStringLiteral("latest_version"), entry.latestVersion },
                { QStringLiteral("firmware_status"), firmwareStatusName(entry.firmwareStatus) },
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}
