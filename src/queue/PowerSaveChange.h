#pragma once

#include <QObject>

class SearchOrchestrator;
struct DisplayTableState;

// Before LAN updates are queued, series 1 and 2 displays in Auto Power Save or Auto Standby are
// switched "Off" over the control protocol. Replies go through the search part's request handler
// (shared with the power commands of the table), which drops a display whose request failed; when
// the last reply is in, the updates may be queued.
class PowerSaveChange : public QObject
{
    Q_OBJECT

public:
    PowerSaveChange(DisplayTableState &state, SearchOrchestrator &search, QObject *parent = nullptr);

    // Only tests move the control port off 7142.
    void setControlPort(quint16 port) { m_controlPort = port; }

    // Sends the requests. False when no display needed one: queue at once.
    bool start();

signals:
    void update_info(int row);
    // Every reply is in: queue the updates now.
    void readyToQueue();

private slots:
    void controlRequestSettled();

private:
    DisplayTableState &m_state;
    SearchOrchestrator &m_search;
    quint16 m_controlPort = 7142;
    bool m_starting = false;
};
