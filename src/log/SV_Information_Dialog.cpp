#include "log/SV_Information_Dialog.h"
#include "ui_SV_Information_Dialog.h"

#include "theme/Theme.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSaveFile>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

SV_Information_Dialog::SV_Information_Dialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SV_Information_DialogClass)
{
    ui->setupUi(this);
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::MSWindowsFixedSizeDialogHint);
    refreshIcons();
}

SV_Information_Dialog::~SV_Information_Dialog()
{
    delete ui;
}

QString SV_Information_Dialog::text() const
{
    return ui->data_textEdit->toPlainText();
}

void SV_Information_Dialog::refreshIcons()
{
    setWindowIcon(Theme::themedIcon(QStringLiteral("log")));
    ui->clear_pushbutton->setIcon(Theme::themedIcon(QStringLiteral("clear")));
    ui->copy_pushButton->setIcon(Theme::themedIcon(QStringLiteral("copy clipboard")));
    ui->save_pushButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
}

void SV_Information_Dialog::append(const QString &line, int show_level)
{
    Q_UNUSED(show_level);
    QTextEdit *edit = ui->data_textEdit;
    QScrollBar *bar = edit->verticalScrollBar();
    const bool followTail = bar->value() == bar->maximum();

    // Inserted as plain text: lines carry what displays and servers sent, and "<b>" or a link
    // in them must show as the characters they are, never as markup.
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    if (!edit->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(line, QTextCharFormat());

    if (followTail)
        bar->setValue(bar->maximum());
    if (isVisible())
        edit->viewport()->repaint();
}

void SV_Information_Dialog::on_clear_pushbutton_clicked()
{
    ui->data_textEdit->clear();
}

void SV_Information_Dialog::on_copy_pushButton_clicked()
{
    ui->data_textEdit->selectAll();
    // QTextEdit::copy() leaves the clipboard alone when there is nothing to copy; an empty log
    // must still put an empty text there.
    QGuiApplication::clipboard()->setText(ui->data_textEdit->toPlainText());
}

int SV_Information_Dialog::saveTo(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return -1;
    QString text = ui->data_textEdit->toPlainText();
    if (!text.isEmpty())
        text.append(QLatin1Char('\n'));
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size())
        return -1;
    return file.commit() ? 0 : -1;
}

void SV_Information_Dialog::on_save_pushButton_clicked()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
            QStringLiteral("quillon-log-%1.txt").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"))));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save log"), suggested, tr("Text files (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    if (saveTo(path) != 0)
        QMessageBox::warning(this, windowTitle(),
                             tr("The log could not be saved to %1.", "1=file path").arg(QDir::toNativeSeparators(path)));
}
