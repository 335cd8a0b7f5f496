#include "app/AppPalette.h"
#include "app/AppSplash.h"
#include "app/AppTranslations.h"
#include "app/CommandLineOptions.h"
#include "settings/SettingsMigration.h"
#include "app/Tessel.h"
#include "platform/Platform.h"
#include "platform/SingleInstanceLock.h"

#include <QApplication>
#include <QSettings>

#include <memory>

int main(int argc, char *argv[])
{
    Platform::keepFreedMemoryForReuse();
    QCoreApplication::setOrganizationName(QStringLiteral("Halvern"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("halvern.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    // --help and --version answer before anything of a running copy: no settings, no lock, no display.
    if (int exitCode = 0; CommandLineOptions::answer(argc, argv, exitCode))
        return exitCode;

    // Stays open for the whole run.
    QSettings settings;
    SettingsMigration::migrateFromOlderEdition(settings);

    SingleInstanceLock instanceLock;
    if (instanceLock.acquire() == SingleInstanceLock::Status::AlreadyRunning) {
        Platform::beep();
        return 0;
    }

    Platform::raiseOpenFileLimit();
    QApplication app(argc, argv);
    AppPalette::applyFromEnvironment();

    AppTranslations translations;
    translations.install();

    AppSplash splash;
    splash.show();

    auto window = std::make_unique<Tessel>();
    window->show();
    const int status = app.exec();
    window.reset();
    return status;
}
