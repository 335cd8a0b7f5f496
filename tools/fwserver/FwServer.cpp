#include "fwserver/FwServer.h"

#include "fwserver/FwConnection.h"

#include <QTcpServer>
#include <QTcpSocket>

FwServer::FwServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FwServer::acceptConnections);
}

FwServer::~FwServer() = default;

void FwServer::setRoot(const QString &root)
{
    m_root = root;
}

void FwServer::setBasePath(const QString &basePath)
{
    m_basePath = basePath;
    if (!m_basePath.startsWith(QLatin1Char('/')))
        m_basePath.prepend(QLatin1Char('/'));
    if (!m_basePath.endsWith(QLatin1Char('/')))
        m_basePath.append(QLatin1Char('/'));
}

bool FwServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void FwServer::close()
{
    m_server->close();
}

QString FwServer::errorString() const
{
    return m_server->errorString();
}

QHostAddress FwServer::address() const
{
    return m_server->serverAddress();
}

quint16 FwServer::port() const
{
    return m_server->serverPort();
}

QUrl FwServer::url(const QString &relativePath) const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address().toString());
    url.setPort(port());
    url.setPath(m_basePath + relativePath);
    return url;
}

void FwServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++m_connections;
        auto *connection = new FwConnection(socket, m_root, m_basePath, m_behaviour, this);
        connect(connection, &FwConnection::requestReceived, this, [this](const QString &path) {
            m_requests.append(path);
            emit requestReceived(path);
        });
        connect(connection, &FwConnection::bodyBytesSent, this, [this](qint64 count) { m_bodyBytesSent += count; });
    }
}
