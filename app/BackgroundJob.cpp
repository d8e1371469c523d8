#include "app/BackgroundJob.h"

CBackgroundJob::CBackgroundJob(QObject* parent)
    : QObject(parent)
{
}

// The result the thread may have queued is dropped with this object, after the thread is
// gone: it can no longer queue anything.
CBackgroundJob::~CBackgroundJob()
{
    m_bStop = true;
    Join();
}

void CBackgroundJob::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
