#pragma once

#include "core/PostLimits.h"
#include "core/PostRequest.h"
#include "core/PostResult.h"

#include <curl/curl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

class CPostTransfer;

// Posts the requests of every Submit All run from one worker thread driving libcurl's multi
// interface. Posts start in the order they were added, but never two at once to the same
// server (scheme, host and port), so no service sees two posts from us at once, and never
// more than CPostLimits::m_maxInFlight in all. A post whose server is busy waits; later posts
// for free servers go ahead of it. Posts finish in whatever order their servers answer.
//
// Each post ends in exactly one result through the callback, on the worker thread (it must not
// block), unless it is cancelled before it starts. Destruction ends the transfers in flight,
// waits for the worker and makes no further callback.
class CPostScheduler
{
public:
    using ResultCallback = std::function<void(const CPostResult& result)>;

    // Throws std::bad_alloc when libcurl has no multi handle to give, std::system_error when
    // no thread can be had.
    CPostScheduler(CPostSettings settings, ResultCallback onResult);
    CPostScheduler(const CPostScheduler&) = delete;
    CPostScheduler& operator=(const CPostScheduler&) = delete;
    ~CPostScheduler();

    // Queues the posts behind all others and returns the id of the first; the others get the
    // ids that follow, in order. Results carry the post's id.
    std::uint64_t Add(std::vector<CPostRequest> requests);
    // Replaces the request of a post not yet started, keeping its place; false if there is
    // none.
    bool Update(std::uint64_t id, CPostRequest request);
    // Drops a post not yet started; false if there is none (one in flight goes on).
    bool Cancel(std::uint64_t id);
    // Drops every post not yet started; returns their ids.
    std::vector<std::uint64_t> CancelAll();
    // CancelAll, and ends the posts in flight at once; each reports "Stopped".
    std::vector<std::uint64_t> Stop();

private:
    using Transfer = std::unique_ptr<CPostTransfer>;
    struct Server
    {
        std::set<std::uint64_t> waiting;
        bool busy = false;
    };
    struct InFlight
    {
        std::uint64_t id = 0;
        Transfer transfer;
    };

    // The worker's round: start what may start, end what was stopped, collect what libcurl
    // has finished, report, and sleep until something happens.
    void Worker();
    std::vector<InFlight> TakeStartable();
    void Start(std::vector<InFlight> starting);
    void EndStopped();
    void CollectFinished();
    // Frees the post's server and keeps its result for reporting.
    void Finish(InFlight& post, CPostResult result);

    // Under the lock: a post joins or leaves its server's queue, keeping m_ready true.
    void Link(std::uint64_t id, const std::string& server);
    void Unlink(std::uint64_t id, const std::string& server);
    // Under the lock: the post to server has ended.
    void Release(const std::string& server);
    std::vector<std::uint64_t> CancelAllLocked();

    const CPostSettings m_settings;
    const ResultCallback m_onResult;
    CURLM* const m_multi;

    std::mutex m_mutex;
    std::uint64_t m_lastId = 0;
    std::unordered_map<std::uint64_t, Transfer> m_waiting; // not yet started
    std::unordered_map<std::string, Server> m_servers; // with a post waiting or in flight
    // (first waiting post, server) of every server that is free and has a post waiting; the
    // first entry is the next post to start.
    std::set<std::pair<std::uint64_t, std::string>> m_ready;
    std::size_t m_inFlightCount = 0;
    bool m_stopInFlight = false;
    bool m_quit = false;

    // The worker thread's own.
    std::unordered_map<CURL*, InFlight> m_inFlight;
    std::vector<CPostResult> m_results;

    std::thread m_worker;
};
