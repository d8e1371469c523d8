#include "runs/SubmitRuns.h"

#include "core/net/TransferFailure.h"
#include "core/post/PostRequest.h"
#include "core/post/PostScheduler.h"
#include "core/target/SubmitHost.h"
#include "core/text/ResultRecord.h"
#include "runs/DesktopNotifier.h"
#include "runs/PreparedResult.h"
#include "runs/ProgramFolders.h"
#include "runs/ResultText.h"
#include "runs/StatusImage.h"
#include "runs/TargetList.h"

#include <QLocale>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <new>
#include <numeric>
#include <optional>
#include <system_error>
#include <utility>

namespace {

// Results are applied at most once a frame: the rows still change as the run goes, and a fast
// run does not keep the window's thread busy with one repaint per row.
constexpr int ResultBatchDelayMs = 16;
// The posts of a run go to the scheduler in parts of these sizes, the first smallest.
constexpr std::size_t FirstPart = 16;
constexpr std::size_t LargestPart = 1024;

// A row that was not posted, and why.
CPostResult Refused(const CText& reason, const CSubmitHost* record = nullptr)
{
    CPostResult result;
    if (record)
        result.SetTarget(*record);
    result.m_outcome = PostOutcome::NotPosted;
    result.m_reason = reason;
    result.m_finishedAt = std::chrono::system_clock::now();
    return result;
}

} // namespace

CSubmitRuns::CSubmitRuns(CTargetList& targets, CPostSettings settings, QObject* parent)
    : QObject(parent)
    , m_targets(targets)
    , m_settings(std::move(settings))
{
    connect(&m_targets, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) { OnRowsInserted(first, last); });
    connect(&m_targets, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex&, int first, int last) { OnRowsAboutToBeRemoved(first, last); });
    connect(
        &m_targets, &QAbstractItemModel::modelAboutToBeReset, this, &CSubmitRuns::OnAboutToClear);
    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, &CSubmitRuns::StatusChanged);
}

CSubmitRuns::~CSubmitRuns()
{
    // Ends the workers before anything they report to goes away; the record's keeps what it
    // has still to log.
    m_scheduler.reset();
    m_worker.reset();
}

