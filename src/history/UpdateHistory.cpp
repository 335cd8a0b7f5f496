#include "history/UpdateHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>

namespace {

// SQLite's primary result codes for a file that is not a database or is damaged.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;
constexpr int SqliteIoError = 10;
constexpr int SqliteFull = 13;

// Each step brings the file from the version before it to its own. A new file runs them all, so
// the path an old file takes is the path every file has taken.
struct SchemaStep
{
    int version;
    QList<const char *> statements;
};

const QList<SchemaStep> &schemaSteps()
{
    static const QList<SchemaStep> steps {
        { 1,
          { "CREATE TABLE schema_version (version INTEGER NOT NULL)",
            "INSERT INTO schema_version (version) VALUES (0)",
            "CREATE TABLE update_attempt ("
            " id INTEGER PRIMARY KEY AUTOINCREMENT,"
            " started_ms INTEGER NOT NULL,"
            " settled_ms INTEGER,"
            " address TEXT NOT NULL DEFAULT '',"
            " model TEXT NOT NULL DEFAULT '',"
            " serial TEXT NOT NULL DEFAULT '',"
            " firmware_before TEXT NOT NULL DEFAULT '',"
            " target_version TEXT NOT NULL DEFAULT '',"
            " state TEXT NOT NULL DEFAULT 'pending',"
            " status INTEGER NOT NULL DEFAULT 0,"
            " status_text TEXT NOT NULL DEFAULT '')" } },
        { 2,
          { "ALTER TABLE update_attempt ADD COLUMN batch TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN series INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE update_attempt ADD COLUMN firmware_after TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN verification INTEGER NOT NULL DEFAULT -1",
            "ALTER TABLE update_attempt ADD COLUMN verification_text TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN package_name TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN package_md5 TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN front_end TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN user_name TEXT NOT NULL DEFAULT ''",
            // Rows of the first version name no process: owner 0 is one that no longer runs.
            "ALTER TABLE update_attempt ADD COLUMN owner_pid INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE update_attempt ADD COLUMN owner_start TEXT NOT NULL DEFAULT ''",
            "ALTER TABLE update_attempt ADD COLUMN owner_host TEXT NOT NULL DEFAULT ''",
            "CREATE INDEX update_attempt_serial ON update_attempt (serial)",
            "CREATE INDEX update_attempt_address ON update_attempt (address)",
            "CREATE INDEX update_attempt_started ON update_attempt (started_ms)",
            "CREATE INDEX update_attempt_batch ON update_attempt (batch)",
            "CREATE INDEX update_attempt_pending ON update_attempt (state) WHERE state = 'pending'",
            "CREATE TABLE usb_drive ("
            " id INTEGER PRIMARY KEY AUTOINCREMENT,"
            " time_ms INTEGER NOT NULL,"
            " drive TEXT NOT NULL DEFAULT '',"
            " release TEXT NOT NULL DEFAULT '',"
            " files TEXT NOT NULL DEFAULT '',"
            " result INTEGER NOT NULL DEFAULT 0,"
            " result_text TEXT NOT NULL DEFAULT '',"
            " front_end TEXT NOT NULL DEFAULT '',"
            " user_name TEXT NOT NULL DEFAULT '')" } },
        // The rollout policy of the batch; rows written before it had none, which is "off".
        { 3,
          { "ALTER TABLE update_attempt ADD COLUMN rollout_first_per_model INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE update_attempt ADD COLUMN rollout_max_failures INTEGER NOT NULL DEFAULT 0" } },
    };
    return steps;
}

const char *const AttemptColumns =
        "id, batch, started_ms, settled_ms, address, model, serial, series, firmware_before, target_version,"
        " firmware_after, state, status, status_text, verification, verification_text, package_name,"
        " package_md5, front_end, user_name, rollout_first_per_model, rollout_max_failures";

const char *const InsertAttempt =
        "INSERT INTO update_attempt (batch, started_ms, settled_ms, address, model, serial, series,"
        " firmware_before, target_version, firmware_after, state, status, status_text, verification,"
        " verification_text, package_name, package_md5, front_end, user_name, owner_pid, owner_start,"
        " owner_host, rollout_first_per_model, rollout_max_failures)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

QVariant msOf(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant(QMetaType(QMetaType::LongLong));
}

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

// A null QString binds as SQL NULL; the text columns hold an empty text instead.
void bindAll(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        const bool nullText = value.typeId() == QMetaType::QString && value.toString().isNull();
        query.bindValue(i, nullText ? QVariant(QString::fromLatin1("")) : value);
    }
}

