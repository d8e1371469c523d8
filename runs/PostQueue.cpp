#include "runs/PostQueue.h"

#include "core/post/PostScheduler.h"

#include <QMetaObject>
#include <QTimer>

#include <new>
#include <system_error>
#include <utility>

namespace {

constexpr int ResultBatchDelayMs = 16;

} // namespace

CPostQueue::CPostQueue(CPostSettings settings, QObject* parent)
    : QObject(parent)
    , m_settings(std::move(settings))
{
}

CPostQueue::~CPostQueue()
{
    m_scheduler.reset();
}

bool CPostQueue::Make(CText& reason)
{
    if (m_scheduler)
        return true;
    try {
        // Its worker never waits for this thread: results come back as queued calls.
        m_scheduler = std::make_unique<CPostScheduler>(
            m_settings, [this](const CPostResult& result) { OnResult(result); });
        return true;
    } catch (const std::system_error&) {
        reason = CText(QT_TRANSLATE_NOOP("Quillpost", "No thread to post from"));
    } catch (const std::bad_alloc&) {
        reason = CText(QT_TRANSLATE_NOOP("Quillpost", "Out of memory"));
    }
    return false;
}

void CPostQueue::End()
{
    m_scheduler.reset();
    const std::lock_guard<std::mutex> lock(m_pendingMutex);
    m_pending.clear();
}

void CPostQueue::OnResult(const CPostResult& result)
{
    bool first = false;
    {
        const std::lock_guard<std::mutex> lock(m_pendingMutex);
        first = m_pending.empty();
        m_pending.push_back(result);
    }
    if (first) {
        QMetaObject::invokeMethod(
            this, [this] { QTimer::singleShot(ResultBatchDelayMs, this, [this] { HandOn(); }); },
            Qt::QueuedConnection);
    }
}

void CPostQueue::HandOn()
{
    std::vector<CPostResult> results;
    {
        const std::lock_guard<std::mutex> lock(m_pendingMutex);
        results.swap(m_pending);
    }
    Q_EMIT Results(results);
}
