#include "core/PostScheduler.h"

#include "core/PostTransfer.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

namespace {

// How long the worker sleeps when nothing happens; anything the other threads ask wakes it.
constexpr int IdlePollMs = 1000;

struct InFlight
{
    std::uint64_t jobId = 0;
    std::uint64_t rowId = 0;
    std::string server;
    std::unique_ptr<CPostTransfer> transfer;
};

} // namespace

CPostScheduler::CPostScheduler(CFormPoster poster, ResultCallback onResult)
    : m_poster(std::move(poster))
    , m_onResult(std::move(onResult))
    , m_multi(curl_multi_init())
{
    if (!m_multi)
        throw std::bad_alloc();
    m_worker = std::thread(&CPostScheduler::Worker, this);
}

CPostScheduler::~CPostScheduler()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    curl_multi_wakeup(m_multi);
    m_worker.join();
    curl_multi_cleanup(m_multi);
}

std::uint64_t CPostScheduler::Add(std::vector<CSubmitJob> jobs)
{
    // Reading the addresses needs no lock.
    std::vector<std::string> servers;
    servers.reserve(jobs.size());
    for (const CSubmitJob& job : jobs)
        servers.push_back(CPostTransfer::ServerKey(job.m_strUrl));

    std::uint64_t first = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        first = m_lastId + 1;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const std::uint64_t id = ++m_lastId;
            Job& job = m_jobs[id];
            job.rowId = jobs[i].m_rowId;
            job.url = std::move(jobs[i].m_strUrl);
            job.body = std::move(jobs[i].m_body);
            job.server = std::move(servers[i]);
            Link(id, job.server);
        }
    }
    curl_multi_wakeup(m_multi);
    return first;
}

bool CPostScheduler::Update(std::uint64_t jobId, std::string url, std::string body)
{
    std::string server = CPostTransfer::ServerKey(url);
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_jobs.find(jobId);
    if (found == m_jobs.end())
        return false;
    Job& job = found->second;
    if (job.server != server) {
        Unlink(jobId, job.server);
        job.server = std::move(server);
        Link(jobId, job.server);
    }
    job.url = std::move(url);
    job.body = std::move(body);
    return true;
}

bool CPostScheduler::Cancel(std::uint64_t jobId)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_jobs.find(jobId);
    if (found == m_jobs.end())
        return false;
    Unlink(jobId, found->second.server);
    m_jobs.erase(found);
    return true;
}

std::vector<std::uint64_t> CPostScheduler::CancelAll()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return CancelAllLocked();
}

std::vector<std::uint64_t> CPostScheduler::Stop()
{
    std::vector<std::uint64_t> cancelled;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        cancelled = CancelAllLocked();
        m_stopInFlight = true;
    }
    curl_multi_wakeup(m_multi);
    return cancelled;
}

std::vector<std::uint64_t> CPostScheduler::CancelAllLocked()
{
    std::vector<std::uint64_t> cancelled;
    cancelled.reserve(m_jobs.size());
    for (const auto& entry : m_jobs)
        cancelled.push_back(entry.first);
    m_jobs.clear();
    m_ready.clear();
    for (auto it = m_servers.begin(); it != m_servers.end();) {
        it->second.waiting.clear();
        it = it->second.busy ? std::next(it) : m_servers.erase(it);
    }
    return cancelled;
}

void CPostScheduler::Link(std::uint64_t jobId, const std::string& server)
{
    Server& entry = m_servers[server];
    const bool first = entry.waiting.empty() || jobId < *entry.waiting.begin();
    if (!entry.busy && first) {
        if (!entry.waiting.empty())
            m_ready.erase({*entry.waiting.begin(), server});
        m_ready.emplace(jobId, server);
    }
    entry.waiting.insert(jobId);
}

void CPostScheduler::Unlink(std::uint64_t jobId, const std::string& server)
{
    const auto found = m_servers.find(server);
    Server& entry = found->second;
    const bool first = *entry.waiting.begin() == jobId;
    entry.waiting.erase(jobId);
    if (!entry.busy && first) {
        m_ready.erase({jobId, server});
        if (!entry.waiting.empty())
            m_ready.emplace(*entry.waiting.begin(), server);
    }
    if (!entry.busy && entry.waiting.empty())
        m_servers.erase(found);
}

void CPostScheduler::Release(const std::string& server)
{
    const auto found = m_servers.find(server);
    Server& entry = found->second;
    entry.busy = false;
    --m_inFlight;
    if (entry.waiting.empty())
        m_servers.erase(found);
    else
        m_ready.emplace(*entry.waiting.begin(), server);
}

void CPostScheduler::Worker()
{
    const std::size_t maxInFlight
        = static_cast<std::size_t>(std::max(1L, m_poster.Limits().m_maxInFlight));
    std::unordered_map<CURL*, InFlight> inFlight;
    std::vector<CPostResult> results;

    // Takes the transfer out of the multi handle, frees its server and keeps its result.
    const auto finish = [&](InFlight& post, CPostResult result) {
        if (CURL* handle = post.transfer->Handle())
            curl_multi_remove_handle(m_multi, handle);
        result.m_jobId = post.jobId;
        result.m_rowId = post.rowId;
        results.push_back(std::move(result));
        const std::lock_guard<std::mutex> lock(m_mutex);
        Release(post.server);
    };

    for (;;) {
        std::vector<Started> starting;
        bool stop = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_quit)
                break;
            stop = std::exchange(m_stopInFlight, false);
            while (m_inFlight < maxInFlight && !m_ready.empty()) {
                const auto next = m_ready.begin();
                const std::string server = next->second;
                m_ready.erase(next);
                Server& entry = m_servers[server];
                const std::uint64_t id = *entry.waiting.begin();
                entry.waiting.erase(entry.waiting.begin());
                entry.busy = true;
                ++m_inFlight;
                const auto job = m_jobs.find(id);
                starting.push_back({id, std::move(job->second)});
                m_jobs.erase(job);
            }
        }

        if (stop) {
            for (auto& [handle, post] : inFlight)
                finish(post, post.transfer->Stopped());
            inFlight.clear();
        }
        for (Started& start : starting) {
            InFlight post;
            post.jobId = start.jobId;
            post.rowId = start.job.rowId;
            post.server = std::move(start.job.server);
            post.transfer = m_poster.MakeTransfer(start.job.url, std::move(start.job.body), false);
            CURL* handle = post.transfer->Handle();
            if (handle && curl_multi_add_handle(m_multi, handle) == CURLM_OK)
                inFlight.emplace(handle, std::move(post));
            else
                finish(post, post.transfer->Finish(handle ? CURLE_OUT_OF_MEMORY : CURLE_OK));
        }

        int running = 0;
        curl_multi_perform(m_multi, &running);
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            const auto done = inFlight.find(message->easy_handle);
            if (done == inFlight.end())
                continue;
            const CURLcode code = message->data.result;
            finish(done->second, done->second.transfer->Finish(code));
            inFlight.erase(done);
        }

        // A post that ended may have freed its server for the next one: no sleep before it.
        const bool ended = !results.empty();
        for (const CPostResult& result : results)
            m_onResult(result);
        results.clear();
        if (!ended)
            curl_multi_poll(m_multi, nullptr, 0, IdlePollMs, nullptr);
    }

    for (auto& [handle, post] : inFlight)
        curl_multi_remove_handle(m_multi, handle);
}
