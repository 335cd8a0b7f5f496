#pragma once

#include <QDialog>
#include <QHostAddress>
#include <QList>
#include <QString>

namespace Ui {
class AdvancedIPSearchDialog;
}

// Lets the user write the targeted-search address list, checks it as it is typed and shows it
// expanded; on OK the caller takes both the text and the parsed addresses.
class AdvancedIPSearchDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AdvancedIPSearchDialog(QWidget *parent = nullptr);
    ~AdvancedIPSearchDialog() override;

    void setText(const QString &text);
    QString text() const;
    QList<QHostAddress> addresses() const { return m_addresses; }

private slots:
    void on_ip_list_plainTextEdit_textChanged();
    void on_clear_list_pushButton_clicked();
    void on_scan_pushButton_clicked();
    void on_cancel_pushButton_clicked();

private:
    void showStatus(const QString &message);

    Ui::AdvancedIPSearchDialog *m_ui;
    QList<QHostAddress> m_addresses;
};
