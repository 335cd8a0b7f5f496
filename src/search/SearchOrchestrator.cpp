#include "search/SearchOrchestrator.h"

#include "catalogue/FirmwareDatabase.h"
#include "catalogue/FirmwareStatusEvaluator.h"
#include "control/ControlItem.h"
#include "control/ControlQueryGate.h"
#include "control/TcpClient.h"
#include "discovery/DisplaySearchUDP.h"
#include "records/AddressText.h"
#include "records/DisplayTableState.h"
#include "records/SeriesCode.h"

#include <QDebug>

#include <algorithm>

namespace {

// Series whose search reply carries a firmware-update address worth checking.
bool carriesSecondAddress(int series)
{
    switch (series) {
    case 3: case 4: case 5: case 6: case 69: case 140:
        return true;
    default:
        return false;
    }
}

bool hasText(const QString &text)
{
    return !text.trimmed().isEmpty();
}

using namespace RequestFlag;

// What a reply brings for each group of request flags, and so which fields of a row it may set.
constexpr quint32 MainFirmwareReads = MainFirmware | MainFirmwareByIndex;
constexpr quint32 ComponentFirmwareReads = FirmwareVersions | FirmwareByIndex;
constexpr quint32 PowerStateReads = PowerStatus | PowerOn | PowerOff;
constexpr quint32 PowerSaveReads = ReadPowerSave | PowerSaveOff | PowerSaveAuto | PowerSaveStandby;
constexpr quint32 PowerSaveModeReads = ReadPowerSaveMode | PowerSaveModeOne | PowerSaveModeNormal;

} // namespace

SearchOrchestrator::SearchOrchestrator(DisplayTableState &state, const FirmwareDatabase &database,
                                       QObject *parent, DisplaySearchUDP *udpSearch)
    : QObject(parent),
      m_state(state),
      m_database(database),
      m_queryGate(new ControlQueryGate(this))
{
    if (udpSearch)
        listenTo(udpSearch);
    m_awaitedReport.setSingleShot(true);
    m_awaitedReport.setInterval(AwaitedReportMs);
    connect(&m_awaitedReport, &QTimer::timeout, this, &SearchOrchestrator::sendAwaitedReport);
}

SearchOrchestrator::~SearchOrchestrator() = default;

void SearchOrchestrator::listenTo(DisplaySearchUDP *udpSearch)
{
    m_udpSearch = udpSearch;
    connect(m_udpSearch, &DisplaySearchUDP::device_results, this,
            &SearchOrchestrator::device_results_DisplaySearchUDP);
    connect(m_udpSearch, &DisplaySearchUDP::finished, this, &SearchOrchestrator::finished_DisplaySearchUDP);
}

DisplaySearchUDP *SearchOrchestrator::searchSocket()
{
    if (!m_udpSearch)
        listenTo(new DisplaySearchUDP(this));
    return m_udpSearch;
}

void SearchOrchestrator::setPorts(quint16 controlPort, quint16 httpPort)
{
    m_controlPort = controlPort;
    m_httpPort = httpPort;
}

void SearchOrchestrator::setControlTimeouts(int replyMs, int httpCheckMs)
{
    m_replyTimeoutMs = replyMs;
    m_httpCheckTimeoutMs = httpCheckMs;
}

bool SearchOrchestrator::isNewerSeries(int series)
{
    return series >= 3 && series != 11 && series != 13;
}

quint32 SearchOrchestrator::searchRequestFlags(const DISPLAY_UDP_SEARCH_REPLY_INFO &info)
{
    const bool newer = isNewerSeries(info.series);
    quint32 flags = ModelName | PowerStatus | SerialNumber;
    if (info.mainFwVersion.isEmpty() || info.mainFwVersion.contains(QLatin1String("-.-")))
        flags |= newer ? MainFirmware : MainFirmwareByIndex;
    if (info.fwVersions[0].isEmpty())
        flags |= newer ? FirmwareVersions : FirmwareByIndex;
    if (carriesSecondAddress(info.series) || !info.ip2Address.isNull())
        flags |= SecondAddressCheck;
    flags |= AssetTag | PageLockCheck | ReadPowerSave | ReadPowerSaveMode;
    return flags;
}

