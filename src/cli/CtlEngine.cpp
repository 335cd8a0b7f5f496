#include "cli/CtlEngine.h"

#include "cli/CtlOptions.h"
#include "cli/PlainText.h"
#include "flows/CatalogueStartupFlow.h"
#include "flows/DownloadController.h"
#include "platform/NetworkAdapterList.h"
#include "queue/PowerSaveChange.h"
#include "queue/UpdateQueue.h"
#include "search/SearchOrchestrator.h"
#include "settings/AppSettings.h"
#include "settings/FirmwareCacheFolder.h"

#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr int PollMs = 50;

void shortenWaits(UpdateQueue &queue)
{
    queue.setTickInterval(100);
    SessionParams params;
    params.tickMs = 100;
    params.stepTimeoutSecs = 4;
    params.retryPauseMs = 200;
    params.waitMs = 200;
    params.legacyWritingWaitMs = 300;
    params.legacyTimeoutSecs = 3;
    params.tcpStepTimeoutSecs = 4;
    params.tcpStartTimeoutSecs = 4;
    params.updateStartWaitMs = 1500;
    queue.setSessionParams(params);
    UpdateVerifier::Params verify;
    verify.pollIntervalMs = 200;
    verify.maxWaitMs = 4000;
    queue.setVerifierParams(verify);
}

}

CtlEngine::CtlEngine(const CtlOptions &options, QTextStream &out, QTextStream &err, QObject *parent)
    : QObject(parent),
      m_out(out),
      m_err(err)
{
    const AppSettings settings = AppSettings::load();
    m_state.legacySupport = settings.legacySupport;
    m_state.updateLimit = options.updateLimit > 0 ? options.updateLimit : settings.multiUpdateLimit;
    m_state.rollout.firstPerModel = options.firstPerModel || settings.rolloutFirstPerModel;
    m_state.rollout.maxFailures = options.maxFailures >= 0 ? options.maxFailures : settings.rolloutMaxFailures;
    // The window's own answer to the cautions is the technician's; here it is --yes.
    m_state.cautionsAccepted = true;

    m_cacheFolder = FirmwareCacheFolder::path(true);
    qInfo() << "Local cache folder:" << QDir::toNativeSeparators(m_cacheFolder);

    const auto toProgress = [this](const QString &text, int) { progress(text); };

    m_catalogue = new CatalogueStartupFlow(m_state, m_database, m_cacheFolder, this);
    // The command decides when to search; the window's first search and update check stay off.
    m_catalogue->setSearchAllowedCheck([] { return false; });
    connect(m_catalogue, &CatalogueStartupFlow::statusMessage, this, toProgress);
    m_catalogue->useSavedServerUrl(settings.firmwareServerUrl);

    m_search = new SearchOrchestrator(m_state, m_database, this);
    m_search->setAdapters(NetworkAdapterList::fromSystem().adapters());
    connect(m_search, &SearchOrchestrator::statusMessage, this, toProgress);

    m_downloads = new DownloadController(m_state, m_database, m_cacheFolder, this);
    connect(m_downloads, &DownloadController::statusMessage, this, toProgress);

    m_queue = new UpdateQueue(m_state, m_database, m_cacheFolder, this);
    connect(m_queue, &UpdateQueue::statusMessage, this, toProgress);
    if (options.shortWaits)
        shortenWaits(*m_queue);

    m_powerSaveChange = new PowerSaveChange(m_state, *m_search, this);
    connect(m_powerSaveChange, &PowerSaveChange::readyToQueue, m_queue, &UpdateQueue::queueUpdates);
}

CtlEngine::~CtlEngine()
{
    // Sessions and queries go before the rows they point into.
    delete m_queue;
    delete m_powerSaveChange;
    delete m_downloads;
    delete m_search;
    delete m_catalogue;
}

void CtlEngine::progress(const QString &text)
{
    const QString line = PlainText::sanitized(text);
    if (line.isEmpty() || line == m_lastProgress)
        return;
    m_lastProgress = line;
    m_err << line << Qt::endl;
}

bool CtlEngine::waitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(PollMs);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_abandoned || done())
            loop.quit();
    });
    if (m_abandoned || done())
        return !m_abandoned;
    poll.start();
    m_waiting = true;
    loop.exec();
    m_waiting = false;
    return !m_abandoned && done();
}

void CtlEngine::abandonWait()
{
    m_abandoned = true;
}

bool CtlEngine::loadCatalogue()
{
    m_catalogue->downloadJsonData();
    if (!waitUntil([this] { return !m_state.databaseDownloadInFlight; }))
        return false;
    return m_state.databaseLoaded;
}

bool CtlEngine::runSearch(const QList<QHostAddress> &targets)
{
    m_state.targetAddresses = targets;
    m_search->startSearch(targets.isEmpty());
    if (!m_state.searching)
        return false;
    return waitUntil([this] { return !m_state.searching && m_state.pendingControlRequests == 0; });
}
