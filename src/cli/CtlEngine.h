#pragma once

#include "catalogue/FirmwareDatabase.h"
#include "records/DisplayTableState.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextStream>
#include <functional>

class CatalogueStartupFlow;
class DownloadController;
class PowerSaveChange;
class SearchOrchestrator;
class UpdateQueue;
struct CtlOptions;

// The parts the window drives, owned and wired the same way for the command line: the table
// state, the catalogue, the search, the package downloads, the power-save change and the update
// queue, with the saved settings and cache folder. Their status texts become progress lines on
// standard error; results go to standard output through the commands.
class CtlEngine : public QObject
{
    Q_OBJECT

public:
    CtlEngine(const CtlOptions &options, QTextStream &out, QTextStream &err, QObject *parent = nullptr);
    ~CtlEngine() override;

    DisplayTableState &state() { return m_state; }
    const FirmwareDatabase &database() const { return m_database; }
    const QString &cacheFolder() const { return m_cacheFolder; }
    SearchOrchestrator *search() const { return m_search; }
    DownloadController *downloads() const { return m_downloads; }
    UpdateQueue *queue() const { return m_queue; }
    PowerSaveChange *powerSaveChange() const { return m_powerSaveChange; }
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
    DisplayTableState m_state;
    FirmwareDatabase m_database;
    QString m_cacheFolder;
    QTextStream &m_out;
    QTextStream &m_err;
    CatalogueStartupFlow *m_catalogue = nullptr;
    SearchOrchestrator *m_search = nullptr;
    DownloadController *m_downloads = nullptr;
    UpdateQueue *m_queue = nullptr;
    PowerSaveChange *m_powerSaveChange = nullptr;
    QString m_lastProgress;
    bool m_abandoned = false;
    bool m_waiting = false;
};
