#pragma once

#include <QDialog>

namespace Ui {
class About_Dialog;
}

// The version, the firmware database version and the maker's links.
class About_Dialog : public QDialog
{
    Q_OBJECT

public:
    // databaseText is rich text put before the version line; linksText replaces the default links
    // unless it is empty.
    About_Dialog(QWidget *parent, const QString &databaseText, const QString &linksText);
    ~About_Dialog() override;

    // "Application version: 1.3.00 (Build 250930)", also shown by the splash screen.
    static QString applicationVersionText();

private:
    Ui::About_Dialog *m_ui;
};
