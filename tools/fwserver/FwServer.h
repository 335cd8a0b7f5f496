#pragma once

#include "fwserver/FwBehaviour.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

class QTcpServer;

// Serves the files below a root folder over HTTP/1.1, one request per connection.
// Every request after setBehaviour() gets that behaviour; the default is a plain file server.
class FwServer : public QObject
{
    Q_OBJECT

public:
    explicit FwServer(QObject *parent = nullptr);
    ~FwServer() override;

    void setRoot(const QString &root);
    QString root() const { return m_root; }
    // Requests must start with this path ("/firmwareupdates/"); the rest names a file below root.
    void setBasePath(const QString &basePath);
    QString basePath() const { return m_basePath; }
    void setBehaviour(const FwBehaviour &behaviour) { m_behaviour = behaviour; }
    FwBehaviour behaviour() const { return m_behaviour; }

    bool listen(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    void close();
    QString errorString() const;
    QHostAddress address() const;
    quint16 port() const;
    // The URL of a file below root, e.g. url("pkg.zip") -> http://127.0.0.1:N/firmwareupdates/pkg.zip
    QUrl url(const QString &relativePath) const;

    int connectionCount() const { return m_connections; }
    QStringList requestedPaths() const { return m_requests; }
    // Body bytes written to all connections so far: a test knows a transfer is under way.
    qint64 bodyBytesSent() const { return m_bodyBytesSent; }

signals:
    void requestReceived(const QString &path);

private:
    void acceptConnections();

    QTcpServer *m_server;
    QString m_root;
    QString m_basePath = QStringLiteral("/");
    FwBehaviour m_behaviour;
    int m_connections = 0;
    QStringList m_requests;
    qint64 m_bodyBytesSent = 0;
};
