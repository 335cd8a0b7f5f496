#include "dialogs/OptionSetting.h"
#include "ui_OptionSetting.h"

#include "theme/Theme.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLayout>

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
    const int lineWidth = fontMetrics().averageCharWidth() * 64;
    m_ui->label->setMinimumWidth(lineWidth);
    m_ui->label_2->setMinimumWidth(lineWidth);
    // The choices keep their own width: a click beside a stretched choice's text would do nothing.
    for (QAbstractButton *choice : { static_cast<QAbstractButton *>(m_ui->radioButton_1), static_cast<QAbstractButton *>(m_ui->radioButton_2),
                                     static_cast<QAbstractButton *>(m_ui->radioButton_3),
                                     static_cast<QAbstractButton *>(m_ui->enable_legacy_support_checkBox) })
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
