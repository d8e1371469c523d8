#include "core/post/PostScheduler.h"

#include "core/post/PostTransfer.h"
#include "core/system/WorkerThread.h"

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
        m_worker = StartWorkerThread(&CPostScheduler::Worker, this);
    } catch (...) {
        curl_multi_cleanup(m_multi);
        throw;
    }
}

CPostScheduler::~CPostScheduler()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    curl_multi_wakeup(m_multi);
    m_worker.join();
    curl_multi_cleanup(m_multi);
}

std::uint64_t CPostScheduler::Add(std::vector<CPostRequest> requests)
{
    // Reading the addresses needs no lock.
    std::vector<std::string> servers;
    servers.reserve(requests.size());
    for (const CPostRequest& request : requests)
        servers.push_back(CPostTransfer::ServerKey(request));

    std::uint64_t first = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        first = m_lastId + 1;
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const std::uint64_t id = ++m_lastId;
            Link(id, servers[i]);
            m_waiting.emplace(id, CWaiting{std::move(servers[i]), std::move(requests[i]), nullptr});
        }
    }
    curl_multi_wakeup(m_multi);
    return first;
}

bool CPostScheduler::Update(std::uint64_t id, CPostRequest request)
{
    std::string server = CPostTransfer::ServerKey(request);
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_waiting.find(id);
    if (found != m_waiting.end()) {
        if (found->second.m_transfer)
            return false;
        CWaiting& post = found->second;
        if (post.m_strServer != server) {
            Unlink(id, post.m_strServer);
            post.m_strServer = std::move(server);
            Link(id, post.m_strServer);
        }
        post.m_request = std::move(request);
        return true;
    }
    // Taken but not started: the worker drops what it took, and the post waits again, in
    // the place its id gives it.
    const auto taken = m_taken.find(id);
    if (taken == m_taken.end() || taken->second.m_bResumed || taken->second.m_fate != Fate::Start)
        return false;
    taken->second.m_fate = Fate::Drop;
    Link(id, server);
    m_waiting.emplace(id, CWaiting{std::move(server), std::move(request), nullptr});
    curl_multi_wakeup(m_multi);
    return true;
}

bool CPostScheduler::Cancel(std::uint64_t id)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_waiting.find(id);
    if (found != m_waiting.end()) {
        TakeOut(found);
        return true;
    }
    const auto taken = m_taken.find(id);
    if (taken == m_taken.end() || taken->second.m_fate != Fate::Start)
        return false;
    taken->second.m_fate = Fate::Drop;
    return true;
}

bool CPostScheduler::End(std::uint64_t id)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_waiting.find(id);
        if (found != m_waiting.end() && found->second.m_transfer) {
            CWaiting post = TakeOut(found);
            m_stopped.push_back({id, std::move(post.m_transfer), std::move(post.m_strServer)});
        } else {
            const auto taken = m_taken.find(id);
            if (taken == m_taken.end() || !taken->second.m_bResumed
                || taken->second.m_fate != Fate::Start)
                return false;
            taken->second.m_fate = Fate::Stop;
        }
    }
    curl_multi_wakeup(m_multi);
    return true;
}

std::vector<std::uint64_t> CPostScheduler::Stop()
{
    std::vector<std::uint64_t> cancelled;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopThrough = m_lastId;
        cancelled = CancelUnstarted();
        // What is left has started: it waits for its turn after a redirect, or to be tried
        // again, or the worker is about to start it again.
        for (auto post = m_waiting.begin(); post != m_waiting.end();) {
            const std::uint64_t id = post->first;
            CWaiting stopped = TakeOut(post++);
            m_stopped.push_back(
                {id, std::move(stopped.m_transfer), std::move(stopped.m_strServer)});
        }
        for (auto& [id, taken] : m_taken) {
            if (taken.m_fate == Fate::Start)
                taken.m_fate = Fate::Stop;
        }
    }
    curl_multi_wakeup(m_multi);
    return cancelled;
}

void CPostScheduler::SetStartHook(StartHook hook)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_startHook = std::move(hook);
}

