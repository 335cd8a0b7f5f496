#pragma once

#include <QDialog>

namespace Ui {
class SV_Information_DialogClass;
}

// The log window: every information message of the program, one paragraph per line, shown as
// plain text. Lines keep accumulating while it is hidden. No button is a default: Return in the
// window must never clear a log a technician is about to send to support.
class SV_Information_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit SV_Information_Dialog(QWidget *parent = nullptr);
    ~SV_Information_Dialog() override;

    // The whole log as plain text.
    QString text() const;

    // Writes the log as shown, as UTF-8 plain text, replacing the file only once it is complete.
    // 0 on success, -1 when the file cannot be written.
    int saveTo(const QString &path) const;

    // Re-applies the button icons after a change of light or dark appearance.
    void refreshIcons();

public slots:
    // show_level is kept for callers that pass it; every line is shown the same way.
    void append(const QString &line, int show_level = 1);

private slots:
    void on_clear_pushbutton_clicked();
    void on_copy_pushButton_clicked();
    void on_save_pushButton_clicked();

private:
    Ui::SV_Information_DialogClass *ui;
};
