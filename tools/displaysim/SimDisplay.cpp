#include "SimDisplay.h"

#include "SimControlServer.h"
#include "SimHttpRequest.h"
#include "SimHttpResponse.h"
#include "SimSearchResponder.h"
#include "SimUpdateRoutes.h"
#include "SimUpdateSession.h"
#include "SimUpdateStats.h"
#include "SimWebServer.h"

#include <QTimer>

namespace {

bool throttles(const SimDisplayConfig &c)
{
    for (const SimStepFault &f : c.update.faults)
        if (f.readBytesPerSecond > 0)
            return true;
    return false;
}

bool listenersDiffer(const SimDisplayConfig &a, const SimDisplayConfig &b)
{
    return a.searchPort != b.searchPort || a.controlPort != b.controlPort || a.webPort != b.webPort
        || a.serveSecondAddress != b.serveSecondAddress || a.secondAddress != b.secondAddress
        || (a.misbehaviour.control == SimMisbehaviour::Listener::Refuse)
               != (b.misbehaviour.control == SimMisbehaviour::Listener::Refuse)
        || (a.misbehaviour.web == SimMisbehaviour::Listener::Refuse)
               != (b.misbehaviour.web == SimMisbehaviour::Listener::Refuse)
        || throttles(a) != throttles(b);
}

QByteArray generatedPage(const SimDisplayConfig &c)
{
    const QByteArray model = c.modelName.toHtmlEscaped().toUtf8();
    if (c.locked) {
        return "<!DOCTYPE html>\n<html><head><title>" + model
            + "</title>\n<meta http-equiv=\"refresh\" content=\"0; url=/Logon/logon.html\"></head>\n"
              "<body><a href=\"/Logon/logon.html\">Log in</a></body></html>\n";
    }
    return "<!DOCTYPE html>\n<html><head><title>" + model + "</title></head>\n<body><h1>" + model
        + "</h1><p>Serial " + c.serialNumber.toHtmlEscaped().toUtf8() + "</p></body></html>\n";
}

} // namespace

SimDisplay::SimDisplay(const SimDisplayConfig &config, QObject *parent)
    : QObject(parent)
    , m_config(config)
    , m_update(new SimUpdateSession(this))
    , m_rebootTimer(new QTimer(this))
    , m_rebootStartTimer(new QTimer(this))
{
    m_rebootTimer->setSingleShot(true);
    m_rebootStartTimer->setSingleShot(true);
    connect(m_rebootTimer, &QTimer::timeout, this, &SimDisplay::finishReboot);
    connect(m_rebootStartTimer, &QTimer::timeout, this, [this] {
        // The completion reply has been written by now; the display goes down.
        closeControlAndWeb();
        m_rebooting = true;
        if (m_stats)
            m_stats->setRebooting(m_address.toString(), true, m_config.update.neverReturn);
        if (!m_config.update.neverReturn)
            m_rebootTimer->start(qMax(0, m_config.update.rebootMs));
        emit stateChanged();
    });
    installDefaultRoutes();
}

SimDisplay::~SimDisplay()
{
    stop();
}

void SimDisplay::installDefaultRoutes()
{
    const auto index = [this](const SimHttpRequest &) {
        SimHttpResponse r;
        r.body = m_config.indexPage.isNull() ? generatedPage(m_config) : m_config.indexPage;
        return r;
    };
    m_router.addRoute("GET", "/index.html", index);
    m_router.addRoute("GET", "/", index);
    for (const QByteArray &path : SimUpdateRoutes::paths())
        m_router.addRoute("*", path, [this](const SimHttpRequest &r) { return m_update->handle(r); });
}

int SimDisplay::start(const QHostAddress &address)
{
    stop();
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return NotIPv4;
    m_address = address;
    const int status = openListeners();
    if (status != Started) {
        closeListeners();
        return status;
    }
    m_running = true;
    publishFirmware();
    return Started;
}

