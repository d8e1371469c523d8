#include "runs/SubmitRuns.h"

#include "core/post/PostRequest.h"
#include "core/post/PostScheduler.h"
#include "core/target/SubmitHost.h"
#include "runs/PreparedResult.h"
#include "runs/StatusImage.h"
#include "runs/TargetList.h"

#include <QMetaMethod>

#include <numeric>
#include <utility>

CSubmitRuns::CSubmitRuns(CTargetList& targets, CPostSettings settings, QObject* parent)
    : CListRuns(parent)
    , m_targets(targets)
    , m_status(false)
    , m_preparation(settings, false)
    , m_lastSuccesses(targets, m_preparation)
    , m_log(m_preparation)
    , m_queue(std::move(settings))
    , m_posts(m_queue)
{
    connect(&m_targets, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
    connect(&m_targets, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex&, int first, int last) { OnRowsAboutToBeRemoved(first, last); });
    connect(
        &m_targets, &QAbstractItemModel::modelAboutToBeReset, this, &CSubmitRuns::OnAboutToClear);
    m_status.Follow(m_preparation, m_log);
    connect(&m_status, &CRunStatus::Changed, this, &CSubmitRuns::StatusChanged);
    connect(&m_queue, &CPostQueue::Results, this, &CSubmitRuns::OnResults);
    connect(&m_preparation, &CRunPreparation::Prepared, this, &CSubmitRuns::OnPrepared);
    connect(&m_preparation, &CRunPreparation::Progress, this, &CSubmitRuns::OnProgress);
    // On the worker's thread, which waits for the receiver within its own bound.
    m_preparation.SetTellAlerts([this](CRunPreparation::Alerts& alerts) {
        if (!isSignalConnected(QMetaMethod::fromSignal(&CSubmitRuns::AlertsDue)))
            return false;
        Q_EMIT AlertsDue(alerts);
        return true;
    });
}

CSubmitRuns::~CSubmitRuns()
{
    // Ends the workers before anything they report to goes away; the record's keeps what it
    // has still to log.
    m_queue.End();
    m_preparation.End();
}

void CSubmitRuns::OnProgress(quint64 id, const CText& status)
{
    const CRunPosts::CPost* post = m_posts.Find(id);
    if (!post || m_posts.NewestOf(post->m_rowId) != id)
        return;
    CPostResult reading;
    post->m_posted.NoteOn(reading);
    reading.m_outcome = PostOutcome::Waiting;
    reading.m_reason = status;
    m_targets.SetResult(m_targets.RowOfId(post->m_rowId), reading);
}

void CSubmitRuns::OnPrepared(const CChangeWorker::CPrepared& prepared)
{
    const CRunPosts::CPost* found = m_posts.Find(prepared.m_id);
    if (!found) {
        // Its row went, or the list was cleared, while it was prepared.
        m_preparation.Drop(prepared);
        return;
    }
    const CRunPosts::CPost preparation = *found;
    const bool current = m_posts.NewestOf(preparation.m_rowId) == prepared.m_id;
    const bool stopped = m_runs[preparation.m_run].m_bStopped;
    const bool post = prepared.m_kind == CChangeWorker::CPrepared::Kind::Post;
    if (post && (!current || stopped))
        m_preparation.Drop(prepared);
    if (post && current && !stopped && m_queue.HasScheduler()) {
        // Its posts, one after another as the server's; the last decides the row.
        m_posts.AddBatches(prepared, preparation);
    } else if (!current) {
        // The row changed while it was prepared: what was prepared is not what it holds.
        m_posts.Forget(prepared.m_id);
    } else {
        CPostResult noted;
        preparation.m_posted.NoteOn(noted);
        Apply(CPreparedResult::Unposted(prepared, std::move(noted)));
    }
    EndFinishedRuns();
}

