#include "cli/CtlOptions.h"

#include "discovery/AddressListParser.h"
#include "records/AppBuild.h"

#include <QCommandLineParser>

namespace {

struct CommandName
{
    const char *name;
    CtlOptions::Command command;
};

const CommandName Commands[] = {
    { "search", CtlOptions::Command::Search },
    { "update", CtlOptions::Command::Update },
    { "download", CtlOptions::Command::Download },
    { "usb", CtlOptions::Command::Usb },
    { "history", CtlOptions::Command::History },
};

QString usageText()
{
    return QCoreApplication::translate(
            "CtlOptions",
            "Usage:\n"
            "  quillonctl search   [--targets TEXT] [--json] [--verbose]\n"
            "  quillonctl update   [--targets TEXT] [--limit 1|5|20] [--first-per-model] [--max-failures N]\n"
            "                      [--yes] [--json] [--verbose]\n"
            "  quillonctl download --model NAME [--model NAME ...] [--json] [--verbose]\n"
            "  quillonctl usb      --model NAME [--model-variant TEXT] [--region-variant TEXT] --drive ROOT [--verbose]\n"
            "  quillonctl report merge [--json FILE] [--csv FILE] [SITE=]FILE...\n"
            "  quillonctl history  [--since DATE] [--serial S] [--address A] [--batch ID] [--interrupted] [--json]\n");
}

QString exitText()
{
    return QCoreApplication::translate(
            "CtlOptions",
            "Exit codes:\n"
            "  0  done: every display asked for was updated and its version read back, or there was nothing to do\n"
            "  1  failed: a display was not updated, a search, download or copy failed, or the run was cut short\n"
            "  2  usage error: nothing was done\n"
            "  3  update without --yes: nothing was changed\n"
            "\n"
            "Ctrl-C during an update:\n"
            "  once   the queued updates are cancelled; the running ones finish and every result is printed\n"
            "  twice  exits at once and names the displays left mid-update (check them before use); with\n"
            "         --json, standard output still holds every display's state as far as it is known\n");
}

}

