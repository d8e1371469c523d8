#pragma once

#include "core/net/PostLimits.h"
#include "core/post/PostResult.h"
#include "core/text/Text.h"

#include <QObject>

#include <memory>
#include <mutex>
#include <vector>

class CPostScheduler;

// The posts of the runs as the window's thread sees them: one scheduler, which every run
// shares so that the one-post-per-server rule holds across runs, made at the first run. Its
// results come back from its worker, are queued to this object and handed on in batches, at
// most once a frame: the rows still change as a run goes, and a fast run does not keep the
// window's thread busy with one repaint per row.
class CPostQueue : public QObject
{
    Q_OBJECT

public:
    explicit CPostQueue(CPostSettings settings, QObject* parent = nullptr);
    ~CPostQueue() override;

    // Makes the scheduler unless there is one; false, with the reason, when none can be had.
    bool Make(CText& reason);
    bool HasScheduler() const { return m_scheduler != nullptr; }
    CPostScheduler& Scheduler() { return *m_scheduler; }
    // Ends the scheduler and drops the results not handed on yet: nothing more comes.
    void End();

Q_SIGNALS:
    void Results(const std::vector<CPostResult>& results);

private:
    // On the scheduler's worker thread.
    void OnResult(const CPostResult& result);
    void HandOn();

    const CPostSettings m_settings;
    // Results the worker has reported and this thread has not handed on yet.
    std::mutex m_pendingMutex;
    std::vector<CPostResult> m_pending;
    // Last: its worker reports into the members above, so it goes first.
    std::unique_ptr<CPostScheduler> m_scheduler;
};
