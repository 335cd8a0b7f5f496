#include "queue/UpdateSummary.h"

#include "catalogue/FirmwareDatabase.h"
#include "queue/LaneEstimate.h"
#include "queue/QueueRefusal.h"
#include "records/AddressText.h"
#include "records/DurationText.h"
#include "records/SeriesCode.h"

bool UpdateSummary::isListed(const DisplayEntry &row)
{
    return row.selected && row.downloadState == 3;
}

bool UpdateSummary::needsPowerSaveChange(const DisplayEntry &row)
{
    return (row.catalogueSeries == 1 || row.catalogueSeries == 2)
            && (row.powerSaveMode == 0 || row.powerSaveMode == 1);
}

QString UpdateSummary::notesFor(const DisplayEntry &row, bool *note1, bool *note2, bool *note3)
{
    QString notes;
    if (row.manualPowerCycle == 2) {
        notes += tr("See note 1. ");
        *note1 = true;
    }
    if (needsPowerSaveChange(row)) {
        const QString mode = row.powerSaveMode == 1 ? tr("Auto Standby") : tr("Auto Power Save");
        notes += tr("See note 2. ")
                + tr("Current setting is &quot;%1&quot;.", "1=text of power save mode").arg(mode);
        *note2 = true;
    }
    if (SeriesCode::powerSaveMustBeSwitchedToNormal(row.needPowerSaveModeToNormal, row.powerSaveModeVcp)) {
        notes += tr("See note 3. ");
        *note3 = true;
    }
    return notes;
}

QString UpdateSummary::rolloutText(const RolloutPolicy &policy)
{
    QStringList rules;
    if (policy.firstPerModel)
        rules << tr("one display of each model first");
    if (policy.maxFailures == 1)
        rules << tr("stop after 1 failure");
    else if (policy.maxFailures > 1)
        rules << tr("stop after %1 failures").arg(policy.maxFailures);
    if (rules.isEmpty())
        return QString();
    return tr("Rollout: %1", "1=the rollout rules in force, separated by semicolons")
            .arg(rules.join(tr("; ", "between two rollout rules")));
}

QueueRefusal::Reason UpdateSummary::refusal(const DisplayEntry &row, const Options &options, FirmwareRelease *release)
{
    // Without a catalogue only the series can be judged; a default release counts as one file.
    if (options.database)
        options.database->findRelease(row.modelName, row.serialNumber, *release);
    return QueueRefusal::check(row, *release);
}

