#include "runs/DryRun.h"

#include "core/post/PostRequest.h"
#include "core/target/SubmitHost.h"
#include "runs/PreparedResult.h"
#include "runs/TargetList.h"

#include <utility>
#include <vector>

CDryRun::CDryRun(CTargetList& targets, CPostSettings settings, QObject* parent)
    : CListRuns(parent)
    , m_targets(targets)
    , m_status(true)
    , m_preparation(std::move(settings), true)
{
    connect(&m_status, &CRunStatus::Changed, this, &CDryRun::StatusChanged);
    connect(&m_preparation, &CRunPreparation::Prepared, this, &CDryRun::OnPrepared);
    connect(&m_preparation, &CRunPreparation::Progress, this, &CDryRun::OnProgress);
    // A load of the list ends the run: what it comes to belongs to no row any more.
    connect(&m_targets, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (!IsRunning())
            return;
        m_rows.clear();
        EndIfDone();
    });
}

void CDryRun::SubmitAll()
{
    m_targets.ClearResults();
    if (!IsRunning()) {
        m_status.Start();
        m_bStopped = false;
    }
    // Sources and key files are read once a run.
    const std::uint64_t run = ++m_lastId;
    std::vector<CChangeWorker::CTargetWork> preparations;
    for (int row = 0; row < m_targets.RowCount(); ++row) {
        const std::shared_ptr<CSubmitHost> record = m_targets.Record(row);
        CPostRequest request;
        CText refusal;
        if (!record)
            continue;
        if (!PrepareRequest(*record, request, refusal)) {
            Decide(row, CPreparedResult::Refused(refusal, record.get()));
            continue;
        }
        CPostResult noted;
        noted.SetTarget(*record);
        const std::uint64_t id = ++m_lastId;
        m_rows[id] = {m_targets.Id(row), std::move(noted)};
        preparations.push_back(m_preparation.Work(id, run, *record, std::move(request)));
    }
    m_preparation.Prepare(std::move(preparations));
    EndIfDone();
}

void CDryRun::Stop()
{
    if (!IsRunning())
        return;
    m_bStopped = true;
    m_preparation.Stop();
    Q_EMIT StatusChanged();
}

void CDryRun::OnProgress(std::uint64_t id, const CText& status)
{
    const auto found = m_rows.find(id);
    if (found == m_rows.end())
        return;
    CPostResult reading = found->second.second;
    reading.m_outcome = PostOutcome::Waiting;
    reading.m_reason = status;
    m_targets.SetResult(m_targets.RowOfId(found->second.first), reading);
}

void CDryRun::OnPrepared(const CChangeWorker::CPrepared& prepared)
{
    const auto found = m_rows.find(prepared.m_id);
    if (found == m_rows.end())
        return;
    const int row = m_targets.RowOfId(found->second.first);
    const CPostResult noted = std::move(found->second.second);
    m_rows.erase(found);
    if (prepared.m_kind != CChangeWorker::CPrepared::Kind::Post || prepared.m_batches.empty()
        || m_bStopped) {
        Decide(row, CPreparedResult::Unposted(prepared, noted));
    } else {
        // What would go, a result each; the last decides the row and counts in the run.
        for (std::size_t i = 0; i + 1 < prepared.m_batches.size(); ++i) {
            m_targets.SetResult(row, CPreparedResult::WouldPost(prepared, i, noted));
            Q_EMIT RowDecided(row);
        }
        Decide(row, CPreparedResult::WouldPost(prepared, prepared.m_batches.size() - 1, noted));
    }
    EndIfDone();
}

void CDryRun::Decide(int row, const CPostResult& result)
{
    m_status.Count(result);
    if (row < 0)
        return;
    m_targets.SetResult(row, result);
    Q_EMIT RowDecided(row);
}

void CDryRun::EndIfDone()
{
    if (!IsRunning())
        m_status.End();
    Q_EMIT StatusChanged();
}