quint32 SearchOrchestrator::refreshRequestFlags(const DisplayEntry &row)
{
    quint32 flags = ModelName | SerialNumber | PowerStatus;
    flags |= isNewerSeries(row.displaySeries) ? MainFirmware | FirmwareVersions
                                              : MainFirmwareByIndex | FirmwareByIndex;
    if (row.useIP2)
        flags |= SecondAddressCheck;
    flags |= AssetTag | PageLockCheck | ReadPowerSaveMode;
    if (SeriesCode::hasPowerSaveSetting(row.catalogueSeries))
        flags |= ReadPowerSave;
    return flags;
}

int SearchOrchestrator::powerStateFromPowerMode(int powerMode)
{
    switch (powerMode) {
    case 1: return 1;
    case 2: case 4: return 2;
    case 3: return 3;
    default: return -1;
    }
}

void SearchOrchestrator::startSearch(bool forceBroadcast)
{
    if (!m_state.searchAttempted) {
        m_state.searchAttempted = true;
        emit uiUpdateNeeded(true);
    }
    if (m_state.searching)
        return;
    bool selectionOk = false;
    const int selection = m_selection.toInt(&selectionOk);
    if (!m_selection.isValid() || !selectionOk)
        return;

    const bool awaitedBefore = awaitedDisplayCount() > 0;
    m_state.displayEntries.clear();
    emit resetAll();
    if (awaitedBefore)
        reportAwaited();
    m_state.selectionRefreshPending = true;
    emit statusMessage(tr("Searching..."), 0);
    m_state.foundCount = 0;
    m_state.searching = true;
    emit uiUpdateNeeded(true);

    DisplaySearchUDP *udpSearch = searchSocket();
    udpSearch->setFilterMode(2);
    int result = -1;
    if (!forceBroadcast && !m_state.targetAddresses.isEmpty()) {
        if (udpSearch->setTargetAddresses(m_state.targetAddresses) == 0)
            result = udpSearch->startSearch(DisplaySearchUDP::Targeted);
    } else {
        QList<QHostAddress> destinations;
        if (selection == AllAdapters) {
            for (const NetworkAdapter &adapter : qAsConst(m_adapters)) {
                if (adapter.broadcast.isNull() || destinations.contains(adapter.broadcast))
                    continue;
                destinations.append(adapter.broadcast);
                qInfo().noquote() << "All UDP broadcast address:" << adapter.broadcast.toString();
            }
        } else {
            const QHostAddress broadcast = selection >= 0 && selection < m_adapters.size()
                    ? m_adapters.at(selection).broadcast
                    : QHostAddress();
            qInfo().noquote() << "UDP broadcast address:" << broadcast.toString();
            if (!broadcast.isNull())
                destinations.append(broadcast);
        }
        if (udpSearch->setBroadcastAddresses(destinations) == 0)
            result = udpSearch->startSearch(DisplaySearchUDP::Broadcast);
    }

    if (result != 0) {
        qInfo() << "UDP search error";
        emit statusMessage(tr("Search error"), 0);
        m_state.searching = false;
        emit uiUpdateNeeded(true);
    }
}

void SearchOrchestrator::device_results_DisplaySearchUDP(DISPLAY_UDP_SEARCH_REPLY_INFO info)
{
    const int row = m_state.rowForAddress(info.ipAddress);
    DisplayEntry entry = row >= 0 ? m_state.displayEntries.at(row) : DisplayEntry();

    entry.address = info.ipAddress;
    entry.updateAddress = info.ip2Address;
    entry.modelName = info.modelName;
    entry.displaySeries = info.series;
    entry.idCharacter = QString(QChar(info.idChar));
    for (int i = 0; i < 4; ++i)
        entry.componentVersion[i] = info.fwVersions[i];
    entry.currentFirmware = info.mainFwVersion;
    entry.macAddress = info.macAddress;

    qInfo().noquote() << "UDP found model:" << info.modelName << "IP address:" << AddressText::of(info.ipAddress)
                      << "IP address2:" << info.ip2Address.toString() << "MAC:" << info.macAddress
                      << "SeriesByUDP:" << info.series << "R:" << info.mainFwVersion
                      << "FW1:" << info.fwVersions[0] << "FW2:" << info.fwVersions[1]
                      << "FW3:" << info.fwVersions[2] << "FW4:" << info.fwVersions[3];

    // A row being updated, or one whose query still runs, keeps what it has.
    TcpClient *client = nullptr;
    if (!entry.controlRequest && !entry.updateSession) {
        const quint32 flags = searchRequestFlags(info);
        qInfo().noquote().nospace() << "TCP request flags: 0x" << QString::number(flags, 16).toUpper()
                                    << " IP address: " << AddressText::of(entry.address);
        client = startQuery(entry, flags, false);
    }

    if (row < 0) {
        m_state.displayEntries.append(entry);
        emit addRow(m_state.displayEntries.size());
    } else {
        m_state.displayEntries[row] = entry;
        emit update_info(row);
    }
    // Connected only once the row is in the table, so even an immediate failure finds its row.
    if (client)
        client->connectToDisplay(entry.address, m_controlPort, entry.updateAddress);

    ++m_state.foundCount;
    emit statusMessage(tr("Searching... Found %1 display(s) on LAN", "1=number of displays found")
                               .arg(m_state.foundCount),
                       0);
    if (client) {
        m_searchRepliesDue = true;
        reportAwaited();
    }
    emit uiUpdateNeeded(true);
}

