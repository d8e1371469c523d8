#pragma once

#include "core/history/PostLogEntry.h"
#include "core/net/PostLimits.h"
#include "core/post/PostResult.h"
#include "core/run/ChangeWorker.h"
#include "core/text/Text.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CPostScheduler;
class CSubmitHost;
class CTargetList;

// A list's Submit All runs, for the window and the command line alike, and what they have still
// to report.
//
// A run posts a copy of its rows (URL and body, taken on this thread) through one scheduler
// that every run shares, so the one-post-per-server rule holds across runs. Results come back
// from the scheduler's worker, are queued to this object and applied to the rows by row id in
// batches, at most once a frame. Of all posts of a row only the newest decides its image: a
// result from an older post returning after a newer run took the row is dropped.
//
// Rows appended while a Submit All run lasts join it; rows changed before their post starts
// are posted as changed; rows removed are dropped from the runs (a post already in flight goes
// on, and its result is not shown). A row changed while its post waits to be tried again, or
// for its turn after a redirect, ends that post "Stopped"; one changed while its post is in
// flight shows nothing of it, as the answer is to what the row no longer holds. Clearing the
// list for a load ends every run: the new list waits for Submit All. Everything here runs on
// the window's thread.
//
// A target with a source of changes, and an IndexNow target, is prepared first, off this
// thread (CChangeWorker): its key file checked, its source read and compared with the record
// of what was sent. It then posts its changes, in as many posts as they take, or nothing
// ("unchanged", or "baseline" on a first run). Every post and every target that posted
// nothing is kept in the post log when its run ends.
class CSubmitRuns : public QObject
{
    Q_OBJECT

public:
    CSubmitRuns(CTargetList& targets, CPostSettings settings, QObject* parent = nullptr);
    ~CSubmitRuns() override;

    // Starts a run over every row, after setting every row back to "not posted".
    void SubmitAll();
    // Starts a run over the rows showing a failure, in row order; the others keep theirs.
    void SubmitFailedAgain();
    // Ends every run: posts in flight end as "Stopped", rows not yet posted stay as they are.
    void Stop();
    // Ends every run at once without showing anything more (the window is closing).
    void Abort();
    // The row's URL or parameters changed: its posts not yet started send the new ones.
    void TargetChanged(int row);
    // Whether a target that keeps failing is told to the desktop (on unless turned off).
    void SetNotify(bool notify) { m_bNotify = notify; }
    // Whether the rows learn from the record when their targets last succeeded, for their
    // tooltips (on unless turned off): a query per row, when rows come and after each run.
    void SetShowLastSuccesses(bool show) { m_bShowLastSuccesses = show; }
    // Runs from now on only work out what they would post (WouldPost), reading the sources and
    // checking the key files as a run does: nothing is posted, recorded or logged.
    void SetDryRun(bool dry) { m_bDryRun = dry; }
    // Appends rows that join no run under way: the user did not add them one by one.
    void AppendRowsOutsideRuns(std::vector<std::shared_ptr<CSubmitHost>> records);

    bool IsRunning() const { return !m_runs.empty(); }
    // A run has ended, and what it sent is still being written to the record and the post
    // log (which may wait for another process to let go of them).
    bool IsRecording() const { return m_recording != 0; }
    // What the runs since none was running could not record or log, in the user's language;
    // empty when all was. The status line says it too.
    QString NotRecorded() const;
    // A run lasts, or a post of one may still be in flight although no row waits for it any
    // more (its row was removed, or the list cleared): until it ends, its server is not free.
    bool IsPosting() const { return IsRunning() || !m_orphans.empty(); }
    // The progress of the runs, or how the last ones ended; empty before the first.
    // Runs at once are summed.
    QString StatusText() const;

    // How far the runs are, for a progress bar, in the status line's counts: the posts and
    // targets decided of those known so far. Growing: a target's source or key file is still
    // read, so more posts may join. Changes come with StatusChanged.
    struct CProgress
    {
        std::size_t m_done = 0;
        std::size_t m_known = 0;
        bool m_bGrowing = false;
    };
    CProgress Progress() const;

Q_SIGNALS:
    // StatusText or IsRunning may have changed.
    void StatusChanged();
    // The row shows what its newest post came to.
    void RowDecided(int row);

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
        // Its posts and the targets that posted nothing, for the post log.
        std::vector<CPostLogEntry> log;
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
    // The worker that prepares targets, made at its first use.
    CChangeWorker& Worker();
    void OnPrepared(const CChangeWorker::CPrepared& prepared);
    // The result of a target that posted nothing, as its preparation found.
    CPostResult ResultOf(const CChangeWorker::CPrepared& prepared, const Post& preparation) const;
    void OnProgress(quint64 id, const CText& status);
    void OnResult(const CPostResult& result);
    void ApplyPendingResults();
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
    const CPostSettings m_settings;
    bool m_appendingOutsideRuns = false;

    std::map<quint64, Run> m_runs;
    quint64 m_lastRun = 0;
    // Posts that have yet to report, by id.
    std::unordered_map<quint64, Post> m_posts;
    // The newest post of each row, until it reports: only its result is shown.
    std::unordered_map<quint64, quint64> m_newestPost;
    // Posts of no row any more that have yet to end.
    std::unordered_set<quint64> m_orphans;

    // The runs since none was running, summed: the outcomes so far, and the time taken. The
    // posts in all are these and the ones that have yet to report.
    std::size_t m_succeeded = 0;
    std::size_t m_failed = 0;
    // Unchanged targets, and those whose first run recorded their site: neither succeeded
    // nor failed.
    std::size_t m_unchanged = 0;
    std::size_t m_recorded = 0;
    quint64 m_lastPreparation = FirstPreparation;
    // Preparations among m_posts: while there are any, the runs' posts may grow.
    std::size_t m_preparing = 0;
    // What the status line says once of the record of what was sent (a damaged file, or what
    // could not be written).
    CText m_recordNotice;
    CText m_notRecorded;
    // Runs ended whose writes are not done yet.
    std::size_t m_recording = 0;
    std::atomic<bool> m_bNotify{true};
    bool m_bShowLastSuccesses = true;
    bool m_bDryRun = false;
    bool m_started = false;
    bool m_stopped = false;
    QElapsedTimer m_clock;
    qint64 m_elapsedMs = 0;
    // Keeps the clock of the status going while a run lasts.
    QTimer m_clockTimer;

    // Results the worker has reported and this thread has not applied yet.
    std::mutex m_pendingMutex;
    std::vector<CPostResult> m_pending;

    // Last: their workers report into the members above, so they go first.
    std::unique_ptr<CChangeWorker> m_worker;
    std::unique_ptr<CPostScheduler> m_scheduler;
};
