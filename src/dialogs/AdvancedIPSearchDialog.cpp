#include "dialogs/AdvancedIPSearchDialog.h"

#include "discovery/AddressListParser.h"
#include "theme/Theme.h"
#include "ui_AdvancedIPSearchDialog.h"

AdvancedIPSearchDialog::AdvancedIPSearchDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(new Ui::AdvancedIPSearchDialog)
{
    m_ui->setupUi(this);
    setWindowIcon(Theme::themedIcon(QStringLiteral("search settings")));
    m_ui->clear_list_pushButton->setIcon(Theme::themedIcon(QStringLiteral("clear")));
    on_ip_list_plainTextEdit_textChanged();
}

AdvancedIPSearchDialog::~AdvancedIPSearchDialog()
{
    delete m_ui;
}

void AdvancedIPSearchDialog::setText(const QString &text)
{
    m_ui->ip_list_plainTextEdit->setPlainText(text);
}

QString AdvancedIPSearchDialog::text() const
{
    return m_ui->ip_list_plainTextEdit->toPlainText();
}

void AdvancedIPSearchDialog::on_ip_list_plainTextEdit_textChanged()
{
    const QString text = m_ui->ip_list_plainTextEdit->toPlainText();
    int item = 0;
    const int result = AddressListParser::parse(text, m_addresses, item, AddressListParser::DefaultLimit);

    switch (result) {
    case AddressListParser::FormatError:
        //: 1=item number
        showStatus(tr("Error: Address format error on item %1").arg(item));
        break;
    case AddressListParser::TooManyAddresses:
        //: 1=item number
        showStatus(tr("Error: Maximum number of addresses exceeded on line %1").arg(item));
        break;
    default:
        showStatus(QString());
        break;
    }
    m_ui->clear_list_pushButton->setEnabled(!text.isEmpty());

    QString expanded;
    expanded.reserve(m_addresses.size() * 16);
    for (const QHostAddress &address : std::as_const(m_addresses)) {
        expanded += address.toString();
        expanded += QLatin1Char('\n');
    }
    m_ui->expanded_ip_list_label->setText(expanded);
}

void AdvancedIPSearchDialog::showStatus(const QString &message)
{
    const bool error = !message.isEmpty();
    m_ui->status_label->setText(message);
    if (error) {
        const int side = qMax(16, m_ui->status_label->height());
        m_ui->status_icon_label->setPixmap(Theme::themedIcon(QStringLiteral("info")).pixmap(side, side));
    } else {
        m_ui->status_icon_label->clear();
    }
    m_ui->scan_pushButton->setEnabled(!error);
}

void AdvancedIPSearchDialog::on_clear_list_pushButton_clicked()
{
    m_ui->ip_list_plainTextEdit->setPlainText(QString());
}

void AdvancedIPSearchDialog::on_scan_pushButton_clicked()
{
    accept();
}

void AdvancedIPSearchDialog::on_cancel_pushButton_clicked()
{
    reject();
}
