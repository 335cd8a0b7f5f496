#include "dialogs/UpdateWarningMessageDialog.h"
#include "ui_UpdateWarningMessageDialog.h"

#include "theme/Theme.h"

UpdateWarningMessageDialog::UpdateWarningMessageDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , m_ui(new Ui::UpdateWarningMessageDialog)
{
    m_ui->setupUi(this);
    setWindowIcon(Theme::themedIcon(QStringLiteral("warning")));
    m_ui->ok_pushButton->setEnabled(m_ui->checkBox->isChecked());
}

UpdateWarningMessageDialog::~UpdateWarningMessageDialog()
{
    delete m_ui;
}

void UpdateWarningMessageDialog::on_checkBox_stateChanged(int state)
{
    m_ui->ok_pushButton->setEnabled(state != Qt::Unchecked);
}

void UpdateWarningMessageDialog::on_ok_pushButton_clicked()
{
    accept();
}

void UpdateWarningMessageDialog::on_cancel_pushButton_clicked()
{
    reject();
}
