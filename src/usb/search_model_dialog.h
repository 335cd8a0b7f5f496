#pragma once

#include "catalogue/FirmwareDatabase.h"

#include <QDialog>
#include <QStringList>


namespace Ui {
class search_model_dialog;
}

// Lets the user name a display model that is not on the network, and pick the model and region
// variant when several releases carry the name. The caller asks for the chosen release after OK.
class search_model_dialog : public QDialog
{
    Q_OBJECT

public:
    // The database is only read and must outlive the dialog. appBuild: the build that must be
    // allowed to install a release for its models to be offered.
    explicit search_model_dialog(const FirmwareDatabase &db, QWidget *parent = nullptr);
    search_model_dialog(const FirmwareDatabase &db, int appBuild, QWidget *parent = nullptr);
    ~search_model_dialog() override;

    // 0 and the release the name and variants point at, or -1 when none fits.
    int getSelectedRelease(FirmwareRelease &out) const;

    // The names the completer offers.
    QStringList modelNames() const { return m_modelNames; }

private slots:
    void on_lineEdit_textChanged(const QString &text);
    void on_select_model_variant_comboBox_currentIndexChanged(int index);
    void on_select_region_variant_comboBox_currentIndexChanged(int index);

private:
    void setOkEnabled(bool enabled);
    void setModelVariantsShown(bool shown);
    void setRegionVariantsShown(bool shown);
    void fillModelVariants(const QStringList &texts);

    Ui::search_model_dialog *m_ui;
    const FirmwareDatabase &m_db;
    QStringList m_modelNames;
    QStringList m_modelVariants;
    QStringList m_regionVariants;
};
