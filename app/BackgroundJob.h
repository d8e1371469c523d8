#pragma once

#include "core/system/WorkerThread.h"

#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <memory>
#include <thread>
#include <utility>

// Work that would keep a window from answering (a key file fetched over the network, the post
// log read from disk), done on a thread of its own, one piece at a time, its result handed
// back as a queued call on the thread this object lives on.
//
// Destroying the job raises the stop flag the work was given and waits for its thread, so
// nothing the work touches is ever left to a thread that outlives its window; a result still
// on its way goes with the job and reaches no one. The work must therefore heed the flag soon,
// and must not touch the window: give it copies. Make the job the window's last member, so
// that it goes before everything its done may touch.
class CBackgroundJob : public QObject
{
    Q_OBJECT

public:
    explicit CBackgroundJob(QObject* parent = nullptr);
    ~CBackgroundJob() override;

    // work(const std::atomic<bool>& stop) runs on the job's thread and returns a result;
    // done(Result&) gets that result here. False, with nothing started, while earlier work
    // has not come back yet.
    template <typename Work, typename Done> bool Start(Work work, Done done);
    // Work has started and its done not yet been called.
    bool IsBusy() const { return m_bBusy; }
    // Raises the stop flag of the work under way; its done is still called, with what the
    // work gives back once it heeds the flag.
    void Stop() { m_bStop = true; }

private:
    void Join();

    std::atomic<bool> m_bStop{false};
    bool m_bBusy = false;
    std::thread m_thread;
};

template <typename Work, typename Done> bool CBackgroundJob::Start(Work work, Done done)
{
    if (m_bBusy)
        return false;
    // The thread of the last work has handed its result back, so it is ending or ended.
    Join();
    m_bBusy = true;
    m_bStop = false;
    m_thread = StartWorkerThread([this, work = std::move(work), done = std::move(done)]() mutable {
        using Result = decltype(work(m_bStop));
        // Shared, so that a large result is not copied on its way.
        auto result = std::make_shared<Result>(work(m_bStop));
        QMetaObject::invokeMethod(
            this,
            [this, result, done = std::move(done)]() mutable {
                m_bBusy = false;
                done(*result);
            },
            Qt::QueuedConnection);
    });
    return true;
}
