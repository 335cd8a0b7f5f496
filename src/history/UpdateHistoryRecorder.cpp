#include "history/UpdateHistoryRecorder.h"

#include "history/UpdateHistory.h"

#include <QUuid>

UpdateHistoryRecorder::UpdateHistoryRecorder(UpdateHistory &history, const QString &frontEnd, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_frontEnd(frontEnd)
{
    startBatch();
}

void UpdateHistoryRecorder::startBatch()
{
    m_batch = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_ids.clear();
}

void UpdateHistoryRecorder::sessionStarting(const QString &address, const QString &model, const QString &serial,
                                            int series, const QString &firmwareBefore, const QString &targetVersion,
                                            const QString &packageName, const QString &packageMd5,
                                            const RolloutPolicy &rollout)
{
    UpdateAttempt attempt;
    attempt.batch = m_batch;
    attempt.started = QDateTime::currentDateTimeUtc();
    attempt.address = address;
    attempt.model = model;
    attempt.serial = serial;
    attempt.series = series;
    attempt.firmwareBefore = firmwareBefore;
    attempt.targetVersion = targetVersion;
    attempt.packageName = packageName;
    attempt.packageMd5 = packageMd5;
    attempt.frontEnd = m_frontEnd;
    attempt.rollout = rollout;
    const qint64 id = m_history.beginAttempt(attempt);
    m_ids.insert(address, id);
    if (id < 0)
        reportFailure();
}

void UpdateHistoryRecorder::sessionSettled(const QString &address, int status, const QString &statusText)
{
    const qint64 id = attemptId(address);
    if (id >= 0 && !m_history.settleAttempt(id, status, statusText))
        reportFailure();
}

void UpdateHistoryRecorder::verificationFinished(const QString &address, const QString &firmwareAfter, int outcome,
                                                 const QString &text)
{
    const qint64 id = attemptId(address);
    if (id >= 0 && !m_history.recordVerification(id, firmwareAfter, outcome, text))
        reportFailure();
}

void UpdateHistoryRecorder::usbDriveCreated(const QString &drive, const QString &release, const QStringList &files,
                                            int result, const QString &resultText)
{
    UsbDriveRecord record;
    record.time = QDateTime::currentDateTimeUtc();
    record.drive = drive;
    record.release = release;
    record.files = files;
    record.result = result;
    record.resultText = resultText;
    record.frontEnd = m_frontEnd;
    if (m_history.recordUsbDrive(record) < 0)
        reportFailure();
}

void UpdateHistoryRecorder::reportFailure()
{
    qWarning().noquote() << "Update history not written:" << m_history.lastError() << "- the update goes on";
    if (m_failureReported)
        return;
    m_failureReported = true;
    emit writeFailed(tr("The update history could not be written (%1). The update goes on.").arg(m_history.lastError()));
}
