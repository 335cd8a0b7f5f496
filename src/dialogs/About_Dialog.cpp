#include "dialogs/About_Dialog.h"
#include "ui_About_Dialog.h"

#include "catalogue/CatalogueRichText.h"
#include "records/AppBuild.h"

#include <QIcon>
#include <QPalette>
#include <QStyle>

About_Dialog::About_Dialog(QWidget *parent, const QString &databaseText, const QString &linksText)
    : QDialog(parent)
    , m_ui(new Ui::About_Dialog)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    setWindowIcon(QIcon(QStringLiteral(":/images/Tessel.ico")));

    const QIcon logo(QStringLiteral(":/resources/app about.svg"));
    const QSize requested(540, 540);
    m_ui->logo_label->setPixmap(logo.pixmap(logo.actualSize(requested)));

    // The dialog is white in every appearance, around a logo drawn for white: a light palette of
    // its own.
    QPalette light = style()->standardPalette();
    light.setColor(QPalette::Window, Qt::white);
    light.setColor(QPalette::WindowText, Qt::black);
    setPalette(light);
    setAutoFillBackground(true);

    m_ui->version_label->setText(databaseText + applicationVersionText());
    // Rich text takes its link colour from the application's palette when it is parsed, the dark
    // palette's pale blue that does not read on white: the links take the logo's blue instead.
    // The catalogue's links come from the firmware server: only text, http/https links and our own
    // images reach the label, which opens links in the browser.
    const QString offered = CatalogueRichText::inlineHtml(linksText, CatalogueRichText::AboutTextTags);
    const QString links = offered.isEmpty() ? m_ui->URL_label->text() : offered;
    m_ui->URL_label->setText(QStringLiteral("<style>a { color: #1d5f9e; }</style>") + links);
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
