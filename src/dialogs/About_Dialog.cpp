#include "dialogs/About_Dialog.h"
#include "ui_About_Dialog.h"

#include "records/AppBuild.h"

#include <QIcon>

About_Dialog::About_Dialog(QWidget *parent, const QString &databaseText, const QString &linksText)
    : QDialog(parent)
    , m_ui(new Ui::About_Dialog)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    setWindowIcon(QIcon(QStringLiteral(":/images/Tessel.ico")));

    const QIcon logo(QStringLiteral(":/resources/app about.svg"));
    const QSize requested(400, 400);
    m_ui->logo_label->setPixmap(logo.pixmap(logo.actualSize(requested)));

    m_ui->version_label->setText(databaseText + applicationVersionText());
    if (!linksText.isEmpty())
        m_ui->URL_label->setText(linksText);
}

About_Dialog::~About_Dialog()
{
    delete m_ui;
}

QString About_Dialog::applicationVersionText()
{
    return tr("Application version: %1 (Build %2)", "software version and build number")
        .arg(QLatin1String(AppBuild::Version), QString::number(AppBuild::Number));
}
