#pragma once

#include <QDialog>

namespace Ui {
class UpdateWarningMessageDialog;
}

// The firmware update cautions. The user can go on only after ticking that they were read.
class UpdateWarningMessageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateWarningMessageDialog(QWidget *parent = nullptr);
    ~UpdateWarningMessageDialog() override;

private slots:
    void on_checkBox_stateChanged(int state);
    void on_ok_pushButton_clicked();
    void on_cancel_pushButton_clicked();

private:
    Ui::UpdateWarningMessageDialog *m_ui;
};