void SearchOrchestrator::finished_DisplaySearchUDP()
{
    m_state.searching = false;
    emit statusMessage(tr("Found %1 display(s) on LAN", "1=number of displays").arg(m_state.foundCount), 0);
    qInfo() << "Found" << m_state.foundCount << "displays on LAN";
    emit uiUpdateNeeded(true);
}

void SearchOrchestrator::device_results_TcpClient(PD_TCP_REPLY reply)
{
    // Replies of queries started before the table was emptied still count down, so the pending
    // count cannot stay above zero and keep the window busy.
    m_state.pendingControlRequests = qMax(0, m_state.pendingControlRequests - 1);

    const int row = m_state.rowForAddress(reply.ipAddress);
    if (row >= 0) {
        DisplayEntry &entry = m_state.displayEntries[row];
        if (reply.status != 0)
            entry.commStatus = 1;
        const quint32 flags = reply.requestFlags;
        if ((flags & ModelName) && hasText(reply.modelName))
            entry.modelName = reply.modelName;
        if ((flags & SerialNumber) && hasText(reply.serialNumber))
            entry.serialNumber = reply.serialNumber;
        if ((flags & MainFirmwareReads) && hasText(reply.mainFwVersion))
            entry.currentFirmware = reply.mainFwVersion;
        if (flags & ComponentFirmwareReads) {
            for (int i = 0; i < 4; ++i) {
                if (hasText(reply.fwVersions[i]))
                    entry.componentVersion[i] = reply.fwVersions[i];
            }
        }
        if (flags & PowerStateReads)
            entry.powerState = powerStateFromPowerMode(reply.powerMode);
        if (flags & SecondAddressCheck)
            entry.ip2Check = reply.ip2Check;
        if (flags & PageLockCheck)
            entry.lockStatus = reply.lockStatus;
        if (flags & ReadPowerSave)
            entry.powerSaveMode = reply.powerSaveSetting;
        if (flags & ReadPowerSaveMode)
            entry.powerSaveModeVcp = reply.powerSaveModeVcp;
        if (flags & AssetTag)
            entry.assetTag = reply.assetTag;

        releaseClient(row, sender());
        emit update_info(row);

        qInfo().noquote() << "TCP status=" << reply.status << "for Model:" << entry.modelName
                          << "IP address:" << AddressText::of(entry.address) << "SerialNumber:" << entry.serialNumber
                          << "R:" << reply.mainFwVersion << "FW1:" << reply.fwVersions[0]
                          << "FW2:" << reply.fwVersions[1] << "FW3:" << reply.fwVersions[2]
                          << "FW4:" << reply.fwVersions[3] << "Power:" << reply.powerMode
                          << "PowerSaveModeVCP:" << reply.powerSaveModeVcp;
    } else {
        releaseClient(-1, sender());
    }
    reportAwaited();

    if (m_state.pendingControlRequests == 0)
        evaluateAfterLastReply();
    else if (m_state.refreshPending)
        showRefreshProgress();
    emit uiUpdateNeeded(true);
}

