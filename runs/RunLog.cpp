#include "runs/RunLog.h"

#include "core/post/PostResult.h"
#include "core/text/ResultRecord.h"
#include "runs/RunPreparation.h"

#include <utility>

CRunLog::CRunLog(CRunPreparation& preparation, QObject* parent)
    : QObject(parent)
    , m_preparation(preparation)
{
    connect(&m_preparation, &CRunPreparation::RunRecorded, this, [this](const CText& notRecorded) {
        // After Abort, a run's write comes back to no one waiting for it.
        if (m_recording != 0)
            --m_recording;
        Q_EMIT Recorded(notRecorded);
    });
}

void CRunLog::Add(std::uint64_t run, const CPostResult& result, std::uint64_t token)
{
    std::vector<CPostLogEntry>& entries = m_entries[run];
    entries.push_back(LogEntryOf(result));
    entries.back().m_batch = token;
}

bool CRunLog::End(std::uint64_t run)
{
    const auto entries = m_entries.find(run);
    if (entries == m_entries.end())
        return false;
    std::vector<CPostLogEntry> logged = std::move(entries->second);
    m_entries.erase(entries);
    if (logged.empty())
        return false;
    m_preparation.Worker().Log(run, std::move(logged));
    m_preparation.Worker().EndRun(run);
    ++m_recording;
    return true;
}

void CRunLog::Abort()
{
    m_entries.clear();
    m_recording = 0;
}
