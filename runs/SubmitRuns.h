#pragma once

#include "core/history/FailureStreak.h"
#include "core/post/PostResult.h"
#include "core/run/ChangeWorker.h"
#include "runs/ListRuns.h"
#include "runs/PostQueue.h"
#include "runs/RunLog.h"
#include "runs/RunPreparation.h"
#include "runs/RunStatus.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CSubmitHost;
class CTargetList;

// A list's Submit All runs, for the window and the command line alike: which rows a run
// posts, which post is a row's newest, and what becomes of a row's posts as it changes.
//
// A run posts a copy of its rows (URL and body, taken on this thread) through one scheduler
// (CPostQueue). Results are applied to the rows by row id. Of all posts of a row only the
// newest decides its image: a result from an older post returning after a newer run took the
// row is dropped.
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
// (CRunPreparation). It then posts its changes, in as many posts as they take, or nothing
// ("unchanged", or "baseline" on a first run). Every post and every target that posted
// nothing is kept in the post log when its run ends (CRunLog).
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
    void SetShowLastSuccesses(bool show) { m_bShowLastSuccesses = show; }
    // Appends rows that join no run under way: the user did not add them one by one.
    void AppendRowsOutsideRuns(std::vector<std::shared_ptr<CSubmitHost>> records);

    bool IsRunning() const override { return !m_runs.empty(); }
    bool IsRecording() const override { return m_log.IsRecording(); }
    QString NotRecorded() const override { return m_status.NotRecorded(); }
    // A run lasts, or a post of one may still be in flight although no row waits for it any
    // more (its row was removed, or the list cleared): until it ends, its server is not free.
    bool IsPosting() const { return IsRunning() || !m_orphans.empty(); }
    QString StatusText() const override { return m_status.Text(IsRunning(), m_posts.size()); }
    // How far the runs are, for a progress bar; changes come with StatusChanged.
    CProgress Progress() const { return m_status.Progress(m_posts.size(), m_preparing != 0); }

Q_SIGNALS:
    // On the worker's thread, when a run's end calls for telling the desktop that targets keep
    // failing or work again: a receiver, connected directly, tells them and leaves in alerts
    // those it could not tell, for the next run's end. Unconnected, nothing is told.
    void AlertsDue(std::vector<CStreakAlert>& alerts);

private:
    struct Run
    {
        // Its posts that have yet to report: the run ends when none is left.
        std::size_t outstanding = 0;
        // A Submit All run goes through the rows appended while it lasts; a run of the
        // failed rows posts those and nothing else.
        bool takesNewRows = false;
        // Stop ended it: a target prepared since posts nothing.
        bool stopped = false;
    };
    // What a post was made of, as its row held it then: the post's result tells of that, as
    // the row may hold something else by the time it comes.
    struct CPosted
    {
        std::string m_strUrl;
        std::string m_strBody;
        std::optional<std::string> m_strChanges;
        // How many addresses of the source the post carries, those it announces as removed,
        // and what the page checks left out (with the target's first post only).
        std::size_t m_addresses = 0;
        std::vector<std::string> m_removed;
        std::vector<CLeftOutAddress> m_leftOut;
        // What the source left out, or the key file's note.
        CText m_note;
    };
    // A post that has yet to report: the run it counts in, the row it was made for and what
    // it was made of.
    struct Post
    {
        quint64 run = 0;
        quint64 rowId = 0;
        CPosted posted;
        // The record's note of the addresses it carries, kept should it succeed; 0 for none.
        std::uint64_t token = 0;
        // The preparation it is one of the posts of; 0 for none. Each of them decides its row.
        quint64 preparation = 0;
    };
    // Preparations are numbered apart from posts, from here on.
    static constexpr quint64 FirstPreparation = quint64(1) << 62;
    static bool IsPreparation(quint64 id) { return id >= FirstPreparation; }

    // Starts a run over the rows' current records; those without one are skipped.
    void StartRun(const std::vector<int>& rows, bool takesNewRows);
    // False when no scheduler can be had; the rows then say why.
    bool HaveScheduler(const std::vector<int>& rows);
    // Posts the rows in the run and makes those posts the rows' newest. A row that cannot be
    // posted as it stands fails at once with the reason, and counts in the run as failed.
    void Join(quint64 run, const std::vector<int>& rows);
    // Queues the requests made ready for the rows of these ids, each noted as posted, as
    // posts of the run, and empties the lists.
    void Hand(quint64 run, std::vector<CPostRequest>& requests, std::vector<quint64>& rowIds,
        std::vector<CPosted>& posted);
    static CPosted PostedOf(const CSubmitHost& record);
    // Has the result tell what was posted; a service message it has stays.
    static void NoteOn(CPostResult& result, const CPosted& posted);
    void OnPrepared(const CChangeWorker::CPrepared& prepared);
    // Posts a prepared target's batches, one after another as the server's.
    void PostBatches(const CChangeWorker::CPrepared& prepared, const Post& preparation);
    void OnProgress(quint64 id, const CText& status);
    void OnResults(const std::vector<CPostResult>& results);
    void Apply(CPostResult result);
    // The post will not be shown: it no longer counts in its run.
    void Forget(quint64 postId);
    // The posts of a row that have yet to report.
    std::vector<quint64> PostsOfRow(quint64 rowId) const;
    void EndFinishedRuns();
    // Has the record of posts say when the rows last succeeded, for their tooltips.
    void AskLastSuccesses(int first, int last);
    void OnRowsInserted(int first, int last);
    void OnRowsAboutToBeRemoved(int first, int last);
    void OnAboutToClear();

    CTargetList& m_targets;
    bool m_appendingOutsideRuns = false;
    bool m_bShowLastSuccesses = true;

    std::map<quint64, Run> m_runs;
    quint64 m_lastRun = 0;
    // Posts that have yet to report, by id.
    std::unordered_map<quint64, Post> m_posts;
    // The newest post of each row, until it reports: only its result is shown.
    std::unordered_map<quint64, quint64> m_newestPost;
    // Posts of no row any more that have yet to end.
    std::unordered_set<quint64> m_orphans;
    quint64 m_lastPreparation = FirstPreparation;
    // Preparations among m_posts: while there are any, the runs' posts may grow.
    std::size_t m_preparing = 0;

    CRunStatus m_status;
    // Last: their workers report into the members above, so they go first.
    CRunPreparation m_preparation;
    CRunLog m_log;
    CPostQueue m_queue;
};
