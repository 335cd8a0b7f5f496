#include "panel/DisplayInfoPanel.h"

#include "catalogue/FirmwareRelease.h"
#include "catalogue/CatalogueRichText.h"
#include "panel/PanelHtml.h"
#include "records/AppBuild.h"
#include "records/DurationText.h"
#include "records/SeriesCode.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QUrl>
#include <iterator>
#include <utility>

namespace {

// Fills %1..%99 in one pass. Unlike chained QString::arg calls, a value that itself contains "%2"
// (a display can name itself anything) is never substituted again.
QString fill(const QString &pattern, const QStringList &values)
{
    QString out;
    out.reserve(pattern.size() + 64);
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern.at(i + 1).isDigit()) {
            int number = pattern.at(i + 1).digitValue();
            int length = 2;
            if (i + 2 < pattern.size() && pattern.at(i + 2).isDigit()) {
                number = number * 10 + pattern.at(i + 2).digitValue();
                length = 3;
            }
            if (number >= 1 && number <= values.size()) {
                out += values.at(number - 1);
                i += length - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// The power-off condition shared by callouts 8 and 17: the display is known to be off and its
// model reports nothing while off, and the last query or the version reading failed.
bool offWithoutInfo(const DisplayEntry &row)
{
    return row.powerState != 1 && row.powerState != -1 && row.needPowerOnToReadInfo != 0
        && (row.commStatus == 1 || row.firmwareStatus == 1);
}

bool isUpdateError(int status)
{
    return (status >= -5 && status <= -1) || status == 4;
}

// What the rules below may read besides the row.
struct CalloutInputs
{
    const DisplayEntry &row;
    std::function<QString(const QString &)> icon;
    std::function<QString(int)> statusText;
    QString address; // escaped plain address text, empty when there is none
};

struct CalloutRule
{
    bool (*applies)(const DisplayEntry &row);
    const char *title;
    const char *text;
    QStringList (*titleValues)(const CalloutInputs &in);
    QStringList (*textValues)(const CalloutInputs &in);
};

QStringList none(const CalloutInputs &)
{
    return {};
}

template<const char *Name>
QStringList iconOnly(const CalloutInputs &in)
{
    return { in.icon(QLatin1String(Name)) };
}

constexpr char InfoIcon[] = "info";
constexpr char WarningIcon[] = "warning";
constexpr char ResetPowerIcon[] = "reset power";
constexpr char RightClickIcon[] = "right click";
constexpr char MonitorErrorIcon[] = "monitor error";
constexpr char MonitorProgressIcon[] = "monitor updating progress";
constexpr char MonitorPauseIcon[] = "monitor pause";
constexpr char CheckmarkIcon[] = "checkmark";

// The callouts of a selected row, in the order they appear.
const CalloutRule calloutRules[] = {
    { [](const DisplayEntry &r) { return r.requiresAppBuild > AppBuild::Number; },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Newer application needed"),
      QT_TRANSLATE_NOOP("Tessel", "Application build %1 is required to update this display via LAN. Please update this application to the latest version."),
      iconOnly<InfoIcon>,
      [](const CalloutInputs &in) { return QStringList { QString::number(in.row.requiresAppBuild) }; } },
    { [](const DisplayEntry &r) { return r.verifyOutcome == VerifyOutcome::Checking; },
      QT_TRANSLATE_NOOP("Tessel", "Checking the version…"),
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> The display has received the firmware and restarts. Its firmware version is being read back; do not switch it off."),
      none, iconOnly<MonitorProgressIcon> },
    { [](const DisplayEntry &r) { return r.updateStatus == 2 && r.verifyOutcome != VerifyOutcome::Checking; },
      QT_TRANSLATE_NOOP("Tessel", "Updating..."),
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> The firmware update is in progress."),
      none, iconOnly<MonitorProgressIcon> },
    { [](const DisplayEntry &r) { return r.updateStatus == 1; },
      QT_TRANSLATE_NOOP("Tessel", "Queued..."),
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> The firmware update is queued and is waiting for other displays to finish."),
      none, iconOnly<MonitorPauseIcon> },
    { [](const DisplayEntry &r) { return r.updateStatus == 0 && r.resultStatus == 3; },
      QT_TRANSLATE_NOOP("Tessel", "Success"),
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> The firmware has been successfully updated."),
      none, iconOnly<CheckmarkIcon> },
    { [](const DisplayEntry &r) { return r.updateStatus == 0 && isUpdateError(r.resultStatus); },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> An error occurred during the firmware update"),
      QT_TRANSLATE_NOOP("Tessel", "'%1' See the <img src=\"%2\" width=\"16\" height=\"16\"> Log output for details. Check network connection and display power status, then attempt the firmware update again."),
      iconOnly<MonitorErrorIcon>,
      [](const CalloutInputs &in) {
          // What the check after the update found names the fault; a version or serial number
          // in it is the display's own text.
          QString fault = in.statusText(in.row.resultStatus);
          if (VerifyOutcome::isFailure(in.row.verifyOutcome) && !in.row.updateNote.isEmpty())
              fault = escaped(in.row.updateNote);
          else if (!in.row.updateNote.isEmpty())
              fault += QLatin1Char(' ') + escaped(in.row.updateNote);
          return QStringList { fault, in.icon(QStringLiteral("log")) };
      } },
    { [](const DisplayEntry &r) { return r.selected && r.lockStatus == 1; },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Error: The display is currently locked"),
      QT_TRANSLATE_NOOP("Tessel", "Please login to the display here <a href=\"http://%1/\">%1</a> to unlock it and allow firmware updates, then search the network again or refresh the display information (<img src=\"%3\" width=\"16\" height=\"16\"> right-click the table row, or select from the <b>'Tools'</b> menu). The USER NAME is the MONITOR NAME (default is <b>'%2'</b> unless changed)."),
      iconOnly<WarningIcon>,
      [](const CalloutInputs &in) {
          return QStringList { in.address, escaped(in.row.modelName), in.icon(QLatin1String(RightClickIcon)) };
      } },
    // Shown ticked or not, unless the lock callout above is shown instead.
    { [](const DisplayEntry &r) { return !(r.selected && r.lockStatus == 1) && r.commStatus == 2; },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Error: The IP address for the Firmware update is unreachable"),
      QT_TRANSLATE_NOOP("Tessel", "This can be because:<br>1. The display is currently powered off or is in the process of initializing. Power on the display (click the power icon in the table above and select <b>'Power On'</b>) and allow a few seconds to initialize, then search the network again.<br>2. The display was powered off when the network was searched. Search the network again.<br>3. The IP address of the 'Media Player' (used by the firmware update) is not correctly configured on the display. Please configure the IP address here <a href=\"http://%1/\">%1</a>."),
      iconOnly<WarningIcon>,
      [](const CalloutInputs &in) { return QStringList { in.address }; } },
    { [](const DisplayEntry &r) { return offWithoutInfo(r) && (r.needPowerOnToReadInfo & 1); },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Info: Display information not available while Power is Off"),
      QT_TRANSLATE_NOOP("Tessel", "This display model requires to be powered on to report all display information. Change the Power State to <b>'On'</b> and refresh the display information (<img src=\"%1\" width=\"16\" height=\"16\"> right-click the table row, or select from the <b>'Tools'</b> menu)."),
      iconOnly<InfoIcon>, iconOnly<RightClickIcon> },
    { [](const DisplayEntry &r) {
          return r.powerState == -1 && r.needPowerOnToReadInfo != 0 && (r.commStatus == 1 || r.firmwareStatus == 1)
              && (r.needPowerOnToReadInfo & 2);
      },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Info: Display information not available when using the S-Format command setting"),
      QT_TRANSLATE_NOOP("Tessel", "This display model requires the <b>'Command Format'</b> setting on the display to be set to <b>'N-Format'</b> to use this software. Please make sure the correct <b>'Command Format'</b> setting is selected on the display."),
      iconOnly<InfoIcon>, none },
    { [](const DisplayEntry &r) {
          return !r.selected && r.updateStatus == 0 && r.resultStatus == 3 && r.manualPowerCycle == 2;
      },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Info: Manual AC power cycle required to complete the firmware update"),
      QT_TRANSLATE_NOOP("Tessel", "Please manually cycle the display's AC power to complete the update process."),
      iconOnly<ResetPowerIcon>, none },
    { [](const DisplayEntry &r) { return r.selected && r.powerState != 1 && r.needPowerOnToUpdate != 0; },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Error: Power State is Off"),
      QT_TRANSLATE_NOOP("Tessel", "To update the firmware, this display must be powered on. Click the 'Power State entry in the table to change it to <b>'On'</b>."),
      iconOnly<WarningIcon>, none },
    { [](const DisplayEntry &r) {
          return r.selected && SeriesCode::powerSaveMustBeSwitchedOff(r.catalogueSeries, r.powerSaveMode);
      },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Info: Manual setting of <b>'Power Save Mode'</b> required after update"),
      QT_TRANSLATE_NOOP("Tessel", "The display's Power Save Mode is <b>'%1'</b> and will be automatically changed to <b>'Off'</b> as the firmware update is applied. Please manually change this setting back once the firmware update is complete (<img src=\"%2\" width=\"16\" height=\"16\"> right-click the table row and select the Power Save Mode)."),
      iconOnly<InfoIcon>,
      [](const CalloutInputs &in) {
          const QString mode = in.row.powerSaveMode == 0 ? QCoreApplication::translate("Tessel", "Auto Power Save")
                                                           : QCoreApplication::translate("Tessel", "Auto Standby");
          return QStringList { mode, in.icon(QLatin1String(RightClickIcon)) };
      } },
    { [](const DisplayEntry &r) { return r.selected && r.manualPowerCycle == 2; },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Info: Manual AC power cycle required after update"),
      QT_TRANSLATE_NOOP("Tessel", "The display will require a manual AC power cycle after the firmware update is complete."),
      iconOnly<ResetPowerIcon>, none },
    { [](const DisplayEntry &r) { return r.firmwareStatus == FirmwareStatus::UpToDate; },
      QT_TRANSLATE_NOOP("Tessel", "✅Firmware is up to date"),
      QT_TRANSLATE_NOOP("Tessel", "Currently installed firmware version %1 is the latest available. It is not necessary to update the firmware."),
      none, [](const CalloutInputs &in) { return QStringList { escaped(in.row.currentFirmware) }; } },
    { [](const DisplayEntry &r) { return r.firmwareStatus == FirmwareStatus::NoneForModel; },
      QT_TRANSLATE_NOOP("Tessel", "No firmware available"),
      QT_TRANSLATE_NOOP("Tessel", "There is currently no firmware available for this display model."),
      none, none },
    { [](const DisplayEntry &r) { return r.firmwareStatus == FirmwareStatus::NotComparable; },
      QT_TRANSLATE_NOOP("Tessel", "Unable to compare firmware versions"),
      QT_TRANSLATE_NOOP("Tessel", "The current firmware version cannot be determined."),
      none, none },
    // Suppressed whenever the power-off explanation applies, shown or not: a display that is off
    // is expected not to answer, and calling that a communication error would send the technician
    // after the network.
    { [](const DisplayEntry &r) { return r.commStatus == 1 && !offWithoutInfo(r); },
      QT_TRANSLATE_NOOP("Tessel", "<img src=\"%1\" width=\"16\" height=\"16\"> Error: Unable to communicate with display"),
      QT_TRANSLATE_NOOP("Tessel", "The display may be powered off or is in the process of initializing. Power on the display (click the power icon in the table above and select <b>'Power On'</b>) and allow a few seconds to initialize, then search the network again or refresh the display information (<img src=\"%2\" width=\"16\" height=\"16\"> right-click the table row and select <img src=\"%1\" width=\"16\" height=\"16\"> <b>'Refresh display information'</b>, or select from the <b>'Tools'</b> menu)"),
      iconOnly<WarningIcon>,
      [](const CalloutInputs &in) {
          return QStringList { in.icon(QStringLiteral("refresh")), in.icon(QLatin1String(RightClickIcon)) };
      } },
    { [](const DisplayEntry &r) { return r.firmwareStatus == FirmwareStatus::NewForLan; },
      QT_TRANSLATE_NOOP("Tessel", "🆕New firmware %1 available"),
      QT_TRANSLATE_NOOP("Tessel", "New firmware version %1 is available for this display. Currently installed firmware is version %2."),
      [](const CalloutInputs &in) { return QStringList { escaped(in.row.latestVersion) }; },
      [](const CalloutInputs &in) {
          return QStringList { escaped(in.row.latestVersion), escaped(in.row.currentFirmware) };
      } },
};

static_assert(std::size(calloutRules) == 19, "one rule per callout");

} // namespace

DisplayInfoPanel::DisplayInfoPanel(WindowState state, IconPathLookup iconPath, StatusTextLookup statusText)
    : m_state(std::move(state))
    , m_iconPath(std::move(iconPath))
    , m_statusText(std::move(statusText))
{
    if (!m_statusText) {
        m_statusText = [](int status) {
            return QCoreApplication::translate("UpdateStatusText", "Status: %1", "1=number (for unknown status type)")
                .arg(status);
        };
    }
}

QString DisplayInfoPanel::icon(const QString &name) const
{
    // Icon paths are resource paths of ours, but an attribute value is still no place for a quote.
    return m_iconPath ? m_iconPath(name).toHtmlEscaped() : QString();
}

QString DisplayInfoPanel::addressLink(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    QString text;
    if (isV4) {
        text = QHostAddress(v4).toString();
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        QHostAddress plain(address);
        plain.setScopeId(QString());
        text = QLatin1Char('[') + plain.toString() + QLatin1Char(']');
    } else {
        return {};
    }
    return text.toHtmlEscaped();
}

QString DisplayInfoPanel::build(const DisplayEntry *row, const FirmwareRelease *release) const
{
    const PanelHtml html(m_state.colours);
    QString content;
    if (m_state.searchAttempted)
        content = row ? rowContent(*row, release) : noSelectionContent();
    return html.document(content);
}

QString DisplayInfoPanel::noSelectionContent() const
{
    if (m_state.searching)
        return {};
    const PanelHtml html(m_state.colours);
    if (!m_state.databaseLoaded) {
        return html.callout(QCoreApplication::translate("Tessel", "⚠️Unable to download firmware definitions"),
            QCoreApplication::translate("Tessel", "Check the Internet connection and restart this application."));
    }
    QString content;
    if (m_state.rowCount > 0) {
        content += html.callout(QCoreApplication::translate(
                                    "Tessel", "Select a row in the table above to see details of a detected display"),
            fill(QCoreApplication::translate("Tessel",
                     "<img src=\"%1\" width=\"16\" height=\"16\"> Right-click a row for additional operations and "
                     "settings."),
                { icon(QStringLiteral("right click")) }));
    }
    content += html.callout(QCoreApplication::translate("Tessel", "Didn't find a display?"),
        fill(QCoreApplication::translate("Tessel",
                 "If the display is located on another subnet, or across a VPN, managed switch, or router, use the "
                 "<img src=\"%1\" width=\"16\" height=\"16\"> <b>'Configure Targeted network search'</b> function on "
                 "the <b>'Tools'</b> menu and enter the IP addresses to search, then use <img src=\"%2\" width=\"16\" "
                 "height=\"16\"> <b>'Targeted search'</b>."),
            { icon(QStringLiteral("search settings")), icon(QStringLiteral("search target")) }));
    content += html.callout(QCoreApplication::translate("Tessel", "Create a firmware USB drive"),
        fill(QCoreApplication::translate("Tessel",
                 "Create a USB drive with the latest firmware for a supported display model and update it via the "
                 "display's USB port. Use <img src=\"%1\" width=\"16\" height=\"16\"><b>'Create firmware USB drive by "
                 "model'</b> on the <b>'Tools'</b> menu."),
            { icon(QStringLiteral("usb drive")) }));
    return content;
}

QString DisplayInfoPanel::rowContent(const DisplayEntry &row, const FirmwareRelease *release) const
{
    QString content = callouts(row);
    content += changeList(row);
    if (release)
        content += updateTables(row, *release);
    content += identityTables(row);
    if (release)
        content += documentationTable(*release);
    return content;
}

QString DisplayInfoPanel::callouts(const DisplayEntry &row) const
{
    const PanelHtml html(m_state.colours);
    const CalloutInputs inputs { row, [this](const QString &name) { return icon(name); }, m_statusText,
        addressLink(row.address) };
    QString content;
    for (const CalloutRule &rule : calloutRules) {
        if (!rule.applies(row))
            continue;
        content += html.callout(fill(QCoreApplication::translate("Tessel", rule.title), rule.titleValues(inputs)),
            fill(QCoreApplication::translate("Tessel", rule.text), rule.textValues(inputs)));
    }
    return content;
}

QString DisplayInfoPanel::changeList(const DisplayEntry &row) const
{
    // Changes are pending only while a newer version exists; once the display reports the latest,
    // lists kept from before the update are history, not news.
    if (row.firmwareStatus != FirmwareStatus::NewForLan && row.firmwareStatus != FirmwareStatus::NewForUsbOnly)
        return {};
    QStringList items;
    for (const QString &list : row.changeLists) {
        const QStringList entries = list.split(QLatin1Char('|'));
        for (const QString &entry : entries)
            items += CatalogueRichText::inlineHtml(entry, CatalogueRichText::PanelItemTags);
    }
    if (items.isEmpty())
        return {};
    const PanelHtml html(m_state.colours);
    return html.listCallout(QCoreApplication::translate("Tessel", "📋Firmware Change List"),
        fill(QCoreApplication::translate(
                 "Tessel", "All changes from the installed version %1 to the latest version %2:"),
            { escaped(row.currentFirmware), escaped(row.latestVersion) }),
        items);
}

QString DisplayInfoPanel::updateTables(const DisplayEntry &row, const FirmwareRelease &release) const
{
    QStringList names { QCoreApplication::translate("Tessel", "Approximate time to update firmware"),
        QCoreApplication::translate("Tessel", "Update via LAN") };
    // A release without a LAN update time gives 0: that is not a quick update.
    const QString duration = row.updateDurationSecs > 0
        ? DurationText::minutes(row.updateDurationSecs)
        : QCoreApplication::translate("Tessel", "Not stated", "update time missing from the catalogue");
    QStringList values { duration,
        row.updateViaHTTP >= 1 ? QCoreApplication::translate("Tessel", "Supported")
                               : QCoreApplication::translate("Tessel", "Not supported") };
    if (row.updateViaHTTP >= 1) {
        names << QCoreApplication::translate("Tessel", "Requires manual AC power cycle after LAN update");
        if (row.manualPowerCycle == 1)
            values << QCoreApplication::translate("Tessel", "No", "ManualPowerCycleRequired");
        else if (row.manualPowerCycle == 2)
            values << QCoreApplication::translate("Tessel", "Yes", "ManualPowerCycleRequired");
        else
            values << QCoreApplication::translate("Tessel", "N/A", "ManualPowerCycleRequired unknown");
    }
    names << QCoreApplication::translate("Tessel", "Update via USB");
    values << (row.updateViaUSB >= 1 ? QCoreApplication::translate("Tessel", "Supported")
                                     : QCoreApplication::translate("Tessel", "Not supported"));

    const bool dark = m_state.darkTheme;
    const QString left = PanelHtml::informationTable(
        QCoreApplication::translate("Tessel", "Firmware Update Information"), names, values);
    const QString right = PanelHtml::informationTable(
        QCoreApplication::translate("Tessel", "Firmware Update Power LED sequence"),
        { QCoreApplication::translate("Tessel", "In progress"),
            QCoreApplication::translate("Tessel", "Finished (waiting for restart)"),
            QCoreApplication::translate("Tessel", "Error"), QCoreApplication::translate("Tessel", "Normal operation") },
        { powerLEDBlinkCodeToString(release.powerLEDBinkCodeProgress, dark),
            powerLEDBlinkCodeToString(release.powerLEDBinkCodeDone, dark),
            powerLEDBlinkCodeToString(release.powerLEDBinkCodeError, dark),
            // Not an LED pattern of its own: whatever the display shows when no update is running.
            QCoreApplication::translate("Tessel", "Usual power indication (none of the patterns above)",
                "power LED outside an update") });
    return PanelHtml::sideBySide(left, right) + QStringLiteral("<br>");
}

QString DisplayInfoPanel::identityTables(const DisplayEntry &row) const
{
    const QString link = QStringLiteral("<a href=\"http://%1/\">%1</a>");
    const QString mainAddress = addressLink(row.address);
    const QString updateAddress = addressLink(row.useIP2 == 0 ? row.address : row.updateAddress);
    // A missing address gives no link at all rather than "http:///".
    const auto linkFor = [&link](const QString &address) { return address.isEmpty() ? QString() : link.arg(address); };

    const QString left = PanelHtml::informationTable(QCoreApplication::translate("Tessel", "Display Information"),
        { QCoreApplication::translate("Tessel", "Model"), QCoreApplication::translate("Tessel", "Serial number"),
            QCoreApplication::translate("Tessel", "MAC Address"),
            QCoreApplication::translate("Tessel", "Main IP address"),
            QCoreApplication::translate("Tessel", "Firmware update IP address") },
        { escaped(row.modelName), escaped(row.serialNumber), escaped(row.macAddress), linkFor(mainAddress),
            row.updateViaHTTP == 0 ? QCoreApplication::translate("Tessel", "N/A") : linkFor(updateAddress) });

    QStringList components { QCoreApplication::translate("Tessel", "Component"),
        QCoreApplication::translate("Tessel", "Main") };
    QStringList current { QCoreApplication::translate("Tessel", "Current"), escaped(row.currentFirmware) };
    QStringList available { QCoreApplication::translate("Tessel", "Available"), escaped(row.latestVersion) };
    if (row.componentCount > 1) {
        for (int i = 0; i < 4; ++i) {
            components << QCoreApplication::translate("Tessel", "Firmware %1").arg(i + 1);
            current << escaped(row.componentVersion.at(std::size_t(i)));
            available << QString();
        }
    }
    const QString right = PanelHtml::informationTable(
        QCoreApplication::translate("Tessel", "Firmware Version Information"), components, current, available, true);
    return PanelHtml::sideBySide(left, right) + QStringLiteral("<br>");
}

QString DisplayInfoPanel::documentationTable(const FirmwareRelease &release) const
{
    QStringList cells;
    for (const DocumentationLink &link : release.documentationList) {
        const QUrl url(link.url);
        const QString scheme = url.scheme().toLower();
        // The panel opens links with the desktop's handler; only web pages may be offered there.
        if (url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))) {
            cells << QStringLiteral("<a href=\"%1\">%2</a>").arg(link.url.toHtmlEscaped(), escaped(link.name));
        } else {
            cells << escaped(link.name);
        }
    }
    const PanelHtml html(m_state.colours);
    return html.linkTable(QCoreApplication::translate("Tessel", "📖Product Documentation"), cells, 3);
}

