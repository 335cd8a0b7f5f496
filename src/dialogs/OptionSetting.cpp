#include "dialogs/OptionSetting.h"
#include "ui_OptionSetting.h"

#include "flows/FirmwareServer.h"
#include "theme/Theme.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QPalette>

OptionSetting::OptionSetting(bool showLegacyGroup, bool legacyEnabled, int updateLimit, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint)
    , m_ui(new Ui::OptionSetting)
{
    m_ui->setupUi(this);
    setWindowIcon(Theme::themedIcon(QStringLiteral("settings")));

    if (updateLimit < 5)
        m_ui->radioButton_1->setChecked(true);
    else if (updateLimit < 20)
        m_ui->radioButton_2->setChecked(true);
    else
        m_ui->radioButton_3->setChecked(true);

    const bool shiftHeld = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    m_ui->enable_legacy_support_checkBox->setEnabled(shiftHeld);
    m_ui->enable_legacy_support_checkBox->setChecked(legacyEnabled);
    m_ui->legacy_model_support_groupBox->setVisible(showLegacyGroup);

    // The dialog takes the size of its contents, and a wrapped label asks for little width: give
    // the texts a readable line length instead of a tall narrow column.
    // Measured on Latin letters: a Japanese font's average counts its full-width glyphs, which
    // made the dialog twice as wide as its texts need.
    const int charWidth = qMax(1, fontMetrics().horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyz")) / 26);
    const int lineWidth = charWidth * 64;
    // The limit and the rollout stand side by side, the wider groups below them.
    const int columnWidth = charWidth * 46;
    m_ui->label->setMinimumWidth(columnWidth);
    m_ui->rollout_label->setMinimumWidth(columnWidth);
    m_ui->label_2->setMinimumWidth(lineWidth);
    m_ui->firmware_server_label->setMinimumWidth(lineWidth);
    m_ui->firmware_server_error_label->setMinimumWidth(lineWidth);
    m_ui->firmware_server_environment_label->setMinimumWidth(lineWidth);
    m_ui->firmware_server_lineEdit->setPlaceholderText(QString::fromLatin1(FirmwareServer::DefaultBaseUrl));
    m_ui->firmware_server_lineEdit->setClearButtonEnabled(true);
    m_ui->firmware_server_error_label->hide();
    m_ui->firmware_server_environment_label->hide();
    // An error in red, in either palette; the text itself says what is wrong.
    QPalette errorPalette = m_ui->firmware_server_error_label->palette();
    errorPalette.setColor(QPalette::WindowText, QColor(0xd0, 0x30, 0x30));
    m_ui->firmware_server_error_label->setPalette(errorPalette);
    connect(m_ui->firmware_server_lineEdit, &QLineEdit::textEdited, m_ui->firmware_server_error_label, &QWidget::hide);
    // The choices keep their own width: a click beside a stretched choice's text would do nothing.
    for (QAbstractButton *choice : { static_cast<QAbstractButton *>(m_ui->radioButton_1), static_cast<QAbstractButton *>(m_ui->radioButton_2),
                                     static_cast<QAbstractButton *>(m_ui->radioButton_3),
                                     static_cast<QAbstractButton *>(m_ui->enable_legacy_support_checkBox),
                                     static_cast<QAbstractButton *>(m_ui->rollout_first_per_model_checkBox) })
        choice->parentWidget()->layout()->setAlignment(choice, Qt::AlignLeft);
}

OptionSetting::~OptionSetting()
{
    delete m_ui;
}

bool OptionSetting::legacySupportEnabled() const
{
    return m_ui->enable_legacy_support_checkBox->isChecked();
}

int OptionSetting::updateLimit() const
{
    if (m_ui->radioButton_3->isChecked())
        return 20;
    if (m_ui->radioButton_2->isChecked())
        return 5;
    return 1;
}

void OptionSetting::setRolloutPolicy(const RolloutPolicy &policy)
{
    m_ui->rollout_first_per_model_checkBox->setChecked(policy.firstPerModel);
    m_ui->rollout_max_failures_spinBox->setValue(RolloutPolicy::boundedMaxFailures(policy.maxFailures));
}

RolloutPolicy OptionSetting::rolloutPolicy() const
{
    RolloutPolicy policy;
    policy.firstPerModel = m_ui->rollout_first_per_model_checkBox->isChecked();
    policy.maxFailures = m_ui->rollout_max_failures_spinBox->value();
    return policy;
}

void OptionSetting::setFirmwareServerUrl(const QString &saved, const QString &environment)
{
    m_ui->firmware_server_lineEdit->setText(saved.trimmed());
    m_ui->firmware_server_environment_label->setVisible(!environment.isEmpty());
    m_ui->firmware_server_environment_label->setText(
            tr("%1 is set and is used instead: %2", "1=name of the environment variable 2=its address")
                    .arg(QString::fromLatin1(FirmwareServer::BaseUrlVariable), environment));
}

QString OptionSetting::firmwareServerUrl() const
{
    return m_ui->firmware_server_lineEdit->text().trimmed();
}

void OptionSetting::accept()
{
    const QString url = firmwareServerUrl();
    if (!url.isEmpty() && !FirmwareServer::isUsableBaseUrl(url)) {
        m_ui->firmware_server_error_label->setText(
                tr("\"%1\" cannot be used as the firmware server. Enter an address that starts with http:// or "
                   "https:// and names a host, such as https://mirror.example/firmwareupdates/, or leave it empty.")
                        .arg(url));
        m_ui->firmware_server_error_label->show();
        m_ui->firmware_server_lineEdit->setFocus();
        m_ui->firmware_server_lineEdit->selectAll();
        return;
    }
    QDialog::accept();
}
