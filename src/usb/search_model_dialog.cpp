#include "usb/search_model_dialog.h"
#include "ui_search_model_dialog.h"

#include "records/AppBuild.h"
#include "theme/Theme.h"
#include "usbwriter/UsbModelSearch.h"

#include <QCompleter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringListModel>

#include <algorithm>

search_model_dialog::search_model_dialog(const FirmwareDatabase &db, QWidget *parent)
    : search_model_dialog(db, AppBuild::Number, parent)
{
}

search_model_dialog::search_model_dialog(const FirmwareDatabase &db, int appBuild, QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::search_model_dialog)
    , m_db(db)
    , m_modelNames(UsbModelSearch::modelNames(db, appBuild))
{
    m_ui->setupUi(this);
    setWindowIcon(Theme::themedIcon(QStringLiteral("usb drive")));

    // The completer is told its model is sorted ignoring case; its own copy is made so.
    QStringList sorted = m_modelNames;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    auto *completer = new QCompleter(new QStringListModel(sorted, this), this);
    completer->setMaxVisibleItems(10);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    m_ui->lineEdit->setCompleter(completer);

    setModelVariantsShown(false);
    setRegionVariantsShown(false);
    setOkEnabled(false);
}

search_model_dialog::~search_model_dialog()
{
    delete m_ui;
}

void search_model_dialog::setOkEnabled(bool enabled)
{
    m_ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(enabled);
}

void search_model_dialog::setModelVariantsShown(bool shown)
{
    m_ui->select_model_variant_comboBox->setVisible(shown);
    m_ui->select_model_variant_label->setVisible(shown);
}

void search_model_dialog::setRegionVariantsShown(bool shown)
{
    m_ui->select_region_variant_comboBox->setVisible(shown);
    m_ui->select_region_variant_label->setVisible(shown);
}

void search_model_dialog::fillModelVariants(const QStringList &texts)
{
    // Filled without a current entry, so the user has to choose.
    const QSignalBlocker blocker(m_ui->select_model_variant_comboBox);
    m_ui->select_model_variant_comboBox->clear();
    m_ui->select_model_variant_comboBox->setPlaceholderText(tr("Select the model variant."));
    m_ui->select_model_variant_comboBox->addItems(texts);
    m_ui->select_model_variant_comboBox->setCurrentIndex(-1);
}

void search_model_dialog::on_lineEdit_textChanged(const QString &text)
{
    const UsbModelSearch::Variants variants = UsbModelSearch::variantsFor(m_db, text);
    m_modelVariants = variants.models;
    m_regionVariants = variants.regions;

    {
        // Emptying the boxes is no choice of the user's.
        const QSignalBlocker modelBlocker(m_ui->select_model_variant_comboBox);
        const QSignalBlocker regionBlocker(m_ui->select_region_variant_comboBox);
        m_ui->select_model_variant_comboBox->clear();
        m_ui->select_region_variant_comboBox->clear();
    }
    setRegionVariantsShown(!m_regionVariants.isEmpty());
    setModelVariantsShown(!m_modelVariants.isEmpty());

    if (m_modelVariants.isEmpty() && m_regionVariants.isEmpty()) {
        setOkEnabled(variants.anyRelease);
    } else if (m_regionVariants.isEmpty()) {
        m_ui->select_model_variant_comboBox->setEnabled(true);
        m_ui->select_model_variant_label->setEnabled(true);
        fillModelVariants(m_modelVariants);
        setOkEnabled(false);
    } else {
        {
            const QSignalBlocker blocker(m_ui->select_region_variant_comboBox);
            m_ui->select_region_variant_comboBox->setPlaceholderText(tr("Select the region variant."));
            m_ui->select_region_variant_comboBox->addItems(m_regionVariants);
            m_ui->select_region_variant_comboBox->setCurrentIndex(-1);
        }
        m_ui->select_model_variant_comboBox->setEnabled(false);
        m_ui->select_model_variant_label->setEnabled(false);
        setOkEnabled(false);
    }
}

void search_model_dialog::on_select_region_variant_comboBox_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    const QString region = m_ui->select_region_variant_comboBox->itemText(index);
    const bool withModels = !m_modelVariants.isEmpty();
    m_ui->select_model_variant_comboBox->setEnabled(withModels);
    m_ui->select_model_variant_label->setEnabled(withModels);
    fillModelVariants(UsbModelSearch::modelVariantsForRegion(m_db, m_ui->lineEdit->text(), region));
    setOkEnabled(!withModels);
}

void search_model_dialog::on_select_model_variant_comboBox_currentIndexChanged(int index)
{
    setOkEnabled(index >= 0);
}

int search_model_dialog::getSelectedRelease(FirmwareRelease &out) const
{
    return UsbModelSearch::selectRelease(m_db, m_ui->lineEdit->text(),
                                         m_ui->select_model_variant_comboBox->currentText(),
                                         m_ui->select_region_variant_comboBox->currentText(), out);
}
