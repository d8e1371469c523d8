#include "core/SubmitAllRun.h"

#include <algorithm>
#include <utility>

CSubmitAllRun::CSubmitAllRun(CFormPoster poster, std::vector<CSubmitJob> jobs,
    ResultCallback onResult, FinishedCallback onFinished)
    : m_poster(std::move(poster))
    , m_onResult(std::move(onResult))
    , m_onFinished(std::move(onFinished))
    , m_jobs(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()))
{
    m_worker = std::thread(&CSubmitAllRun::SubmitAllWorker, this);
}

CSubmitAllRun::~CSubmitAllRun()
{
    Abort();
    m_worker.join();
}

bool CSubmitAllRun::Append(CSubmitJob job)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_finished || m_abort)
        return false;
    m_jobs.push_back(std::move(job));
    return true;
}

bool CSubmitAllRun::Update(const CSubmitJob& job)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto pending = std::find_if(m_jobs.begin(), m_jobs.end(),
        [&](const CSubmitJob& j) { return j.m_rowId == job.m_rowId; });
    if (pending == m_jobs.end())
        return false;
    pending->m_strUrl = job.m_strUrl;
    pending->m_body = job.m_body;
    return true;
}

void CSubmitAllRun::Cancel(std::uint64_t rowId)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(),
                     [&](const CSubmitJob& j) { return j.m_rowId == rowId; }),
        m_jobs.end());
    if (m_inFlight && m_currentRow == rowId)
        m_currentCancelled = true;
}

void CSubmitAllRun::Abort()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_abort = true;
    m_jobs.clear();
}

bool CSubmitAllRun::IsFinished() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_finished;
}

void CSubmitAllRun::SubmitAllWorker()
{
    for (;;) {
        CSubmitJob job;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_jobs.empty() || m_abort) {
                m_finished = true;
                break;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_currentRow = job.m_rowId;
            m_inFlight = true;
            m_currentCancelled = false;
        }

        CPostResult result = m_poster.Post(job.m_strUrl, job.m_body, &m_abort);
        result.m_rowId = job.m_rowId;

        bool report = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            report = !m_abort && !m_currentCancelled;
            m_inFlight = false;
        }
        if (report && m_onResult)
            m_onResult(result);
    }
    if (!m_abort && m_onFinished)
        m_onFinished();
}
