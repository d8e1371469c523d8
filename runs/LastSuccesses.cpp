#include "runs/LastSuccesses.h"

#include "core/history/PostHistory.h"
#include "core/target/SubmitHost.h"
#include "runs/RunPreparation.h"
#include "runs/TargetList.h"

#include <memory>
#include <utility>
#include <vector>

CLastSuccesses::CLastSuccesses(CTargetList& targets, CRunPreparation& preparation, QObject* parent)
    : QObject(parent)
    , m_targets(targets)
    , m_preparation(preparation)
{
    // Before a run takes the rows: the worker answers in the order it is asked.
    connect(&m_targets, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) { Ask(first, last); });
    connect(&m_preparation, &CRunPreparation::LastSuccessesRead, this,
        [this](const CRunPreparation::LastSuccesses& last) {
            for (const auto& [id, when] : last)
                m_targets.SetLastSuccess(id, when);
        });
}

void CLastSuccesses::Ask(int first, int last)
{
    if (!m_bShown)
        return;
    std::vector<std::pair<std::uint64_t, CPostHistory::CTarget>> targets;
    for (int row = first; row <= last; ++row) {
        if (const std::shared_ptr<CSubmitHost> record = m_targets.Record(row))
            targets.emplace_back(m_targets.Id(row), CChangeWorker::RecordKeyOf(*record));
    }
    if (!targets.empty())
        m_preparation.Worker().LastSuccesses(std::move(targets));
}
