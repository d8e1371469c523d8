#pragma once

#include "core/net/PostLimits.h"
#include "core/post/PostResult.h"
#include "core/run/ChangeWorker.h"
#include "runs/ListRuns.h"
#include "runs/RunPreparation.h"
#include "runs/RunStatus.h"

#include <cstdint>
#include <map>

class CTargetList;

// What Submit All would post now, for Preview and quillpost --submit-all --dry-run: every row
// prepared as a run prepares it (key files checked, sources read, pages checked) and shown as
// the posts that would go, each with its exact body, or as why it would post nothing. Nothing
// is posted, recorded or logged. The list stays as it is while the run lasts.
class CDryRun : public CListRuns
{
    Q_OBJECT

public:
    CDryRun(CTargetList& targets, CPostSettings settings, QObject* parent = nullptr);

    void SubmitAll() override;
    // Targets still prepared end "Stopped".
    void Stop() override;
    bool IsRunning() const override { return !m_rows.empty(); }
    QString StatusText() const override { return m_status.Text(IsRunning(), m_rows.size()); }

private:
    void OnPrepared(const CChangeWorker::CPrepared& prepared);
    void OnProgress(std::uint64_t id, const CText& status);
    // The row shows the result, which counts in the run.
    void Decide(int row, const CPostResult& result);
    void EndIfDone();

    CTargetList& m_targets;
    CRunStatus m_status;
    CRunPreparation m_preparation;
    // The targets prepared, by the preparation's id: their row's id and what the row held.
    std::map<std::uint64_t, std::pair<quint64, CPostResult>> m_rows;
    std::uint64_t m_lastId = 0;
    bool m_bStopped = false;
};
