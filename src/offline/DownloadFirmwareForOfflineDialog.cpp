#include "offline/DownloadFirmwareForOfflineDialog.h"
#include "ui_DownloadFirmwareForOfflineDialog.h"

#include "catalogue/FirmwareDatabase.h"
#include "offlinejobs/DownloadedReleaseScan.h"
#include "offlinejobs/OfflineDownloadRun.h"
#include "offlinejobs/OfflineModelList.h"
#include "theme/Theme.h"

#include <QKeyEvent>
#include <QListWidgetItem>
#include <QProgressDialog>
#include <QPushButton>

#include <climits>

namespace {

int releaseIndexOf(const QListWidgetItem *item)
{
    return item->data(Qt::UserRole).toInt();
}

} // namespace

DownloadFirmwareForOfflineDialog::DownloadFirmwareForOfflineDialog(const QString &cacheFolder,
                                                                   const FirmwareDatabase *database, QWidget *parent)
    : QDialog(parent),
      m_ui(new Ui::DownloadFirmwareForOfflineDialog),
      m_cacheFolder(cacheFolder),
      m_database(database),
      m_scan(new DownloadedReleaseScan(this)),
      m_run(new OfflineDownloadRun(cacheFolder, this))
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->download_pushButton->setEnabled(false);

    if (m_database) {
        const QList<OfflineModelItem> items = OfflineModelList::items(*m_database);
        const QSignalBlocker blocker(m_ui->listWidget);
        for (const OfflineModelItem &entry : items) {
            auto *item = new QListWidgetItem(entry.text, m_ui->listWidget);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            item->setData(Qt::UserRole, entry.releaseIndex);
        }
    }

    const QIcon icon = Theme::themedIcon(QStringLiteral("cloud download"));
    setWindowIcon(icon);
    m_ui->download_pushButton->setIcon(icon);

    connect(m_scan, &DownloadedReleaseScan::finished, this, &DownloadFirmwareForOfflineDialog::applyDownloadedReleases);
    connect(m_run, &OfflineDownloadRun::progressChanged, this, &DownloadFirmwareForOfflineDialog::runProgressChanged);
    connect(m_run, &OfflineDownloadRun::finished, this, &DownloadFirmwareForOfflineDialog::runFinished);
    refreshList();
}

DownloadFirmwareForOfflineDialog::~DownloadFirmwareForOfflineDialog()
{
    delete m_ui;
}

bool DownloadFirmwareForOfflineDialog::isCheckingCache() const
{
    return m_scan->isRunning();
}

bool DownloadFirmwareForOfflineDialog::isDownloading() const
{
    return m_run->isRunning();
}

void DownloadFirmwareForOfflineDialog::refreshList()
{
    if (!m_database) {
        applyDownloadedReleases({});
        return;
    }
    // Hashing the cache happens off the GUI thread; the dialog stays usable and shows that it
    // is busy until the result is in.
    if (!m_scan->isRunning())
        m_statusBeforeCheck = m_ui->status_label->text();
    m_ui->status_label->setText(tr("Checking downloaded firmware..."));
    setCursor(Qt::BusyCursor);
    m_scan->start(*m_database, m_cacheFolder);
    updateButtons();
}

void DownloadFirmwareForOfflineDialog::applyDownloadedReleases(const QList<int> &downloaded)
{
    m_downloaded = downloaded;
    {
        // Marking items is no user choice: it must not spread checks or reset the status.
        const QSignalBlocker blocker(m_ui->listWidget);
        for (int row = 0; row < m_ui->listWidget->count(); ++row) {
            QListWidgetItem *item = m_ui->listWidget->item(row);
            if (m_downloaded.contains(releaseIndexOf(item))) {
                item->setCheckState(Qt::Checked);
                item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
            } else {
                item->setFlags(item->flags() | Qt::ItemIsEnabled);
            }
        }
    }
    unsetCursor();
    m_ui->status_label->setText(m_statusBeforeCheck);
    updateButtons();
    emit listRefreshed();
}

void DownloadFirmwareForOfflineDialog::updateButtons()
{
    const bool running = m_run->isRunning();
    bool anyChecked = false;
    for (int row = 0; row < m_ui->listWidget->count(); ++row) {
        const QListWidgetItem *item = m_ui->listWidget->item(row);
        if (item->checkState() == Qt::Checked && !m_downloaded.contains(releaseIndexOf(item)))
            anyChecked = true;
    }
    const bool canDownload = !running && !m_scan->isRunning() && (anyChecked || m_lastRunFailed);
    m_ui->download_pushButton->setEnabled(canDownload);
    m_ui->cancel_pushButton->setEnabled(!running);
}

