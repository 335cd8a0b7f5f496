#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "ui_ConfirmWithScrollMsgAreaDialog.h"

#include "theme/Theme.h"

#include <QPushButton>

ConfirmWithScrollMsgAreaDialog::ConfirmWithScrollMsgAreaDialog(QWidget *parent, const QString &title,
                                                               const QString &heading, const QString &mainText,
                                                               const QString &endMessage)
    : QDialog(parent)
    , m_ui(new Ui::ConfirmWithScrollMsgAreaDialog)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(Theme::themedIcon(QStringLiteral("update_lan")));
    setWindowTitle(title);
    m_ui->icon->setPixmap(Theme::themedIcon(QStringLiteral("warning")).pixmap(m_ui->icon->maximumSize()));
    m_ui->heading_label->setText(heading);
    m_ui->main_text_label->setText(mainText);
    m_ui->end_message_label->setText(endMessage);

    // Enter must never start an update by accident: it answers Cancel.
    QPushButton *yes = m_ui->buttonBox->button(QDialogButtonBox::Yes);
    yes->setAutoDefault(false);
    yes->setDefault(false);
    QPushButton *cancel = m_ui->buttonBox->button(QDialogButtonBox::Cancel);
    cancel->setDefault(true);
}

ConfirmWithScrollMsgAreaDialog::~ConfirmWithScrollMsgAreaDialog()
{
    delete m_ui;
}
