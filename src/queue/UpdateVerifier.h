#pragma once

#include "control/PD_TCP_REPLY.h"
#include "records/DisplayEntry.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class TcpClient;

// After a display reported its update complete it restarts into the new firmware. This waits,
// within a bound, until it answers on its control port again and reads its model, serial number
// and firmware version, so the technician learns what is actually installed and on which
// display. A display that never comes back is reported, never waited on without end.
class UpdateVerifier : public QObject
{
    Q_OBJECT

public:
    enum Outcome {
        Verified = VerifyOutcome::Verified,
        VersionMismatch = VerifyOutcome::VersionMismatch,
        NoAnswer = VerifyOutcome::NoAnswer,
        OtherDevice = VerifyOutcome::OtherDevice,
    };

    struct Params
    {
        int pollIntervalMs = 10000;
        int maxWaitMs = 120000;
        quint16 controlPort = 7142;
    };

    // What the check found, as the row and the report take it.
    struct Finding
    {
        int outcome = NoAnswer;
        QString expectedVersion;
        QString expectedSerial;
        QString version;   // as the answering display reported it, empty when none answered
        QString serial;
        QString model;
    };

    // versionFlags: the control request flag that reads the display's main firmware version.
    UpdateVerifier(const QHostAddress &address, quint32 versionFlags, const QString &expectedVersion,
                   const Params &params, QObject *parent = nullptr);
    ~UpdateVerifier() override;

    QHostAddress address() const { return m_address; }
    QString expectedVersion() const { return m_expected; }
    // The display that was updated. A display answering at the address with another serial
    // number or model is another device, whatever version it reports. Empty: not compared.
    void setExpectedDevice(const QString &serial, const QString &model);
    QString expectedSerial() const { return m_expectedSerial; }
    Finding finding() const { return m_finding; }

    void start();

    // The row text for what was found, translated.
    static QString rowText(const Finding &finding);
    // The log line for what was found, in English.
    static QString logText(const Finding &finding);
    static bool versionsMatch(const QString &found, const QString &expected);
    // Writes what was found into the row of the updated display: the result, its text, the
    // version after the update (only one this display reported) and whether it stays ticked.
    // The firmware status is the caller's to evaluate again from the row's version.
    static void applyTo(DisplayEntry &entry, const Finding &finding);

signals:
    void finished(const QHostAddress &address, int outcome, const QString &foundVersion);

private slots:
    void poll();
    void replied(PD_TCP_REPLY reply);

private:
    void finish(int outcome);
    void finishAtDeadline();

    const QHostAddress m_address;
    const quint32 m_versionFlags;
    const QString m_expected;
    const Params m_params;
    QString m_expectedSerial;
    QString m_expectedModel;
    QTimer m_pollTimer;
    QTimer m_deadline;
    QElapsedTimer m_clock;
    QPointer<TcpClient> m_client;
    Finding m_finding;
    bool m_seenDown = false;
    bool m_done = false;
};
