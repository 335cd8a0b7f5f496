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
    for (const DisplayEntry &entry : state.displayEntries) {
        QStringList row = cells(entry);
        for (QString &cell : row)
            cell = PlainText::sanitized(cell);
        rows.append(row);
    }
    QList<int> widths(rows.first().size(), 0);
    for (const QStringList &row : qAsConst(rows)) {
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], int(row.at(c).size()));
    }
    QString text;
    for (const QStringList &row : qAsConst(rows)) {
        QString line;
        for (int c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row.at(c).leftJustified(widths[c] + 2) : row.at(c);
        text += line.trimmed() + QLatin1Char('\n');
    }
    return text;
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
        });
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}
