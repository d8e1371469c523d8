#include "app/SubmitRuns.h"

#include "app/TargetListModel.h"
#include "core/PostScheduler.h"
#include "core/SubmitHost.h"

#include <QMetaObject>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <numeric>
#include <system_error>
#include <utility>

namespace {

// Results are applied at most once a frame: the rows still change as the run goes, and a fast
// run does not keep the window's thread busy with one repaint per row.
constexpr int ResultBatchDelayMs = 16;

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "404 Not Found · 0.42 s"
QString ResultText(const CPostResult& result)
{
    return FromUtf8(result.Summary()) + QStringLiteral(" · ")
        + QString::number(result.m_seconds, 'f', 2) + QStringLiteral(" s");
}

// libcurl's message, the final address and the start of the answer, as rich text in which
// everything that came from outside is escaped: an answer is shown as the text it is, never
// as markup.
QString ResultDetails(const CPostResult& result)
{
    QStringList lines;
    if (!result.m_strMessage.empty())
        lines << FromUtf8(result.m_strMessage).toHtmlEscaped();
    if (!result.m_strFinalUrl.empty())
        lines << QStringLiteral("Final address: ") + FromUtf8(result.m_strFinalUrl).toHtmlEscaped();
    if (!result.m_strExcerpt.empty()) {
        QString answer = FromUtf8(result.m_strExcerpt);
        answer.remove(QLatin1Char('\r'));
        for (QChar& ch : answer) {
            if ((ch.unicode() < 0x20 && ch != QLatin1Char('\n') && ch != QLatin1Char('\t'))
                || ch.unicode() == 0x7F)
                ch = QLatin1Char(' ');
        }
        lines << QStringLiteral("Answer:\n") + answer.toHtmlEscaped();
    }
    if (lines.isEmpty())
        return QString();
    return QStringLiteral("<p style='white-space:pre-wrap'>") + lines.join(QLatin1Char('\n'))
        + QStringLiteral("</p>");
}

// "1,000": the same grouping whatever the system's locale.
QString Count(std::size_t number)
{
    QString digits = QString::number(number);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

// "0:12", "3:12", "1:02:03".
QString Clock(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    const auto twoDigits
        = [](qint64 number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); };
    if (seconds < 3600)
        return QString::number(seconds / 60) + QLatin1Char(':') + twoDigits(seconds % 60);
    return QString::number(seconds / 3600) + QLatin1Char(':') + twoDigits(seconds / 60 % 60)
        + QLatin1Char(':') + twoDigits(seconds % 60);
}

} // namespace

CSubmitRuns::CSubmitRuns(CTargetListModel& targets, CFormPoster poster, QObject* parent)
    : QObject(parent)
    , m_targets(targets)
    , m_poster(std::move(poster))
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
    // Ends the worker before anything it reports to goes away.
    m_scheduler.reset();
}

