#pragma once

#include "control/PD_TCP_REPLY.h"
#include "discovery/DISPLAY_UDP_SEARCH_REPLY_INFO.h"
#include "platform/NetworkAdapterList.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariant>

class ControlQueryGate;
class DisplaySearchUDP;
class FirmwareDatabase;
class TcpClient;
struct DisplayEntry;
struct DisplayTableState;

// Turns a search command into filled table rows: starts the UDP search, adds a row per reply and
// queries it over the control protocol, copies each control reply into its row, and evaluates the
// firmware status once the last query has answered. Also runs the per-row refresh, power and
// power-save requests of the table's menus. Works on the window's state; reports through signals.
class SearchOrchestrator : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 ControlPort = 7142;
    // Interface selector value that searches every adapter.
    static constexpr int AllAdapters = -2;
    static constexpr int AwaitedReportMs = 100;

    // udpSearch may be given for a search bound elsewhere; without one a default is created with
    // the first search, so that a front end which never searches (quillonctl history, a download)
    // never holds UDP port 5320 and cannot take the replies of a search running beside it.
    SearchOrchestrator(DisplayTableState &state, const FirmwareDatabase &database,
                       QObject *parent = nullptr, DisplaySearchUDP *udpSearch = nullptr);
    ~SearchOrchestrator() override;

    // Null until the first search, unless one was given.
    DisplaySearchUDP *udpSearch() const { return m_udpSearch; }

    // The broadcast search goes out on these; an adapter index selects one of them.
    void setAdapters(const QList<NetworkAdapter> &adapters) { m_adapters = adapters; }
    const QList<NetworkAdapter> &adapters() const { return m_adapters; }
    // The current item data of the interface selector: an adapter index or AllAdapters.
    void setInterfaceSelection(const QVariant &data) { m_selection = data; }
    // Only tests move the displays' control and web ports off 7142 and 80.
    void setPorts(quint16 controlPort, quint16 httpPort);
    // Only tests shorten the control queries' waits for a reply and for the web page checks, so
    // that a display that keeps silent costs them milliseconds; -1 keeps the client's own.
    void setControlTimeouts(int replyMs, int httpCheckMs);

    static bool isNewerSeries(int series);
    static quint32 searchRequestFlags(const DISPLAY_UDP_SEARCH_REPLY_INFO &info);
    static quint32 refreshRequestFlags(const DisplayEntry &row);
    static int powerStateFromPowerMode(int powerMode);

    // Rows whose control query is out, in table order: the displays the window still waits for.
    QList<QHostAddress> awaitedDisplays() const;
    int awaitedDisplayCount() const;

    // Every row against the held catalogue, one update_info per row; autoSelect checks the rows
    // that have newer firmware for a LAN update.
    void evaluateFirmwareStatus(bool autoSelect);

public slots:
    void startSearch(bool forceBroadcast);
    void device_results_DisplaySearchUDP(DISPLAY_UDP_SEARCH_REPLY_INFO info);
    void finished_DisplaySearchUDP();
    void device_results_TcpClient(PD_TCP_REPLY reply);

    void refresh_row_by_TcpClient(int row);
    void requestPowerOn_by_TcpClient(int row);
    void requestPowerOff_by_TcpClient(int row);
    void requestSetPowerSaveToAutoPowerSave_by_TcpClient(int row);
    void requestSetPowerSaveToAutoStandby_by_TcpClient(int row);
    // Replies of the power and power-save requests, also of the change made before LAN updates.
    void perform_request_TcpClient(PD_TCP_REPLY reply);

signals:
    void update_info(int row);
    void addRow(int count);
    void resetAll();
    // An empty text clears the status bar; a zero time-out keeps the text.
    void statusMessage(const QString &text, int timeoutMs);
    void uiUpdateNeeded(bool updateDescription);
    void evaluated(bool autoSelect);
    // A power or power-save reply has been written into its row.
    void controlRequestSettled();
    // The displays awaited changed: how many, and their addresses as text (for a tool tip). Changes
    // are gathered for AwaitedReportMs, so a search of thousands of displays reports a few times a
    // second rather than with every reply.
    void awaitedDisplaysChanged(int count, const QStringList &addresses);

private:
    enum class RowRequest { PowerOn, PowerOff, AutoPowerSave, AutoStandby };

    DisplaySearchUDP *searchSocket();
    void listenTo(DisplaySearchUDP *udpSearch);

    TcpClient *startQuery(DisplayEntry &row, quint32 flags, bool toPerformRequest);
    bool rowAcceptsRequest(int row) const;
    void startRowRequest(int row, RowRequest request);
    void releaseClient(int row, QObject *replier);
    void showRefreshProgress();
    void reportAwaited();
    void sendAwaitedReport();
    void evaluateAfterLastReply();

    DisplayTableState &m_state;
    const FirmwareDatabase &m_database;
    DisplaySearchUDP *m_udpSearch = nullptr;
    // Created before any client, so it is destroyed before them and none calls into a gone gate.
    ControlQueryGate *m_queryGate;
    QList<NetworkAdapter> m_adapters;
    QVariant m_selection = QVariant(AllAdapters);
    quint16 m_controlPort = ControlPort;
    quint16 m_httpPort = 80;
    int m_replyTimeoutMs = -1;
    int m_httpCheckTimeoutMs = -1;
    // A search started queries whose table has not been evaluated yet.
    bool m_searchRepliesDue = false;
    QTimer m_awaitedReport;
    QStringList m_awaitedReported;
};
