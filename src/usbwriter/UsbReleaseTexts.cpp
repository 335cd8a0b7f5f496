#include "usbwriter/UsbReleaseTexts.h"

#include "catalogue/CatalogueRichText.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

void cutTrailingBreak(QString &html)
{
    if (html.endsWith(QLatin1String("<br>")))
        html.chop(4);
}

} // namespace

QString UsbReleaseTexts::models(const FirmwareRelease &release)
{
    return release.models.join(QCoreApplication::translate("CreateUSBDriveDialog", ", ", "separator between models"));
}

QString UsbReleaseTexts::documentationHtml(const FirmwareRelease &release)
{
    QStringList links;
    for (const DocumentationLink &link : release.documentationList) {
        if (CatalogueRichText::isWebLink(link.url))
            links << QStringLiteral("<a href=\"%1\">%2</a>").arg(link.url.trimmed().toHtmlEscaped(), link.name.toHtmlEscaped());
        else
            links << link.name.toHtmlEscaped();
    }
    return links.join(QStringLiteral("<br>"));
}

QString UsbReleaseTexts::spaceNeeded(qint64 listedBytes)
{
    const qint64 bytes = qint64(double(listedBytes) * 1.05);
    if (bytes < 1)
        return QCoreApplication::translate("CreateUSBDriveDialog", "Unknown.", "if can't determine file size");
    const QString format = QCoreApplication::translate("CreateUSBDriveDialog", "%1 %2", "1=file size 2=units");
    if (bytes >= 1048576)
        return format.arg(bytes / 1048576).arg(QStringLiteral("MB"));
    if (bytes >= 1024)
        return format.arg(bytes / 1024).arg(QStringLiteral("kB"));
    return format.arg(bytes).arg(QCoreApplication::translate("CreateUSBDriveDialog", "bytes", "file size unit"));
}

QString UsbReleaseTexts::usageRestrictions(const FirmwareRelease &release)
{
    if (release.needSNMatchPosition < 1 && release.needRegionSelectListingText.isEmpty())
        return QCoreApplication::translate("CreateUSBDriveDialog", "None", "no restrictions");
    QString text;
    if (release.needSNMatchPosition > 0)
        text = release.needSNMatchDetailedDescription;
    if (!release.needRegionSelectListingText.isEmpty()) {
        if (!text.isEmpty())
            text += QCoreApplication::translate("CreateUSBDriveDialog", " ", "separator for region and description");
        text += release.needRegionSelectDescription;
    }
    return text;
}

QString UsbReleaseTexts::revisionHistoryHtml(const FirmwareRelease &release)
{
    QList<VersionChangeEntry> entries { release.changes };
    entries += release.previousVersionChangeList;
    QString html;
    for (const VersionChangeEntry &entry : entries) {
        html += QCoreApplication::translate("CreateUSBDriveDialog", "<b>Revision %1</b>").arg(entry.revision.toHtmlEscaped());
        if (entry.version != entry.revision)
            html += QCoreApplication::translate("CreateUSBDriveDialog", "<b> (version %1)</b>").arg(entry.version.toHtmlEscaped());
        html += QStringLiteral(":<br>");
        const QStringList items = entry.changeList.split(QLatin1Char('|'));
        for (int i = 0; i < items.size(); ++i)
            html += QStringLiteral("%1. %2<br>").arg(i + 1).arg(items.at(i));
    }
    cutTrailingBreak(html);
    return CatalogueRichText::sanitized(html);
}

QString UsbReleaseTexts::instructionsHtml(const QString &instructions)
{
    QString html;
    int step = 0;
    const QStringList parts = instructions.split(QLatin1Char('|'));
    for (const QString &part : parts) {
        if (part.isEmpty())
            continue;
        if (part.startsWith(QLatin1Char('^'))) {
            html += QCoreApplication::translate("CreateUSBDriveDialog", "%1<br><br>", "separator for USB instruction steps").arg(part.mid(1));
        } else {
            ++step;
            html += QCoreApplication::translate("CreateUSBDriveDialog", "<i><b>Step %1</b></i><br>%2<br><br>", "1=step count 2=instructions").arg(step).arg(part);
        }
    }
    cutTrailingBreak(html);
    if (html.isEmpty())
        return QCoreApplication::translate("CreateUSBDriveDialog", "No instructions available.");
    return CatalogueRichText::sanitized(html);
}

QString UsbReleaseTexts::supportedFormats(int updateViaUSB)
{
    QStringList names;
    if (updateViaUSB & 1)
        names << QStringLiteral("FAT16");
    if (updateViaUSB & 2)
        names << QStringLiteral("FAT32");
    if (updateViaUSB & 4)
        names << QStringLiteral("NTFS");
    return names.join(QCoreApplication::translate("CreateUSBDriveDialog", ", ", "separator for file systems"));
}
