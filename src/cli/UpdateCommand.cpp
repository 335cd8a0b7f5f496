#include "cli/UpdateCommand.h"

#include "cli/CtlSession.h"
#include "cli/CtlOptions.h"
#include "cli/InterruptHook.h"
#include "cli/PlainText.h"
#include "engine/QuillonEngine.h"
#include "queue/UpdateSummary.h"
#include "records/DisplayRowText.h"
#include "reports/DisplayListExport.h"
#include "reports/UpdateReport.h"

namespace {

constexpr int CompleteStatus = 3;

}

UpdateCommand::UpdateCommand(CtlSession &session, const CtlOptions &options, InterruptHook &hook)
    : m_session(session),
      m_options(options)
{
    connect(&hook, &InterruptHook::interrupted, this, &UpdateCommand::interrupted);
}

void UpdateCommand::interrupted(int count)
{
    const DisplayTableState &state = m_session.engine().state();
    if (m_phase == Phase::Preparing || count > 1) {
        m_session.abandonWait();
        return;
    }
    // Nothing may be queued after this: neither by the queue nor by a power-save change that
    // is still waiting for its replies.
    m_session.engine().cancelQueuedUpdates();
    m_cancelled = true;
    m_session.err() << tr("Interrupted: queued updates cancelled. Waiting for %1 running update(s) to settle; "
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
    QuillonEngine &engine = m_session.engine();
    const DisplayTableState &state = engine.state();
    QTextStream &err = m_session.err();
    if (!m_session.loadCatalogue()) {
        if (m_session.waitAbandoned())
            return abandoned();
        err << tr("No firmware catalogue: no display can be updated.") << Qt::endl;
        return CtlOptions::Failed;
    }
    if (!m_session.runSearch(m_options.targets)) {
        if (m_session.waitAbandoned())
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
            m_session.out() << "[]\n";
        return CtlOptions::Completed;
    }

    connect(&engine, &QuillonEngine::confirmationRequested, this, [this](const UpdateConfirmation &request) {
        m_confirmation = true;
        m_listed = request.listed;
    });
    engine.startUpdate();
    m_session.waitUntil([&] { return m_confirmation || (!state.updateDownloadPending && state.activeDownloads == 0); });
    if (m_session.waitAbandoned()) {
        engine.cancelDownloads();
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
    summaryOptions.showAssetTag = false;
    // Nothing is asked here: --yes is the answer, given before the summary is shown.
    summaryOptions.askToProceed = false;
    const UpdateSummary::Texts texts = engine.summaryTexts(summaryOptions);
    // With --json standard output holds only the results.
    QTextStream &summary = m_options.json ? err : m_session.out();
    summary << PlainText::fromHtml(texts.header) << '\n'
            << PlainText::fromHtml(texts.table) << "\n\n"
            << PlainText::fromHtml(texts.message) << '\n';
    summary.flush();
    if (m_listed.isEmpty())
        return CtlOptions::Failed;
    if (!m_options.confirmed) {
        engine.confirmUpdate(false);
        err << tr("Nothing was changed. Run again with --yes to update these displays.") << Qt::endl;
        return CtlOptions::NotConfirmed;
    }
    return CtlOptions::Completed;
}

int UpdateCommand::update()
{
    QuillonEngine &engine = m_session.engine();
    m_phase = Phase::Updating;
    engine.confirmUpdate(true);

    if (!m_session.waitUntil([&engine] { return engine.updatesSettled(); }))
        return abandoned();

    const QList<UpdateReport::Line> lines = reportLines();

    bool allCompleted = !lines.isEmpty();
    for (const UpdateReport::Line &line : qAsConst(lines))
        allCompleted = allCompleted && line.result == CompleteStatus;

    if (m_options.json) {
        m_session.out() << UpdateReport::json(lines);
    } else {
        m_session.out() << resultTable(lines);
    }
    m_session.out().flush();
    return allCompleted ? CtlOptions::Completed : CtlOptions::Failed;
}

QString UpdateCommand::resultTable(const QList<UpdateReport::Line> &lines)
{
    QList<QStringList> rows { { tr("Address"), tr("Model"), tr("Serial"), tr("Firmware"), tr("Result") } };
    for (const UpdateReport::Line &line : lines) {
        // A display that told no version after its update shows a dash, not an empty gap.
        const QString after = line.versionAfter.isEmpty() ? QStringLiteral("-") : line.versionAfter;
        rows.append({ line.address, line.model, line.serial, line.versionBefore + QStringLiteral(" -> ") + after,
                      line.resultText });
    }
    return PlainText::columns(rows);
}

QList<UpdateReport::Line> UpdateCommand::reportLines() const
{
    const DisplayTableState &state = m_session.engine().state();
    QList<UpdateReport::Line> lines = m_session.engine().lastBatchReport();
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
    return lines;
}

int UpdateCommand::abandoned()
{
    const DisplayTableState &state = m_session.engine().state();
    QStringList midUpdate;
    for (const DisplayEntry &entry : state.displayEntries) {
        if (entry.updateStatus == 2)
            midUpdate << PlainText::sanitized(DisplayListExport::addressText(entry.address) + QLatin1Char(' ')
                                              + entry.modelName + QLatin1Char(' ') + entry.serialNumber);
    }
    QTextStream &err = m_session.err();
    if (m_phase == Phase::Preparing) {
        err << tr("Interrupted before any display was changed.") << Qt::endl;
    } else if (midUpdate.isEmpty()) {
        err << tr("Exiting at once; no display was mid-update.") << Qt::endl;
    } else {
        err << tr("Exiting at once. These displays were left mid-update; check them before use:") << Qt::endl;
        for (const QString &display : qAsConst(midUpdate))
            err << "  " << display << Qt::endl;
    }
    // A script reading standard output still gets every display's state as far as it is known.
    if (m_phase != Phase::Preparing && m_options.json) {
        m_session.out() << UpdateReport::json(reportLines());
        m_session.out().flush();
    }
    return CtlOptions::Failed;
}
