#include "queue/UpdateVerifier.h"

#include "catalogue/FirmwareVersions.h"
#include "control/ControlItem.h"
#include "control/TcpClient.h"

#include <QCoreApplication>

namespace {

bool hasText(const QString &text)
{
    return !text.trimmed().isEmpty();
}

// A display that does not say who it is cannot be taken for the one that was updated.
bool sameDevice(const QString &found, const QString &expected)
{
    return !hasText(expected) || found.trimmed().compare(expected.trimmed(), Qt::CaseInsensitive) == 0;
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
    m_finding.expectedVersion = expectedVersion;
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &UpdateVerifier::poll);
    // A query can take many seconds against a display that accepts and never answers; the bound
    // holds even while one is out.
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &UpdateVerifier::finishAtDeadline);
}

UpdateVerifier::~UpdateVerifier()
{
    if (m_client) {
        m_client->disconnect(this);
        m_client->deleteLater();
    }
}

void UpdateVerifier::setExpectedDevice(const QString &serial, const QString &model)
{
    m_expectedSerial = serial.trimmed();
    m_expectedModel = model.trimmed();
    m_finding.expectedSerial = m_expectedSerial;
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
    if (hasText(found) && found.trimmed() == expected.trimmed())
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
        finishAtDeadline();
        return;
    }
    auto *client = new TcpClient(this);
    m_client = client;
    connect(client, &TcpClient::device_results, this, &UpdateVerifier::replied);
    client->setRequestFlags(m_versionFlags | RequestFlag::ModelName | RequestFlag::SerialNumber);
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
        m_finding.version = version;
        m_finding.serial = reply.serialNumber.trimmed();
        m_finding.model = reply.modelName.trimmed();
        // The updated display answers with its own serial number and model from before its
        // restart to after it, so another one at the address is never a passing state.
        if (!sameDevice(m_finding.serial, m_expectedSerial) || !sameDevice(m_finding.model, m_expectedModel)) {
            finish(OtherDevice);
            return;
        }
        if (versionsMatch(version, m_expected)) {
            finish(Verified);
            return;
        }
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
        finishAtDeadline();
    else
        m_pollTimer.start(int(qMin<qint64>(m_params.pollIntervalMs, left)));
}

void UpdateVerifier::finishAtDeadline()
{
    // The last answer stands: a display that kept its old version and never restarted.
    finish(m_finding.version.isEmpty() ? NoAnswer : VersionMismatch);
}

void UpdateVerifier::finish(int outcome)
{
    if (m_done)
        return;
    m_done = true;
    m_pollTimer.stop();
    m_deadline.stop();
    m_finding.outcome = outcome;
    emit finished(m_address, outcome, m_finding.version);
}

QString UpdateVerifier::rowText(const Finding &finding)
{
    switch (finding.outcome) {
    case Verified:
        return QCoreApplication::translate("UpdateVerifier", "Verified: version %1", "1=firmware version")
                .arg(finding.version);
    case VersionMismatch:
        return QCoreApplication::translate("UpdateVerifier", "Version after update is %1, expected %2",
                                           "1=version read 2=version of the release")
                .arg(finding.version, finding.expectedVersion);
    case OtherDevice:
        return QCoreApplication::translate("UpdateVerifier",
                                           "Another display answers at this address (serial %1, expected %2)",
                                           "1=serial number read 2=serial number of the updated display")
                .arg(finding.serial, finding.expectedSerial);
    default:
        return QCoreApplication::translate(
                "UpdateVerifier", "The display did not answer after the update — check it before switching it off");
    }
}

QString UpdateVerifier::logText(const Finding &finding)
{
    switch (finding.outcome) {
    case Verified:
        return QStringLiteral("Verified: version %1").arg(finding.version);
    case VersionMismatch:
        return QStringLiteral("Version after update is %1, expected %2").arg(finding.version, finding.expectedVersion);
    case OtherDevice:
        return QStringLiteral("Another display answers at this address (serial %1, model %2, version %3), expected serial %4")
                .arg(finding.serial, finding.model, finding.version, finding.expectedSerial);
    default:
        return QStringLiteral("The display did not answer after the update; expected version %1")
                .arg(finding.expectedVersion);
    }
}

void UpdateVerifier::applyTo(DisplayEntry &entry, const Finding &finding)
{
    entry.verifyOutcome = finding.outcome;
    entry.updateNote = rowText(finding);
    entry.updateStatus = 0;
    const bool ownVersion = finding.outcome == Verified || finding.outcome == VersionMismatch;
    entry.firmwareAfter = ownVersion ? finding.version : QString();
    // From now on the row shows the version the display itself reported, as a search would.
    if (ownVersion)
        entry.currentFirmware = finding.version;
    if (finding.outcome == Verified) {
        entry.resultStatus = 3;
        entry.selected = false;
    } else {
        // Not updated as far as anyone can tell: a failed row, ticked for another attempt.
        entry.resultStatus = 4;
    }
}
