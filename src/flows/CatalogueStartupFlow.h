#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class FileDownloader;
class FirmwareDatabase;
struct DisplayTableState;

// The catalogue's way at start-up: download "pd_firmware_releases.json" into memory, merge it with
// the cache folder's copy, hold the winner, and once that is settled schedule the first search and
// the silent application update check.
class CatalogueStartupFlow : public QObject
{
    Q_OBJECT

public:
    static constexpr int FirstSearchDelayMs = 3000;
    static constexpr int UpdateCheckDelayMs = 5000;

    CatalogueStartupFlow(DisplayTableState &state, FirmwareDatabase &database,
                         const QString &cacheFolder, QObject *parent = nullptr);
    ~CatalogueStartupFlow() override;

    void setServerBaseUrl(const QString &baseUrl);
    // The firmware server saved in the settings; QUILLON_FIRMWARE_URL still overrides it, and a
    // saved value that is not usable is logged and left out.
    void useSavedServerUrl(const QString &savedUrl);
    QString serverBaseUrl() const { return m_baseUrl; }

    // Asked after the controls were refreshed: may the first search start now? Without a check
    // the search is allowed whenever none is running.
    void setSearchAllowedCheck(std::function<bool()> check);
    // Tests shorten the waits; the product uses the constants above.
    void setDelays(int firstSearchMs, int updateCheckMs);

    bool isDownloading() const { return !m_download.isNull(); }

    // The About box's line about the held database; its links come from the database's aboutURLs.
    static QString databaseVersionText(const FirmwareDatabase &database);

public slots:
    void downloadJsonData();
    void jsonHandlerStatusChanged(int instance, int status);
    void jsonHandlerprogressChanged(int instance, int m_progressValue, int m_progressTotal,
                                    QString m_progressMessage);

signals:
    void statusMessage(const QString &text, int timeoutMs);
    void uiUpdateNeeded(bool updateDescription);
    // targeted: a target list is configured at the moment the search is due.
    void firstSearchDue(bool targeted);
    void applicationUpdateCheckDue();

private:
    DisplayTableState &m_state;
    FirmwareDatabase &m_database;
    const QString m_cacheFolder;
    QString m_baseUrl;
    QPointer<FileDownloader> m_download;
    int m_nextInstance = 1;
    std::function<bool()> m_searchAllowed;
    int m_firstSearchDelayMs = FirstSearchDelayMs;
    int m_updateCheckDelayMs = UpdateCheckDelayMs;
};
