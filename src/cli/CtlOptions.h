#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// What quillonctl was asked to do, from its arguments.
struct CtlOptions
{
    Q_DECLARE_TR_FUNCTIONS(CtlOptions)

public:
    enum class Command { None, Search, Update, Download, Usb, Report, History };

    // Exit codes of the program.
    enum ExitCode : int {
        Completed = 0,
        Failed = 1,
        UsageError = 2,
        NotConfirmed = 3,
    };

    Command command = Command::None;
    QString targetText;
    QList<QHostAddress> targets;
    int updateLimit = 0;         // 0: the saved setting
    bool firstPerModel = false;  // --first-per-model; without it, the saved setting
    int maxFailures = -1;        // --max-failures 0..99; -1: the saved setting
    bool confirmed = false;      // --yes
    bool json = false;
    // The application's log lines on standard error; without it only progress and results.
    bool verbose = false;
    QStringList models;
    QString modelVariant;
    QString regionVariant;
    QString driveRoot;
    // history: which attempts to list.
    QDateTime historySince;
    QString historySerial;
    QString historyAddress;
    QString historyBatch;
    bool historyInterrupted = false;
    // Hidden, for tests only: every wait of the update sessions, the queue and the version check
    // shortened so a batch of simulated displays ends in seconds.
    bool shortWaits = false;
    // The words after "report": its subcommand parses them itself (its --json names a file).
    QStringList reportArguments;

    // Parses the arguments (the program name first). On a usage error or --help/--version the
    // result has Command::None, message holds what to print and exitCode the code to end with.
    static CtlOptions parse(const QStringList &arguments, QString &message, int &exitCode);
};