QString likePattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

}

UpdateHistory::UpdateHistory(const QString &path)
    : m_path(path.isEmpty() ? defaultPath() : path)
    , m_connection(QStringLiteral("quillon-history-%1").arg(quintptr(this), 0, 16))
    , m_owner(ProcessIdentity::current())
{
}

UpdateHistory::~UpdateHistory()
{
    closeConnection();
}

QString UpdateHistory::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/history.sqlite");
}

QString UpdateHistory::takeWarning()
{
    QString warning;
    warning.swap(m_warning);
    return warning;
}

UpdateHistory::OpenStatus UpdateHistory::open()
{
    closeConnection();
    m_lastNativeError = 0;
    const bool existed = QFileInfo::exists(m_path);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_lastError = QStringLiteral("cannot create the folder %1").arg(folder);
    } else if (openConnection() && prepare()) {
        m_open = true;
        return OpenStatus::Opened;
    } else if (looksCorrupt()) {
        const QString damage = m_lastError;
        closeConnection();
        QString movedTo;
        if (moveAside(movedTo) && openConnection() && prepare()) {
            m_open = true;
            qWarning().noquote() << "Update history" << m_path << "could not be read (" + damage + "); moved aside as"
                                 << movedTo << "and started afresh";
            m_warning = tr("The update history %1 could not be read and was moved aside as %2. A new history was started.")
                                .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(movedTo));
            return OpenStatus::Recovered;
        }
    }
    closeConnection();
    // A history that could not even be started on a full disk leaves nothing behind to fill it further.
    const int primary = m_lastNativeError & 0xff;
    if (!existed && (primary == SqliteFull || primary == SqliteIoError)) {
        for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal") })
            QFile::remove(m_path + suffix);
    }
    qWarning().noquote() << "Update history" << m_path << "is not available:" << m_lastError;
    m_warning = tr("The update history cannot be kept in %1 (%2). Updates go on without it.")
                        .arg(QDir::toNativeSeparators(m_path), m_lastError);
    return OpenStatus::Unavailable;
}

bool UpdateHistory::openConnection()
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!m_db.open()) {
        m_lastError = m_db.lastError().text();
        m_lastNativeError = m_db.lastError().nativeErrorCode().toInt();
        return false;
    }
    return true;
}

void UpdateHistory::closeConnection()
{
    m_open = false;
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

bool UpdateHistory::looksCorrupt() const
{
    const int primary = m_lastNativeError & 0xff;
    return primary == SqliteCorrupt || primary == SqliteNotADatabase;
}

bool UpdateHistory::prepare()
{
    // The write-ahead log lets one program read while another writes; FULL makes each pending row
    // reach the disk before the session's first request, so a power cut cannot lose it.
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))) {
        m_lastError = query.lastError().text();
        m_lastNativeError = query.lastError().nativeErrorCode().toInt();
        return false;
    }
    query.finish();
    if (!execText(QStringLiteral("PRAGMA synchronous = FULL")))
        return false;
    return migrate();
}

bool UpdateHistory::migrate()
{
    // IMMEDIATE takes the write lock at once, so two programs starting together migrate in turn
    // instead of one failing halfway.
    if (!execText(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    int version = 0;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'schema_version'"));
    if (!exec(query) || !query.next()) {
        execText(QStringLiteral("ROLLBACK"));
        return false;
    }
    const bool versioned = query.value(0).toInt() > 0;
    query.finish();
    if (versioned) {
        QSqlQuery read(m_db);
        read.prepare(QStringLiteral("SELECT version FROM schema_version"));
        if (!exec(read) || !read.next()) {
            if (!read.lastError().isValid())
                m_lastError = QStringLiteral("the schema version table is empty");
            execText(QStringLiteral("ROLLBACK"));
            return false;
        }
        version = read.value(0).toInt();
        read.finish();
    }
    const int foundVersion = version;
    for (const SchemaStep &step : schemaSteps()) {
        if (step.version <= version)
            continue;
        for (const char *statement : step.statements) {
            if (!execText(QString::fromLatin1(statement))) {
                execText(QStringLiteral("ROLLBACK"));
                return false;
            }
        }
        if (!execText(QStringLiteral("UPDATE schema_version SET version = %1").arg(step.version))) {
            execText(QStringLiteral("ROLLBACK"));
            return false;
        }
        version = step.version;
    }
    if (!execText(QStringLiteral("COMMIT"))) {
        execText(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (foundVersion == 0)
        qInfo().noquote() << "Update history started in" << m_path;
    else if (foundVersion != version)
        qInfo().noquote() << "Update history" << m_path << "brought from version" << foundVersion << "to" << version;
    // A file from a later edition keeps its tables; the columns written here are still there.
    m_schemaVersion = version;
    return true;
}

bool UpdateHistory::moveAside(QString &movedTo)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    movedTo = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFile::exists(movedTo); ++n)
        movedTo = m_path + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, movedTo)) {
        m_lastError = QStringLiteral("cannot move %1 aside").arg(m_path);
        return false;
    }
    // The log beside a damaged file belongs to it; the shared-memory index is rebuilt anyway.
    const QString wal = m_path + QStringLiteral("-wal");
    if (QFile::exists(wal))
        QFile::rename(wal, movedTo + QStringLiteral("-wal"));
    QFile::remove(m_path + QStringLiteral("-shm"));
    return true;
}

