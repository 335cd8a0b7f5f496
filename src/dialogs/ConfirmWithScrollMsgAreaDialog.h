#pragma once

#include <QDialog>

namespace Ui {
class ConfirmWithScrollMsgAreaDialog;
}

// A Yes/Cancel question with a scrolling rich-text body, opened at the size its texts need
// (within the screen). The texts are shown as rich text: whatever the caller puts in them from a
// display must already be escaped.
class ConfirmWithScrollMsgAreaDialog : public QDialog
{
    Q_OBJECT

public:
    ConfirmWithScrollMsgAreaDialog(QWidget *parent, const QString &title, const QString &heading,
                                   const QString &mainText, const QString &endMessage);
    ~ConfirmWithScrollMsgAreaDialog() override;

private:
    void fitToContent();

    Ui::ConfirmWithScrollMsgAreaDialog *m_ui;
};
