#include "runs/SubmitRuns.h"

#include "core/post/PostRequest.h"
#include "core/post/PostScheduler.h"
#include "core/target/SubmitHost.h"
#include "runs/PreparedResult.h"
#include "runs/StatusImage.h"
#include "runs/TargetList.h"

#include <QMetaMethod>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// The posts of a run go to the scheduler in parts of these sizes, the first smallest.
constexpr std::size_t FirstPart = 16;
constexpr std::size_t LargestPart = 1024;

} // namespace

CSubmitRuns::CSubmitRuns(CTargetList& targets, CPostSettings settings, QObject* parent)
    : CListRuns(parent)
    , m_targets(targets)
    , m_status(false)
    , m_preparation(settings, false)
    , m_log(m_preparation)
    , m_queue(std::move(settings))
{
    connect(&m_targets, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
    connect(&m_targets, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex&, int first, int last) { OnRowsAboutToBeRemoved(first, last); });
    connect(
        &m_targets, &QAbstractItemModel::modelAboutToBeReset, this, &CSubmitRuns::OnAboutToClear);
    connect(&m_status, &CRunStatus::Tick, this, &CSubmitRuns::StatusChanged);
    connect(&m_queue, &CPostQueue::Results, this, &CSubmitRuns::OnResults);
    connect(&m_preparation, &CRunPreparation::Prepared, this, &CSubmitRuns::OnPrepared);
    connect(&m_preparation, &CRunPreparation::Progress, this, &CSubmitRuns::OnProgress);
    connect(&m_preparation, &CRunPreparation::RecordNotice, this, [this](const CText& notice) {
        m_status.SetRecordNotice(notice);
        Q_EMIT StatusChanged();
    });
    connect(&m_log, &CRunLog::Recorded, this, [this](const CText& notRecorded) {
        m_status.SetNotRecorded(notRecorded);
        Q_EMIT StatusChanged();
    });
    connect(&m_preparation, &CRunPreparation::LastSuccessesRead, this,
        [this](const CRunPreparation::LastSuccesses& last) {
            for (const auto& [id, when] : last)
                m_targets.SetLastSuccess(id, when);
        });
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
    const auto post = m_posts.find(id);
    if (post == m_posts.end())
        return;
    const auto newest = m_newestPost.find(post->second.rowId);
    if (newest == m_newestPost.end() || newest->second != id)
        return;
    CPostResult reading;
    NoteOn(reading, post->second.posted);
    reading.m_outcome = PostOutcome::Waiting;
    reading.m_reason = status;
    m_targets.SetResult(m_targets.RowOfId(post->second.rowId), reading);
}

