#include "cli/CommandLine.h"

#include "cli/AddSiteCommand.h"
#include "cli/CheckKeysCommand.h"
#include "cli/CommandList.h"
#include "cli/DiscoverCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/SubmitCommand.h"
#include "runs/Translations.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {

const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption VersionOption(QStringLiteral("version"));

QString Dashed(const QString& name)
{
    return QStringLiteral("--") + name;
}

// An option of the commands, and the commands that take it.
struct COwnedOption
{
    QCommandLineOption m_option;
    std::vector<const CCommand*> m_owners;
};

// An option that one command takes before one that several do: when both are given without
// their commands, the first says more.
std::vector<COwnedOption> OptionsOf(const std::vector<std::unique_ptr<CCommand>>& commands)
{
    std::vector<COwnedOption> options;
    for (const std::unique_ptr<CCommand>& command : commands) {
        for (const QCommandLineOption& option : command->Options()) {
            const auto known
                = std::find_if(options.begin(), options.end(), [&](const COwnedOption& owned) {
                      return owned.m_option.names() == option.names();
                  });
            if (known != options.end())
                known->m_owners.push_back(command.get());
            else
                options.push_back({option, {command.get()}});
        }
    }
    std::stable_partition(options.begin(), options.end(),
        [](const COwnedOption& owned) { return owned.m_owners.size() == 1; });
    return options;
}

} // namespace

int CCommandLine::Run(int argc, char** argv, const CCommandSettings& settings)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillpost"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLPOST_VERSION));
    // What people read follows their language; JSON and CSV are for programs and stay English.
    InstallTranslations(QLocale::system());

    const CCommands commands = Make(settings);
    QCommandLineParser parser;
    parser.addOptions({HelpOption, VersionOption});
    for (const std::unique_ptr<CCommand>& command : commands)
        parser.addOption(QCommandLineOption(QString::fromLatin1(command->Name())));
    for (const COwnedOption& owned : OptionsOf(commands))
        parser.addOption(owned.m_option);
    QString error;
    if (parser.parse(QCoreApplication::arguments())) {
        if (parser.isSet(HelpOption) || parser.isSet(VersionOption)) {
            const QString text = parser.isSet(HelpOption)
                ? Help(commands)
                : QStringLiteral("quillpost %1\n").arg(QStringLiteral(QUILLPOST_VERSION));
            return CCommand::Print(text.toStdString()) ? CCommand::ExitSucceeded
                                                       : CCommand::ExitUnusable;
        }
        if (CCommand* const command = Chosen(parser, commands, error);
            command && command->Take(parser, error))
            return command->Run();
    } else {
        error = parser.errorText();
    }
    CCommand::Say(error);
    CCommand::WriteAnyway(
        stderr, (Usage(commands) + tr("See quillpost --help.") + QLatin1Char('\n')).toStdString());
    return CCommand::ExitUnusable;
}

CCommandLine::CCommands CCommandLine::Make(const CCommandSettings& settings)
{
    CCommands commands;
#define QUILLPOST_MAKE_COMMAND(name, Class)                                                        \
    commands.push_back(std::make_unique<Class>(name, settings));
    QUILLPOST_COMMANDS(QUILLPOST_MAKE_COMMAND)
#undef QUILLPOST_MAKE_COMMAND
    return commands;
}

CCommand* CCommandLine::Chosen(
    const QCommandLineParser& parser, const CCommands& commands, QString& error)
{
    QStringList names;
    CCommand* chosen = nullptr;
    int named = 0;
    for (const std::unique_ptr<CCommand>& command : commands) {
        names << Dashed(QString::fromLatin1(command->Name()));
        if (parser.isSet(QString::fromLatin1(command->Name()))) {
            chosen = command.get();
            ++named;
        }
    }
    if (named > 1) {
        //: %1 lists the commands: "--submit-all, --check-keys and --history"
        error = tr("%1 go one at a time.").arg(Listed(names, false));
        return nullptr;
    }
    // An option without its command names the command it goes with, and so do the options
    // that go with just that command.
    const std::vector<COwnedOption> options = OptionsOf(commands);
    for (const COwnedOption& given : options) {
        const auto& owners = given.m_owners;
        if (!parser.isSet(given.m_option) || std::count(owners.begin(), owners.end(), chosen))
            continue;
        QStringList alike;
        for (const COwnedOption& other : options) {
            if (other.m_owners == owners)
                alike << Dashed(other.m_option.names().front());
        }
        QStringList goesWith;
        for (const CCommand* owner : owners)
            goesWith << Dashed(QString::fromLatin1(owner->Name()));
        //: %1 is an option, %2 the commands it goes with: "--format goes with --submit-all or
        //: --history."
        error = (alike.size() == 1 ? tr("%1 goes with %2.") : tr("%1 go with %2."))
                    .arg(Listed(alike, false), Listed(goesWith, true));
        return nullptr;
    }
    if (!chosen)
        error = tr("'%1' is no option; a list to post follows --submit-all.")
                    .arg(parser.positionalArguments().value(0));
    return chosen;
}

QString CCommandLine::Usage(const CCommands& commands)
{
    QString usage = tr("Usage: quillpost\n");
    for (const std::unique_ptr<CCommand>& command : commands)
        //: A line of the usage, after the window's "Usage: quillpost"
        usage += tr("  or:  quillpost %1\n").arg(command->Help().m_strUsage);
    return usage;
}

QString CCommandLine::Help(const CCommands& commands)
{
    QString options;
    QString exits;
    QString examples;
    for (const std::unique_ptr<CCommand>& command : commands) {
        const CCommand::CHelp help = command->Help();
        options += help.m_strOptions;
        exits += help.m_strExits;
        examples += help.m_strExample;
    }
    return Usage(commands)
        + tr("Without options, open the window that keeps the list of submit targets.\n") + '\n'
        + options
        + tr("  --format=text|json|csv  how results are printed (default text); json and csv\n"
             "                          are in English, with the summary on standard error\n"
             "  -h, --help              print this help and exit\n"
             "      --version           print the version and exit\n")
        + '\n'
        + tr("Exit status: 2 when the command line is wrong or the output could not be\n"
             "written.\n")
        + exits + '\n' + tr("Examples:\n") + examples;
}

QString CCommandLine::Listed(const QStringList& items, bool any)
{
    QString text = items.value(0);
    for (qsizetype i = 1; i < items.size(); ++i) {
        if (i + 1 < items.size())
            //: Items of a list before its last: "--submit-all, --check-keys"
            text = tr("%1, %2").arg(text, items[i]);
        else if (any)
            //: The last item of a list of which any one will do: "--check-keys or --history"
            text = tr("%1 or %2").arg(text, items[i]);
        else
            //: The last item of a list: "--dry-run and --no-notify"
            text = tr("%1 and %2").arg(text, items[i]);
    }
    return text;
}