UpdateSummary::Texts UpdateSummary::build(const DisplayEntryList &rows, const Options &options)
{
    Texts texts;
    bool note1 = false;
    bool note2 = false;
    bool note3 = false;
    QString body;
    QString refusedBody;
    // The rows the queue will take: the duration counts these and no others.
    DisplayEntryList updated;
    for (const DisplayEntry &row : rows) {
        if (!isListed(row))
            continue;
        const QString model = row.modelName.toHtmlEscaped();
        const QString serial = row.serialNumber.toHtmlEscaped();
        const QString address = AddressText::of(row.address).toHtmlEscaped();
        const QString current = row.currentFirmware.toHtmlEscaped();
        const QString latest = row.latestVersion.toHtmlEscaped();

        FirmwareRelease release;
        const QueueRefusal::Reason reason = refusal(row, options, &release);
        if (reason != QueueRefusal::Reason::None) {
            ++texts.refusedRows;
            const QString why = QueueRefusal::reasonText(reason, release).toHtmlEscaped();
            if (options.showAssetTag) {
                refusedBody += tr("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>", "refused row")
                                       .arg(model, serial, row.assetTag.toHtmlEscaped(), address, current, why);
            } else {
                refusedBody += tr("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>", "refused row")
                                       .arg(model, serial, address, current, why);
            }
            continue;
        }

        updated.append(row);
        ++texts.listedRows;
        const QString number = QString::number(texts.listedRows);
        const QString notes = notesFor(row, &note1, &note2, &note3);
        if (options.showAssetTag) {
            body += tr("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td><td>%8</td></tr>")
                            .arg(number, model, serial, row.assetTag.toHtmlEscaped(), address, current, latest, notes);
        } else {
            body += tr("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td></tr>")
                            .arg(number, model, serial, address, current, latest, notes);
        }
    }

    texts.header = tr("The firmware on the following %1 display(s) is about to be updated.<br>", "1=number of displays")
                           .arg(texts.listedRows);

    const QString head = options.showAssetTag
            ? tr("<table table border=\"1\" cellpadding=\"5\" cellspacing=\"0\"><thead><tr><td bgcolor=\"%1\">#</td><td bgcolor=\"%1\">Model</td><td bgcolor=\"%1\">Serial Number</td><td bgcolor=\"%1\">Asset Tag</td><td bgcolor=\"%1\">IP Address</td><td bgcolor=\"%1\">Current</td><td bgcolor=\"%1\">New</td><td bgcolor=\"%1\">Notes</td></tr></thead>")
            : tr("<table table border=\"1\" cellpadding=\"5\" cellspacing=\"0\"><thead><tr><td bgcolor=\"%1\">#</td><td bgcolor=\"%1\">Model</td><td bgcolor=\"%1\">Serial Number</td><td bgcolor=\"%1\">IP Address</td><td bgcolor=\"%1\">Current</td><td bgcolor=\"%1\">New</td><td bgcolor=\"%1\">Notes</td></tr></thead>");
    const QString colour = options.headerColour.toHtmlEscaped();
    texts.table = head.arg(colour) + body + QLatin1String("</table>");

    if (texts.refusedRows > 0) {
        // Listed apart, so nobody takes them for part of the batch, and left out of its time.
        const QString refusedHead = options.showAssetTag
                ? tr("<table border=\"1\" cellpadding=\"5\" cellspacing=\"0\"><thead><tr><td bgcolor=\"%1\">Model</td><td bgcolor=\"%1\">Serial Number</td><td bgcolor=\"%1\">Asset Tag</td><td bgcolor=\"%1\">IP Address</td><td bgcolor=\"%1\">Current</td><td bgcolor=\"%1\">Reason</td></tr></thead>")
                : tr("<table border=\"1\" cellpadding=\"5\" cellspacing=\"0\"><thead><tr><td bgcolor=\"%1\">Model</td><td bgcolor=\"%1\">Serial Number</td><td bgcolor=\"%1\">IP Address</td><td bgcolor=\"%1\">Current</td><td bgcolor=\"%1\">Reason</td></tr></thead>");
        texts.table += tr("<p><b>The following %1 display(s) will not be updated:</b></p>", "1=number of displays")
                               .arg(texts.refusedRows)
                + refusedHead.arg(colour) + refusedBody + QLatin1String("</table>");
    }

    QString message;
    if (note1) {
        message += tr("<b>Note 1: <img src=\"%1\" width=\"16\" height=\"16\"> Display will require a manual AC power cycle after the firmware update is completed.</b><br>")
                           .arg(options.note1IconPath.toHtmlEscaped());
    }
    if (note2) {
        message += tr("<b>Note 2: The display's &quot;Power Save Mode&quot; will be automatically changed to &quot;Off&quot; while the firmware update is applied. Please manually change this setting back once the firmware update is completed.</b><br>");
    }
    if (note3) {
        message += tr("<b>Note 3: The display’s &quot;Power Save Mode&quot; will automatically switch to &quot;Normal&quot; prior to applying the firmware update. This change enables the display to communicate fully while in standby. Consequently, the power consumption in standby mode will increase slightly.</b><br>");
    }

    const QString rollout = rolloutText(options.rollout);
    if (!rollout.isEmpty())
        message += QLatin1String("<br><b>") + rollout.toHtmlEscaped() + QLatin1String("</b><br>");

    texts.estimateSecs = LaneEstimate::seconds(updated, options.updateLimit, LaneEstimate::Mode::WholeBatch);
    if (texts.estimateSecs >= 60) {
        message += tr("<br>The update process will take at least %1, during which time the screens will go blank and the displays will be inoperable.<br>",
                      "1=duration, such as \"5 minutes\"")
                           .arg(DurationText::minutes(texts.estimateSecs));
    } else if (texts.estimateSecs > 0) {
        message += tr("<br>The update process will take less than a minute, during which time the screens will go blank and the displays will be inoperable.<br>");
    }
    if (options.askToProceed)
        message += tr("<br><b>Are you sure you want to proceed?</b>");
    texts.message = message;
    return texts;
}
