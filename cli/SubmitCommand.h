#pragma once

#include "core/ResultRecord.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"

#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CListLock;
class QSocketNotifier;

// The program without its window, for cron and systemd timers:
//   quillpost --submit-all [FILE] [--format=text|json|csv]
// posts every target of a list through the window's own runs (CSubmitRuns), writes each
// target's result as it is decided and then a summary, and exits with a status that tells
// how the run went. It runs on a QCoreApplication and makes nothing that needs a display.
//
// A run holds its list's lock (CListLock) from before it reads the list until it exits; a
// run that finds the lock held waits for it, at most Settings::lockWait.
//
// SIGHUP, SIGINT, SIGQUIT and SIGTERM act as Stop, and the program then exits with 128 and
// the number of the first that came. Their handler only writes the number to a pipe, which a
// socket notifier watches on this thread; the same signal again ends the program at once.
// Output that cannot be written (a full disk, a closed stream, a reader gone) stops the run
// too: its results would be lost.
class CSubmitCommand : public QObject
{
    Q_OBJECT

public:
    enum ExitStatus
    {
        ExitSucceeded = 0,
        // A target failed, or was refused before posting, or what was sent could not be
        // recorded.
        ExitFailed = 1,
        // The list could not be read, the command line is wrong, or the output could not be
        // written.
        ExitUnusable = 2,
        // Another run held the list all the time this one would wait (EX_TEMPFAIL).
        ExitBusy = 75,
    };
    // What the program's own main gives every run; tests build programs that wait less.
    struct Settings
    {
        // How long a run waits for another run of its list to end, and how often it looks.
        std::chrono::milliseconds lockWait = std::chrono::minutes(10);
        std::chrono::milliseconds lockPoll = std::chrono::milliseconds(200);
        // How long a write to the record waits for another process to let go of it.
        std::chrono::milliseconds recordWait = std::chrono::minutes(1);
    };
    enum class Format
    {
        Text,
        Json,
        Csv,
    };

    // First thing in main, before anything opens a file: a standard stream that whoever
    // started the program closed gets /dev/null in its place, so no file opened later takes
    // its number and the output meant for it; writing to it fails all the same.
    static void GuardStandardStreams();
    // Makes the application object, does what the arguments say and returns the exit status.
    static int Run(int argc, char** argv);
    static int Run(int argc, char** argv, const Settings& settings);
    // How the program ends after a stop signal: as shells report a program the signal ended.
    static int SignalStatus(int signal) { return 128 + signal; }
    // For the other commands: bytes on standard output, false having said why when not all
    // of them could be written; and a reason on standard error, on one line.
    static bool Print(const std::string& bytes);
    static void Say(const QString& reason);

private:
    struct Options
    {
        bool help = false;
        bool version = false;
        bool submitAll = false;
        bool checkKeys = false;
        bool history = false;
        std::optional<std::chrono::system_clock::time_point> since;
        std::optional<QString> file;
        Format format = Format::Text;
        bool dryRun = false;
        bool noNotify = false;
    };
    // False, with the reason, for a wrong command line.
    static bool Parse(const QStringList& arguments, Options& options, QString& error);
    static QString UsageText();
    static QString HelpText();

    CSubmitCommand(Format format, const Settings& settings);
    ~CSubmitCommand() override;

    // Posts the list at file, or the one the window would load.
    int SubmitAll(const std::optional<QString>& file);
    // Only works out what a run would post (--dry-run); no desktop notifications (--no-notify).
    void SetDryRun(bool dry);
    void SetNotify(bool notify) { m_runs.SetNotify(notify); }
    // A result as the machine output writes it.
    CResultRecord Record(const CPostResult& result) const;
    // Takes the list's lock, waiting for another run to let go of it; false when the run is
    // not to go on.
    bool HoldList(const std::string& path);
    void OnSignal();
    // True when a stop signal came since the last call.
    bool TakeSignals();
    // Sets how the program ends, unless something came first.
    void EndWith(int status);
    void OnStatusChanged();
    void Finish();
    void WriteRow(int row);
    // Writes output that must not be lost; a failure ends the run.
    bool Emit(std::FILE* out, const std::string& bytes);
    void ShowProgress(const QString& status);
    void ClearProgress();

    const Format m_format;
    const Settings m_settings;
    // Where the summary goes: after the results in text, beside them otherwise.
    std::FILE* const m_summaryOut;
    // Standard error is a terminal: a progress line there is kept up to date.
    const bool m_showProgress;
    bool m_progressShown = false;

    CTargetList m_targets;
    CSubmitRuns m_runs;
    std::vector<bool> m_written;
    bool m_anyFailed = false;
    bool m_bDryRun = false;
    // How the program ends when a signal or lost output stopped it.
    std::optional<int> m_endStatus;
    bool m_stdoutLost = false;
    bool m_stderrLost = false;
    bool m_waitingForList = false;
    bool m_finished = false;
    QEventLoop m_loop;
    std::unique_ptr<CListLock> m_listLock;
    std::unique_ptr<QSocketNotifier> m_signals;
};
