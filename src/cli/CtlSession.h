#pragma once

#include <QCoreApplication>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextStream>
#include <functional>

class QuillonEngine;

// One run of quillonctl on the engine: the engine's status texts become progress lines on
// standard error, results go to standard output through the commands, and a command waits here
// for what it started in the engine.
class CtlSession : public QObject
{
    Q_OBJECT

public:
    CtlSession(QuillonEngine &engine, QTextStream &out, QTextStream &err, QObject *parent = nullptr);

    QuillonEngine &engine() { return m_engine; }
    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }

    // Runs the event loop until done() holds or abandonWait() is called; true when done() held.
    bool waitUntil(const std::function<bool()> &done);
    void abandonWait();
    bool waitAbandoned() const { return m_abandoned; }

    // The catalogue from the firmware server, merged with the cache folder's copy as at the
    // window's start. False when neither gave one.
    bool loadCatalogue();
    // A targeted search of targets, or a broadcast search without them; returns when every
    // display found has answered. False when the search could not start or was abandoned.
    bool runSearch(const QList<QHostAddress> &targets);

    // One progress line on standard error (empty texts and repeats of the last line are dropped).
    void progress(const QString &text);

private:
    QuillonEngine &m_engine;
    QTextStream &m_out;
    QTextStream &m_err;
    QString m_lastProgress;
    bool m_abandoned = false;
};