// Refresh, power and search queries share one pending count: whichever reply brings it to zero
// runs the evaluation the others were waiting for.
void SearchOrchestrator::evaluateAfterLastReply()
{
    m_searchRepliesDue = false;
    if (m_state.refreshPending || m_state.powerRequestPending) {
        m_state.refreshPending = false;
        m_state.powerRequestPending = false;
        emit statusMessage(QString(), 0);
        evaluateFirmwareStatus(false);
    } else {
        evaluateFirmwareStatus(true);
    }
}

bool SearchOrchestrator::rowAcceptsRequest(int row) const
{
    if (!m_state.isValidRow(row))
        return false;
    const DisplayEntry &entry = m_state.displayEntries.at(row);
    return !entry.updateSession && !entry.controlRequest;
}

void SearchOrchestrator::refresh_row_by_TcpClient(int row)
{
    if (!rowAcceptsRequest(row))
        return;
    DisplayEntry &entry = m_state.displayEntries[row];
    entry.commStatus = 0;
    TcpClient *client = startQuery(entry, refreshRequestFlags(entry), false);
    m_state.refreshPending = true;
    showRefreshProgress();
    qInfo().noquote() << "Display#" << row + 1 << "Requesting refresh of " << entry.modelName << " at "
                      << AddressText::of(entry.address);
    emit update_info(row);
    client->connectToDisplay(entry.address, m_controlPort, entry.updateAddress);
    reportAwaited();
    emit uiUpdateNeeded(true);
}

void SearchOrchestrator::requestPowerOn_by_TcpClient(int row)
{
    startRowRequest(row, RowRequest::PowerOn);
}

void SearchOrchestrator::requestPowerOff_by_TcpClient(int row)
{
    startRowRequest(row, RowRequest::PowerOff);
}

void SearchOrchestrator::requestSetPowerSaveToAutoPowerSave_by_TcpClient(int row)
{
    startRowRequest(row, RowRequest::AutoPowerSave);
}

void SearchOrchestrator::requestSetPowerSaveToAutoStandby_by_TcpClient(int row)
{
    startRowRequest(row, RowRequest::AutoStandby);
}

void SearchOrchestrator::startRowRequest(int row, RowRequest request)
{
    struct RequestKind
    {
        RowRequest request;
        quint32 flags;
        bool powerRequest;
        const char *logText;
    };
    static const RequestKind kinds[] = {
        { RowRequest::PowerOn, PowerOn, true, "Requesting power on for" },
        { RowRequest::PowerOff, PowerOff, true, "Requesting power off for " },
        { RowRequest::AutoPowerSave, PowerSaveAuto, false, "Requesting Power Save to Auto Power Save for " },
        { RowRequest::AutoStandby, PowerSaveStandby, false, "Requesting Power Save to Auto Standby for " },
    };
    if (!rowAcceptsRequest(row))
        return;
    const RequestKind *kind = std::find_if(std::begin(kinds), std::end(kinds),
                                           [request](const RequestKind &k) { return k.request == request; });
    DisplayEntry &entry = m_state.displayEntries[row];
    entry.commStatus = 0;
    TcpClient *client = startQuery(entry, kind->flags, true);
    if (kind->powerRequest)
        m_state.powerRequestPending = true;
    const char *at = request == RowRequest::PowerOn ? "at" : " at ";
    qInfo().noquote() << "Display#" << row + 1 << kind->logText << entry.modelName << at
                      << AddressText::of(entry.address);
    emit update_info(row);
    client->connectToDisplay(entry.address, m_controlPort, entry.updateAddress);
    reportAwaited();
    emit uiUpdateNeeded(true);
}

