#include "app/AppSplash.h"

#include "records/AppBuild.h"

#include <QIcon>

namespace {
QPixmap splashPixmap()
{
    const QIcon image(QString::fromLatin1(AppSplash::ImagePath));
    const QSize size = image.actualSize(QSize(300, 300), QIcon::Normal, QIcon::Off);
    return image.pixmap(size, QIcon::Normal, QIcon::Off);
}
}

AppSplash::AppSplash()
    : m_pixmap(splashPixmap())
    , m_screen(m_pixmap, Qt::WindowStaysOnTopHint)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(DisplayMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, &m_screen, &QWidget::close);
}

void AppSplash::show()
{
    m_screen.show();
    m_screen.showMessage(AppBuild::versionText(), Qt::AlignHCenter | Qt::AlignVCenter | Qt::AlignBottom, Qt::black);
    m_timer.start();
}
