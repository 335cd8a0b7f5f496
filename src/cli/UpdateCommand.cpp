#include "cli/UpdateCommand.h"

#include "cli/CtlEngine.h"
#include "cli/CtlOptions.h"
#include "cli/InterruptHook.h"
#include "cli/PlainText.h"
#include "flows/DownloadController.h"
#include "queue/PowerSaveChange.h"
#include "queue/UpdateQueue.h"
#include "queue/UpdateSummary.h"
#include "records/DisplayRowText.h"
#include "reports/DisplayListExport.h"
#include "reports/UpdateReport.h"
#include "update/UpdateStatusText.h"

namespace {

constexpr int CompleteStatus = 3;

}

UpdateCommand::UpdateCommand(CtlEngine &engine, const CtlOptions &options, InterruptHook &hook)
    : m_engine(engine),
      m_options(options)
{
    connect(&hook, &InterruptHook::interrupted, this, &UpdateCommand::interrupted);
}

void UpdateCommand::interrupted(int count)
{
    DisplayTableState &state = m_engine.state();
    if (m_phase == Phase::Preparing || count > 1) {
        m_engine.abandonWait();
        return;
    }
    // Nothing may be queued after this: neither by the queue nor by a power-save change that
    // is still waiting for its replies.
    disconnect(m_engine.powerSaveChange(), &PowerSaveChange::readyToQueue, m_engine.queue(), nullptr);
    m_engine.queue()->cancelQueued();
    m_cancelled = true;
    m_engine.err() << tr("Interrupted: queued updates cancelled. Waiting for %1 running update(s) to settle; "
                         "press Ctrl-C again to exit at once.")
                              .arg(state.activeUpdates)
                   << Qt::endl;
}

int UpdateCommand::run()
{
    const int prepared = prepare();
    if (prepared != CtlOptions::Completed || m_listed.isEmpty())
        return prepared;
    return update();
}

int UpdateCommand::prepare()
{
    DisplayTableState &state = m_engine.state();
    QTextStream &err = m_engine.err();
    if (!m_engine.loadCatalogue()) {
        if (m_engine.waitAbandoned())
            return abandoned();
        err << tr("No firmware catalogue: no display can be updated.") << Qt::endl;
        return CtlOptions::Failed;
    }
    if (!m_engine.runSearch(m_options.targets)) {
        if (m_engine.waitAbandoned())
            return abandoned();
        err << tr("Search error") << Qt::endl;
        return CtlOptions::Failed;
    }

    int ticked = 0;
    for (const DisplayEntry &entry : qAsConst(state.displayEntries))
        ticked += entry.selected ? 1 : 0;
    if (ticked == 0) {
        err << tr("No display has new firmware to install via LAN.") << Qt::endl;
        if (m_options.json)
            m_engine.out() << "[]\n";
        return CtlOptions::Completed;
    }

    connect(m_engine.downloads(), &DownloadController::confirmationRequested, this, [this] { m_confirmation = true; });
    m_engine.downloads()->startUpdateDownloads();
    m_engine.waitUntil([&] { return m_confirmation || (!state.updateDownloadPending && state.activeDownloads == 0); });
    if (m_engine.waitAbandoned()) {
        m_engine.downloads()->cancel_download_clicked();
        return abandoned();
    }
    if (!m_confirmation) {
        err << tr("Download error") << Qt::endl;
        for (const DisplayEntry &entry : qAsConst(state.displayEntries)) {
            if (entry.selected && entry.downloadState == 1) {
                err << PlainText::sanitized(DisplayListExport::addressText(entry.address) + QLatin1Char(' ')
                                            + entry.modelName + QStringLiteral(": ")
                                            + DisplayRowText::availabilityText(entry))
                    << Qt::endl;
            }
        }
        return CtlOptions::Failed;
    }

    UpdateSummary::Options summaryOptions;
    summaryOptions.updateLimit = state.updateLimit;
    summaryOptions.showAssetTag = false;
    summaryOptions.rollout = state.rollout;
    const UpdateSummary::Texts texts = UpdateSummary::build(state.displayEntries, summaryOptions);
    for (const DisplayEntry &entry : qAsConst(state.displayEntries)) {
        if (UpdateSummary::isListed(entry))
            m_listed.append(entry.address);
    }
    // With --json standard output holds only the results.
    QTextStream &summary = m_options.json ? err : m_engine.out();
    summary << PlainText::fromHtml(texts.header) << '\n'
            << PlainText::fromHtml(texts.table) << "\n\n"
            << PlainText::fromHtml(texts.message) << '\n';
    summary.flush();
    if (m_listed.isEmpty())
        return CtlOptions::Failed;
    if (!m_options.confirmed) {
        err << tr("Nothing was changed. Run again with --yes to update these displays.") << Qt::endl;
        return CtlOptions::NotConfirmed;
    }
    return CtlOptions::Completed;
}

