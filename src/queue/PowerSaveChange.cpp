#include "queue/PowerSaveChange.h"

#include "control/TcpClient.h"
#include "search/SearchOrchestrator.h"
#include "queue/UpdateSummary.h"
#include "records/DisplayTableState.h"

#include <QDebug>

PowerSaveChange::PowerSaveChange(DisplayTableState &state, SearchOrchestrator &search, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_search(search)
{
    connect(&m_search, &SearchOrchestrator::controlRequestSettled, this, &PowerSaveChange::controlRequestSettled);
}

bool PowerSaveChange::start()
{
    m_state.powerSaveChangePending = false;
    m_starting = true;
    for (int row = 0; row < m_state.displayEntries.size(); ++row) {
        DisplayEntry &entry = m_state.displayEntries[row];
        if (!UpdateSummary::isListed(entry) || entry.updateSession || entry.controlRequest
            || !UpdateSummary::needsPowerSaveChange(entry))
            continue;
        entry.commStatus = 0;
        auto *client = new TcpClient(&m_search);
        connect(client, &TcpClient::device_results, &m_search, &SearchOrchestrator::perform_request_TcpClient);
        client->setRequestFlags(0x4000);
        entry.controlRequest = client;
        ++m_state.pendingControlRequests;
        m_state.powerSaveChangePending = true;
        qInfo().noquote() << "Display #" << row + 1 << "Requesting Power Save Mode change. Model:" << entry.modelName;
        client->connectToDisplay(entry.address, m_controlPort, entry.updateAddress);
        emit update_info(row);
    }
    m_starting = false;
    // Replies that came back inside the loop found it still sending.
    if (m_state.powerSaveChangePending && m_state.pendingControlRequests == 0)
        QMetaObject::invokeMethod(this, &PowerSaveChange::controlRequestSettled, Qt::QueuedConnection);
    return m_state.powerSaveChangePending;
}

void PowerSaveChange::controlRequestSettled()
{
    if (m_starting || m_state.pendingControlRequests != 0 || !m_state.powerSaveChangePending)
        return;
    qInfo().noquote() << "Power Save Mode change completed. Starting firmware updates.";
    m_state.powerSaveChangePending = false;
    emit readyToQueue();
}
