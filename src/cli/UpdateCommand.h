#pragma once

#include "reports/UpdateReport.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QList>
#include <QObject>

class CtlSession;
class InterruptHook;
struct CtlOptions;

// "quillonctl update": the window's LAN update without the window. Search, evaluation and the
// rows the window would tick, their packages downloaded and verified, the confirmation summary;
// with --yes the power-save change, the queue within the limit and the check after the update,
// then one result per display. Ctrl-C cancels what is queued and waits for the running sessions;
// a second Ctrl-C leaves at once, naming the displays left mid-update.
class UpdateCommand : public QObject
{
    Q_OBJECT

public:
    UpdateCommand(CtlSession &session, const CtlOptions &options, InterruptHook &hook);

    int run();

    // The results as the terminal shows them: a header, then one line per display in columns.
    static QString resultTable(const QList<UpdateReport::Line> &lines);

private:
    enum class Phase { Preparing, Updating };

    void interrupted(int count);
    int prepare();
    int update();
    int abandoned();
    // One line per display asked for: those whose update started as the report has them (a
    // running one with its running status), the others with why they were not updated.
    QList<UpdateReport::Line> reportLines() const;

    CtlSession &m_session;
    const CtlOptions &m_options;
    Phase m_phase = Phase::Preparing;
    QList<QHostAddress> m_listed;
    bool m_confirmation = false; // every package is in and checked
    bool m_cancelled = false;    // Ctrl-C cancelled the queued displays
};
