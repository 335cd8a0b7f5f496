#include "dialogs/UpdateHistoryDialog.h"
#include "ui_UpdateHistoryDialog.h"

#include "history/HistoryFilterProxy.h"
#include "history/HistoryReport.h"
#include "history/HistoryTableModel.h"
#include "history/HistoryViewLoader.h"
#include "history/InterruptedUpdatesNotice.h"
#include "history/UpdateHistory.h"
#include "reports/CsvWriter.h"
#include "reports/ReportFile.h"
#include "reports/UpdateReport.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>

UpdateHistoryDialog::UpdateHistoryDialog(UpdateHistory &history, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::UpdateHistoryDialog)
    , m_history(history)
    , m_model(new HistoryTableModel(this))
    , m_proxy(new HistoryFilterProxy(this))
    , m_loader(new HistoryViewLoader(history, *m_model, this))
{
    m_ui->setupUi(this);
    m_proxy->setSourceModel(m_model);
    m_ui->history_tableView->setModel(m_proxy);
    m_ui->history_tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_ui->history_tableView->horizontalHeader()->setStretchLastSection(true);
    m_ui->history_tableView->sortByColumn(HistoryTableModel::StartedColumn, Qt::DescendingOrder);

    const QList<QPair<QString, HistoryFilter::Result>> results {
        { tr("All results"), HistoryFilter::Result::Any },
        { tr("Succeeded"), HistoryFilter::Result::Succeeded },
        { tr("Failed"), HistoryFilter::Result::Failed },
        { tr("Interrupted"), HistoryFilter::Result::Interrupted },
        { tr("Running"), HistoryFilter::Result::Pending },
    };
    for (const auto &[text, result] : results)
        m_ui->result_comboBox->addItem(text, int(result));

    const QDate today = QDate::currentDate();
    m_ui->from_dateEdit->setDate(today.addDays(-30));
    m_ui->to_dateEdit->setDate(today);
    connect(m_ui->from_dateEdit, &QDateEdit::dateChanged, this, &UpdateHistoryDialog::applyDateRange);
    connect(m_ui->to_dateEdit, &QDateEdit::dateChanged, this, &UpdateHistoryDialog::applyDateRange);
    connect(m_ui->result_comboBox, &QComboBox::currentIndexChanged, this, &UpdateHistoryDialog::applyResult);
    connect(m_proxy, &QAbstractItemModel::rowsInserted, this, &UpdateHistoryDialog::updateCommands);
    connect(m_proxy, &QAbstractItemModel::rowsRemoved, this, &UpdateHistoryDialog::updateCommands);
    connect(m_proxy, &QAbstractItemModel::modelReset, this, &UpdateHistoryDialog::updateCommands);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, &UpdateHistoryDialog::updateCommands);
    connect(m_ui->history_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &UpdateHistoryDialog::updateCommands);
    connect(m_loader, &HistoryViewLoader::finished, this, &UpdateHistoryDialog::updateCommands);
    reload();
    m_ui->history_tableView->resizeColumnsToContents();
}

UpdateHistoryDialog::~UpdateHistoryDialog()
{
    delete m_ui;
}

void UpdateHistoryDialog::reload()
{
    m_loader->start();
    updateCommands();
}

void UpdateHistoryDialog::showInterrupted(QWidget *parent, const QList<UpdateAttempt> &interrupted)
{
    if (interrupted.isEmpty())
        return;
    QMessageBox box(QMessageBox::Warning, parent ? parent->windowTitle() : QString(),
                    InterruptedUpdatesNotice::text(interrupted), QMessageBox::Ok, parent);
    // Model names and serial numbers come from the displays.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void UpdateHistoryDialog::on_filter_lineEdit_textChanged(const QString &text)
{
    m_proxy->setText(text);
}

void UpdateHistoryDialog::on_dateRange_checkBox_toggled(bool checked)
{
    m_ui->from_dateEdit->setEnabled(checked);
    m_ui->to_dateEdit->setEnabled(checked);
    applyDateRange();
}

void UpdateHistoryDialog::applyDateRange()
{
    if (m_ui->dateRange_checkBox->isChecked())
        m_proxy->setDateRange(m_ui->from_dateEdit->date(), m_ui->to_dateEdit->date());
    else
        m_proxy->setDateRange(QDate(), QDate());
}

void UpdateHistoryDialog::applyResult()
{
    m_proxy->setResult(HistoryFilter::Result(m_ui->result_comboBox->currentData().toInt()));
}

void UpdateHistoryDialog::updateCommands()
{
    const int shown = m_proxy->rowCount();
    if (m_loader->isLoading())
        m_ui->count_label->setText(tr("%n update(s) shown, the older ones are being read…", nullptr, shown));
    else
        m_ui->count_label->setText(tr("%n of %1 update(s) shown", nullptr, shown).arg(m_model->rowCount()));
    m_ui->exportCsv_pushButton->setEnabled(shown > 0);
    const UpdateAttempt *attempt = selectedAttempt();
    m_ui->exportReport_pushButton->setEnabled(attempt && !attempt->batch.isEmpty());
    m_ui->clear_pushButton->setEnabled(m_model->rowCount() > 0);
}

const UpdateAttempt *UpdateHistoryDialog::selectedAttempt() const
{
    const QModelIndexList rows = m_ui->history_tableView->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    const QModelIndex source = m_proxy->mapToSource(rows.first());
    return source.isValid() ? &m_model->attempt(source.row()) : nullptr;
}

void UpdateHistoryDialog::on_exportCsv_pushButton_clicked()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Export update history"), QString(), tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QList<UpdateAttempt> shown;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        shown.append(m_model->attempt(m_proxy->mapToSource(m_proxy->index(row, 0)).row()));
    const QString error = ReportFile::write(path, CsvWriter::document(HistoryReport::csvTable(shown)));
    if (!error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
}

void UpdateHistoryDialog::on_exportReport_pushButton_clicked()
{
    const UpdateAttempt *attempt = selectedAttempt();
    if (!attempt)
        return;
    HistoryFilter filter;
    filter.batch = attempt->batch;
    const QList<UpdateReport::Line> lines = HistoryReport::reportLines(m_history.attempts(filter));
    QString chosenFilter;
    const QString path = QFileDialog::getSaveFileName(this, tr("Export update report"), QString(),
                                                      tr("CSV files (*.csv);;JSON files (*.json)"), &chosenFilter);
    if (path.isEmpty())
        return;
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive)
            || chosenFilter.contains(QLatin1String("*.json"));
    const QString error = ReportFile::write(path, json ? UpdateReport::json(lines) : CsvWriter::document(UpdateReport::table(lines)));
    if (!error.isEmpty())
        QMessageBox::warning(this, windowTitle(), error);
}

void UpdateHistoryDialog::on_clear_pushButton_clicked()
{
    const auto answer = QMessageBox::question(
            this, windowTitle(),
            tr("Clear the update history? Every finished update and USB drive record is removed; updates still running keep their rows. This cannot be undone."),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (m_history.clear() < 0)
        QMessageBox::warning(this, windowTitle(), tr("The update history could not be cleared (%1).").arg(m_history.lastError()));
    reload();
}
