#pragma once

#include "fwserver/FwBehaviour.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTcpSocket;
class QTimer;

// One client connection: reads one GET request, answers it, closes.
class FwConnection : public QObject
{
    Q_OBJECT

public:
    FwConnection(QTcpSocket *socket, const QString &root, const QString &basePath,
                 const FwBehaviour &behaviour, QObject *parent = nullptr);
    ~FwConnection() override;

    // Maps a request path to a file below root; empty when it names nothing servable.
    static QString resolve(const QString &root, const QString &basePath, const QByteArray &rawPath);

signals:
    void requestReceived(const QString &path);
    // Body bytes handed to the socket, per piece.
    void bodyBytesSent(qint64 count);

private:
    void readRequest();
    void answer();
    void sendStatusOnly(int code);
    void pump();
    // Hands the file to the kernel without copying it through this process; false when the
    // socket or the system cannot take it that way and the body goes through the socket object.
    bool pumpDirect();
    void finishBody();

    QTcpSocket *m_socket;
    QString m_root;
    QString m_basePath;
    FwBehaviour m_behaviour;
    QByteArray m_header;
    QByteArray m_method;
    QByteArray m_path;
    bool m_requestSeen = false;
    QFile m_file;
    qint64 m_bodyLimit = 0;
    qint64 m_sent = 0;
    bool m_sending = false;
    bool m_waitingForTrickle = false;
    QTimer *m_trickleTimer = nullptr;
    QSocketNotifier *m_writable = nullptr;
    bool m_directFailed = false;
};
