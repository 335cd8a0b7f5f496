#pragma once

// The options the program answers on the command line, before it takes the single-instance
// lock, opens its settings or needs a display: --help and --version. Everything else on the
// command line is left to Qt.
class CommandLineOptions
{
public:
    // When argv asks for help or the version, prints it to standard output, sets exitCode and
    // returns true: the program then ends without starting. Otherwise returns false at once,
    // without creating any application object.
    static bool answer(int &argc, char **argv, int &exitCode);

    static bool asksForInformation(int argc, char **argv);
};
