#pragma once

#include <QDialog>

namespace Ui {
class OptionSetting;
}

// Edits the simultaneous update limit and the legacy display support switch. The caller reads
// both back after the dialog was accepted.
class OptionSetting : public QDialog
{
    Q_OBJECT

public:
    // The legacy switch can be changed only while Shift is held as the dialog opens, so that it
    // is not turned on by accident.
    OptionSetting(bool showLegacyGroup, bool legacyEnabled, int updateLimit, QWidget *parent = nullptr);
    ~OptionSetting() override;

    bool legacySupportEnabled() const;
    int updateLimit() const;

private:
    Ui::OptionSetting *m_ui;
};