void SearchOrchestrator::perform_request_TcpClient(PD_TCP_REPLY reply)
{
    m_state.pendingControlRequests = qMax(0, m_state.pendingControlRequests - 1);
    const int row = m_state.rowForAddress(reply.ipAddress);
    if (row >= 0) {
        DisplayEntry &entry = m_state.displayEntries[row];
        const int n = row + 1;
        qInfo().noquote() << "Display #" << n << "TCP status=" << reply.status << "for" << entry.modelName
                          << "at" << AddressText::of(entry.address);
        if (reply.status == 0) {
            entry.resultStatus = 0;
            entry.commStatus = 0;
        } else {
            entry.commStatus = 1;
            entry.selected = false;
            entry.resultStatus = 0;
            entry.updateStatus = 0;
            qInfo().noquote() << "Display #" << n << "TCP error so canceling update for this display.";
        }
        const quint32 flags = reply.requestFlags;
        if (flags & PowerStateReads)
            entry.powerState = powerStateFromPowerMode(reply.powerMode);
        if (flags & PowerSaveReads)
            entry.powerSaveMode = reply.powerSaveSetting;
        if (flags & PowerSaveModeReads) {
            entry.powerSaveModeVcp = reply.powerSaveModeVcp;
            qInfo().noquote() << "Display #" << n << "PowerSaveModeVCP" << reply.powerSaveModeVcp;
        }
        releaseClient(row, sender());
        emit update_info(row);
    } else {
        releaseClient(-1, sender());
    }
    reportAwaited();

    // A refresh or search whose replies all came before this one is evaluated now. Otherwise the
    // power flag is cleared here: left set, the next search's last reply would evaluate without
    // selecting the displays that have new firmware.
    if (m_state.pendingControlRequests == 0) {
        if (m_state.refreshPending || m_searchRepliesDue)
            evaluateAfterLastReply();
        else
            m_state.powerRequestPending = false;
    } else if (m_state.refreshPending) {
        showRefreshProgress();
    }
    emit controlRequestSettled();
    emit uiUpdateNeeded(true);
}

TcpClient *SearchOrchestrator::startQuery(DisplayEntry &row, quint32 flags, bool toPerformRequest)
{
    auto *client = new TcpClient(this);
    if (toPerformRequest)
        connect(client, &TcpClient::device_results, this, &SearchOrchestrator::perform_request_TcpClient);
    else
        connect(client, &TcpClient::device_results, this, &SearchOrchestrator::device_results_TcpClient);
    client->setRequestFlags(flags);
    client->setHttpPort(m_httpPort);
    if (m_replyTimeoutMs >= 0)
        client->setReplyTimeout(m_replyTimeoutMs);
    if (m_httpCheckTimeoutMs >= 0)
        client->setHttpCheckTimeout(m_httpCheckTimeoutMs);
    client->setQueryGate(m_queryGate);
    row.controlRequest = client;
    ++m_state.pendingControlRequests;
    return client;
}

void SearchOrchestrator::releaseClient(int row, QObject *replier)
{
    auto *client = qobject_cast<TcpClient *>(replier);
    if (m_state.isValidRow(row)) {
        DisplayEntry &entry = m_state.displayEntries[row];
        // A late reply from a query of an emptied table must not take the new row's client away.
        if (!client || entry.controlRequest == client) {
            if (entry.controlRequest)
                entry.controlRequest->deleteLater();
            entry.controlRequest = nullptr;
        }
    }
    if (client) {
        client->disconnect(this);
        client->deleteLater();
    }
}

QList<QHostAddress> SearchOrchestrator::awaitedDisplays() const
{
    QList<QHostAddress> addresses;
    for (const DisplayEntry &entry : m_state.displayEntries) {
        if (entry.controlRequest)
            addresses.append(entry.address);
    }
    return addresses;
}

int SearchOrchestrator::awaitedDisplayCount() const
{
    return int(std::count_if(m_state.displayEntries.cbegin(), m_state.displayEntries.cend(),
                             [](const DisplayEntry &entry) { return entry.controlRequest != nullptr; }));
}

void SearchOrchestrator::reportAwaited()
{
    if (!m_awaitedReport.isActive())
        m_awaitedReport.start();
}

void SearchOrchestrator::sendAwaitedReport()
{
    QStringList texts;
    for (const DisplayEntry &entry : qAsConst(m_state.displayEntries)) {
        if (entry.controlRequest)
            texts.append(AddressText::of(entry.address));
    }
    if (texts == m_awaitedReported)
        return;
    m_awaitedReported = texts;
    emit awaitedDisplaysChanged(int(texts.size()), texts);
}

void SearchOrchestrator::evaluateFirmwareStatus(bool autoSelect)
{
    const FirmwareStatusEvaluator evaluator(m_database, m_state.legacySupport);
    evaluator.evaluateFirmwareStatus(m_state.displayEntries, autoSelect, [this](int row) { emit update_info(row); });
    emit evaluated(autoSelect);
}

void SearchOrchestrator::showRefreshProgress()
{
    emit statusMessage(tr("Refreshing display information from %1 display(s)...", "1=number of displays")
                               .arg(m_state.pendingControlRequests),
                       0);
}