void DownloadFirmwareForOfflineDialog::on_listWidget_itemChanged(QListWidgetItem *item)
{
    if (item && (item->checkState() == Qt::Checked || item->checkState() == Qt::Unchecked)) {
        // Models of one release share its package: they are checked and unchecked together.
        const QSignalBlocker blocker(m_ui->listWidget);
        const int release = releaseIndexOf(item);
        for (int row = 0; row < m_ui->listWidget->count(); ++row) {
            QListWidgetItem *other = m_ui->listWidget->item(row);
            if (releaseIndexOf(other) == release)
                other->setCheckState(item->checkState());
        }
    }
    m_lastRunFailed = false;
    updateButtons();
    if (!m_scan->isRunning())
        m_ui->status_label->setText(tr("Ready"));
}

QList<int> DownloadFirmwareForOfflineDialog::checkedReleaseIndices() const
{
    QList<int> checked;
    for (int row = 0; row < m_ui->listWidget->count(); ++row) {
        const QListWidgetItem *item = m_ui->listWidget->item(row);
        if (item->checkState() == Qt::Checked)
            checked.append(releaseIndexOf(item));
    }
    return checked;
}

void DownloadFirmwareForOfflineDialog::on_download_pushButton_clicked()
{
    if (!m_database || m_run->isRunning() || m_scan->isRunning())
        return;
    m_lastRunFailed = false;
    const QList<int> queued = OfflineModelList::releasesToQueue(*m_database, checkedReleaseIndices(), m_downloaded);
    QList<FirmwareRelease> releases;
    for (int index : queued)
        releases.append(m_database->releases().at(index));
    if (releases.isEmpty()) {
        m_ui->status_label->setText(tr("Ready", "fw download is complete"));
        updateButtons();
        return;
    }

    // Jobs whose packages are cached end inside start(); when all of them do, runFinished()
    // has already closed the run and nothing below is left to do.
    m_run->start(releases);
    if (!m_run->isRunning())
        return;

    const qint64 total = m_run->totalExpectedBytes();
    m_progressShift = 0;
    while ((total >> m_progressShift) > INT_MAX)
        m_progressShift += 10;
    m_progress = new QProgressDialog(tr("Firmware download"), tr("Cancel"), 0,
                                     total < 0 ? 0 : int(total >> m_progressShift), this);
    m_progress->setWindowFlag(Qt::WindowCloseButtonHint, false);
    m_progress->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
    m_progress->setMinimumWidth(320);
    // Escape would cancel every download; only the Cancel button does that.
    m_progress->installEventFilter(this);
    connect(m_progress, &QProgressDialog::canceled, this, &DownloadFirmwareForOfflineDialog::cancelDownload);
    m_progress->show();

    m_ui->status_label->setText(tr("Downloading...", "fw is downloading"));
    updateButtons();
}

void DownloadFirmwareForOfflineDialog::runProgressChanged(qint64 receivedBytes, const QString &label)
{
    if (!m_progress)
        return;
    if (m_progress->maximum() > 0)
        m_progress->setValue(int(qMin<qint64>(receivedBytes >> m_progressShift, m_progress->maximum())));
    if (!label.isEmpty())
        m_progress->setLabelText(label);
}

void DownloadFirmwareForOfflineDialog::runFinished(bool error)
{
    if (m_progress) {
        // The run can end inside the progress dialog's own cancel signal: delete it later.
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    m_lastRunFailed = error;
    m_ui->status_label->setText(error ? tr("Download error") : tr("Download complete"));
    refreshList();
}

bool DownloadFirmwareForOfflineDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_progress && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        return true;
    return QDialog::eventFilter(watched, event);
}

void DownloadFirmwareForOfflineDialog::cancelDownload()
{
    m_run->cancel();
}

void DownloadFirmwareForOfflineDialog::on_cancel_pushButton_clicked()
{
    reject();
}

void DownloadFirmwareForOfflineDialog::reject()
{
    if (m_run->isRunning())
        return;
    QDialog::reject();
}
