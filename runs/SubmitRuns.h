#pragma once

#include "core/history/FailureStreak.h"
#include "runs/LastSuccesses.h"
#include "runs/ListRuns.h"
#include "runs/PostQueue.h"
#include "runs/RunLog.h"
#include "runs/RunPosts.h"
#include "runs/RunPreparation.h"
#include "runs/RunStatus.h"

#include <map>
#include <memory>
#include <vector>

class CSubmitHost;
class CTargetList;

// A list's Submit All runs, for the window and the command line alike: which rows a run
// posts, which post is a row's newest, and what becomes of a row's posts as it changes.
//
// A run posts a copy of its rows (URL and body, taken on this thread) through one scheduler
// (CPostQueue), and keeps its posts until they report (CRunPosts). Results are applied to the
// rows by row id. Of all posts of a row only the newest decides its image: a result from an
// older post returning after a newer run took the row is dropped.
//
// Rows appended while a Submit All run lasts join it; rows changed before their post starts
// are posted as changed; rows removed are dropped from the runs (a post already in flight goes
// on, and its result is not shown). A row changed while its post waits to be tried again, or
// for its turn after a redirect, ends that post "Stopped"; one changed while its post is in
// flight shows nothing of it, as the answer is to what the row no longer holds. Clearing the
// list for a load ends every run: the new list waits for Submit All. Everything here runs on
// the window's thread.
//
// A target with a source of changes, and an IndexNow target, is prepared first
// (CRunPreparation), then posts its changes in as many posts as they take, or nothing
// ("unchanged", or "baseline" on a first run). Its run's post log keeps both (CRunLog).
class CSubmitRuns : public CListRuns
{
    Q_OBJECT

public:
    using CProgress = CRunStatus::CProgress;

    CSubmitRuns(CTargetList& targets, CPostSettings settings, QObject* parent = nullptr);
    ~CSubmitRuns() override;

    void SubmitAll() override;
    // Starts a run over the rows showing a failure, in row order; the others keep theirs.
    void SubmitFailedAgain();
    // Posts in flight end as "Stopped", rows not yet posted stay as they are.
    void Stop() override;
    // Ends every run at once without showing anything more (the window is closing).
    void Abort();
    // The row's URL or parameters changed: its posts not yet started send the new ones.
    void TargetChanged(int row);
    // Whether the rows learn from the record when their targets last succeeded, for their
    // tooltips (on unless turned off): a query per row, when rows come and after each run.
    void SetShowLastSuccesses(bool show) { m_lastSuccesses.SetShown(show); }
    // Appends rows that join no run under way: the user did not add them one by one.
    void AppendRowsOutsideRuns(std::vector<std::shared_ptr<CSubmitHost>> records);

    bool IsRunning() const override { return !m_runs.empty(); }
    bool IsRecording() const override { return m_log.IsRecording(); }
    QString NotRecorded() const override { return m_status.NotRecorded(); }
    // A run lasts, or a post of one may still be in flight although no row waits for it any
    // more (its row was removed, or the list cleared): until it ends, its server is not free.
    bool IsPosting() const { return IsRunning() || m_posts.HasOrphans(); }
    QString StatusText() const override { return m_status.Text(IsRunning(), m_posts.Size()); }
    // How far the runs are, for a progress bar; changes come with StatusChanged.
    CProgress Progress() const { return m_status.Progress(m_posts.Size(), m_posts.IsPreparing()); }

Q_SIGNALS:
    // On the worker's thread, when a run's end calls for telling the desktop that targets keep
    // failing or work again: a receiver, connected directly, tells them and leaves in alerts
    // those it could not tell, for the next run's end. Unconnected, nothing is told.
    void AlertsDue(std::vector<CStreakAlert>& alerts);

private:
    struct CRun
    {
        // A Submit All run goes through the rows appended while it lasts; a run of the
        // failed rows posts those and nothing else.
        bool m_bTakesNewRows = false;
        // Stop ended it: a target prepared since posts nothing.
        bool m_bStopped = false;
    };

    // Starts a run over the rows' current records; those without one are skipped. Without a
    // scheduler nothing is posted, and the rows say why.
    void StartRun(const std::vector<int>& rows, bool takesNewRows);
    // Posts the rows in the run and makes those posts the rows' newest. A row that cannot be
    // posted as it stands fails at once with the reason, and counts in the run as failed.
    void Join(quint64 run, const std::vector<int>& rows);
    void OnPrepared(const CChangeWorker::CPrepared& prepared);
    void OnProgress(quint64 id, const CText& status);
    void OnResults(const std::vector<CPostResult>& results);
    void Apply(CPostResult result);
    // Ends the runs whose posts have all reported; the status may have changed.
    void EndFinishedRuns();
    void OnRowsInserted(int first, int last);
    void OnRowsAboutToBeRemoved(int first, int last);
    void OnAboutToClear();

    CTargetList& m_targets;
    bool m_bAppendingOutsideRuns = false;
    std::map<quint64, CRun> m_runs;
    quint64 m_lastRun = 0;
    CRunStatus m_status;
    // The workers report into the members above: the destructor ends them first.
    CRunPreparation m_preparation;
    CLastSuccesses m_lastSuccesses;
    CRunLog m_log;
    CPostQueue m_queue;
    CRunPosts m_posts;
};
