#include "SimDisplay.h"

#include "SimControlServer.h"
#include "SimSearchResponder.h"
#include "SimWebServer.h"

namespace {

bool listenersDiffer(const SimDisplayConfig &a, const SimDisplayConfig &b)
{
    return a.searchPort != b.searchPort || a.controlPort != b.controlPort || a.webPort != b.webPort
        || a.serveSecondAddress != b.serveSecondAddress || a.secondAddress != b.secondAddress
        || (a.misbehaviour.control == SimMisbehaviour::Listener::Refuse)
               != (b.misbehaviour.control == SimMisbehaviour::Listener::Refuse)
        || (a.misbehaviour.web == SimMisbehaviour::Listener::Refuse)
               != (b.misbehaviour.web == SimMisbehaviour::Listener::Refuse);
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
{
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
    return Started;
}

void SimDisplay::stop()
{
    closeListeners();
    m_running = false;
}

int SimDisplay::openListeners()
{
    m_search = new SimSearchResponder(this, this);
    if (!m_search->bind(m_address, m_config.searchPort))
        return SearchBindFailed;
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
    m_search = nullptr;
    m_control = nullptr;
    m_web = nullptr;
    m_secondWeb = nullptr;
}

void SimDisplay::setConfig(const SimDisplayConfig &config)
{
    const bool reopen = m_running && listenersDiffer(m_config, config);
    m_config = config;
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
