#include "flows/CatalogueStartupFlow.h"

#include "catalogue/CatalogueMerge.h"
#include "catalogue/FirmwareDatabase.h"
#include "download/FileDownloader.h"
#include "download/UnfinishedFiles.h"
#include "flows/FirmwareServer.h"
#include "records/DisplayTableState.h"

#include <QDebug>
#include <QTimer>

CatalogueStartupFlow::CatalogueStartupFlow(DisplayTableState &state, FirmwareDatabase &database,
                                           const QString &cacheFolder, QObject *parent)
    : QObject(parent),
      m_state(state),
      m_database(database),
      m_cacheFolder(cacheFolder),
      m_baseUrl(FirmwareServer::baseUrl())
{
    const QString ignored = FirmwareServer::ignoredBaseUrl();
    if (!ignored.isEmpty()) {
        // An information line, so that it reaches the log window a technician sends to support.
        qInfo().noquote() << "Warning: ignored" << FirmwareServer::BaseUrlVariable << "value" << ignored
                          << "(not an http or https URL with a host); using" << m_baseUrl;
    }
}

CatalogueStartupFlow::~CatalogueStartupFlow()
{
    if (m_download)
        m_download->deleteLater();
}

void CatalogueStartupFlow::setServerBaseUrl(const QString &baseUrl)
{
    m_baseUrl = baseUrl.endsWith(QLatin1Char('/')) ? baseUrl : baseUrl + QLatin1Char('/');
}

void CatalogueStartupFlow::useSavedServerUrl(const QString &savedUrl)
{
    const QString saved = savedUrl.trimmed();
    if (!saved.isEmpty() && !FirmwareServer::isUsableBaseUrl(saved))
        qInfo().noquote() << "Warning: ignored the saved firmware server URL" << saved
                          << "(not an http or https URL with a host)";
    m_baseUrl = FirmwareServer::baseUrl(saved);
}

void CatalogueStartupFlow::setSearchAllowedCheck(std::function<bool()> check)
{
    m_searchAllowed = std::move(check);
}

void CatalogueStartupFlow::setDelays(int firstSearchMs, int updateCheckMs)
{
    m_firstSearchDelayMs = firstSearchMs;
    m_updateCheckDelayMs = updateCheckMs;
}

QString CatalogueStartupFlow::databaseVersionText(const FirmwareDatabase &database)
{
    return tr("Firmware database version: %1<br>").arg(database.databaseVersion);
}

void CatalogueStartupFlow::downloadJsonData()
{
    if (m_download) {
        m_download->disconnect(this);
        m_download->deleteLater();
    }
    m_database.clear();

    // Once per start, before anything is written to the cache: a run that was stopped hard may
    // have left files it was still writing.
    const int leftovers = UnfinishedFiles::remove(m_cacheFolder);
    if (leftovers > 0)
        qInfo() << "Removed" << leftovers << "unfinished files from the firmware cache folder";

    qInfo().noquote() << "Firmware catalogue URL:" << FirmwareServer::catalogueUrl(m_baseUrl).toString();
    auto *download = new FileDownloader(m_nextInstance++, false, FirmwareServer::catalogueUrl(m_baseUrl),
                                        QString(), QByteArray(), this);
    connect(download, &FileDownloader::progressChanged, this,
            &CatalogueStartupFlow::jsonHandlerprogressChanged);
    connect(download, &FileDownloader::statusChanged, this,
            &CatalogueStartupFlow::jsonHandlerStatusChanged);
    m_download = download;
    m_state.databaseDownloadInFlight = true;
    download->start();
    qInfo() << "Starting download of JSON DB";
}

void CatalogueStartupFlow::jsonHandlerprogressChanged(int, int, int, QString)
{
}

void CatalogueStartupFlow::jsonHandlerStatusChanged(int instance, int status)
{
    // A status from a downloader that was replaced meanwhile belongs to nobody.
    if (m_download && sender() && sender() != m_download.data())
        return;
    Q_UNUSED(instance);

    const QByteArray serverBytes = m_download ? m_download->downloadedData() : QByteArray();
    const CatalogueMergeResult merged = CatalogueMerge(m_cacheFolder).merge(status, serverBytes);

    m_database = merged.database;
    emit statusMessage(merged.statusText, merged.statusTimeoutMs);
    m_state.databaseLoaded = m_database.count() > 0;
    if (!merged.errorText.isEmpty())
        emit statusMessage(merged.errorText, 0);

    if (m_download) {
        m_download->disconnect(this);
        m_download->deleteLater();
        m_download.clear();
    }
    m_state.databaseDownloadInFlight = false;
    emit uiUpdateNeeded(true);

    const bool searchAllowed = m_searchAllowed ? m_searchAllowed() : !m_state.searching;
    if (!searchAllowed || !m_state.databaseLoaded) {
        m_state.searchAttempted = true;
        emit uiUpdateNeeded(true);
    } else {
        QTimer::singleShot(m_firstSearchDelayMs, this,
                           [this] { emit firstSearchDue(!m_state.targetAddresses.isEmpty()); });
    }
    QTimer::singleShot(m_updateCheckDelayMs, this, [this] { emit applicationUpdateCheckDue(); });
}
