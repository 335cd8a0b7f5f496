#include "app/CommandLineOptions.h"

#include "app/AppTranslations.h"
#include "records/AppBuild.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstring>

namespace {

const char *const informationOptions[] = {"-h", "--help", "-?", "--help-all", "-v", "--version"};

} // namespace

bool CommandLineOptions::asksForInformation(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : informationOptions) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

bool CommandLineOptions::answer(int &argc, char **argv, int &exitCode)
{
    if (!asksForInformation(argc, argv))
        return false;

    // A core application is enough for the texts and needs no display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(AppBuild::Version));
    AppTranslations translations;
    translations.install();

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLineOptions",
        "Finds large-format displays on the local network and updates their firmware over the LAN or "
        "with a USB drive."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Qt's own options (-platform, -style, ...) are unknown to this parser; they are no error here.
    parser.parse(QCoreApplication::arguments());

    QTextStream out(stdout);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText();
    } else if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << '\n' << AppBuild::versionText() << '\n';
    }
    out.flush();
    exitCode = 0;
    return true;
}