CPostScheduler::CWaiting CPostScheduler::TakeOut(
    std::unordered_map<std::uint64_t, CWaiting>::iterator post)
{
    const std::uint64_t id = post->first;
    CWaiting taken = std::move(post->second);
    m_waiting.erase(post);
    // A post waiting to be tried again holds its server, but is in none of its queues.
    if (m_sleeping.erase(id) > 0)
        Release(taken.m_strServer, false);
    else
        Unlink(id, taken.m_strServer);
    return taken;
}

std::vector<std::uint64_t> CPostScheduler::CancelUnstarted()
{
    std::vector<std::uint64_t> cancelled;
    for (auto post = m_waiting.begin(); post != m_waiting.end();) {
        if (post->second.m_transfer) {
            ++post;
            continue;
        }
        cancelled.push_back(post->first);
        TakeOut(post++);
    }
    for (auto& [id, taken] : m_taken) {
        if (!taken.m_bResumed && taken.m_fate == Fate::Start) {
            taken.m_fate = Fate::Drop;
            cancelled.push_back(id);
        }
    }
    std::sort(cancelled.begin(), cancelled.end());
    return cancelled;
}

void CPostScheduler::Link(std::uint64_t id, const std::string& server)
{
    CServer& entry = m_servers[server];
    const bool first = entry.m_waiting.empty() || id < *entry.m_waiting.begin();
    if (!entry.m_bBusy && first) {
        if (!entry.m_waiting.empty())
            m_ready.erase({*entry.m_waiting.begin(), server});
        m_ready.emplace(id, server);
    }
    entry.m_waiting.insert(id);
}

void CPostScheduler::Unlink(std::uint64_t id, const std::string& server)
{
    const auto found = m_servers.find(server);
    CServer& entry = found->second;
    const bool first = *entry.m_waiting.begin() == id;
    entry.m_waiting.erase(id);
    if (!entry.m_bBusy && first) {
        m_ready.erase({id, server});
        if (!entry.m_waiting.empty())
            m_ready.emplace(*entry.m_waiting.begin(), server);
    }
    if (!entry.m_bBusy && entry.m_waiting.empty())
        m_servers.erase(found);
}

void CPostScheduler::Release(const std::string& server, bool inFlight)
{
    const auto found = m_servers.find(server);
    CServer& entry = found->second;
    entry.m_bBusy = false;
    if (inFlight)
        --m_inFlightCount;
    if (entry.m_waiting.empty())
        m_servers.erase(found);
    else
        m_ready.emplace(*entry.m_waiting.begin(), server);
}

void CPostScheduler::WakeDue()
{
    const Clock::time_point now = Clock::now();
    for (auto post = m_sleeping.begin(); post != m_sleeping.end();) {
        if (post->second > now) {
            ++post;
            continue;
        }
        const std::string& server = m_waiting.at(post->first).m_strServer;
        Link(post->first, server);
        Release(server, false);
        post = m_sleeping.erase(post);
    }
}

int CPostScheduler::PollMs()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto wait = std::chrono::milliseconds(IdlePollMs);
    const Clock::time_point now = Clock::now();
    for (const auto& [id, due] : m_sleeping)
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(due - now));
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}

void CPostScheduler::Worker()
{
    for (;;) {
        std::vector<CInFlight> starting;
        StartHook hook;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bQuit)
                break;
            WakeDue();
            starting = TakeStartable();
            if (!starting.empty())
                hook = m_startHook;
        }
        EndStopped();
        Start(std::move(starting), hook);
        CollectFinished();

        // A post that ended may have freed its server for the next one: no sleep before it.
        const bool ended = !m_results.empty();
        for (const CPostResult& result : m_results)
            m_onResult(result);
        m_results.clear();
        if (!ended)
            curl_multi_poll(m_multi, nullptr, 0, PollMs(), nullptr);
    }
    for (auto& [handle, post] : m_inFlight)
        curl_multi_remove_handle(m_multi, handle);
    m_inFlight.clear();
}

