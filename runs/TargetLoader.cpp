#include "runs/TargetLoader.h"

#include "core/system/WorkerThread.h"
#include "runs/TargetList.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <utility>

CTargetLoader::CTargetLoader(CTargetStore& store, CTargetList& targets, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_targets(targets)
{
}

CTargetLoader::~CTargetLoader()
{
    Cancel();
}

void CTargetLoader::SetSlices(std::size_t rowsAtOnce, int milliseconds)
{
    m_rowsAtOnce = std::max<std::size_t>(rowsAtOnce, 1);
    m_sliceMs = milliseconds;
}

void CTargetLoader::Start()
{
    Cancel();
    m_bLoading = true;
    m_bRead = false;
    m_next = 0;
    const quint64 load = ++m_load;
    m_reader = StartWorkerThread([this, load] {
        m_read = m_store.Load();
        // This object outlives the thread (its destructor joins it); the call is dropped
        // unread if the object goes before it is delivered.
        QMetaObject::invokeMethod(
            this, [this, load] { OnRead(load); }, Qt::QueuedConnection);
    });
}

void CTargetLoader::JoinReader()
{
    if (m_reader.joinable())
        m_reader.join();
    m_bRead = true;
}

void CTargetLoader::OnRead(quint64 load)
{
    if (load != m_load || !m_bLoading || m_bRead)
        return;
    JoinReader();
    // Growing the list slice by slice would now and then move every row in it at once.
    m_targets.ReserveRows(static_cast<std::size_t>(m_targets.RowCount()) + m_read.m_records.size());
    AppendSlice();
}

void CTargetLoader::AppendSlice()
{
    QElapsedTimer clock;
    clock.start();
    const std::size_t count = m_read.m_records.size();
    do
        AppendRows(std::min(count, m_next + m_rowsAtOnce));
    while (m_next < count && clock.elapsed() < m_sliceMs);
    if (m_next < count) {
        // A timer, not a posted call: the window system's events, painting among them, come
        // first.
        QTimer::singleShot(0, this, [this, load = m_load] {
            if (load == m_load && m_bLoading)
                AppendSlice();
        });
        return;
    }
    End();
}

void CTargetLoader::AppendRows(std::size_t end)
{
    if (end <= m_next)
        return;
    auto& records = m_read.m_records;
    const auto first = records.begin() + static_cast<std::ptrdiff_t>(m_next);
    const auto last = records.begin() + static_cast<std::ptrdiff_t>(end);
    m_next = end;
    m_targets.AppendRows(
        TargetRecords(std::make_move_iterator(first), std::make_move_iterator(last)));
}

void CTargetLoader::Finish()
{
    if (!m_bLoading)
        return;
    if (!m_bRead)
        JoinReader();
    AppendRows(m_read.m_records.size());
    End();
}

void CTargetLoader::End()
{
    m_bLoading = false;
    ++m_load;
    const QString message = m_read.m_strMessage;
    m_read = CTargetStore::CLoaded();
    Q_EMIT Finished(message);
}

void CTargetLoader::Cancel()
{
    if (m_reader.joinable())
        m_reader.join();
    if (!m_bLoading)
        return;
    m_bLoading = false;
    ++m_load;
    m_read = CTargetStore::CLoaded();
}
