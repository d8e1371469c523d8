#pragma once

#include "core/FormPoster.h"
#include "core/PostResult.h"

#include <curl/curl.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

// One target as it is to be posted: the row it belongs to and a copy of what to send, taken
// on the window's thread, so editing or deleting the row never touches what is in flight.
struct CSubmitJob
{
    std::uint64_t m_rowId = 0;
    std::string m_strUrl;
    std::string m_body;
};

// Posts the jobs of every Submit All run from one worker thread driving libcurl's multi
// interface. Jobs start in the order they were added, but never two at once to the same
// server (scheme, host and port), so no service sees two posts from us at once, and never
// more than CPostLimits::m_maxInFlight in all. A job whose server is busy waits; later jobs
// for free servers go ahead of it. Jobs finish in whatever order their servers answer.
//
// Each job ends in exactly one result through the callback, on the worker thread (it must not
// block), unless it is cancelled before it starts. Destruction ends the transfers in flight,
// waits for the worker and makes no further callback.
class CPostScheduler
{
public:
    using ResultCallback = std::function<void(const CPostResult& result)>;

    CPostScheduler(CFormPoster poster, ResultCallback onResult);
    CPostScheduler(const CPostScheduler&) = delete;
    CPostScheduler& operator=(const CPostScheduler&) = delete;
    ~CPostScheduler();

    // Queues the jobs behind all others and returns the id of the first; the others get the
    // ids that follow, in order. Results carry the job's id and row id.
    std::uint64_t Add(std::vector<CSubmitJob> jobs);
    // Replaces the URL and body of a job not yet started, keeping its place; false if there
    // is none.
    bool Update(std::uint64_t jobId, std::string url, std::string body);
    // Drops a job not yet started; false if there is none (one in flight goes on).
    bool Cancel(std::uint64_t jobId);
    // Drops every job not yet started; returns their ids.
    std::vector<std::uint64_t> CancelAll();
    // CancelAll, and ends the transfers in flight at once; each reports "Stopped".
    std::vector<std::uint64_t> Stop();

private:
    struct Job
    {
        std::uint64_t rowId = 0;
        std::string url;
        std::string body;
        std::string server;
    };
    struct Server
    {
        std::set<std::uint64_t> waiting;
        bool busy = false;
    };
    struct Started
    {
        std::uint64_t jobId = 0;
        Job job;
    };

    void Worker();
    // Under the lock: a job joins or leaves its server's queue, keeping m_ready true.
    void Link(std::uint64_t jobId, const std::string& server);
    void Unlink(std::uint64_t jobId, const std::string& server);
    // Under the lock: the post to server has ended.
    void Release(const std::string& server);
    std::vector<std::uint64_t> CancelAllLocked();

    const CFormPoster m_poster;
    const ResultCallback m_onResult;
    CURLM* const m_multi;

    std::mutex m_mutex;
    std::uint64_t m_lastId = 0;
    std::unordered_map<std::uint64_t, Job> m_jobs; // not yet started
    std::unordered_map<std::string, Server> m_servers; // with a job waiting or in flight
    // (first waiting job, server) of every server that is free and has a job waiting; the
    // first entry is the next post to start.
    std::set<std::pair<std::uint64_t, std::string>> m_ready;
    std::size_t m_inFlight = 0;
    bool m_stopInFlight = false;
    bool m_quit = false;
    std::thread m_worker;
};