bool UpdateHistory::exec(QSqlQuery &query) const
{
    if (query.exec())
        return true;
    m_lastError = query.lastError().text();
    m_lastNativeError = query.lastError().nativeErrorCode().toInt();
    qWarning().noquote() << "Update history:" << m_lastError;
    return false;
}

bool UpdateHistory::execText(const QString &sql) const
{
    QSqlQuery query(m_db);
    if (query.exec(sql))
        return true;
    m_lastError = query.lastError().text();
    m_lastNativeError = query.lastError().nativeErrorCode().toInt();
    return false;
}

qint64 UpdateHistory::beginAttempt(const UpdateAttempt &attempt)
{
    if (!m_open)
        return -1;
    QSqlQuery query(m_db);
    query.prepare(QString::fromLatin1(InsertAttempt));
    const QDateTime started = attempt.started.isValid() ? attempt.started : QDateTime::currentDateTimeUtc();
    const QVariantList values {
        attempt.batch, started.toMSecsSinceEpoch(), QVariant(QMetaType(QMetaType::LongLong)), attempt.address,
        attempt.model, attempt.serial, attempt.series, attempt.firmwareBefore, attempt.targetVersion,
        attempt.firmwareAfter, UpdateAttempt::stateName(UpdateAttempt::State::Pending), attempt.status, attempt.statusText,
        int(UpdateAttempt::None), QString(), attempt.packageName, attempt.packageMd5, attempt.frontEnd,
        attempt.userName.isEmpty() ? m_owner.userName : attempt.userName, m_owner.pid, m_owner.startMark,
        m_owner.host, attempt.rollout.firstPerModel ? 1 : 0, attempt.rollout.maxFailures,
    };
    bindAll(query, values);
    if (!exec(query))
        return -1;
    return query.lastInsertId().toLongLong();
}

bool UpdateHistory::settleAttempt(qint64 id, int status, const QString &statusText)
{
    if (!m_open || id < 0)
        return false;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE update_attempt SET state = 'settled', settled_ms = ?, status = ?, status_text = ?"
                                 " WHERE id = ?"));
    bindAll(query, { QDateTime::currentMSecsSinceEpoch(), status, statusText, id });
    if (!exec(query))
        return false;
    if (query.numRowsAffected() != 1) {
        m_lastError = QStringLiteral("no update attempt %1").arg(id);
        return false;
    }
    return true;
}

bool UpdateHistory::recordVerification(qint64 id, const QString &firmwareAfter, int verification, const QString &text)
{
    if (!m_open || id < 0)
        return false;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE update_attempt SET firmware_after = ?, verification = ?, verification_text = ?"
                                 " WHERE id = ?"));
    bindAll(query, { firmwareAfter, verification, text, id });
    if (!exec(query))
        return false;
    if (query.numRowsAffected() != 1) {
        m_lastError = QStringLiteral("no update attempt %1").arg(id);
        return false;
    }
    return true;
}

