#pragma once

#include "cli/Command.h"

#include <QEventLoop>
#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CListLock;
class CStopSignals;
class CListRuns;
class CTargetList;
struct CPostResult;

// quillpost --submit-all, for cron and systemd timers: posts every target of a list through
// the window's own runs (CSubmitRuns, or CDryRun for --dry-run), writes each target's result as it
// is decided and then a summary, and exits with a status that tells how the run went. It makes
// nothing that needs a display.
//
// It holds its list's lock from before it reads the list (CListWait). A stop signal
// (CStopSignals) acts as Stop; so does output that cannot be written (a full disk, a closed
// stream, a reader gone), as the results would be lost.
class CSubmitCommand : public QObject, public CCommand
{
    Q_OBJECT

public:
    CSubmitCommand(const char* name, const CCommandSettings& settings);
    ~CSubmitCommand() override;

    QList<QCommandLineOption> Options() const override;
    CHelp Help() const override;
    bool Take(const QCommandLineParser& parser, QString& error) override;
    int Run() override;

private:
    // Posts the list read, and waits for the runs to end.
    int Submit();
    void OnStopSignal();
    // Sets how the program ends, unless something came first.
    void EndWith(int status);
    void OnOutputLost() override;
    void OnStatusChanged();
    void Finish();
    void WriteRow(int row);
    // "failed     404 Not Found · 0.42 s  http://...": a line a target, whatever its URL holds.
    QString TextLine(const CPostResult& result, const std::string& url) const;
    void ShowProgress(const QString& status);
    void ClearProgress();

    std::optional<QString> m_file;
    bool m_bDryRun = false;
    bool m_bNotify = true;
    // Standard error is a terminal: a progress line there is kept up to date.
    const bool m_bShowProgress;
    bool m_bProgressShown = false;

    // Made as the command runs: a signal before then ends the program as the system would.
    std::unique_ptr<CStopSignals> m_signals;
    std::unique_ptr<CListLock> m_listLock;
    std::unique_ptr<CTargetList> m_targets;
    std::unique_ptr<CListRuns> m_runs;
    // The rows written so far.
    std::vector<bool> m_written;
    bool m_bAnyFailed = false;
    // How the program ends when a signal or lost output stopped it.
    std::optional<int> m_endStatus;
    bool m_bFinished = false;
    QEventLoop m_loop;
};
