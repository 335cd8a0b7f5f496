#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QStringList>

// Fleet-wide evidence of how many displays were in an update at once.
//
// A display is "in an update" from the first update request of an attempt
// (web dialects: any update request while idle, normally the standby request
// or the legacy upload; upload dialect: the upload request over the control
// protocol, VCP 13h 07h) until the attempt ends:
//   "complete"  the display answered its final success (all components done,
//               progress 100, or a legacy update quiet for legacyQuietMs after
//               a good write),
//   "failed"    the display answered a failure it detected itself (package or
//               component check, component update, progress 208, a rejected
//               "/upload", a legacy update quiet after a failed write),
//   "abandoned" no request or body byte reached the display for abandonMs.
// Fault replies (HTTP status, held or dropped requests) do not end an attempt.
class SimUpdateStats : public QObject
{
    Q_OBJECT

public:
    struct Display {
        bool updating = false;
        bool rebooting = false;
        bool gone = false;          // rebooted with neverReturn
        int attempts = 0;
        QByteArray outcome;         // of the last ended attempt; empty before
        QString mainFw;             // firmware the display reports now
        QStringList fw;
    };

    explicit SimUpdateStats(QObject *parent = nullptr);

    int current() const { return m_current; }
    int maxConcurrent() const { return m_max; }
    QMap<QString, Display> displays() const { return m_displays; }
    QJsonObject toJson() const;

    // Called by the displays (key: address text).
    void begin(const QString &display);
    void end(const QString &display, const QByteArray &outcome);
    void setFirmware(const QString &display, const QString &mainFw, const QStringList &fw);
    void setRebooting(const QString &display, bool rebooting, bool gone);
    void reset();

signals:
    void changed();

private:
    QMap<QString, Display> m_displays;
    int m_current = 0;
    int m_max = 0;
};