CtlOptions CtlOptions::parse(const QStringList &arguments, QString &message, int &exitCode)
{
    CtlOptions options;
    exitCode = Completed;

    if (arguments.value(1) == QLatin1String("report")) {
        options.command = Command::Report;
        options.reportArguments = arguments.mid(2);
        return options;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Finds displays on the LAN and updates their firmware from a script."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, tr("Shows this help."));
    const QCommandLineOption version(QStringLiteral("version"), tr("Shows the version."));
    const QCommandLineOption targets(QStringLiteral("targets"),
                                     tr("Targeted search of these addresses (e.g. \"10.0.4.1 - 40, 10.0.5.*, 10.0.6.0/27\"); "
                                        "without it, a broadcast search."),
                                     tr("TEXT"));
    const QCommandLineOption limit(QStringLiteral("limit"), tr("Displays updated at once: 1, 5 or 20."), tr("N"));
    const QCommandLineOption firstPerModel(QStringLiteral("first-per-model"),
                                           tr("Updates one display of each model first; the others start once it "
                                              "is back on the new version."));
    const QCommandLineOption maxFailures(QStringLiteral("max-failures"),
                                         tr("Starts no more displays after N failures (0 = never, up to 99)."), tr("N"));
    const QCommandLineOption yes(QStringLiteral("yes"), tr("Updates the displays; without it update only shows what it would do."));
    const QCommandLineOption json(QStringLiteral("json"), tr("Results as JSON on standard output."));
    const QCommandLineOption model(QStringLiteral("model"), tr("A model name."), tr("NAME"));
    const QCommandLineOption modelVariant(QStringLiteral("model-variant"), tr("The model variant text of the release."), tr("TEXT"));
    const QCommandLineOption regionVariant(QStringLiteral("region-variant"), tr("The region text of the release."), tr("TEXT"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), tr("Also the application's log lines on standard error."));
    const QCommandLineOption drive(QStringLiteral("drive"), tr("The root folder of the mounted drive."), tr("ROOT"));
    const QCommandLineOption since(QStringLiteral("since"), tr("Updates started on or after this date (YYYY-MM-DD) or time."), tr("DATE"));
    const QCommandLineOption serial(QStringLiteral("serial"), tr("Updates of the display with this serial number."), tr("S"));
    const QCommandLineOption address(QStringLiteral("address"), tr("Updates of the display at this address."), tr("A"));
    const QCommandLineOption batch(QStringLiteral("batch"), tr("The updates of one batch (its id in the JSON)."), tr("ID"));
    const QCommandLineOption interrupted(QStringLiteral("interrupted"), tr("Only updates that were interrupted."));
    QCommandLineOption shortWaits(QStringLiteral("test-short-waits"));
    shortWaits.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({ help, version, targets, limit, firstPerModel, maxFailures, yes, json, model, modelVariant,
                        regionVariant, drive, since, serial, address, batch, interrupted, verbose, shortWaits });
    parser.addPositionalArgument(QStringLiteral("command"), tr("search, update, download, usb, report or history"));

    const auto usageError = [&](const QString &text) {
        message = text + QLatin1Char('\n') + usageText();
        exitCode = UsageError;
        return CtlOptions();
    };

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        message = parser.helpText() + QLatin1Char('\n') + usageText() + QLatin1Char('\n') + exitText();
        return CtlOptions();
    }
    if (parser.isSet(version)) {
        message = AppBuild::versionText() + QLatin1Char('\n');
        return CtlOptions();
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return usageError(positional.isEmpty() ? tr("No command given.")
                                               : tr("Unexpected argument: %1").arg(positional.value(1)));
    Command command = Command::None;
    for (const CommandName &entry : Commands) {
        if (positional.first() == QLatin1String(entry.name))
            command = entry.command;
    }
    if (command == Command::None)
        return usageError(tr("Unknown command: %1").arg(positional.first()));

    // Each command takes only its own options.
    const bool searchLike = command == Command::Search || command == Command::Update;
    const QList<QPair<const QCommandLineOption *, bool>> allowed {
        { &targets, searchLike },
        { &limit, command == Command::Update },
        { &firstPerModel, command == Command::Update },
        { &maxFailures, command == Command::Update },
        { &yes, command == Command::Update },
        { &json, command != Command::Usb },
        { &model, command == Command::Download || command == Command::Usb },
        { &modelVariant, command == Command::Usb },
        { &regionVariant, command == Command::Usb },
        { &drive, command == Command::Usb },
        { &since, command == Command::History },
        { &serial, command == Command::History },
        { &address, command == Command::History },
        { &batch, command == Command::History },
        { &interrupted, command == Command::History },
    };
    for (const auto &[option, ok] : allowed) {
        if (!ok && parser.isSet(*option))
            return usageError(tr("The %1 command takes no --%2.").arg(positional.first(), option->names().constLast()));
    }

    options.command = command;
    options.json = parser.isSet(json);
    options.confirmed = parser.isSet(yes);
    options.shortWaits = parser.isSet(shortWaits);
    options.verbose = parser.isSet(verbose);

    if (parser.isSet(targets)) {
        options.targetText = parser.value(targets);
        int item = 0;
        const int result = AddressListParser::parse(options.targetText, options.targets, item,
                                                    AddressListParser::DefaultLimit);
        switch (result) {
        case AddressListParser::Valid:
            break;
        case AddressListParser::FormatError:
            return usageError(tr("--targets: item %1 is not an address, a wildcard, a range or a CIDR block.").arg(item));
        case AddressListParser::TooManyAddresses:
            return usageError(tr("--targets: item %1 brings the list over %2 addresses.")
                                      .arg(item)
                                      .arg(AddressListParser::DefaultLimit));
        default:
            return usageError(tr("--targets: the text names no address."));
        }
    }
    if (parser.isSet(limit)) {
        const QString text = parser.value(limit);
        if (text != QLatin1String("1") && text != QLatin1String("5") && text != QLatin1String("20"))
            return usageError(tr("--limit must be 1, 5 or 20, not %1.").arg(text));
        options.updateLimit = text.toInt();
    }
    options.firstPerModel = parser.isSet(firstPerModel);
    if (parser.isSet(maxFailures)) {
        const QString text = parser.value(maxFailures);
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < 0 || value > 99 || text.trimmed() != text)
            return usageError(tr("--max-failures must be a number from 0 to 99, not %1.").arg(text));
        options.maxFailures = value;
    }
    if (parser.isSet(since)) {
        const QString text = parser.value(since);
        // A date alone means its start in local time; QDate would also take the date of a time.
        const QDate day = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
        options.historySince = day.isValid() ? day.startOfDay() : QDateTime::fromString(text, Qt::ISODate);
        if (!options.historySince.isValid())
            return usageError(tr("--since must be a date (YYYY-MM-DD) or a time (YYYY-MM-DDTHH:MM), not %1.").arg(text));
    }
    options.historySerial = parser.value(serial);
    options.historyAddress = parser.value(address);
    options.historyBatch = parser.value(batch);
    options.historyInterrupted = parser.isSet(interrupted);
    options.models = parser.values(model);
    options.modelVariant = parser.value(modelVariant);
    options.regionVariant = parser.value(regionVariant);
    options.driveRoot = parser.value(drive);
    if ((command == Command::Download || command == Command::Usb) && options.models.isEmpty())
        return usageError(tr("The %1 command needs --model.").arg(positional.first()));
    if (command == Command::Usb && options.models.size() != 1)
        return usageError(tr("The usb command takes one --model."));
    if (command == Command::Usb && options.driveRoot.isEmpty())
        return usageError(tr("The usb command needs --drive."));
    return options;
}
