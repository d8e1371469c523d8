#include "core/PostScheduler.h"

#include "core/PostTransfer.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace {

// How long the worker sleeps when nothing happens; anything the other threads ask wakes it.
constexpr int IdlePollMs = 1000;

} // namespace

CPostScheduler::CPostScheduler(CPostSettings settings, ResultCallback onResult)
    : m_settings(std::move(settings))
    , m_onResult(std::move(onResult))
    , m_multi(curl_multi_init())
{
    if (!m_multi)
        throw std::bad_alloc();
    try {
        m_worker = std::thread(&CPostScheduler::Worker, this);
    } catch (...) {
        curl_multi_cleanup(m_multi);
        throw;
    }
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

std::uint64_t CPostScheduler::Add(std::vector<CPostRequest> requests)
{
    // Reading the addresses needs no lock.
    std::vector<Transfer> transfers;
    transfers.reserve(requests.size());
    for (CPostRequest& request : requests)
        transfers.push_back(std::make_unique<CPostTransfer>(m_settings, std::move(request)));

    std::uint64_t first = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        first = m_lastId + 1;
        for (Transfer& transfer : transfers) {
            const std::uint64_t id = ++m_lastId;
            Link(id, transfer->Server());
            m_waiting.emplace(id, std::move(transfer));
        }
    }
    curl_multi_wakeup(m_multi);
    return first;
}

bool CPostScheduler::Update(std::uint64_t id, CPostRequest request)
{
    auto transfer = std::make_unique<CPostTransfer>(m_settings, std::move(request));
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_waiting.find(id);
    if (found == m_waiting.end())
        return false;
    if (found->second->Server() != transfer->Server()) {
        Unlink(id, found->second->Server());
        Link(id, transfer->Server());
    }
    found->second = std::move(transfer);
    return true;
}

bool CPostScheduler::Cancel(std::uint64_t id)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_waiting.find(id);
    if (found == m_waiting.end())
        return false;
    Unlink(id, found->second->Server());
    m_waiting.erase(found);
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
    cancelled.reserve(m_waiting.size());
    for (const auto& entry : m_waiting)
        cancelled.push_back(entry.first);
    m_waiting.clear();
    m_ready.clear();
    for (auto it = m_servers.begin(); it != m_servers.end();) {
        it->second.waiting.clear();
        it = it->second.busy ? std::next(it) : m_servers.erase(it);
    }
    return cancelled;
}

void CPostScheduler::Link(std::uint64_t id, const std::string& server)
{
    Server& entry = m_servers[server];
    const bool first = entry.waiting.empty() || id < *entry.waiting.begin();
    if (!entry.busy && first) {
        if (!entry.waiting.empty())
            m_ready.erase({*entry.waiting.begin(), server});
        m_ready.emplace(id, server);
    }
    entry.waiting.insert(id);
}

void CPostScheduler::Unlink(std::uint64_t id, const std::string& server)
{
    const auto found = m_servers.find(server);
    Server& entry = found->second;
    const bool first = *entry.waiting.begin() == id;
    entry.waiting.erase(id);
    if (!entry.busy && first) {
        m_ready.erase({id, server});
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
    --m_inFlightCount;
    if (entry.waiting.empty())
        m_servers.erase(found);
    else
        m_ready.emplace(*entry.waiting.begin(), server);
}

void CPostScheduler::Worker()
{
    for (;;) {
        std::vector<InFlight> starting;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_quit)
                break;
            starting = TakeStartable();
        }
        EndStopped();
        Start(std::move(starting));
        CollectFinished();

        // A post that ended may have freed its server for the next one: no sleep before it.
        const bool ended = !m_results.empty();
        for (const CPostResult& result : m_results)
            m_onResult(result);
        m_results.clear();
        if (!ended)
            curl_multi_poll(m_multi, nullptr, 0, IdlePollMs, nullptr);
    }
    for (auto& [handle, post] : m_inFlight)
        curl_multi_remove_handle(m_multi, handle);
    m_inFlight.clear();
}

// Under the lock.
std::vector<CPostScheduler::InFlight> CPostScheduler::TakeStartable()
{
    std::vector<InFlight> starting;
    const std::size_t maxInFlight
        = static_cast<std::size_t>(std::max(1L, m_settings.m_limits.m_maxInFlight));
    while (m_inFlightCount < maxInFlight && !m_ready.empty()) {
        const auto next = m_ready.begin();
        Server& entry = m_servers[next->second];
        m_ready.erase(next);
        const std::uint64_t id = *entry.waiting.begin();
        entry.waiting.erase(entry.waiting.begin());
        entry.busy = true;
        ++m_inFlightCount;
        const auto post = m_waiting.find(id);
        starting.push_back({id, std::move(post->second)});
        m_waiting.erase(post);
    }
    return starting;
}

void CPostScheduler::Start(std::vector<InFlight> starting)
{
    for (InFlight& post : starting) {
        CURL* handle = post.transfer->Start();
        if (handle && curl_multi_add_handle(m_multi, handle) == CURLM_OK) {
            m_inFlight.emplace(handle, std::move(post));
            continue;
        }
        post.transfer->Finish(handle ? CURLE_OUT_OF_MEMORY : CURLE_OK);
        Finish(post, post.transfer->Result());
    }
}

void CPostScheduler::EndStopped()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!std::exchange(m_stopInFlight, false))
            return;
    }
    for (auto& [handle, post] : m_inFlight) {
        curl_multi_remove_handle(m_multi, handle);
        Finish(post, post.transfer->Stopped());
    }
    m_inFlight.clear();
}

void CPostScheduler::CollectFinished()
{
    int running = 0;
    curl_multi_perform(m_multi, &running);
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        const auto done = m_inFlight.find(message->easy_handle);
        if (done == m_inFlight.end())
            continue;
        InFlight& post = done->second;
        const CURLcode code = message->data.result;
        curl_multi_remove_handle(m_multi, done->first);
        post.transfer->Finish(code);
        Finish(post, post.transfer->Result());
        m_inFlight.erase(done);
    }
}

void CPostScheduler::Finish(InFlight& post, CPostResult result)
{
    result.m_postId = post.id;
    m_results.push_back(std::move(result));
    const std::lock_guard<std::mutex> lock(m_mutex);
    Release(post.transfer->Server());
}