int UpdateCommand::update()
{
    DisplayTableState &state = m_engine.state();
    UpdateQueue *queue = m_engine.queue();
    m_phase = Phase::Updating;
    if (!m_engine.powerSaveChange()->start())
        queue->queueUpdates();

    const bool settled = m_engine.waitUntil([&] {
        if (state.powerSaveChangePending || state.pendingControlRequests > 0 || queue->isTicking()
            || state.activeUpdates > 0 || queue->verificationsRunning() > 0)
            return false;
        for (const DisplayEntry &entry : qAsConst(state.displayEntries)) {
            if (entry.updateStatus != 0)
                return false;
        }
        return true;
    });
    if (!settled)
        return abandoned();

    QList<UpdateReport::Line> lines = UpdateReport::lines(state, state.legacySupport, &UpdateStatusText::text);
    // A listed display whose update never started (cancelled, or refused by the queue) is
    // reported too: the technician asked for it.
    for (const QHostAddress &address : qAsConst(m_listed)) {
        const int row = state.rowForAddress(address);
        // Those the rollout policy held back are in the report already, with their reason.
        if (row < 0 || state.displayEntries.at(row).updateStartedAt.isValid() || state.displayEntries.at(row).heldBack)
            continue;
        const DisplayEntry &entry = state.displayEntries.at(row);
        UpdateReport::Line line;
        line.model = entry.modelName;
        line.serial = entry.serialNumber;
        line.address = DisplayListExport::addressText(entry.address);
        line.versionBefore = entry.currentFirmware;
        line.versionAfter = entry.currentFirmware;
        line.result = entry.resultStatus;
        line.rollout = state.rollout;
        if (m_cancelled)
            line.resultText = tr("Not updated: cancelled before it started.");
        else if (!entry.updateNote.isEmpty())
            line.resultText = entry.updateNote;
        else
            line.resultText = tr("Not updated.");
        lines.append(line);
    }

    bool allCompleted = !lines.isEmpty();
    for (const UpdateReport::Line &line : qAsConst(lines))
        allCompleted = allCompleted && line.result == CompleteStatus;

    if (m_options.json) {
        m_engine.out() << UpdateReport::json(lines);
    } else {
        for (const UpdateReport::Line &line : qAsConst(lines)) {
            m_engine.out() << PlainText::sanitized(QStringLiteral("%1  %2  %3  %4 -> %5  %6")
                                                           .arg(line.address, line.model, line.serial,
                                                                line.versionBefore, line.versionAfter,
                                                                line.resultText))
                           << '\n';
        }
    }
    m_engine.out().flush();
    return allCompleted ? CtlOptions::Completed : CtlOptions::Failed;
}

int UpdateCommand::abandoned()
{
    const DisplayTableState &state = m_engine.state();
    QStringList midUpdate;
    for (const DisplayEntry &entry : state.displayEntries) {
        if (entry.updateStatus == 2)
            midUpdate << PlainText::sanitized(DisplayListExport::addressText(entry.address) + QLatin1Char(' ')
                                              + entry.modelName + QLatin1Char(' ') + entry.serialNumber);
    }
    QTextStream &err = m_engine.err();
    if (m_phase == Phase::Preparing) {
        err << tr("Interrupted before any display was changed.") << Qt::endl;
    } else if (midUpdate.isEmpty()) {
        err << tr("Exiting at once; no display was mid-update.") << Qt::endl;
    } else {
        err << tr("Exiting at once. These displays were left mid-update; check them before use:") << Qt::endl;
        for (const QString &display : qAsConst(midUpdate))
            err << "  " << display << Qt::endl;
    }
    return CtlOptions::Failed;
}
