#include "queue/UpdateVerifier.h"

#include "catalogue/FirmwareVersions.h"
#include "control/TcpClient.h"

#include <QCoreApplication>

namespace {

bool hasText(const QString &text)
{
    return !text.trimmed().isEmpty();
}

}

UpdateVerifier::UpdateVerifier(const QHostAddress &address, quint32 versionFlags, const QString &expectedVersion,
                               const Params &params, QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_versionFlags(versionFlags)
    , m_expected(expectedVersion)
    , m_params(params)
{
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &UpdateVerifier::poll);
    // A query can take many seconds against a display that accepts and never answers; the bound
    // holds even while one is out.
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { finish(m_lastVersion.isEmpty() ? NoAnswer : VersionMismatch); });
}

UpdateVerifier::~UpdateVerifier()
{
    if (m_client) {
        m_client->disconnect(this);
        m_client->deleteLater();
    }
}

void UpdateVerifier::start()
{
    m_clock.start();
    m_deadline.start(qMax(0, m_params.maxWaitMs));
    // The display is still going down right after it said "complete": look after one interval.
    m_pollTimer.start(m_params.pollIntervalMs);
}

bool UpdateVerifier::versionsMatch(const QString &found, const QString &expected)
{
    if (found.trimmed() == expected.trimmed())
        return true;
    int error = 0;
    const int order = FirmwareVersions::compareVersions(found, expected, &error);
    return error == 0 && order == 0;
}

void UpdateVerifier::poll()
{
    if (m_done)
        return;
    if (m_clock.elapsed() >= m_params.maxWaitMs) {
        finish(m_lastVersion.isEmpty() ? NoAnswer : VersionMismatch);
        return;
    }
    auto *client = new TcpClient(this);
    m_client = client;
    connect(client, &TcpClient::device_results, this, &UpdateVerifier::replied);
    client->setRequestFlags(m_versionFlags);
    client->connectToDisplay(m_address, m_params.controlPort, QHostAddress());
}

void UpdateVerifier::replied(PD_TCP_REPLY reply)
{
    if (auto *client = qobject_cast<TcpClient *>(sender())) {
        client->disconnect(this);
        client->deleteLater();
    }
    if (m_done)
        return;
    const QString version = reply.mainFwVersion.trimmed();
    if (reply.status == 0 && hasText(version)) {
        if (versionsMatch(version, m_expected)) {
            m_lastVersion = version;
            finish(Verified);
            return;
        }
        m_lastVersion = version;
        // Before it restarts a display still reports the old version; once it was seen gone and
        // is back, the version it reports is the installed one.
        if (m_seenDown) {
            finish(VersionMismatch);
            return;
        }
    } else {
        m_seenDown = true;
    }
    const qint64 left = m_params.maxWaitMs - m_clock.elapsed();
    if (left <= 0)
        finish(m_lastVersion.isEmpty() ? NoAnswer : VersionMismatch);
    else
        m_pollTimer.start(int(qMin<qint64>(m_params.pollIntervalMs, left)));
}

void UpdateVerifier::finish(int outcome)
{
    if (m_done)
        return;
    m_done = true;
    m_pollTimer.stop();
    m_deadline.stop();
    emit finished(m_address, outcome, m_lastVersion);
}

QString UpdateVerifier::rowText(int outcome, const QString &expected, const QString &found)
{
    switch (outcome) {
    case Verified:
        return QCoreApplication::translate("UpdateVerifier", "Verified: version %1", "1=firmware version").arg(found);
    case VersionMismatch:
        return QCoreApplication::translate("UpdateVerifier", "Version after update is %1, expected %2",
                                           "1=version read 2=version of the release")
                .arg(found, expected);
    default:
        return QCoreApplication::translate("UpdateVerifier", "Display did not answer after the update.");
    }
}

QString UpdateVerifier::logText(int outcome, const QString &expected, const QString &found)
{
    switch (outcome) {
    case Verified:
        return QStringLiteral("Verified: version %1").arg(found);
    case VersionMismatch:
        return QStringLiteral("Version after update is %1, expected %2").arg(found, expected);
    default:
        return QStringLiteral("Display did not answer after the update. Expected version %1").arg(expected);
    }
}