void CSubmitRuns::OnPrepared(const CChangeWorker::CPrepared& prepared)
{
    const auto dropBatches = [this, &prepared] {
        for (const CChangeWorker::CBatch& batch : prepared.m_batches)
            m_preparation.Worker().Recorded(batch.m_token, false, std::string(), {});
    };
    const auto found = m_posts.find(prepared.m_id);
    if (found == m_posts.end()) {
        // Its row went, or the list was cleared, while it was prepared.
        dropBatches();
        return;
    }
    const Post preparation = found->second;
    const auto newest = m_newestPost.find(preparation.rowId);
    const bool current = newest != m_newestPost.end() && newest->second == prepared.m_id;
    const bool stopped = m_runs[preparation.run].stopped;
    const bool post = prepared.m_kind == CChangeWorker::CPrepared::Kind::Post;
    if (post && (!current || stopped))
        dropBatches();
    if (post && current && !stopped && m_queue.HasScheduler()) {
        PostBatches(prepared, preparation);
    } else if (!current) {
        // The row changed while it was prepared: what was prepared is not what it holds.
        Forget(prepared.m_id);
    } else {
        CPostResult noted;
        NoteOn(noted, preparation.posted);
        Apply(CPreparedResult::Unposted(prepared, std::move(noted)));
    }
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::PostBatches(const CChangeWorker::CPrepared& prepared, const Post& preparation)
{
    // The last decides the row.
    std::vector<CPostRequest> requests;
    for (const CChangeWorker::CBatch& batch : prepared.m_batches)
        requests.push_back(batch.m_request);
    const quint64 first = m_queue.Scheduler().Add(std::move(requests));
    for (std::size_t i = 0; i < prepared.m_batches.size(); ++i) {
        Post post = preparation;
        post.posted.m_addresses = prepared.m_batches[i].m_addresses;
        post.posted.m_removed = prepared.m_batches[i].m_removed;
        // What the checks left out is said once, with the first.
        if (i == 0)
            post.posted.m_leftOut = prepared.m_leftOut;
        // What the source left out, or the key file's note, goes with the answer.
        post.posted.m_note = prepared.m_note;
        post.token = prepared.m_batches[i].m_token;
        post.preparation = prepared.m_id;
        m_posts[first + i] = std::move(post);
        m_newestPost[preparation.rowId] = first + i;
    }
    m_runs[preparation.run].outstanding += prepared.m_batches.size();
    Forget(prepared.m_id);
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
        state.stopped = true;
    m_preparation.Stop();
    // Posts not started were never posted: they leave the runs without a result.
    for (const quint64 postId : m_queue.Scheduler().Stop())
        Forget(postId);
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::Abort()
{
    m_preparation.Stop();
    m_queue.End();
    m_runs.clear();
    m_posts.clear();
    m_preparing = 0;
    m_newestPost.clear();
    m_orphans.clear();
    m_status.End();
    // What the worker has still to write it writes before it ends, with no one to tell.
    m_log.Abort();
}

void CSubmitRuns::StartRun(const std::vector<int>& rows, bool takesNewRows)
{
    if (!HaveScheduler(rows))
        return;
    if (!IsRunning())
        m_status.Start();
    // Every row is logged, posted or not.
    if (!rows.empty())
        m_preparation.Worker().OpenRecord();
    const quint64 run = ++m_lastRun;
    m_runs[run].takesNewRows = takesNewRows;
    Join(run, rows);
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

bool CSubmitRuns::HaveScheduler(const std::vector<int>& rows)
{
    CText reason;
    if (m_queue.Make(reason))
        return true;
    for (const int row : rows)
        m_targets.SetResult(row, CPreparedResult::Refused(reason, m_targets.Record(row).get()));
    return false;
}

void CSubmitRuns::Join(quint64 run, const std::vector<int>& rows)
{
    std::vector<CPostRequest> requests;
    std::vector<quint64> rowIds;
    std::vector<CPosted> posted;
    std::vector<CChangeWorker::CTargetWork> preparations;
    std::size_t part = FirstPart;
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
            m_newestPost.erase(m_targets.Id(row));
            m_targets.SetResult(row, refused);
            m_log.Add(run, refused);
            Q_EMIT RowDecided(row);
            continue;
        }
        if (m_preparation.Needs(*record, request)) {
            // Its key file or its source first, off this thread.
            const quint64 id = ++m_lastPreparation;
            preparations.push_back(m_preparation.Work(id, run, *record, std::move(request)));
            m_posts[id] = Post{run, m_targets.Id(row), PostedOf(*record), 0};
            m_newestPost[m_targets.Id(row)] = id;
            ++m_runs[run].outstanding;
            ++m_preparing;
            continue;
        }
        requests.push_back(std::move(request));
        rowIds.push_back(m_targets.Id(row));
        posted.push_back(PostedOf(*record));
        // The first posts go while the others are made ready: a long list does not wait for
        // all of them. The parts grow, so that a long list is handed over in a few.
        if (requests.size() == part) {
            Hand(run, requests, rowIds, posted);
            part = std::min(2 * part, LargestPart);
        }
    }
    m_preparation.Prepare(std::move(preparations));
    Hand(run, requests, rowIds, posted);
}

CSubmitRuns::CPosted CSubmitRuns::PostedOf(const CSubmitHost& record)
{
    CPostResult noted;
    noted.SetTarget(record);
    return CPosted{std::move(noted.m_strUrl), std::move(noted.m_strBody),
        std::move(noted.m_strChanges), 0, {}, {}, CText()};
}

void CSubmitRuns::NoteOn(CPostResult& result, const CPosted& posted)
{
    result.m_strUrl = posted.m_strUrl;
    result.m_strBody = posted.m_strBody;
    result.m_strChanges = posted.m_strChanges;
    result.m_addresses = posted.m_addresses;
    result.m_removed = posted.m_removed;
    result.m_leftOut = posted.m_leftOut;
    if (result.m_serviceMessage.IsEmpty())
        result.m_serviceMessage = posted.m_note;
}

void CSubmitRuns::Hand(quint64 run, std::vector<CPostRequest>& requests,
    std::vector<quint64>& rowIds, std::vector<CPosted>& posted)
{
    if (requests.empty())
        return;
    const quint64 first = m_queue.Scheduler().Add(std::move(requests));
    m_runs[run].outstanding += rowIds.size();
    for (std::size_t i = 0; i < rowIds.size(); ++i) {
        m_posts[first + i] = Post{run, rowIds[i], std::move(posted[i]), 0};
        m_newestPost[rowIds[i]] = first + i;
    }
    requests.clear();
    rowIds.clear();
    posted.clear();
}

std::vector<quint64> CSubmitRuns::PostsOfRow(quint64 rowId) const
{
    std::vector<quint64> posts;
    for (const auto& [postId, post] : m_posts) {
        if (post.rowId == rowId)
            posts.push_back(postId);
    }
    return posts;
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
    for (const quint64 postId : PostsOfRow(rowId)) {
        if (IsPreparation(postId)) {
            // Prepared from what the row held: it is prepared again from what it holds.
            const quint64 run = m_posts[postId].run;
            Forget(postId);
            m_newestPost.erase(rowId);
            m_targets.ClearResult(row);
            Join(run, {row});
        } else if (!postable) {
            // What the row holds now cannot be posted, whatever became of what it held.
            if (!m_queue.Scheduler().Cancel(postId))
                m_orphans.insert(postId);
            CPostResult refused = CPreparedResult::Refused(refusal, record.get());
            refused.m_postId = postId;
            Apply(refused);
        } else if (m_queue.Scheduler().Update(postId, request)) {
            m_posts[postId].posted = PostedOf(*record);
        } else if (!m_queue.Scheduler().End(postId)) {
            // In flight: it goes on and counts in its run, but its answer is to the row as it
            // was, so the row shows nothing of it, not even that it waits to be tried again.
            const auto newest = m_newestPost.find(rowId);
            if (newest != m_newestPost.end() && newest->second == postId) {
                m_newestPost.erase(newest);
                m_targets.ClearResult(row);
            }
        }
    }
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::OnResults(const std::vector<CPostResult>& results)
{
    for (const CPostResult& result : results)
        Apply(result);
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::Apply(CPostResult result)
{
    // A post of a removed row, or from before Abort.
    const auto post = m_posts.find(result.m_postId);
    if (post == m_posts.end()) {
        if (result.IsFinal())
            m_orphans.erase(result.m_postId);
        return;
    }
    const quint64 rowId = post->second.rowId;
    if (result.m_strUrl.empty()) {
        NoteOn(result, post->second.posted);
    }
    // Waiting to be tried again, the post goes on: its row says so and stays undecided.
    if (!result.IsFinal()) {
        const auto newest = m_newestPost.find(rowId);
        if (newest != m_newestPost.end() && newest->second == result.m_postId)
            m_targets.SetResult(m_targets.RowOfId(rowId), result);
        return;
    }
    if (post->second.token != 0 && m_preparation.HasWorker()) {
        m_preparation.Worker().Recorded(post->second.token, result.Succeeded(),
            StatusLine(result.m_status, result.m_reason.English()), result.m_finishedAt);
    }
    // The worker finds the batch's addresses for the post log by its token.
    m_log.Add(post->second.run, result, post->second.token);
    const quint64 preparation = post->second.preparation;
    Forget(result.m_postId);
    m_status.Count(result);
    const auto newest = m_newestPost.find(rowId);
    if (newest == m_newestPost.end() || newest->second != result.m_postId) {
        // An earlier post of the newest one's preparation (a batch) is shown until the next.
        const auto latest
            = newest == m_newestPost.end() ? m_posts.end() : m_posts.find(newest->second);
        if (preparation != 0 && latest != m_posts.end()
            && latest->second.preparation == preparation) {
            const int row = m_targets.RowOfId(rowId);
            m_targets.SetResult(row, result);
            Q_EMIT RowDecided(row);
        }
        return;
    }
    m_newestPost.erase(newest);
    const int row = m_targets.RowOfId(rowId);
    m_targets.SetResult(row, result);
    Q_EMIT RowDecided(row);
}

void CSubmitRuns::Forget(quint64 postId)
{
    const auto post = m_posts.find(postId);
    if (post == m_posts.end())
        return;
    --m_runs[post->second.run].outstanding;
    if (IsPreparation(postId))
        --m_preparing;
    m_posts.erase(post);
}

void CSubmitRuns::EndFinishedRuns()
{
    const bool wasRunning = IsRunning();
    for (auto run = m_runs.begin(); run != m_runs.end();) {
        if (run->second.outstanding != 0) {
            ++run;
            continue;
        }
        // Its posts go into the post log, and what the record says of it is told.
        if (m_log.End(run->first))
            AskLastSuccesses(0, m_targets.RowCount() - 1);
        run = m_runs.erase(run);
    }
    if (wasRunning && !IsRunning())
        m_status.End();
}

void CSubmitRuns::AppendRowsOutsideRuns(std::vector<std::shared_ptr<CSubmitHost>> records)
{
    m_appendingOutsideRuns = true;
    m_targets.AppendRows(std::move(records));
    m_appendingOutsideRuns = false;
}

void CSubmitRuns::AskLastSuccesses(int first, int last)
{
    if (!m_bShowLastSuccesses)
        return;
    std::vector<std::pair<std::uint64_t, CPostHistory::CTarget>> targets;
    for (int row = first; row <= last; ++row) {
        if (const std::shared_ptr<CSubmitHost> record = m_targets.Record(row))
            targets.emplace_back(m_targets.Id(row), CChangeWorker::RecordKeyOf(*record));
    }
    if (!targets.empty())
        m_preparation.Worker().LastSuccesses(std::move(targets));
}

void CSubmitRuns::OnRowsInserted(int first, int last)
{
    AskLastSuccesses(first, last);
    if (m_appendingOutsideRuns)
        return;
    std::vector<int> rows(static_cast<std::size_t>(last - first + 1));
    std::iota(rows.begin(), rows.end(), first);
    // Every Submit All run goes through every row; the newest run's post decides.
    for (const auto& [run, state] : m_runs) {
        if (state.takesNewRows)
            Join(run, rows);
    }
}

// The row's posts not in flight are dropped; one in flight goes on, but what it comes to is
// of no row any more.
void CSubmitRuns::OnRowsAboutToBeRemoved(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const quint64 rowId = m_targets.Id(row);
        m_newestPost.erase(rowId);
        for (const quint64 postId : PostsOfRow(rowId)) {
            if (!IsPreparation(postId) && !m_queue.Scheduler().Cancel(postId))
                m_orphans.insert(postId);
            Forget(postId);
        }
    }
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

// A load replaces the list, so the runs over it end: posts not started are dropped, those in
// flight stopped, and what they come to belongs to no row any more.
void CSubmitRuns::OnAboutToClear()
{
    m_newestPost.clear();
    if (!IsRunning())
        return;
    m_status.SetStopped();
    m_preparation.Stop();
    // Those not dropped end "Stopped", for no row.
    const std::vector<std::uint64_t> cancelled = m_queue.Scheduler().Stop();
    for (const auto& [postId, post] : m_posts) {
        if (!IsPreparation(postId)
            && !std::binary_search(cancelled.begin(), cancelled.end(), postId))
            m_orphans.insert(postId);
    }
    m_posts.clear();
    m_preparing = 0;
    for (auto& [run, state] : m_runs)
        state.outstanding = 0;
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}
