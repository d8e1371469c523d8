#pragma once

#include "core/FormPoster.h"
#include "core/PostScheduler.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A Submit All run: a worker thread posting its jobs one after another in order.
//
// Results, each with its row id, go out through the callback on the worker thread; it must not
// block (the window queues them to its own thread). The owner may add jobs while the run lasts,
// replace or cancel the ones not yet posted, and abort. Destruction aborts, waits for the worker
// (the transfer in progress stops within a tenth of a second) and makes no further callback.
class CSubmitAllRun
{
public:
    using ResultCallback = std::function<void(const CPostResult& result)>;
    using FinishedCallback = std::function<void()>;

    CSubmitAllRun(CFormPoster poster, std::vector<CSubmitJob> jobs, ResultCallback onResult,
        FinishedCallback onFinished = {});
    CSubmitAllRun(const CSubmitAllRun&) = delete;
    CSubmitAllRun& operator=(const CSubmitAllRun&) = delete;
    ~CSubmitAllRun();

    // Queues a job behind the others; false when the run has already ended.
    bool Append(CSubmitJob job);
    // Replaces the URL and body of a job not yet started; false if there is none.
    bool Update(const CSubmitJob& job);
    // Drops the row's jobs; one already in flight finishes but is not reported.
    void Cancel(std::uint64_t rowId);
    // Stops the run: the transfer in progress is ended and nothing more is reported.
    void Abort();

    bool IsFinished() const;

private:
    void SubmitAllWorker();

    const CFormPoster m_poster;
    const ResultCallback m_onResult;
    const FinishedCallback m_onFinished;

    mutable std::mutex m_mutex;
    std::deque<CSubmitJob> m_jobs;
    std::uint64_t m_currentRow = 0;
    bool m_inFlight = false;
    bool m_currentCancelled = false;
    bool m_finished = false;
    std::atomic<bool> m_abort{false};
    std::thread m_worker;
};
