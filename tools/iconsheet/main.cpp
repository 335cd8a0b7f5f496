// iconsheet [--grab file.png]: every themed icon at 16, 20 and 24 px, looked up on a light and on
// a dark palette, side by side. With --grab the sheet is saved as an image and the program ends.
#include "theme/Theme.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>

namespace {

// Every icon the program ships, by name: the light folder less the two pictures that are no icons.
QStringList shippedIconNames()
{
    QStringList names;
    const QStringList files = QDir(QStringLiteral(":/resources")).entryList({ QStringLiteral("*.svg") }, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString name = file.chopped(4);
        if (name != QLatin1String("app splash") && name != QLatin1String("app about"))
            names.append(name);
    }
    return names;
}

QPalette paletteWithWindow(const QColor &window, const QColor &text)
{
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::Base, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    return p;
}

// Built while the application palette is the one to show, since the lookups read it.
QWidget *sheet(const QString &title, const QPalette &palette)
{
    QApplication::setPalette(palette);
    auto *panel = new QWidget;
    panel->setAutoFillBackground(true);
    panel->setPalette(palette);
    auto *grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(title)), 0, 0, 1, 4);
    const int sizes[] = { 16, 20, 24 };
    const QStringList iconNames = shippedIconNames();
    const int rowsPerColumn = (int(iconNames.size()) + 1) / 2;
    for (int i = 0; i < iconNames.size(); ++i) {
        const int row = 1 + i % rowsPerColumn;
        const int col = (i / rowsPerColumn) * 4;
        const QIcon icon = Theme::themedIcon(iconNames.at(i));
        for (int s = 0; s < 3; ++s) {
            auto *image = new QLabel;
            image->setPixmap(icon.pixmap(sizes[s], sizes[s]));
            grid->addWidget(image, row, col + s);
        }
        auto *name = new QLabel(iconNames.at(i));
        name->setPalette(palette);
        grid->addWidget(name, row, col + 3);
    }
    return panel;
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette original = QApplication::palette();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Quillon icons"));
    auto *layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sheet(QStringLiteral("Light"), paletteWithWindow(QColor(0xef, 0xf0, 0xf1), Qt::black)));
    layout->addWidget(sheet(QStringLiteral("Dark"), paletteWithWindow(QColor(0x2a, 0x2e, 0x32), QColor(0xfc, 0xfc, 0xfc))));
    QApplication::setPalette(original);
    window.move(0, 0);
    window.show();

    const QStringList args = QCoreApplication::arguments();
    const int grabAt = int(args.indexOf(QStringLiteral("--grab")));
    if (grabAt >= 0 && grabAt + 1 < args.size()) {
        const QString file = args.at(grabAt + 1);
        QTimer::singleShot(200, &window, [&window, file] {
            const bool saved = window.grab().save(file);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
