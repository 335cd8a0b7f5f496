#pragma once

#include "history/HistoryFilter.h"
#include "history/UpdateAttempt.h"
#include "history/UsbDriveRecord.h"
#include "platform/ProcessIdentity.h"

#include <QCoreApplication>
#include <QList>
#include <QSqlDatabase>
#include <QString>

class QSqlQuery;

// The update history in one SQLite file: every LAN update attempt and every USB drive prepared.
// The only code that knows the file's tables. The window and quillonctl write it at the same time
// (write-ahead log, a busy time-out), so every write is one short statement. Nothing here blocks
// an update: when the file cannot be written, calls answer -1 or false, say why in lastError()
// and the log, and the caller goes on.
class UpdateHistory
{
    Q_DECLARE_TR_FUNCTIONS(UpdateHistory)

public:
    static constexpr int SchemaVersion = 3;
    static constexpr int BusyTimeoutMs = 5000;

    enum class OpenStatus {
        Opened,
        Recovered,    // the old file could not be read: moved aside, a new one started
        Unavailable,  // no history in this run; see takeWarning()
    };

    // An empty path means history.sqlite in the application data folder.
    explicit UpdateHistory(const QString &path = QString());
    ~UpdateHistory();
    UpdateHistory(const UpdateHistory &) = delete;
    UpdateHistory &operator=(const UpdateHistory &) = delete;

    static QString defaultPath();
    QString path() const { return m_path; }

    OpenStatus open();
    bool isOpen() const { return m_open; }
    int schemaVersion() const { return m_schemaVersion; }
    // The user text of what open() had to do or could not do, handed out once.
    QString takeWarning();
    // The last failure, in English, for the log.
    QString lastError() const { return m_lastError; }

    // Written into every attempt begun here; tests pose as other processes.
    void setOwner(const ProcessIdentity &owner) { m_owner = owner; }
    const ProcessIdentity &owner() const { return m_owner; }

    // The pending row, before the first request of a session leaves. Returns its id, or -1.
    qint64 beginAttempt(const UpdateAttempt &attempt);
    bool settleAttempt(qint64 id, int status, const QString &statusText);
    bool recordVerification(qint64 id, const QString &firmwareAfter, int verification, const QString &text);
    // Finished attempts in one transaction (an import; the benchmark's fill).
    bool appendAttempts(const QList<UpdateAttempt> &attempts);

    // Pending rows whose process no longer runs on this host become interrupted; those are
    // returned, oldest first. A row another process marked first is not returned twice.
    QList<UpdateAttempt> markInterrupted();

    QList<UpdateAttempt> attempts(const HistoryFilter &filter = HistoryFilter()) const;

    qint64 recordUsbDrive(const UsbDriveRecord &record);
    QList<UsbDriveRecord> usbDrives() const;

    // Removes every attempt that is not pending (updates still running keep their row) and every
    // USB drive record. Returns the number of attempts removed, or -1.
    int clear();

private:
    bool openConnection();
    void closeConnection();
    bool prepare();
    bool migrate();
    bool moveAside(QString &movedTo);
    bool exec(QSqlQuery &query) const;
    bool execText(const QString &sql) const;
    bool looksCorrupt() const;
    void readAttempts(QSqlQuery &query, QList<UpdateAttempt> &found) const;

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    ProcessIdentity m_owner;
    bool m_open = false;
    int m_schemaVersion = 0;
    QString m_warning;
    mutable QString m_lastError;
    mutable int m_lastNativeError = 0;
};
