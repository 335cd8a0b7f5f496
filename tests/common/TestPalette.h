#pragma once

#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QSize>

// Appearance helpers for widget tests: switch the application between light and dark by the
// window colour's lightness, and compare icons by what they draw.
namespace TestPalette {

inline void setWindowLightness(int lightness)
{
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Window, QColor::fromHsl(0, 0, lightness));
    QApplication::setPalette(p);
}

// The image of an icon, to tell which file a QIcon came from.
inline QImage render(const QIcon &icon)
{
    return icon.pixmap(QSize(24, 24)).toImage().convertToFormat(QImage::Format_ARGB32);
}

}
