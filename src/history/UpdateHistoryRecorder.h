#pragma once

#include "records/RolloutPolicy.h"

#include <QCoreApplication>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class UpdateHistory;

// Writes the update flow into the history from plain values, so the part that runs the queue
// connects it in a few lines and knows nothing of the file. Sessions are known by the row's
// main address within the current batch. A failed write is logged and reported once per kind;
// the update goes on.
class UpdateHistoryRecorder : public QObject
{
    Q_OBJECT

public:
    // frontEnd: "window" or "quillonctl", kept with every row.
    UpdateHistoryRecorder(UpdateHistory &history, const QString &frontEnd, QObject *parent = nullptr);

    QString batch() const { return m_batch; }
    // The history id of the address's attempt in this batch, -1 when none was written.
    qint64 attemptId(const QString &address) const { return m_ids.value(address, -1); }

public slots:
    // A new queueing: the attempts that follow belong together (the update report of one batch).
    void startBatch();
    // Just before the session's first request leaves.
    void sessionStarting(const QString &address, const QString &model, const QString &serial, int series,
                         const QString &firmwareBefore, const QString &targetVersion, const QString &packageName,
                         const QString &packageMd5, const RolloutPolicy &rollout = RolloutPolicy());
    void sessionSettled(const QString &address, int status, const QString &statusText);
    void verificationFinished(const QString &address, const QString &firmwareAfter, int outcome, const QString &text);
    void usbDriveCreated(const QString &drive, const QString &release, const QStringList &files, int result,
                         const QString &resultText);

signals:
    // A user text; sent once for the first failed write of a run.
    void writeFailed(const QString &text);

private:
    void reportFailure();

    UpdateHistory &m_history;
    const QString m_frontEnd;
    QString m_batch;
    QHash<QString, qint64> m_ids;
    bool m_failureReported = false;
};