void CSubmitRuns::SubmitAll()
{
    m_targets.ResetStatuses();
    std::vector<int> rows(static_cast<std::size_t>(m_targets.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    StartRun(rows, true);
}

void CSubmitRuns::SubmitFailedAgain()
{
    std::vector<int> rows;
    for (int row = 0; row < m_targets.RowCount(); ++row) {
        if (m_targets.Image(row) == CTargetListModel::Failed) {
            m_targets.SetStatus(row, CTargetListModel::NotPosted);
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
    for (const quint64 jobId : m_scheduler->Stop())
        Drop(jobId);
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::Abort()
{
    m_scheduler.reset();
    m_pending.clear();
    m_runs.clear();
    m_posts.clear();
    m_postsOfRow.clear();
    m_newestPost.clear();
    m_clockTimer.stop();
}

QString CSubmitRuns::StatusText() const
{
    if (!m_started)
        return QString();
    const std::size_t done = m_succeeded + m_failed;
    if (IsRunning()) {
        return QStringLiteral("Posting %1 of %2 · %3 succeeded · %4 failed · %5")
            .arg(Count(std::min(done + 1, m_total)), Count(m_total), Count(m_succeeded),
                Count(m_failed), Clock(m_clock.elapsed()));
    }
    return QStringLiteral("%1: %2 succeeded, %3 failed in %4")
        .arg(m_stopped ? QStringLiteral("Stopped") : QStringLiteral("Done"), Count(m_succeeded),
            Count(m_failed), Clock(m_elapsedMs));
}

void CSubmitRuns::StartRun(const std::vector<int>& rows, bool takesNewRows)
{
    if (!m_scheduler) {
        try {
            // Its worker never waits for this thread: results come back as queued calls.
            m_scheduler = std::make_unique<CPostScheduler>(
                m_poster, [this](const CPostResult& result) { OnResult(result); });
        } catch (const std::system_error&) {
            // No thread to be had: nothing is posted, and the rows say so.
            for (const int row : rows)
                m_targets.SetStatus(row, CTargetListModel::Failed,
                    QStringLiteral("Not posted: no thread to post from"));
            return;
        }
    }
    std::vector<CSubmitJob> jobs;
    jobs.reserve(rows.size());
    for (const int row : rows) {
        CSubmitJob job;
        if (Snapshot(row, job))
            jobs.push_back(std::move(job));
    }
    if (!IsRunning()) {
        m_started = true;
        m_stopped = false;
        m_total = m_succeeded = m_failed = 0;
        m_clock.start();
        m_clockTimer.start();
    }
    const quint64 run = ++m_lastRun;
    m_runs[run].takesNewRows = takesNewRows;
    Join(run, std::move(jobs));
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}

void CSubmitRuns::Join(quint64 run, std::vector<CSubmitJob> jobs)
{
    if (jobs.empty())
        return;
    std::vector<quint64> rowIds;
    rowIds.reserve(jobs.size());
    for (const CSubmitJob& job : jobs)
        rowIds.push_back(job.m_rowId);
    const quint64 first = m_scheduler->Add(std::move(jobs));
    m_runs[run].outstanding += rowIds.size();
    m_total += rowIds.size();
    for (std::size_t i = 0; i < rowIds.size(); ++i) {
        const quint64 jobId = first + i;
        m_posts[jobId] = Post{run, rowIds[i]};
        m_postsOfRow[rowIds[i]].push_back(jobId);
        m_newestPost[rowIds[i]] = jobId;
    }
}

bool CSubmitRuns::Snapshot(int row, CSubmitJob& job) const
{
    const std::shared_ptr<CSubmitHost> record = m_targets.Record(row);
    if (!record)
        return false;
    job.m_rowId = m_targets.Id(row);
    job.m_strUrl = record->m_strUrl;
    job.m_body = record->GetPostData();
    return true;
}

void CSubmitRuns::RowChanged(int row)
{
    CSubmitJob job;
    const auto posts = m_postsOfRow.find(m_targets.Id(row));
    if (posts == m_postsOfRow.end() || !Snapshot(row, job))
        return;
    for (const quint64 jobId : posts->second)
        m_scheduler->Update(jobId, job.m_strUrl, job.m_body);
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

void CSubmitRuns::Apply(const CPostResult& result)
{
    // A post of a removed row, or from before Abort.
    if (m_posts.find(result.m_jobId) == m_posts.end())
        return;
    Forget(result.m_jobId);
    ++(result.m_bSuccess ? m_succeeded : m_failed);
    const auto newest = m_newestPost.find(result.m_rowId);
    if (newest == m_newestPost.end() || newest->second != result.m_jobId)
        return;
    const int row = m_targets.RowOfId(result.m_rowId);
    if (row >= 0)
        m_targets.SetStatus(row,
            result.m_bSuccess ? CTargetListModel::Succeeded : CTargetListModel::Failed,
            ResultText(result), ResultDetails(result));
}

void CSubmitRuns::Forget(quint64 jobId)
{
    const auto post = m_posts.find(jobId);
    if (post == m_posts.end())
        return;
    --m_runs[post->second.run].outstanding;
    const auto ofRow = m_postsOfRow.find(post->second.rowId);
    if (ofRow != m_postsOfRow.end()) {
        std::vector<quint64>& ids = ofRow->second;
        ids.erase(std::find(ids.begin(), ids.end(), jobId));
        if (ids.empty())
            m_postsOfRow.erase(ofRow);
    }
    m_posts.erase(post);
}

void CSubmitRuns::Drop(quint64 jobId)
{
    Forget(jobId);
    --m_total;
}

void CSubmitRuns::EndFinishedRuns()
{
    const bool wasRunning = IsRunning();
    for (auto run = m_runs.begin(); run != m_runs.end();)
        run = run->second.outstanding == 0 ? m_runs.erase(run) : std::next(run);
    if (wasRunning && !IsRunning()) {
        m_elapsedMs = m_clock.elapsed();
        m_clockTimer.stop();
    }
}

void CSubmitRuns::OnRowsInserted(int first, int last)
{
    if (m_runs.empty())
        return;
    std::vector<CSubmitJob> jobs;
    for (int row = first; row <= last; ++row) {
        CSubmitJob job;
        if (Snapshot(row, job))
            jobs.push_back(std::move(job));
    }
    // Every Submit All run goes through every row; the newest run's post decides.
    for (const auto& [run, state] : m_runs) {
        if (state.takesNewRows)
            Join(run, jobs);
    }
}

void CSubmitRuns::OnRowsAboutToBeRemoved(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const quint64 rowId = m_targets.Id(row);
        m_newestPost.erase(rowId);
        const auto posts = m_postsOfRow.find(rowId);
        if (posts == m_postsOfRow.end())
            continue;
        // A post in flight goes on and still counts in its run; the others are dropped.
        const std::vector<quint64> ids = posts->second;
        for (const quint64 jobId : ids) {
            if (m_scheduler->Cancel(jobId))
                Drop(jobId);
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
    m_scheduler->Stop();
    m_total -= m_posts.size();
    m_posts.clear();
    m_postsOfRow.clear();
    for (auto& [run, state] : m_runs)
        state.outstanding = 0;
    EndFinishedRuns();
    Q_EMIT StatusChanged();
}
