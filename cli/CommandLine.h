#pragma once

#include "cli/Command.h"

#include <memory>
#include <vector>

// quillpost-cli's main: makes the application object, finds the command its arguments name
// (CommandList.h), has it take its options and run, and returns its exit status. --help,
// --version and a wrong command line, which gets the usage, are answered here.
class CCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CCommandLine)

public:
    static int Run(int argc, char** argv, const CCommandSettings& settings = CCommandSettings());

private:
    using CCommands = std::vector<std::unique_ptr<CCommand>>;

    // One command of every kind, as CommandList.h lists them.
    static CCommands Make(const CCommandSettings& settings);
    // The command the parsed arguments name, which takes every option given; null, with the
    // reason, for a wrong command line.
    static CCommand* Chosen(
        const QCommandLineParser& parser, const CCommands& commands, QString& error);
    static QString Usage(const CCommands& commands);
    static QString Help(const CCommands& commands);
    // "a", "a and b", "a, b and c"; with or for and when any one will do.
    static QString Listed(const QStringList& items, bool any);
};
