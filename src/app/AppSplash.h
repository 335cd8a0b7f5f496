#pragma once

#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

// The start-up splash: the splash image with the version text at its bottom, on top of other
// windows, closed by its own timer and by nothing else.
class AppSplash
{
public:
    static constexpr int DisplayMilliseconds = 5000;
    static constexpr const char *ImagePath = ":/resources/app splash.svg";

    AppSplash();
    void show();

    QSplashScreen &screen() { return m_screen; }
    const QPixmap &pixmap() const { return m_pixmap; }

private:
    QPixmap m_pixmap;
    QSplashScreen m_screen;
    QTimer m_timer;
};
