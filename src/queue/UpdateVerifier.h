#pragma once

#include "control/PD_TCP_REPLY.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class TcpClient;

// After a display reported its update complete it restarts into the new firmware. This waits,
// within a bound, until it answers on its control port again and reads its firmware version, so
// the technician learns what is actually installed. A display that never comes back is reported,
// never waited on without end.
class UpdateVerifier : public QObject
{
    Q_OBJECT

public:
    enum Outcome {
        Verified = 0,
        VersionMismatch = 1,
        NoAnswer = 2,
    };

    struct Params
    {
        int pollIntervalMs = 10000;
        int maxWaitMs = 120000;
        quint16 controlPort = 7142;
    };

    // versionFlags: the control request flag that reads the display's main firmware version.
    UpdateVerifier(const QHostAddress &address, quint32 versionFlags, const QString &expectedVersion,
                   const Params &params, QObject *parent = nullptr);
    ~UpdateVerifier() override;

    QHostAddress address() const { return m_address; }
    QString expectedVersion() const { return m_expected; }

    void start();

    // The row text for an outcome, translated.
    static QString rowText(int outcome, const QString &expected, const QString &found);
    // The log line for an outcome, in English.
    static QString logText(int outcome, const QString &expected, const QString &found);
    static bool versionsMatch(const QString &found, const QString &expected);

signals:
    void finished(const QHostAddress &address, int outcome, const QString &foundVersion);

private slots:
    void poll();
    void replied(PD_TCP_REPLY reply);

private:
    void finish(int outcome);

    const QHostAddress m_address;
    const quint32 m_versionFlags;
    const QString m_expected;
    const Params m_params;
    QTimer m_pollTimer;
    QTimer m_deadline;
    QElapsedTimer m_clock;
    QPointer<TcpClient> m_client;
    QString m_lastVersion;
    bool m_seenDown = false;
    bool m_done = false;
};