QString DisplayInfoPanel::powerLEDBlinkCodeToString(int code, bool darkTheme)
{
    switch (code) {
    case 1:
        return darkTheme ? QCoreApplication::translate(
                   "powerLEDBlinkCodeToString", "Flashing <font color=\"#00ff00\"><b>GREEN</b></font>")
                         : QCoreApplication::translate(
                             "powerLEDBlinkCodeToString", "Flashing <font color=\"green\"><b>GREEN</b></font>");
    case 2:
        return darkTheme
            ? QCoreApplication::translate("powerLEDBlinkCodeToString",
                "Alternating <font color=\"red\"><b>RED</b></font> / <font color=\"#00ff00\"><b>GREEN</b></font>")
            : QCoreApplication::translate("powerLEDBlinkCodeToString",
                "Alternating <font color=\"red\"><b>RED</b></font> / <font color=\"green\"><b>GREEN</b></font>");
    case 3:
        return QCoreApplication::translate(
            "powerLEDBlinkCodeToString", "Flashing <font color=\"red\"><b><b>RED</b></font>");
    case 4:
        return QCoreApplication::translate(
            "powerLEDBlinkCodeToString", "Flashing <font color=\"blue\"><b>BLUE</b></font>");
    case 5:
        return QCoreApplication::translate(
            "powerLEDBlinkCodeToString", "Flashing <font color=\"orange\"><b>ORANGE</b></font>");
    case 6:
        return QCoreApplication::translate(
            "powerLEDBlinkCodeToString", "Continuous <font color=\"blue\"><b>BLUE</b></font>");
    default:
        return QCoreApplication::translate("powerLEDBlinkCodeToString", "Unknown");
    }
}
