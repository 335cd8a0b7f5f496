#pragma once

#include "records/RolloutPolicy.h"

#include <QDialog>
#include <QString>

namespace Ui {
class OptionSetting;
}

// Edits the simultaneous update limit, the rollout policy of LAN update batches, the legacy
// display support switch and the firmware server. The caller reads them back after the dialog
// was accepted; a firmware server address that could not be used keeps the dialog open.
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

    void setRolloutPolicy(const RolloutPolicy &policy);
    RolloutPolicy rolloutPolicy() const;

    // saved: the address from the settings (empty: the maker's server). environment: the
    // address QUILLON_FIRMWARE_URL sets, shown as the one in force; empty when it is not set.
    void setFirmwareServerUrl(const QString &saved, const QString &environment);
    // The address typed, trimmed; empty for the maker's server.
    QString firmwareServerUrl() const;

public slots:
    void accept() override;

private:
    Ui::OptionSetting *m_ui;
};