CChangeWorker& CSubmitRuns::Worker()
{
    if (m_worker)
        return *m_worker;
    // The worker's reports come over to this thread as queued calls; it never waits for it.
    const auto here = [this](auto call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    };
    CChangeWorker::CCallbacks callbacks;
    callbacks.m_onPrepared = [this, here](CChangeWorker::CPrepared prepared) {
        here([this, prepared = std::move(prepared)] { OnPrepared(prepared); });
    };
    callbacks.m_onProgress = [this, here](std::uint64_t id, CText status) {
        here([this, id, status = std::move(status)] { OnProgress(id, status); });
    };
    callbacks.m_onRecordNotice = [this, here](CText notice) {
        here([this, notice = std::move(notice)] {
            m_recordNotice = notice;
            Q_EMIT StatusChanged();
        });
    };
    callbacks.m_onRunRecorded = [this, here](std::uint64_t, CText notRecorded) {
        here([this, notRecorded = std::move(notRecorded)] {
            --m_recording;
            if (!notRecorded.IsEmpty())
                m_recordNotice = m_notRecorded = notRecorded;
            Q_EMIT StatusChanged();
        });
    };
    callbacks.m_onLastSuccesses = [this, here](auto last) {
        here([this, last = std::move(last)] {
            for (const auto& [id, when] : last)
                m_targets.SetLastSuccess(id, when);
        });
    };
    // On the worker's thread, which waits for the desktop's answer within the notifier's
    // budget. What did not fit is told with the next run's; a run told to stay quiet drops its
    // own and leaves the older ones for a run that may speak.
    callbacks.m_onAlerts = [this](std::vector<CChangeWorker::CAlert> alerts) {
        std::vector<CChangeWorker::CAlert> untold;
        std::optional<CDesktopNotifier> notifier;
        if (m_bNotify)
            notifier.emplace();
        for (CChangeWorker::CAlert& alert : alerts) {
            if (notifier && !notifier->OutOfTime())
                notifier->Notify(alert.m_bFailing ? StreakAlert::Failing : StreakAlert::WorksAgain,
                    QString::fromStdString(alert.m_strUrl),
                    QString::fromStdString(alert.m_strReason));
            if (notifier ? notifier->OutOfTime() : alert.m_bCarried)
                untold.push_back(std::move(alert));
        }
        return untold;
    };
    CText unknown;
    std::string history = ProgramFolders::HistoryFile(unknown);
    m_worker = std::make_unique<CChangeWorker>(
        m_settings, std::move(history), std::move(unknown), std::move(callbacks), m_bDryRun);
    return *m_worker;
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
            m_worker->Recorded(batch.m_token, false, std::string(), {});
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
    if (prepared.m_kind == CChangeWorker::CPrepared::Kind::Post && (!current || stopped))
        dropBatches();
    if (prepared.m_kind == CChangeWorker::CPrepared::Kind::Post && current && !stopped
        && m_bDryRun) {
        // What would go, a result each.
        const int row = m_targets.RowOfId(preparation.rowId);
        for (std::size_t i = 0; i < prepared.m_batches.size(); ++i) {
            CPostResult noted;
            NoteOn(noted, preparation.posted);
            CPostResult result = CPreparedResult::WouldPost(prepared, i, std::move(noted));
            if (i + 1 < prepared.m_batches.size()) {
                m_targets.SetResult(row, result);
                Q_EMIT RowDecided(row);
            } else {
                Apply(result);
            }
        }
    } else if (prepared.m_kind == CChangeWorker::CPrepared::Kind::Post && current && !stopped
        && m_scheduler) {
        // Its posts, one after another as the server's; the last decides the row.
        std::vector<CPostRequest> requests;
        for (const CChangeWorker::CBatch& batch : prepared.m_batches)
            requests.push_back(batch.m_request);
        const quint64 first = m_scheduler->Add(std::move(requests));
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
    } else if (!current) {
        // The row changed while it was prepared: what was prepared is not what it holds.
        Forget(prepared.m_id);
    } else {
        Apply(ResultOf(prepared, preparation));
    }
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

CPostResult CSubmitRuns::ResultOf(
    const CChangeWorker::CPrepared& prepared, const Post& preparation) const
{
    CPostResult noted;
    NoteOn(noted, preparation.posted);
    return CPreparedResult::Unposted(prepared, std::move(noted));
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
    m_stopped = true;
    // Targets still prepared end "Stopped" as their reads end; they post nothing after.
    for (auto& [run, state] : m_runs)
        state.stopped = true;
    if (m_worker)
        m_worker->Stop();
    // Posts not started were never posted: they leave the runs without a result.
    for (const quint64 postId : m_scheduler->Stop())
        Forget(postId);
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::Abort()
{
    if (m_worker)
        m_worker->Stop();
    m_scheduler.reset();
    m_pending.clear();
    m_runs.clear();
    m_posts.clear();
    m_preparing = 0;
    m_newestPost.clear();
    m_orphans.clear();
    m_clockTimer.stop();
    // What the worker has still to write it writes before it ends, with no one to tell.
    m_recording = 0;
}

QString CSubmitRuns::NotRecorded() const
{
    return m_notRecorded.IsEmpty() ? QString() : CResultText::Translated(m_notRecorded);
}

QString CSubmitRuns::StatusText() const
{
    if (!m_started)
        return QString();
    const CProgress progress = Progress();
    // Targets with nothing to post, and a word on the record of what was sent, once.
    const auto more = [this](QString text) {
        if (m_unchanged != 0)
            //: After the status line, the targets that had nothing to post: "… · 3 unchanged"
            text = tr("%1 · %2 unchanged").arg(text, CResultText::Count(m_unchanged));
        if (m_recorded != 0)
            //: After the status line, the targets whose first run recorded their site's
            //: addresses and posted nothing: "… · 1 recorded"
            text = tr("%1 · %2 recorded").arg(text, CResultText::Count(m_recorded));
        if (!m_recordNotice.IsEmpty())
            text = tr("%1 · %2").arg(text, CResultText::Translated(m_recordNotice));
        return text;
    };
    if (IsRunning()) {
        //: The status line while a run lasts: "3 of 10 done · 2 succeeded · 1 failed · 0:12"
        return more(tr("%1 of %2 done · %3 succeeded · %4 failed · %5")
                        .arg(CResultText::Count(progress.m_done),
                            CResultText::Count(progress.m_known), CResultText::Count(m_succeeded),
                            CResultText::Count(m_failed), CResultText::Clock(m_clock.elapsed())));
    }
    if (m_bDryRun)
        //: The status line after a dry run, which posted nothing: "Dry run: 3 would post, 1
        //: would fail"
        return more(tr("Dry run: %1 would post, %2 would fail")
                        .arg(CResultText::Count(m_succeeded), CResultText::Count(m_failed)));
    //: The status line after a run that Stop ended; %3 is its time taken, as "0:12"
    const QString stoppedText = tr("Stopped: %1 succeeded, %2 failed in %3");
    //: The status line after a run; %3 is its time taken, as "0:12"
    const QString doneText = tr("Done: %1 succeeded, %2 failed in %3");
    return more((m_stopped ? stoppedText : doneText)
                    .arg(CResultText::Count(m_succeeded), CResultText::Count(m_failed),
                        CResultText::Clock(m_elapsedMs)));
}

CSubmitRuns::CProgress CSubmitRuns::Progress() const
{
    CProgress progress;
    progress.m_done = m_succeeded + m_failed + m_unchanged + m_recorded;
    progress.m_known = progress.m_done + m_posts.size();
    progress.m_bGrowing = m_preparing != 0;
    return progress;
}

void CSubmitRuns::StartRun(const std::vector<int>& rows, bool takesNewRows)
{
    if (!HaveScheduler(rows))
        return;
    if (!IsRunning()) {
        m_started = true;
        m_stopped = false;
        m_succeeded = m_failed = m_unchanged = m_recorded = 0;
        m_recordNotice = m_notRecorded = CText();
        m_clock.start();
        m_clockTimer.start();
    }
    // Every row is logged, posted or not.
    if (!m_bDryRun && !rows.empty())
        Worker().OpenRecord();
    const quint64 run = ++m_lastRun;
    m_runs[run].takesNewRows = takesNewRows;
    Join(run, rows);
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

bool CSubmitRuns::HaveScheduler(const std::vector<int>& rows)
{
    if (m_scheduler)
        return true;
    CText reason;
    try {
        // Its worker never waits for this thread: results come back as queued calls.
        m_scheduler = std::make_unique<CPostScheduler>(
            m_settings, [this](const CPostResult& result) { OnResult(result); });
        return true;
    } catch (const std::system_error&) {
        reason = CText(QT_TRANSLATE_NOOP("Quillpost", "No thread to post from"));
    } catch (const std::bad_alloc&) {
        reason = CText(QT_TRANSLATE_NOOP("Quillpost", "Out of memory"));
    }
    for (const int row : rows)
        m_targets.SetResult(row, Refused(reason, m_targets.Record(row).get()));
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
            ++m_failed;
            m_newestPost.erase(m_targets.Id(row));
            m_targets.SetResult(row, Refused(refusal, record.get()));
            if (!m_bDryRun)
                m_runs[run].log.push_back(LogEntryOf(*m_targets.Result(row)));
            Q_EMIT RowDecided(row);
            continue;
        }
        if (record->m_strChanges || request.m_bIndexNow || m_bDryRun) {
            // Its key file or its source first, off this thread.
            const quint64 id = ++m_lastPreparation;
            const bool indexNow = request.m_bIndexNow;
            preparations.push_back(CChangeWorker::CTargetWork{
                id, run, record->Copy(), std::move(request), indexNow, m_bDryRun});
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
    if (!preparations.empty())
        Worker().Prepare(std::move(preparations));
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
    const quint64 first = m_scheduler->Add(std::move(requests));
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
            if (!m_scheduler->Cancel(postId))
                m_orphans.insert(postId);
            CPostResult refused = Refused(refusal, record.get());
            refused.m_postId = postId;
            Apply(refused);
        } else if (m_scheduler->Update(postId, request)) {
            m_posts[postId].posted = PostedOf(*record);
        } else if (!m_scheduler->End(postId)) {
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

// On the scheduler's worker thread.
void CSubmitRuns::OnResult(const CPostResult& result)
{
    bool first = false;
    {
        const std::lock_guard<std::mutex> lock(m_pendingMutex);
        first = m_pending.empty();
        m_pending.push_back(result);
    }
    if (first) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                QTimer::singleShot(ResultBatchDelayMs, this, [this] { ApplyPendingResults(); });
            },
            Qt::QueuedConnection);
    }
}

void CSubmitRuns::ApplyPendingResults()
{
    std::vector<CPostResult> results;
    {
        const std::lock_guard<std::mutex> lock(m_pendingMutex);
        results.swap(m_pending);
    }
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
    if (post->second.token != 0 && m_worker) {
        m_worker->Recorded(post->second.token, result.Succeeded(),
            StatusLine(result.m_status, result.m_reason.English()), result.m_finishedAt);
    }
    if (!m_bDryRun) {
        // The worker finds the batch's addresses for the post log by its token.
        m_runs[post->second.run].log.push_back(LogEntryOf(result));
        m_runs[post->second.run].log.back().m_batch = post->second.token;
    }
    const quint64 preparation = post->second.preparation;
    Forget(result.m_postId);
    if (result.m_outcome == PostOutcome::Unchanged)
        ++m_unchanged;
    else if (result.m_outcome == PostOutcome::Baseline)
        ++m_recorded;
    else
        ++(result.Succeeded() || result.m_outcome == PostOutcome::WouldPost ? m_succeeded
                                                                            : m_failed);
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
        if (!run->second.log.empty()) {
            Worker().Log(run->first, std::move(run->second.log));
            Worker().EndRun(run->first);
            ++m_recording;
            AskLastSuccesses(0, m_targets.RowCount() - 1);
        }
        run = m_runs.erase(run);
    }
    if (wasRunning && !IsRunning()) {
        m_elapsedMs = m_clock.elapsed();
        m_clockTimer.stop();
    }
}

void CSubmitRuns::AppendRowsOutsideRuns(std::vector<std::shared_ptr<CSubmitHost>> records)
{
    m_appendingOutsideRuns = true;
    m_targets.AppendRows(std::move(records));
    m_appendingOutsideRuns = false;
}

void CSubmitRuns::AskLastSuccesses(int first, int last)
{
    if (m_bDryRun || !m_bShowLastSuccesses)
        return;
    std::vector<std::pair<std::uint64_t, CPostHistory::CTarget>> targets;
    for (int row = first; row <= last; ++row) {
        if (const std::shared_ptr<CSubmitHost> record = m_targets.Record(row))
            targets.emplace_back(m_targets.Id(row), CChangeWorker::RecordKeyOf(*record));
    }
    if (!targets.empty())
        Worker().LastSuccesses(std::move(targets));
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
            if (!IsPreparation(postId) && !m_scheduler->Cancel(postId))
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
    m_stopped = true;
    if (m_worker)
        m_worker->Stop();
    // Those not dropped end "Stopped", for no row.
    const std::vector<std::uint64_t> cancelled = m_scheduler->Stop();
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
