#pragma once

#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"

#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

// The program without its window, for cron and systemd timers:
//   quillpost --submit-all [FILE] [--format=text|json|csv]
// posts every target of a list through the window's own runs (CSubmitRuns), writes each
// target's result as it is decided and then a summary, and exits with a status that tells
// how the run went. It runs on a QCoreApplication and makes nothing that needs a display.
//
// SIGINT and SIGTERM act as Stop. Their handler only writes to a pipe, which a socket
// notifier watches on this thread; a second one ends the program at once.
class CSubmitCommand : public QObject
{
    Q_OBJECT

public:
    enum ExitStatus
    {
        ExitSucceeded = 0,
        // A target failed, or was refused before posting.
        ExitFailed = 1,
        // The list could not be read, or the command line is wrong.
        ExitUnusable = 2,
        ExitStopped = 130,
    };
    enum class Format
    {
        Text,
        Json,
        Csv,
    };

    // Makes the application object, does what the arguments say and returns the exit status.
    static int Run(int argc, char** argv);

private:
    struct Options
    {
        bool help = false;
        bool version = false;
        bool submitAll = false;
        std::optional<QString> file;
        Format format = Format::Text;
    };
    // False, with the reason, for a wrong command line.
    static bool Parse(const QStringList& arguments, Options& options, QString& error);
    static QString UsageText();
    static QString HelpText();

    explicit CSubmitCommand(Format format);
    ~CSubmitCommand() override;

    // Posts the list at file, or the one the window would load.
    int SubmitAll(const std::optional<QString>& file);
    void OnSignal();
    // True when a stop signal came since the last call.
    bool TakeSignals();
    void OnStatusChanged();
    void Finish();
    void WriteRow(int row);
    void ShowProgress(const QString& status);
    void ClearProgress();

    const Format m_format;
    // Where the summary goes: after the results in text, beside them otherwise.
    std::FILE* const m_summaryOut;
    // Standard error is a terminal: a progress line there is kept up to date.
    const bool m_showProgress;
    bool m_progressShown = false;

    CTargetList m_targets;
    CSubmitRuns m_runs;
    std::vector<bool> m_written;
    bool m_anyFailed = false;
    bool m_signalled = false;
    bool m_finished = false;
    QEventLoop m_loop;
    std::unique_ptr<QSocketNotifier> m_signals;
};