void SimDisplay::stop()
{
    closeListeners();
    m_running = false;
    m_rebooting = false;
    m_rebootTimer->stop();
    m_rebootStartTimer->stop();
    m_update->reset();
}

int SimDisplay::openListeners()
{
    m_search = new SimSearchResponder(this, this);
    if (!m_search->bind(m_address, m_config.searchPort))
        return SearchBindFailed;
    return m_rebooting ? int(Started) : openControlAndWeb();
}

int SimDisplay::openControlAndWeb()
{
    if (m_config.misbehaviour.control != SimMisbehaviour::Listener::Refuse) {
        m_control = new SimControlServer(this, this);
        if (!m_control->listen(m_address, m_config.controlPort))
            return ControlListenFailed;
    }
    if (m_config.misbehaviour.web != SimMisbehaviour::Listener::Refuse) {
        m_web = new SimWebServer(this, this);
        if (!m_web->listen(m_address, m_config.webPort))
            return WebListenFailed;
        const QHostAddress second = m_config.secondAddress;
        if (m_config.serveSecondAddress && second.protocol() == QAbstractSocket::IPv4Protocol
            && second != QHostAddress(QHostAddress::AnyIPv4) && second != m_address) {
            m_secondWeb = new SimWebServer(this, this);
            if (!m_secondWeb->listen(second, m_config.webPort))
                return SecondAddressListenFailed;
        }
    }
    return Started;
}

void SimDisplay::closeListeners()
{
    // Deferred: this may run from inside one of these objects' own handlers.
    if (m_search) {
        m_search->close();
        m_search->deleteLater();
    }
    m_search = nullptr;
    closeControlAndWeb();
}

void SimDisplay::closeControlAndWeb()
{
    if (m_control) {
        m_control->close();
        m_control->deleteLater();
    }
    if (m_web) {
        m_web->close();
        m_web->deleteLater();
    }
    if (m_secondWeb) {
        m_secondWeb->close();
        m_secondWeb->deleteLater();
    }
    m_control = nullptr;
    m_web = nullptr;
    m_secondWeb = nullptr;
}

void SimDisplay::setConfig(const SimDisplayConfig &config)
{
    const bool reopen = m_running && listenersDiffer(m_config, config);
    m_config = config;
    if (m_running)
        publishFirmware();
    if (reopen) {
        closeListeners();
        if (openListeners() != Started) {
            closeListeners();
            m_running = false;
        }
    }
    emit stateChanged();
}

void SimDisplay::setMisbehaviour(const SimMisbehaviour &misbehaviour)
{
    SimDisplayConfig c = m_config;
    c.misbehaviour = misbehaviour;
    setConfig(c);
}

void SimDisplay::setLocked(bool locked)
{
    m_config.locked = locked;
    emit stateChanged();
}

void SimDisplay::setPowerMode(int mode)
{
    m_config.powerMode = mode;
    emit stateChanged();
}

void SimDisplay::setPowerSaveSetting(int setting)
{
    m_config.powerSaveSetting = setting;
    emit stateChanged();
}

void SimDisplay::setVcpValue(quint16 code, quint16 value)
{
    m_config.vcpValues[code] = value;
    emit stateChanged();
}

void SimDisplay::clearRequestLog()
{
    m_log.clear();
    m_captures.clear();
    m_update->clearCapture();
}

QList<SimWebCapture> SimDisplay::webCaptures(const QByteArray &step) const
{
    QList<SimWebCapture> out;
    for (const SimWebCapture &c : m_captures)
        if (c.step == step)
            out.append(c);
    return out;
}

const SimUpdateCapture &SimDisplay::updateCapture() const
{
    return m_update->capture();
}

bool SimDisplay::isUpdating() const
{
    return m_update->inUpdate();
}

QByteArray SimDisplay::updateOutcome() const
{
    return m_update->lastOutcome();
}

void SimDisplay::setUpdateStats(SimUpdateStats *stats)
{
    m_stats = stats;
    m_update->setStats(stats);
    if (m_running)
        publishFirmware();
}

