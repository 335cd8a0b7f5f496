#pragma once

#include "history/UpdateAttempt.h"

#include <QDialog>
#include <QList>

namespace Ui {
class UpdateHistoryDialog;
}

class HistoryFilterProxy;
class HistoryTableModel;
class HistoryViewLoader;
class UpdateHistory;

// File › "Update history…": every update attempt the history holds, sortable and filtered by
// text, start date and result; exports the rows shown as CSV and a batch's update report again,
// and clears the history after a confirmation. Display texts are shown as plain text only.
class UpdateHistoryDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateHistoryDialog(UpdateHistory &history, QWidget *parent = nullptr);
    ~UpdateHistoryDialog() override;

    // Reads the history again: the newest rows at once, the rest from the event loop.
    void reload();
    HistoryViewLoader *loader() const { return m_loader; }
    HistoryFilterProxy *proxy() const { return m_proxy; }

    // The message shown once at start when updates of an earlier run never ended.
    static void showInterrupted(QWidget *parent, const QList<UpdateAttempt> &interrupted);

private slots:
    void on_filter_lineEdit_textChanged(const QString &text);
    void on_dateRange_checkBox_toggled(bool checked);
    void on_exportCsv_pushButton_clicked();
    void on_exportReport_pushButton_clicked();
    void on_clear_pushButton_clicked();
    void applyDateRange();
    void applyResult();
    void updateCommands();

private:
    const UpdateAttempt *selectedAttempt() const;

    Ui::UpdateHistoryDialog *m_ui;
    UpdateHistory &m_history;
    HistoryTableModel *m_model;
    HistoryFilterProxy *m_proxy;
    HistoryViewLoader *m_loader;
};