bool UpdateHistory::appendAttempts(const QList<UpdateAttempt> &attempts)
{
    if (!m_open || !execText(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    QSqlQuery query(m_db);
    query.prepare(QString::fromLatin1(InsertAttempt));
    for (const UpdateAttempt &attempt : attempts) {
        const QVariantList values {
            attempt.batch, msOf(attempt.started.isValid() ? attempt.started : QDateTime::currentDateTimeUtc()),
            msOf(attempt.settled), attempt.address, attempt.model, attempt.serial, attempt.series,
            attempt.firmwareBefore, attempt.targetVersion, attempt.firmwareAfter, UpdateAttempt::stateName(attempt.state),
            attempt.status, attempt.statusText, attempt.verification, attempt.verificationText, attempt.packageName,
            attempt.packageMd5, attempt.frontEnd, attempt.userName, m_owner.pid, m_owner.startMark, m_owner.host,
            attempt.rollout.firstPerModel ? 1 : 0, attempt.rollout.maxFailures,
        };
        bindAll(query, values);
        if (!exec(query)) {
            execText(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    if (!execText(QStringLiteral("COMMIT"))) {
        execText(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

QList<UpdateAttempt> UpdateHistory::markInterrupted()
{
    QList<UpdateAttempt> marked;
    if (!m_open)
        return marked;
    QSqlQuery pending(m_db);
    pending.setForwardOnly(true);
    pending.prepare(QStringLiteral("SELECT id, owner_pid, owner_start, owner_host FROM update_attempt"
                                   " WHERE state = 'pending' ORDER BY started_ms, id"));
    if (!exec(pending))
        return marked;
    QList<qint64> orphans;
    while (pending.next()) {
        ProcessIdentity owner;
        owner.pid = pending.value(1).toLongLong();
        owner.startMark = pending.value(2).toString();
        owner.host = pending.value(3).toString();
        if (!owner.isRunning())
            orphans.append(pending.value(0).toLongLong());
    }
    pending.finish();

    QSqlQuery mark(m_db);
    mark.prepare(QStringLiteral("UPDATE update_attempt SET state = 'interrupted' WHERE id = ? AND state = 'pending'"));
    QSqlQuery read(m_db);
    read.setForwardOnly(true);
    read.prepare(QStringLiteral("SELECT %1 FROM update_attempt WHERE id = ?").arg(QString::fromLatin1(AttemptColumns)));
    for (const qint64 id : orphans) {
        mark.bindValue(0, id);
        // Another program starting at the same moment may have marked it: it reports that row.
        if (!exec(mark) || mark.numRowsAffected() != 1)
            continue;
        read.bindValue(0, id);
        if (exec(read))
            readAttempts(read, marked);
        read.finish();
    }
    for (const UpdateAttempt &attempt : marked) {
        qWarning().noquote() << "Update interrupted: the update of" << attempt.model << attempt.serial << "at"
                             << attempt.address << "started" << attempt.started.toString(Qt::ISODate)
                             << "never ended; check the display before switching it off";
    }
    return marked;
}

QList<UpdateAttempt> UpdateHistory::attempts(const HistoryFilter &filter) const
{
    if (!m_open)
        return {};
    QStringList conditions;
    QVariantList values;
    if (filter.since.isValid()) {
        conditions << QStringLiteral("started_ms >= ?");
        values << filter.since.toMSecsSinceEpoch();
    }
    if (filter.until.isValid()) {
        conditions << QStringLiteral("started_ms < ?");
        values << filter.until.toMSecsSinceEpoch();
    }
    if (!filter.serial.isEmpty()) {
        conditions << QStringLiteral("serial = ?");
        values << filter.serial;
    }
    if (!filter.address.isEmpty()) {
        conditions << QStringLiteral("address = ?");
        values << filter.address;
    }
    if (!filter.batch.isEmpty()) {
        conditions << QStringLiteral("batch = ?");
        values << filter.batch;
    }
    if (!filter.text.isEmpty()) {
        conditions << QStringLiteral("(address LIKE ? ESCAPE '\\' OR serial LIKE ? ESCAPE '\\' OR model LIKE ? ESCAPE '\\')");
        const QString pattern = likePattern(filter.text);
        values << pattern << pattern << pattern;
    }
    if (filter.belowId > 0) {
        conditions << QStringLiteral("id < ?");
        values << filter.belowId;
    }
    switch (filter.result) {
    case HistoryFilter::Result::Succeeded:
        conditions << QStringLiteral("state = 'settled' AND status = %1").arg(UpdateAttempt::SessionComplete);
        break;
    case HistoryFilter::Result::Failed:
        conditions << QStringLiteral("state = 'settled' AND status <> %1").arg(UpdateAttempt::SessionComplete);
        break;
    case HistoryFilter::Result::Interrupted:
        conditions << QStringLiteral("state = 'interrupted'");
        break;
    case HistoryFilter::Result::Pending:
        conditions << QStringLiteral("state = 'pending'");
        break;
    case HistoryFilter::Result::Any:
        break;
    }
    QString sql = QStringLiteral("SELECT %1 FROM update_attempt").arg(QString::fromLatin1(AttemptColumns));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    // Pages go by id, the order rows were written in: a walk along the table itself, no index.
    // Otherwise the newest rows when there is a limit, handed out oldest first like the others.
    if (filter.newestFirst)
        sql += QStringLiteral(" ORDER BY id DESC");
    else
        sql += filter.limit > 0 ? QStringLiteral(" ORDER BY started_ms DESC, id DESC") : QStringLiteral(" ORDER BY started_ms, id");
    if (filter.limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(filter.limit);
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(sql);
    bindAll(query, values);
    if (!exec(query))
        return {};
    QList<UpdateAttempt> found;
    if (conditions.isEmpty() && filter.limit <= 0 && !filter.newestFirst) {
        // The whole history for the view: one allocation instead of a growing list.
        QSqlQuery count(m_db);
        count.prepare(QStringLiteral("SELECT count(*) FROM update_attempt"));
        if (exec(count) && count.next())
            found.reserve(count.value(0).toLongLong());
    }
    readAttempts(query, found);
    if (filter.limit > 0 && !filter.newestFirst)
        std::reverse(found.begin(), found.end());
    return found;
}

void UpdateHistory::readAttempts(QSqlQuery &query, QList<UpdateAttempt> &found) const
{
    while (query.next()) {
        UpdateAttempt attempt;
        attempt.id = query.value(0).toLongLong();
        attempt.batch = query.value(1).toString();
        attempt.started = timeOf(query.value(2));
        attempt.settled = timeOf(query.value(3));
        attempt.address = query.value(4).toString();
        attempt.model = query.value(5).toString();
        attempt.serial = query.value(6).toString();
        attempt.series = query.value(7).toInt();
        attempt.firmwareBefore = query.value(8).toString();
        attempt.targetVersion = query.value(9).toString();
        attempt.firmwareAfter = query.value(10).toString();
        attempt.state = UpdateAttempt::stateFromName(query.value(11).toString());
        attempt.status = query.value(12).toInt();
        attempt.statusText = query.value(13).toString();
        attempt.verification = query.value(14).toInt();
        attempt.verificationText = query.value(15).toString();
        attempt.packageName = query.value(16).toString();
        attempt.packageMd5 = query.value(17).toString();
        attempt.frontEnd = query.value(18).toString();
        attempt.userName = query.value(19).toString();
        attempt.rollout.firstPerModel = query.value(20).toInt() != 0;
        attempt.rollout.maxFailures = query.value(21).toInt();
        found.append(std::move(attempt));
    }
}

qint64 UpdateHistory::recordUsbDrive(const UsbDriveRecord &record)
{
    if (!m_open)
        return -1;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO usb_drive (time_ms, drive, release, files, result, result_text, front_end,"
                                 " user_name) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    bindAll(query, { msOf(record.time.isValid() ? record.time : QDateTime::currentDateTimeUtc()), record.drive,
                     record.release, record.files.join(QLatin1Char('\n')), record.result, record.resultText,
                     record.frontEnd, record.userName.isEmpty() ? m_owner.userName : record.userName });
    if (!exec(query))
        return -1;
    return query.lastInsertId().toLongLong();
}

QList<UsbDriveRecord> UpdateHistory::usbDrives() const
{
    QList<UsbDriveRecord> found;
    if (!m_open)
        return found;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, time_ms, drive, release, files, result, result_text, front_end, user_name"
                                 " FROM usb_drive ORDER BY time_ms, id"));
    if (!exec(query))
        return found;
    while (query.next()) {
        UsbDriveRecord record;
        record.id = query.value(0).toLongLong();
        record.time = timeOf(query.value(1));
        record.drive = query.value(2).toString();
        record.release = query.value(3).toString();
        const QString files = query.value(4).toString();
        record.files = files.isEmpty() ? QStringList() : files.split(QLatin1Char('\n'));
        record.result = query.value(5).toInt();
        record.resultText = query.value(6).toString();
        record.frontEnd = query.value(7).toString();
        record.userName = query.value(8).toString();
        found.append(record);
    }
    return found;
}

int UpdateHistory::clear()
{
    if (!m_open || !execText(QStringLiteral("BEGIN IMMEDIATE")))
        return -1;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM update_attempt WHERE state <> 'pending'"));
    if (!exec(query) || !execText(QStringLiteral("DELETE FROM usb_drive"))) {
        execText(QStringLiteral("ROLLBACK"));
        return -1;
    }
    const int removed = query.numRowsAffected();
    if (!execText(QStringLiteral("COMMIT"))) {
        execText(QStringLiteral("ROLLBACK"));
        return -1;
    }
    qInfo().noquote() << "Update history cleared:" << removed << "update attempt(s) removed";
    return removed;
}