void SimDisplay::publishFirmware()
{
    if (m_stats)
        m_stats->setFirmware(m_address.toString(), m_config.mainFwVersion, m_config.fwVersions);
}

SimStepFault SimDisplay::webHeadArrived(SimHttpRequest &head)
{
    m_update->classify(head);
    return m_update->readFault(head);
}

bool SimDisplay::throttlesReads() const
{
    for (const SimStepFault &f : m_config.update.faults)
        if (f.readBytesPerSecond > 0)
            return true;
    return false;
}

void SimDisplay::webActivity()
{
    m_update->activity();
}

SimHttpResponse SimDisplay::answerWeb(const SimHttpRequest &request)
{
    record({ SimLogEntry::Channel::Web, request.method + ' ' + request.target, 0, request.peerAddress });
    SimHttpResponse r;
    if (m_config.misbehaviour.web == SimMisbehaviour::Listener::NeverReply)
        r.hold = true;
    else
        r = m_router.handle(request);
    capture(request, true, r.hold ? 0 : r.status);
    return r;
}

void SimDisplay::webAborted(const SimHttpRequest &partial, bool bodyWhole)
{
    record({ SimLogEntry::Channel::Web, partial.method + ' ' + partial.target, 0, partial.peerAddress });
    capture(partial, bodyWhole, 0);
}

void SimDisplay::capture(const SimHttpRequest &request, bool complete, int status)
{
    SimWebCapture c;
    c.method = request.method;
    c.target = request.target;
    c.step = request.step;
    c.headers = request.headers;
    c.bodySize = request.bodySize;
    c.bodyMd5 = request.bodyMd5;
    if (request.bodySize <= 4096)
        c.body = request.body;
    c.complete = complete;
    c.multipart = request.multipart;
    c.multipartValid = request.multipartValid;
    c.parts = request.parts;
    c.status = status;
    // A display left running for hours (the demo) keeps only the recent ones.
    if (m_captures.size() >= MaxCaptures)
        m_captures.removeFirst();
    m_captures.append(c);
}

void SimDisplay::beginReboot()
{
    m_rebootStartTimer->start(100);
}

bool SimDisplay::cancelPendingReboot()
{
    if (!m_rebootStartTimer->isActive())
        return false;
    m_rebootStartTimer->stop();
    return true;
}

void SimDisplay::finishReboot()
{
    const SimUpdateConfig &u = m_config.update;
    if (!u.firmwareAfterMain.isNull())
        m_config.mainFwVersion = u.firmwareAfterMain;
    for (int i = 0; i < u.firmwareAfterComponents.size() && i < 4; ++i) {
        if (u.firmwareAfterComponents.at(i).isNull())
            continue;
        while (m_config.fwVersions.size() <= i)
            m_config.fwVersions.append(QString());
        m_config.fwVersions[i] = u.firmwareAfterComponents.at(i);
    }
    m_config.vcpValues[0x1306] = 200;
    m_rebooting = false;
    m_update->reset();
    if (m_running && openControlAndWeb() != Started) {
        closeListeners();
        m_running = false;
    }
    if (m_stats)
        m_stats->setRebooting(m_address.toString(), false, false);
    publishFirmware();
    emit stateChanged();
}

void SimDisplay::record(const SimLogEntry &entry)
{
    m_log.append(entry);
    switch (entry.channel) {
    case SimLogEntry::Channel::Search: {
        bool ok = false;
        const int type = entry.request.toInt(&ok);
        if (ok)
            emit searchReceived(type);
        break;
    }
    case SimLogEntry::Channel::Control:
        emit controlRequestReceived(entry.request);
        break;
    case SimLogEntry::Channel::Web: {
        const int space = entry.request.indexOf(' ');
        emit webRequestReceived(entry.request.left(space), entry.request.mid(space + 1));
        break;
    }
    }
}

void SimDisplay::recordConnection(SimLogEntry::Channel channel)
{
    m_log.countConnection(channel);
}
