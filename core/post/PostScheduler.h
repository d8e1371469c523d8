#pragma once

#include "core/net/PostLimits.h"
#include "core/post/PostRequest.h"
#include "core/post/PostResult.h"
#include "core/post/PostTransfer.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

// Posts the requests of every Submit All run from one worker thread driving libcurl's multi
// interface. Posts start in the order they were added, but never two at once to the same
// server (scheme, host and port), so no service sees two posts from us at once, and never
// more than CPostLimits::m_maxInFlight in all. A post whose server is busy waits; later posts
// for free servers go ahead of it. Posts finish in whatever order their servers answer.
//
// A redirect goes on as a post to the server it names, in that server's queue, so the rule
// holds for it too. A busy server that asks to be tried again later stays taken until then,
// without holding a place among the posts in flight.
//
// Each post ends in exactly one final result through the callback, on the worker thread (it
// must not block), unless it is cancelled; a post that waits to be tried again reports that
// too, as a result not final. Destruction ends the transfers in flight, waits for the worker
// and makes no further callback.
//
// The worker takes the posts it may start under the lock and starts them after letting it
// go, so a Stop, Cancel or End may come in between: each post is looked at again, under the
// lock, just before it starts. A Stop holds for every post added before it, however far the
// worker has got with it.
class CPostScheduler
{
public:
    using ResultCallback = std::function<void(const CPostResult& result)>;
    // Called with the id of each post the worker has taken to start, on the worker, without
    // the lock, just before the post is looked at again and started.
    using StartHook = std::function<void(std::uint64_t id)>;

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
    // Drops a post that is not in flight: not yet started, or waiting to be tried again or
    // for its turn after a redirect. It reports nothing. False if there is none (one in
    // flight goes on).
    bool Cancel(std::uint64_t id);
    // Ends a post that has started and is not in flight: it waits to be tried again or for
    // its turn after a redirect. It reports "Stopped". False if there is none.
    bool End(std::uint64_t id);
    // Drops every post not yet started, which report nothing, and returns their ids, in
    // order; ends every other post added so far at once, in flight or waiting, and each of
    // those reports "Stopped". None of them starts, or starts again, after this.
    std::vector<std::uint64_t> Stop();

    // For tests, which hold the worker between taking posts and starting them with it. Set
    // it before the posts it is for are added.
    void SetStartHook(StartHook hook);

private:
    using Transfer = std::unique_ptr<CPostTransfer>;
    struct CServer
    {
        std::set<std::uint64_t> m_waiting;
        // A post to it is in flight, or waits to be tried again.
        bool m_bBusy = false;
    };
    using Clock = std::chrono::steady_clock;
    // A post not in flight: not started yet, and only its request then, or going on after
    // a redirect or a wait, with its transfer. A transfer is made only as a post starts, so a
    // long run costs little memory per post waiting.
    struct CWaiting
    {
        std::string m_strServer;
        CPostRequest m_request;
        Transfer m_transfer;
    };
    struct CInFlight
    {
        std::uint64_t m_id = 0;
        Transfer m_transfer;
        // Where it is in flight to: a redirect changes the transfer's server.
        std::string m_strServer;
    };
    // What becomes of a post the worker has taken to start.
    enum class Fate
    {
        Start,
        // Cancelled, or stopped before it ever started: it reports nothing.
        Drop,
        // Stopped or ended after it had started once: it reports "Stopped".
        Stop,
    };
    struct CTaken
    {
        Fate m_fate = Fate::Start;
        // It has started before: it goes on after a redirect or a wait.
        bool m_bResumed = false;
    };

    // The worker's round: start what may start, end what was stopped, collect what libcurl
    // has finished, report, and sleep until something happens.
    void Worker();
    std::vector<CInFlight> TakeStartable();
    void Start(std::vector<CInFlight> starting, const StartHook& hook);
    void EndStopped();
    void CollectFinished();
    // How long the worker may sleep before a waiting post is due.
    int PollMs();
    // Frees the post's server and keeps its result for reporting.
    void Finish(CInFlight& post, CPostResult result);
    // The transfer has ended but the post goes on: at another server, or later; unless a
    // Stop came meanwhile.
    void Requeue(CInFlight& post, CPostTransfer::Step step);

    // Under the lock: a post joins or leaves its server's queue, keeping m_ready true.
    void Link(std::uint64_t id, const std::string& server);
    void Unlink(std::uint64_t id, const std::string& server);
    // Under the lock: the server is free again; a post in flight to it has ended.
    void Release(const std::string& server, bool inFlight = true);
    // Under the lock: the posts that wait to be tried again and are due queue again.
    void WakeDue();
    // Under the lock: takes a waiting post out of its server's queue, or out of its wait.
    CWaiting TakeOut(std::unordered_map<std::uint64_t, CWaiting>::iterator post);
    // Under the lock: drops every post not yet started; returns their ids, in order.
    std::vector<std::uint64_t> CancelUnstarted();

    const CPostSettings m_settings;
    const ResultCallback m_onResult;
    CURLM* const m_multi;

    std::mutex m_mutex;
    std::uint64_t m_lastId = 0;
    std::unordered_map<std::uint64_t, CWaiting> m_waiting;
    // Posts waiting to be tried again, and when; their servers are kept busy meanwhile.
    std::map<std::uint64_t, Clock::time_point> m_sleeping;
    // Posts started and not in flight that Stop or End ended; the worker reports them.
    std::vector<CInFlight> m_stopped;
    // Posts the worker has taken and not yet started.
    std::map<std::uint64_t, CTaken> m_taken;
    // Every post up to this id was added before the last Stop: none may start or go on.
    std::uint64_t m_stopThrough = 0;
    StartHook m_startHook;
    std::unordered_map<std::string, CServer> m_servers; // with a post waiting or in flight
    // (first waiting post, server) of every server that is free and has a post waiting; the
    // first entry is the next post to start.
    std::set<std::pair<std::uint64_t, std::string>> m_ready;
    std::size_t m_inFlightCount = 0;
    bool m_bQuit = false;

    // The worker thread's own.
    std::unordered_map<CURL*, CInFlight> m_inFlight;
    // The m_stopThrough whose posts in flight have been ended.
    std::uint64_t m_endedThrough = 0;
    std::vector<CPostResult> m_results;

    std::thread m_worker;
};