void CSubmitRuns::SubmitAll()
{
    m_targets.ClearResults();
    std::vector<int> rows(static_cast<std::size_t>(m_targets.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    StartRun(rows, true);
}

void CSubmitRuns::SubmitFailedAgain()
{
    std::vector<int> rows;
    for (int row = 0; row < m_targets.RowCount(); ++row) {
        if (m_targets.Image(row) == ImageFailed) {
            m_targets.ClearResult(row);
            rows.push_back(row);
        }
    }
    if (!rows.empty())
        StartRun(rows, false);
}

void CSubmitRuns::Stop()
{
    if (!IsRunning())
        return;
    m_status.SetStopped();
    // Targets still prepared end "Stopped" as their reads end; they post nothing after.
    for (auto& [run, state] : m_runs)
        state.m_bStopped = true;
    m_preparation.Stop();
    // Posts not started were never posted: they leave the runs without a result.
    m_posts.Stop();
    EndFinishedRuns();
}

void CSubmitRuns::Abort()
{
    m_preparation.Stop();
    m_runs.clear();
    m_posts.Abort();
    m_status.End();
    // What the worker has still to write it writes before it ends, with no one to tell.
    m_log.Abort();
}

void CSubmitRuns::StartRun(const std::vector<int>& rows, bool takesNewRows)
{
    CText reason;
    if (!m_queue.Make(reason)) {
        for (const int row : rows)
            m_targets.SetResult(row, CPreparedResult::Refused(reason, m_targets.Record(row).get()));
        return;
    }
    if (!IsRunning())
        m_status.Start();
    // Every row is logged, posted or not.
    if (!rows.empty())
        m_preparation.Worker().OpenRecord();
    const quint64 run = ++m_lastRun;
    m_runs[run].m_bTakesNewRows = takesNewRows;
    Join(run, rows);
    EndFinishedRuns();
}

void CSubmitRuns::Join(quint64 run, const std::vector<int>& rows)
{
    std::vector<CChangeWorker::CTargetWork> preparations;
    for (const int row : rows) {
        const std::shared_ptr<CSubmitHost> record = m_targets.Record(row);
        CPostRequest request;
        CText refusal;
        if (!record)
            continue;
        if (!PrepareRequest(*record, request, refusal)) {
            // Counted as a failure of the run, and decided at once.
            const CPostResult refused = CPreparedResult::Refused(refusal, record.get());
            m_status.Count(refused);
            m_posts.DropNewest(m_targets.Id(row));
            m_targets.SetResult(row, refused);
            m_log.Add(run, refused);
            Q_EMIT RowDecided(row);
            continue;
        }
        if (m_preparation.Needs(*record, request)) {
            // Its key file or its source first, off this thread.
            const quint64 id
                = m_posts.AddPreparation(run, m_targets.Id(row), CRunPosts::CPosted::Of(*record));
            preparations.push_back(m_preparation.Work(id, run, *record, std::move(request)));
            continue;
        }
        m_posts.Add(run, std::move(request), m_targets.Id(row), CRunPosts::CPosted::Of(*record));
    }
    m_preparation.Prepare(std::move(preparations));
    m_posts.Flush();
}

void CSubmitRuns::TargetChanged(int row)
{
    const std::shared_ptr<CSubmitHost> record = m_targets.Record(row);
    CPostRequest request;
    CText refusal;
    if (!record)
        return;
    const quint64 rowId = m_targets.Id(row);
    const bool postable = PrepareRequest(*record, request, refusal);
    for (const quint64 postId : m_posts.OfRow(rowId)) {
        if (CRunPosts::IsPreparation(postId)) {
            // Prepared from what the row held: it is prepared again from what it holds.
            const quint64 run = m_posts.Find(postId)->m_run;
            m_posts.Forget(postId);
            m_posts.DropNewest(rowId);
            m_targets.ClearResult(row);
            Join(run, {row});
        } else if (!postable) {
            // What the row holds now cannot be posted, whatever became of what it held.
            m_posts.Cancel(postId);
            CPostResult refused = CPreparedResult::Refused(refusal, record.get());
            refused.m_postId = postId;
            Apply(refused);
        } else if (m_queue.Scheduler().Update(postId, request)) {
            m_posts.Find(postId)->m_posted = CRunPosts::CPosted::Of(*record);
        } else if (!m_queue.Scheduler().End(postId)) {
            // In flight: it goes on and counts in its run, but its answer is to the row as it
            // was, so the row shows nothing of it, not even that it waits to be tried again.
            if (m_posts.NewestOf(rowId) == postId) {
                m_posts.DropNewest(rowId);
                m_targets.ClearResult(row);
            }
        }
    }
    EndFinishedRuns();
}

void CSubmitRuns::OnResults(const std::vector<CPostResult>& results)
{
    for (const CPostResult& result : results)
        Apply(result);
    EndFinishedRuns();
}

void CSubmitRuns::Apply(CPostResult result)
{
    // A post of a removed row, or from before Abort.
    const CRunPosts::CPost* post = m_posts.Find(result.m_postId);
    if (!post) {
        if (result.IsFinal())
            m_posts.Ended(result.m_postId);
        return;
    }
    const quint64 rowId = post->m_rowId;
    if (result.m_strUrl.empty())
        post->m_posted.NoteOn(result);
    // Waiting to be tried again, the post goes on: its row says so and stays undecided.
    if (!result.IsFinal()) {
        if (m_posts.NewestOf(rowId) == result.m_postId)
            m_targets.SetResult(m_targets.RowOfId(rowId), result);
        return;
    }
    if (post->m_token != 0 && m_preparation.HasWorker()) {
        m_preparation.Worker().Recorded(post->m_token, result.Succeeded(),
            StatusLine(result.m_status, result.m_reason.English()), result.m_finishedAt);
    }
    // The worker finds the batch's addresses for the post log by its token.
    m_log.Add(post->m_run, result, post->m_token);
    const quint64 preparation = post->m_preparation;
    m_posts.Forget(result.m_postId);
    m_status.Count(result);
    const quint64 newest = m_posts.NewestOf(rowId);
    if (newest != result.m_postId) {
        // An earlier post of the newest one's preparation (a batch) is shown until the next.
        const CRunPosts::CPost* latest = newest == 0 ? nullptr : m_posts.Find(newest);
        if (preparation != 0 && latest && latest->m_preparation == preparation) {
            const int row = m_targets.RowOfId(rowId);
            m_targets.SetResult(row, result);
            Q_EMIT RowDecided(row);
        }
        return;
    }
    m_posts.DropNewest(rowId);
    const int row = m_targets.RowOfId(rowId);
    m_targets.SetResult(row, result);
    Q_EMIT RowDecided(row);
}

void CSubmitRuns::EndFinishedRuns()
{
    const bool wasRunning = IsRunning();
    for (auto run = m_runs.begin(); run != m_runs.end();) {
        if (m_posts.Outstanding(run->first) != 0) {
            ++run;
            continue;
        }
        // Its posts go into the post log, and what the record says of it is told.
        if (m_log.End(run->first))
            m_lastSuccesses.Ask(0, m_targets.RowCount() - 1);
        run = m_runs.erase(run);
    }
    if (wasRunning && !IsRunning())
        m_status.End();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::AppendRowsOutsideRuns(std::vector<std::shared_ptr<CSubmitHost>> records)
{
    m_bAppendingOutsideRuns = true;
    m_targets.AppendRows(std::move(records));
    m_bAppendingOutsideRuns = false;
}

void CSubmitRuns::OnRowsInserted(int first, int last)
{
    if (m_bAppendingOutsideRuns)
        return;
    std::vector<int> rows(static_cast<std::size_t>(last - first + 1));
    std::iota(rows.begin(), rows.end(), first);
    // Every Submit All run goes through every row; the newest run's post decides.
    for (const auto& [run, state] : m_runs) {
        if (state.m_bTakesNewRows)
            Join(run, rows);
    }
}

void CSubmitRuns::OnRowsAboutToBeRemoved(int first, int last)
{
    for (int row = first; row <= last; ++row)
        m_posts.DropRow(m_targets.Id(row));
    EndFinishedRuns();
}

// A load replaces the list, so the runs over it end: posts not started are dropped, those in
// flight stopped, and what they come to belongs to no row any more.
void CSubmitRuns::OnAboutToClear()
{
    m_posts.DropAllNewest();
    if (!IsRunning())
        return;
    m_status.SetStopped();
    m_preparation.Stop();
    m_posts.EndAll();
    EndFinishedRuns();
}
