#include "dialogs/ConfirmWithScrollMsgAreaDialog.h"
#include "ui_ConfirmWithScrollMsgAreaDialog.h"

#include "theme/Theme.h"

#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTextDocument>
#include <QtMath>

ConfirmWithScrollMsgAreaDialog::ConfirmWithScrollMsgAreaDialog(QWidget *parent, const QString &title,
                                                               const QString &heading, const QString &mainText,
                                                               const QString &endMessage)
    : QDialog(parent)
    , m_ui(new Ui::ConfirmWithScrollMsgAreaDialog)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(Theme::themedIcon(QStringLiteral("update_lan")));
    setWindowTitle(title);
    m_ui->icon->setPixmap(Theme::themedIcon(QStringLiteral("warning")).pixmap(m_ui->icon->maximumSize()));
    m_ui->heading_label->setText(heading);
    m_ui->main_text_label->setText(mainText);
    m_ui->end_message_label->setText(endMessage);

    // Enter must never start an update by accident: it answers Cancel.
    QPushButton *yes = m_ui->buttonBox->button(QDialogButtonBox::Yes);
    yes->setAutoDefault(false);
    yes->setDefault(false);
    QPushButton *cancel = m_ui->buttonBox->button(QDialogButtonBox::Cancel);
    cancel->setDefault(true);

    fitToContent();
}

void ConfirmWithScrollMsgAreaDialog::fitToContent()
{
    // A scroll area asks for little room of its own, so the dialog would open at its minimum
    // whatever it holds. Ask for what the main text needs instead: as wide as its widest table
    // row, as tall as all of it, within the screen; only beyond that does the area scroll.
    QLabel *label = m_ui->main_text_label;
    QTextDocument document;
    document.setDefaultFont(label->font());
    document.setHtml(label->text());
    // Measured with some slack (the document's own margin, and half a line), and with room for a
    // vertical scroll bar: the area judges whether it needs one at the width it has while laying
    // itself out, and a bar that takes its width from the text wraps the table, which then needs
    // the bar for good.
    const int textWidth = qCeil(document.idealWidth());
    document.setTextWidth(textWidth);
    const int textHeight = qMax(qCeil(document.size().height()), label->heightForWidth(textWidth))
            + label->fontMetrics().lineSpacing() / 2;
    const QMargins inner = m_ui->scrollAreaWidgetContents->layout()->contentsMargins();
    const int frame = 2 * m_ui->scrollArea->frameWidth();
    const int scrollBar = m_ui->scrollArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int areaWidth = textWidth + inner.left() + inner.right() + frame + scrollBar;
    const int areaHeight = textHeight + inner.top() + inner.bottom() + frame;

    const QSize screenRoom = (screen() ? screen()->availableSize() : QSize(1024, 768)) * 0.9;
    // Held at exactly that height while the layout is asked, since its own hint would be taller.
    const QSize oldMaximum = m_ui->scrollArea->maximumSize();
    m_ui->scrollArea->setMinimumSize(areaWidth, areaHeight);
    m_ui->scrollArea->setMaximumHeight(areaHeight);
    layout()->activate();
    QSize wanted = layout()->totalSizeHint();
    // The wrapped labels' own hints assume a narrower box than this one: ask for their height
    // at the width chosen.
    if (layout()->hasHeightForWidth())
        wanted.setHeight(layout()->totalHeightForWidth(wanted.width()));
    m_ui->scrollArea->setMaximumSize(oldMaximum);

    // The area keeps that size as its least, or as much of it as the screen leaves; the labels
    // around it would otherwise take its height back. Where the screen cuts its width, the
    // horizontal scroll bar gets room of its own.
    const int overHeight = qMax(0, wanted.height() - screenRoom.height());
    const int overWidth = qMax(0, wanted.width() - screenRoom.width());
    QSize least(areaWidth - overWidth, areaHeight - overHeight + (overWidth > 0 ? scrollBar : 0));
    m_ui->scrollArea->setMinimumSize(least.boundedTo(QSize(areaWidth, areaHeight + scrollBar)).expandedTo(QSize(0, 0)));
    layout()->activate();
    if (overWidth > 0)
        wanted.rheight() += scrollBar;
    resize(wanted.boundedTo(screenRoom).expandedTo(minimumSize()));
}

ConfirmWithScrollMsgAreaDialog::~ConfirmWithScrollMsgAreaDialog()
{
    delete m_ui;
}
