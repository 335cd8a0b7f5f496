#include "app/AppPalette.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

void AppPalette::applyFromEnvironment()
{
    if (qEnvironmentVariable(Variable).compare(QLatin1String("dark"), Qt::CaseInsensitive) != 0)
        return;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    // Rows a little lighter than the window, so that Fusion's check box outline (the window
    // colour, darkened) stands out against them.
    const QColor window(40, 40, 42);
    const QColor base(52, 52, 55);
    const QColor text(230, 230, 230);
    const QColor disabledText(128, 128, 128);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(60, 60, 64));
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, QColor(90, 160, 240));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, disabledText);
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(QPalette::Disabled, role, disabledText);
    QApplication::setPalette(p);
}