// Under the lock.
std::vector<CPostScheduler::CInFlight> CPostScheduler::TakeStartable()
{
    std::vector<CInFlight> starting;
    const std::size_t maxInFlight
        = static_cast<std::size_t>(std::max(1L, m_settings.m_limits.m_maxInFlight));
    while (m_inFlightCount < maxInFlight && !m_ready.empty()) {
        const auto next = m_ready.begin();
        const std::string server = next->second;
        CServer& entry = m_servers[server];
        m_ready.erase(next);
        const std::uint64_t id = *entry.m_waiting.begin();
        entry.m_waiting.erase(entry.m_waiting.begin());
        entry.m_bBusy = true;
        ++m_inFlightCount;
        const auto post = m_waiting.find(id);
        const bool resumed = post->second.m_transfer != nullptr;
        Transfer transfer = resumed
            ? std::move(post->second.m_transfer)
            : std::make_unique<CPostTransfer>(m_settings, std::move(post->second.m_request));
        starting.push_back({id, std::move(transfer), server});
        m_waiting.erase(post);
        m_taken[id] = CTaken{Fate::Start, resumed};
    }
    return starting;
}

void CPostScheduler::Start(std::vector<CInFlight> starting, const StartHook& hook)
{
    for (CInFlight& post : starting) {
        if (hook)
            hook(post.m_id);
        Fate fate = Fate::Start;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            const auto taken = m_taken.find(post.m_id);
            fate = taken->second.m_fate;
            m_taken.erase(taken);
            if (fate != Fate::Start)
                Release(post.m_strServer);
        }
        if (fate == Fate::Stop) {
            CPostResult result = post.m_transfer->Stopped();
            result.m_postId = post.m_id;
            m_results.push_back(std::move(result));
        }
        if (fate != Fate::Start)
            continue;
        CURL* handle = post.m_transfer->Start();
        if (handle && curl_multi_add_handle(m_multi, handle) == CURLM_OK) {
            m_inFlight.emplace(handle, std::move(post));
            continue;
        }
        post.m_transfer->Finish(handle ? CURLE_OUT_OF_MEMORY : CURLE_OK);
        Finish(post, post.m_transfer->Result());
    }
}

void CPostScheduler::EndStopped()
{
    std::vector<CInFlight> waiting;
    std::uint64_t through = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        waiting.swap(m_stopped);
        through = m_stopThrough;
    }
    for (CInFlight& post : waiting) {
        CPostResult result = post.m_transfer->Stopped();
        result.m_postId = post.m_id;
        m_results.push_back(std::move(result));
    }
    if (std::exchange(m_endedThrough, through) == through)
        return;
    // A post in flight that came after the Stop goes on.
    for (auto post = m_inFlight.begin(); post != m_inFlight.end();) {
        if (post->second.m_id > through) {
            ++post;
            continue;
        }
        curl_multi_remove_handle(m_multi, post->first);
        Finish(post->second, post->second.m_transfer->Stopped());
        post = m_inFlight.erase(post);
    }
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
        CInFlight& post = done->second;
        const CURLcode code = message->data.result;
        curl_multi_remove_handle(m_multi, done->first);
        const CPostTransfer::Step step = post.m_transfer->Finish(code);
        if (step == CPostTransfer::Step::Done)
            Finish(post, post.m_transfer->Result());
        else
            Requeue(post, step);
        m_inFlight.erase(done);
    }
}

void CPostScheduler::Finish(CInFlight& post, CPostResult result)
{
    result.m_postId = post.m_id;
    m_results.push_back(std::move(result));
    const std::lock_guard<std::mutex> lock(m_mutex);
    Release(post.m_strServer);
}

void CPostScheduler::Requeue(CInFlight& post, CPostTransfer::Step step)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // Stopped while in flight: what would go on ends here, without another try.
    if (post.m_id <= m_stopThrough) {
        lock.unlock();
        Finish(post, post.m_transfer->Stopped());
        return;
    }
    if (step == CPostTransfer::Step::Redirected) {
        Release(post.m_strServer);
        Link(post.m_id, post.m_transfer->Server());
    } else {
        CPostResult notice = post.m_transfer->Result();
        notice.m_postId = post.m_id;
        m_results.push_back(std::move(notice));
        // The server stays taken; the place in flight is free for others.
        --m_inFlightCount;
        m_sleeping[post.m_id] = Clock::now() + post.m_transfer->RetryDelay();
    }
    std::string server = post.m_transfer->Server();
    m_waiting.emplace(
        post.m_id, CWaiting{std::move(server), CPostRequest(), std::move(post.m_transfer)});
    // The next round may start it, or another post in its place, at once.
    curl_multi_wakeup(m_multi);
}
