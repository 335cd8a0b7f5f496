#include "queue/UpdateQueue.h"

#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareStatusEvaluator.h"
#include "control/ControlItem.h"
#include "download/CacheFileName.h"
#include "queue/LaneEstimate.h"
#include "queue/QueueRefusal.h"
#include "queue/SettledTest.h"
#include "records/AddressText.h"
#include "records/DisplayTableState.h"
#include "search/SearchOrchestrator.h"
#include "update/HttpClient.h"
#include "update/UpdateStatus.h"
#include "update/UpdateStatusText.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

UpdateQueue::UpdateQueue(DisplayTableState &state, const FirmwareDatabase &database, const QString &cacheFolder,
                         QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_database(database)
    , m_cacheFolder(cacheFolder)
{
    m_timer.setInterval(TickMs);
    connect(&m_timer, &QTimer::timeout, this, &UpdateQueue::FirmUpdateTimerHandle);
}

UpdateQueue::~UpdateQueue()
{
    // The rows may outlive the queue for a moment; they must not point at deleted sessions.
    for (DisplayEntry &entry : m_state.displayEntries) {
        if (entry.updateSession && m_sessions.contains(entry.updateSession))
            entry.updateSession = nullptr;
    }
    qDeleteAll(m_sessions.keys());
}

int UpdateQueue::queueUpdates()
{
    // A new batch takes the policy in force now; rows added to a batch still waiting join it.
    if (m_sessions.isEmpty()) {
        m_rollout = RolloutGate(m_state.rollout);
        m_rolloutStopLogged = false;
    }
    int queued = 0;
    for (int row = 0; row < m_state.displayEntries.size(); ++row) {
        if (queueRow(row))
            ++queued;
    }
    if (queued > 0) {
        m_state.activeUpdates = 0;
        for (const Session &s : std::as_const(m_sessions))
            m_state.activeUpdates += s.running ? 1 : 0;
        m_timer.start();
    }
    emit uiUpdateNeeded(true);
    return queued;
}

void UpdateQueue::refuseRow(DisplayEntry &entry, int row, const QString &rowText, const QString &logText)
{
    qInfo().noquote() << "Display #" << row + 1 << logText;
    entry.updateNote = rowText;
    entry.resultStatus = 0;
    entry.updateStatus = 0;
    // Nothing to try again until the catalogue changes; the note says why it was left out.
    entry.selected = false;
    emit update_info(row);
}

bool UpdateQueue::queueRow(int row)
{
    DisplayEntry &entry = m_state.displayEntries[row];
    const int n = row + 1;
    if (!entry.selected || entry.downloadState != 3 || entry.updateStatus != 0)
        return false;
    FirmwareRelease release;
    if (m_database.findRelease(entry.modelName, entry.serialNumber, release) != 0)
        return false;

    const QueueRefusal::Reason reason = QueueRefusal::check(entry, release);
    if (reason != QueueRefusal::Reason::None) {
        refuseRow(entry, row, QueueRefusal::rowText(reason, release), QueueRefusal::logText(reason, entry, release));
        return false;
    }

    std::array<QString, 6> files;
    int componentCount = 0;
    if (!release.unpackedFileInfo.isEmpty()) {
        for (const UnpackedFileEntry &file : release.unpackedFileInfo) {
            if (!CacheFileName::isPlain(file.fileName))
                break;
            files[componentCount] = m_cacheFolder + QLatin1Char('/') + file.fileName;
            qInfo().noquote() << "Display #" << n << "Firmware file #" << componentCount + 1 << file.fileName
                              << "is ready for ModelName:" << entry.modelName;
            ++componentCount;
        }
    } else {
        // The name the download stored the package under, byte for byte.
        const QString name = CacheFileName::fromDownloadLocation(release.downloadLoc);
        if (CacheFileName::isPlain(name)) {
            files[0] = m_cacheFolder + QLatin1Char('/') + name;
            qInfo().noquote() << "Display #" << n << "Firmware file" << name
                              << "is ready for ModelName:" << entry.modelName;
            componentCount = 1;
        }
    }
    if (componentCount != QueueRefusal::fileCount(release)) {
        refuseRow(entry, row,
                  tr("Not queued: a firmware file name in the catalogue is not usable."),
                  QStringLiteral("Not queued: a firmware file name in the catalogue is not usable. Model: %1")
                          .arg(entry.modelName));
        return false;
    }

    const QHostAddress host = entry.useIP2 ? entry.updateAddress : entry.address;
    // The display's firmware components to update are the catalogue's to say, never the number of
    // files: a release that names none enables none, and its session ends without sending.
    const int enabledCount = qMin(entry.componentCount, int(DisplayEntry::ComponentSlots));
    std::array<bool, 6> enabled {};
    for (int k = 0; k < 6; ++k)
        enabled[k] = k < enabledCount;
    qInfo().noquote() << "Display #" << n << "Queuing update for Model:" << entry.modelName
                      << "update IP address:" << AddressText::of(host)
                      << "Update file:" << QDir::toNativeSeparators(files[0]) << "Component count:" << componentCount;

    HttpClient *session = entry.updateSession;
    if (!session || !m_sessions.contains(session)) {
        session = new HttpClient(this);
        m_sessions.insert(session, Session());
        entry.updateSession = session;
    }
    SessionParams params = m_sessionParams;
    params.timerIntervalMs = 0;
    params.seriesCode = entry.catalogueSeries;
    params.needPowerPrep = entry.needPowerSaveModeToNormal != 0;
    // A release that takes long to write gets as long to finish as three times its stated time.
    params.writingCeilingSecs = qMax(params.writingCeilingSecs, 3 * entry.updateDurationSecs);
    if (session->setup(row, AddressText::of(host), files, enabled, params) != 0) {
        releaseSession(session);
        entry.updateSession = nullptr;
        refuseRow(entry, row, QueueRefusal::rowText(QueueRefusal::Reason::NoLanSequence, release),
                  QueueRefusal::logText(QueueRefusal::Reason::NoLanSequence, entry, release));
        return false;
    }
    Session &record = m_sessions[session];
    record = Session();
    record.address = entry.address;
    record.modelName = entry.modelName;
    record.seriesCode = entry.catalogueSeries;
    for (const QString &file : files) {
        if (!file.isEmpty())
            record.files << QFileInfo(file).fileName();
    }

    entry.updateStatus = 1;
    entry.componentProgress.fill(-1);
    entry.commStatus = 0;
    entry.uploading = false;
    entry.uploadPercent = -1;
    entry.updateNote.clear();
    entry.updateRollout = m_rollout.policy();
    entry.heldBack = false;
    emit update_info(row);
    return true;
}

bool UpdateQueue::sessionSettled(const HttpClient *session, int seriesCode) const
{
    SettledTest::ComponentStatuses statuses {};
    for (int k = 0; k < DisplayEntry::ComponentSlots; ++k)
        statuses[k] = session->componentStatus(k);
    return SettledTest::hasSettled(session->sessionStatus(), statuses, seriesCode);
}

void UpdateQueue::releaseSession(HttpClient *session, Lane lane)
{
    const auto it = m_sessions.constFind(session);
    if (it == m_sessions.constEnd())
        return;
    if (it->running && lane == LaneFreed)
        m_state.activeUpdates = qMax(0, m_state.activeUpdates - 1);
    m_sessions.erase(it);
    session->deleteLater();
}

bool UpdateQueue::followRow(int row, DisplayEntry &entry)
{
    HttpClient *session = entry.updateSession;
    Session &record = m_sessions[session];
    const int n = row + 1;
    const QString address = AddressText::of(entry.address);

    entry.uploading = session->uploading();
    entry.uploadPercent = session->uploadPercent();
    for (int k = 0; k < DisplayEntry::ComponentSlots; ++k) {
        const int status = session->componentStatus(k);
        switch (status) {
        case 0:
            break;
        case 2:
            entry.componentProgress[k] = session->componentPercent(k);
            break;
        case 3:
            entry.componentProgress[k] = 100;
            break;
        case -5: case -4: case -3: case -2:
            // Once per change: a retry lasts many ticks.
            if (record.loggedStatus[k] != status) {
                qInfo().noquote() << "Display #" << n << "Status:" << UpdateStatusText::text(status) << "for firmware #"
                                  << k + 1 << "for Model:" << entry.modelName << "IP address:" << address;
            }
            entry.resultStatus = status;
            break;
        default:
            break;
        }
        record.loggedStatus[k] = status;
    }

    if (!sessionSettled(session, record.seriesCode))
        return false;

    const int sessionStatus = session->sessionStatus();
    entry.resultStatus = sessionStatus;
    entry.updateSettledAt = QDateTime::currentDateTimeUtc();
    qInfo().noquote() << "Display #" << n << "Update result:" << UpdateStatusText::text(sessionStatus)
                      << "for Model:" << entry.modelName << "IP address:" << address;
    entry.uploading = false;
    entry.updateSession = nullptr;
    if (sessionStatus == UpdateStatus::Timeout && session->answeringAtTimeout()) {
        // Given up although the display still answered: it may still be writing its firmware.
        entry.updateNote = tr("The display was still answering when the update was given up: it may still be "
                              "writing its firmware. Do not switch it off; search again later to read its version.");
    }
    m_rollout.settled(address, sessionStatus == 3);
    if (sessionStatus == 3 && m_verify) {
        // The display accepted the firmware; only what it reports after its restart tells whether
        // it runs it. The row stays in its update, and holds its lane, until that is known.
        qInfo().noquote() << "Display #" << n << "Update sent; checking the version after the restart. Model:"
                          << entry.modelName << "IP address:" << address;
        releaseSession(session, LaneKept);
        startVerification(entry);
        return true;
    }
    if (sessionStatus == 3) {
        // Without the check (benchmarks only) the session's word is all there is.
        entry.currentFirmware = entry.latestVersion;
        entry.firmwareStatus = FirmwareStatus::UpToDate;
        entry.selected = false;
        qInfo().noquote() << "Display #" << n << "Update complete. Model:" << entry.modelName << "IP address:" << address;
        rolloutVerified(entry.address, true);
    }
    entry.updateStatus = 0;
    releaseSession(session);
    return true;
}

void UpdateQueue::FirmUpdateTimerHandle()
{
    const int limit = qMax(1, m_state.updateLimit);
    // A row that started or left the queue changes what the panel says about it, as much as one
    // that settled.
    bool stateChanged = false;
    int queued = 0; // rows still queued after this tick
    QHash<const HttpClient *, bool> seen;
    seen.reserve(m_sessions.size());

    for (int row = 0; row < m_state.displayEntries.size(); ++row) {
        DisplayEntry &entry = m_state.displayEntries[row];
        if (entry.updateStatus == 0)
            continue;
        HttpClient *session = m_sessions.contains(entry.updateSession) ? entry.updateSession : nullptr;
        if (entry.updateStatus == 1) {
            if (!entry.selected || !session) {
                // Unticked while queued: it would wait for ever, since only ticked rows start.
                entry.updateStatus = 0;
                stateChanged = true;
                entry.updateNote.clear();
                if (session) {
                    entry.updateSession = nullptr;
                    releaseSession(session);
                }
                emit update_info(row);
                continue;
            }
            seen.insert(session, true);
            const RolloutGate::Hold hold = m_rollout.hold(RolloutGate::groupKey(entry.modelName, entry.latestVersion));
            if (hold != RolloutGate::Hold::None) {
                if (holdRow(row, entry, hold))
                    ++queued;
                else
                    seen.remove(session);
                emit update_info(row);
                continue;
            }
            if (m_state.activeUpdates >= limit) {
                ++queued;
                continue;
            }
            session->start();
            m_rollout.started(AddressText::of(entry.address), RolloutGate::groupKey(entry.modelName, entry.latestVersion));
            m_sessions[session].running = true;
            entry.updateStatus = 2;
            stateChanged = true;
            entry.updateStartedAt = QDateTime::currentDateTimeUtc();
            entry.updateSettledAt = QDateTime();
            entry.firmwareBefore = entry.currentFirmware;
            entry.firmwareAfter.clear();
            entry.verifyOutcome = VerifyOutcome::None;
            if (entry.updateDurationSecs > 0)
                entry.updateTimer.start();
            ++m_state.activeUpdates;
            // Told before it is said, so the start is in the update history by the time this line
            // is out: a program stopped right after it still finds the attempt at its next start.
            emit update_info(row);
            qInfo().noquote() << "Display #" << row + 1 << "Starting update. Model:" << entry.modelName
                              << "IP address:" << AddressText::of(entry.address);
        }
        if (!session && m_verifiers.contains(AddressText::of(entry.address)))
            continue;
        if (!session) {
            // A running row whose session is gone cannot settle through it, nor pass for its model.
            m_rollout.settled(AddressText::of(entry.address), false);
            entry.updateStatus = 0;
            stateChanged = true;
            emit update_info(row);
            continue;
        }
        // A running row is followed even when unticked, or it would hold its lane for ever.
        seen.insert(session, true);
        if (followRow(row, entry))
            stateChanged = true;
        emit update_info(row);
    }
    settleOrphans(seen);

    emit statusMessage(statusText(), 0);
    emit uiUpdateNeeded(stateChanged);

    // Rows the policy holds wait for a version check, not for a lane.
    if (m_state.activeUpdates == 0 && queued == 0) {
        m_timer.stop();
        emit statusMessage(tr("Update finished"), 0);
        qInfo().noquote() << "All updates finished";
        emit allFinished();
    }
}

// Sessions whose row left the table (a new search emptied it) run on to their end, counted,
// and are then released; nothing of them is shown, the log keeps the result.
void UpdateQueue::settleOrphans(const QHash<const HttpClient *, bool> &seen)
{
    if (seen.size() == m_sessions.size())
        return;
    QList<HttpClient *> orphans;
    for (auto it = m_sessions.cbegin(); it != m_sessions.cend(); ++it) {
        if (!seen.contains(it.key()))
            orphans.append(it.key());
    }
    for (HttpClient *session : orphans) {
        const Session record = m_sessions.value(session);
        if (record.running && !sessionSettled(session, record.seriesCode))
            continue;
        if (record.running) {
            // Its row is gone, so it is never checked: it cannot pass for its model.
            const QString key = AddressText::of(record.address);
            m_rollout.settled(key, session->sessionStatus() == 3);
            m_rollout.verified(key, false);
            qInfo().noquote() << "Update result:" << UpdateStatusText::text(session->sessionStatus())
                              << "for Model:" << record.modelName << "IP address:" << AddressText::of(record.address)
                              << "(display no longer in the table)";
        }
        releaseSession(session);
    }
}

QStringList UpdateQueue::filesInUse() const
{
    QStringList names;
    for (const Session &session : m_sessions)
        names += session.files;
    return names;
}

QString UpdateQueue::statusText() const
{
    int queued = 0;
    for (const DisplayEntry &entry : m_state.displayEntries)
        queued += entry.updateStatus == 1 ? 1 : 0;
    const int estimate = LaneEstimate::seconds(m_state.displayEntries, qMax(1, m_state.updateLimit),
                                               LaneEstimate::Mode::Remaining);
    return tr("Updating firmware on %1 display(s) via LAN. %2 display(s) are queued.")
                   .arg(m_state.activeUpdates)
                   .arg(queued)
            + tr(" Total estimated time remaining: %1:%2", "1=minutes 2=seconds")
                      .arg(estimate / 60, 2, 10, QLatin1Char('0'))
                      .arg(estimate % 60, 2, 10, QLatin1Char('0'));
}

void UpdateQueue::cancelQueued()
{
    bool any = false;
    for (int row = 0; row < m_state.displayEntries.size(); ++row) {
        DisplayEntry &entry = m_state.displayEntries[row];
        if (entry.updateStatus != 1)
            continue;
        qInfo().noquote() << "Display#" << row + 1 << "Canceling queued update of " << entry.modelName << " at "
                          << AddressText::of(entry.address);
        entry.updateStatus = 0;
        // The only note a queued row carries is the policy's wait.
        entry.updateNote.clear();
        if (HttpClient *session = entry.updateSession) {
            entry.updateSession = nullptr;
            releaseSession(session);
        }
        emit update_info(row);
        any = true;
    }
    if (any)
        emit uiUpdateNeeded(true);
}

void UpdateQueue::startVerification(DisplayEntry &entry)
{
    const QString key = AddressText::of(entry.address);
    delete m_verifiers.take(key);
    UpdateVerifier::Params params = m_verifierParams;
    params.maxWaitMs = int(qMin<qint64>(qint64(entry.updateDurationSecs) * 1000 + m_verifierParams.maxWaitMs,
                                        std::numeric_limits<int>::max()));
    const quint32 flags = SearchOrchestrator::isNewerSeries(entry.displaySeries) ? RequestFlag::MainFirmware
                                                                                 : RequestFlag::MainFirmwareByIndex;
    auto *verifier = new UpdateVerifier(entry.address, flags, entry.latestVersion, params, this);
    verifier->setExpectedDevice(entry.serialNumber, entry.modelName);
    entry.verifyOutcome = VerifyOutcome::Checking;
    entry.updateNote.clear();
    connect(verifier, &UpdateVerifier::finished, this, [this](const QHostAddress &address) { verificationFinished(address); });
    m_verifiers.insert(key, verifier);
    verifier->start();
}

void UpdateQueue::verificationFinished(const QHostAddress &address)
{
    UpdateVerifier *verifier = m_verifiers.take(AddressText::of(address));
    if (!verifier)
        return;
    const UpdateVerifier::Finding finding = verifier->finding();
    verifier->deleteLater();
    rolloutVerified(address, finding.outcome == UpdateVerifier::Verified);
    // The lane the row kept for its check.
    m_state.activeUpdates = qMax(0, m_state.activeUpdates - 1);

    const QString log = UpdateVerifier::logText(finding);
    const int row = m_state.rowForAddress(address);
    if (row >= 0 && m_state.displayEntries.at(row).verifyOutcome == VerifyOutcome::Checking) {
        DisplayEntry &entry = m_state.displayEntries[row];
        const int n = row + 1;
        qInfo().noquote() << "Display #" << n << log << "Model:" << entry.modelName
                          << "IP address:" << AddressText::of(address);
        UpdateVerifier::applyTo(entry, finding);
        // The status follows the version the display reported; with no answer of its own it
        // stays what it was before the update.
        FirmwareStatusEvaluator(m_database, m_state.legacySupport).evaluateRow(entry, false);
        if (finding.outcome == UpdateVerifier::Verified) {
            qInfo().noquote() << "Display #" << n << "Update complete. Model:" << entry.modelName
                              << "IP address:" << AddressText::of(address);
        } else {
            qInfo().noquote() << "Display #" << n << "Update failed: the display is not running the new firmware. Model:"
                              << entry.modelName << "IP address:" << AddressText::of(address);
        }
        emit update_info(row);
        emit uiUpdateNeeded(true);
    } else {
        qInfo().noquote() << log << "IP address:" << AddressText::of(address) << "(display no longer in the table)";
    }
    emit verified(address, finding.outcome, finding.version, finding);
}

void UpdateQueue::rolloutVerified(const QHostAddress &address, bool onReleaseVersion)
{
    m_rollout.verified(AddressText::of(address), onReleaseVersion);
}

bool UpdateQueue::holdRow(int row, DisplayEntry &entry, RolloutGate::Hold hold)
{
    const QString text = RolloutGate::rowText(hold, m_rollout.policy());
    if (hold == RolloutGate::Hold::WaitingForFirst) {
        if (entry.updateNote != text) {
            entry.updateNote = text;
            qInfo().noquote() << "Display #" << row + 1 << "Waiting for the first display of this model. Model:"
                              << entry.modelName << "IP address:" << AddressText::of(entry.address);
        }
        return true;
    }
    if (hold == RolloutGate::Hold::BatchStopped && !m_rolloutStopLogged) {
        m_rolloutStopLogged = true;
        qInfo().noquote() << "Rollout: the batch stopped after" << m_rollout.failures()
                          << "failures; queued displays are not started";
    }
    qInfo().noquote() << "Display #" << row + 1
                      << (hold == RolloutGate::Hold::FirstFailed ? "Not started: the first display of this model failed."
                                                                 : "Not started: the batch stopped.")
                      << "Model:" << entry.modelName << "IP address:" << AddressText::of(entry.address);
    // Left ticked: pressing Update again tries it, in a batch of its own.
    entry.updateStatus = 0;
    entry.resultStatus = 0;
    entry.updateNote = text;
    entry.heldBack = true;
    entry.verifyOutcome = -1;
    entry.updateStartedAt = QDateTime();
    entry.updateSettledAt = QDateTime();
    entry.firmwareBefore = entry.currentFirmware;
    if (HttpClient *session = entry.updateSession) {
        entry.updateSession = nullptr;
        releaseSession(session);
    }
    return false;
}
