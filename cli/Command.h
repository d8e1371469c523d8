#pragma once

#include <QCommandLineOption>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

class QCommandLineParser;

// What the program's own main gives every command; tests build programs that wait less.
struct CCommandSettings
{
    // How long a run waits for another run of its list to end, and how often it looks.
    std::chrono::milliseconds m_lockWait = std::chrono::minutes(10);
    std::chrono::milliseconds m_lockPoll = std::chrono::milliseconds(200);
    // How long a write to the record waits for another process to let go of it.
    std::chrono::milliseconds m_recordWait = std::chrono::minutes(1);
};

// One command of quillpost-cli, named by an option of its own ("--history"): its options, its
// part of the help, and its run. Commands share this base for what they write, output that
// cannot be written, and the exit statuses; never each other (CommandList.h lists them).
class CCommand
{
    Q_DECLARE_TR_FUNCTIONS(CCommand)

public:
    enum ExitStatus
    {
        ExitSucceeded = 0,
        // A target or a key file failed, or what was sent could not be recorded.
        ExitFailed = 1,
        // What the command reads could not be read, the command line is wrong, or the output
        // could not be written.
        ExitUnusable = 2,
        // Another run held the list all the time this one would wait (EX_TEMPFAIL).
        ExitBusy = 75,
    };
    enum class Format
    {
        Text,
        Json,
        Csv,
    };

    // name: the option that names it, without its dashes.
    CCommand(const char* name, const CCommandSettings& settings);
    virtual ~CCommand();
    CCommand(const CCommand&) = delete;
    CCommand& operator=(const CCommand&) = delete;

    const char* Name() const { return m_name; }
    // Its options besides its name; one that other commands take too (FormatOption) is the
    // same option there.
    virtual QList<QCommandLineOption> Options() const = 0;
    // Its parts of the usage and the help, each ending in a line feed but the usage.
    struct CHelp
    {
        // After "quillpost ": "--history [--since=DURATION|DATE]"
        QString m_strUsage;
        // Its lines in the list of options.
        QString m_strOptions;
        // What its exit statuses mean.
        QString m_strExits;
        // A command line that uses it.
        QString m_strExample;
    };
    virtual CHelp Help() const = 0;
    // Takes its options and its arguments that are no option; false, with the reason, for a
    // wrong command line. Only a command that takes them is run.
    virtual bool Take(const QCommandLineParser& parser, QString& error) = 0;
    // Does what it was given, and says how it went as the exit status.
    virtual int Run() = 0;

    // First thing in main, before anything opens a file: a standard stream that whoever
    // started the program closed gets /dev/null in its place, so no file opened later takes
    // its number and the output meant for it; writing to it fails all the same.
    static void GuardStandardStreams();
    // A reason on standard error, on one line.
    static void Say(const QString& reason);
    // Bytes on standard output; false, having said why, when not all of them could be written.
    static bool Print(const std::string& bytes);
    // Output that nothing can be done about should it be lost: progress, the usage.
    static void WriteAnyway(std::FILE* out, const std::string& bytes);
    // How the program ends after a stop signal: as shells report a program the signal ended.
    static int SignalStatus(int signal) { return 128 + signal; }

protected:
    // --format=text|json|csv, for a command that prints records.
    static QCommandLineOption FormatOption();
    bool TakeFormat(const QCommandLineParser& parser, QString& error);
    // [FILE]: a list to read, or none for the one the window would load.
    static bool TakeList(
        const QStringList& arguments, std::optional<QString>& file, QString& error);
    Format OutputFormat() const { return m_format; }
    const CCommandSettings& Settings() const { return m_settings; }

    // Writes output that must not be lost, to standard output or error. A failure is said
    // once, and from then on nothing more goes to that stream (OutputLost).
    bool Emit(std::FILE* out, const std::string& bytes);
    bool OutputLost() const { return m_bOutLost || m_bErrLost; }

private:
    // Called once, when Emit first fails.
    virtual void OnOutputLost() { }

    const char* const m_name;
    const CCommandSettings m_settings;
    Format m_format = Format::Text;
    bool m_bOutLost = false;
    bool m_bErrLost = false;
};
