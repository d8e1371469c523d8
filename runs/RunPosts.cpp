#include "runs/RunPosts.h"

#include "core/post/PostScheduler.h"
#include "core/target/SubmitHost.h"
#include "runs/PostQueue.h"

#include <algorithm>
#include <utility>

namespace {

// The posts of a run go to the scheduler in parts of these sizes, the first smallest, so that
// a long list is handed over in a few.
constexpr std::size_t FirstPart = 16;
constexpr std::size_t LargestPart = 1024;

} // namespace

CRunPosts::CPosted CRunPosts::CPosted::Of(const CSubmitHost& record)
{
    CPostResult noted;
    noted.SetTarget(record);
    return CPosted{std::move(noted.m_strUrl), std::move(noted.m_strBody),
        std::move(noted.m_strChanges), 0, {}, {}, CText()};
}

void CRunPosts::CPosted::NoteOn(CPostResult& result) const
{
    result.m_strUrl = m_strUrl;
    result.m_strBody = m_strBody;
    result.m_strChanges = m_strChanges;
    result.m_addresses = m_addresses;
    result.m_removed = m_removed;
    result.m_leftOut = m_leftOut;
    if (result.m_serviceMessage.IsEmpty())
        result.m_serviceMessage = m_note;
}

CRunPosts::CRunPosts(CPostQueue& queue)
    : m_queue(queue)
    , m_part(FirstPart)
{
}

quint64 CRunPosts::AddPreparation(quint64 run, quint64 rowId, CPosted posted)
{
    const quint64 id = ++m_lastPreparation;
    m_posts[id] = CPost{run, rowId, std::move(posted), 0};
    m_newest[rowId] = id;
    ++m_outstanding[run];
    ++m_preparing;
    return id;
}

void CRunPosts::Add(quint64 run, CPostRequest request, quint64 rowId, CPosted posted)
{
    m_requests.push_back(std::move(request));
    m_ready.push_back(CPost{run, rowId, std::move(posted), 0});
    if (m_requests.size() == m_part) {
        HandPart();
        m_part = std::min(2 * m_part, LargestPart);
    }
}

void CRunPosts::Flush()
{
    HandPart();
    m_part = FirstPart;
}

void CRunPosts::HandPart()
{
    if (m_requests.empty())
        return;
    const quint64 first = m_queue.Scheduler().Add(std::move(m_requests));
    for (std::size_t i = 0; i < m_ready.size(); ++i) {
        ++m_outstanding[m_ready[i].m_run];
        m_newest[m_ready[i].m_rowId] = first + i;
        m_posts[first + i] = std::move(m_ready[i]);
    }
    m_requests.clear();
    m_ready.clear();
}

void CRunPosts::AddBatches(const CChangeWorker::CPrepared& prepared, const CPost& preparation)
{
    std::vector<CPostRequest> requests;
    for (const CChangeWorker::CBatch& batch : prepared.m_batches)
        requests.push_back(batch.m_request);
    const quint64 first = m_queue.Scheduler().Add(std::move(requests));
    for (std::size_t i = 0; i < prepared.m_batches.size(); ++i) {
        CPost post = preparation;
        post.m_posted.m_addresses = prepared.m_batches[i].m_addresses;
        post.m_posted.m_removed = prepared.m_batches[i].m_removed;
        // What the checks left out is said once, with the first.
        if (i == 0)
            post.m_posted.m_leftOut = prepared.m_leftOut;
        // What the source left out, or the key file's note, goes with the answer.
        post.m_posted.m_note = prepared.m_note;
        post.m_token = prepared.m_batches[i].m_token;
        post.m_preparation = prepared.m_id;
        m_posts[first + i] = std::move(post);
        m_newest[preparation.m_rowId] = first + i;
    }
    m_outstanding[preparation.m_run] += prepared.m_batches.size();
    Forget(prepared.m_id);
}

CRunPosts::CPost* CRunPosts::Find(quint64 id)
{
    const auto post = m_posts.find(id);
    return post == m_posts.end() ? nullptr : &post->second;
}

quint64 CRunPosts::NewestOf(quint64 rowId) const
{
    const auto newest = m_newest.find(rowId);
    return newest == m_newest.end() ? 0 : newest->second;
}

void CRunPosts::Forget(quint64 id)
{
    const auto post = m_posts.find(id);
    if (post == m_posts.end())
        return;
    const auto outstanding = m_outstanding.find(post->second.m_run);
    if (outstanding != m_outstanding.end() && --outstanding->second == 0)
        m_outstanding.erase(outstanding);
    if (IsPreparation(id))
        --m_preparing;
    m_posts.erase(post);
}

void CRunPosts::Cancel(quint64 id)
{
    if (!IsPreparation(id) && !m_queue.Scheduler().Cancel(id))
        m_orphans.insert(id);
}

std::vector<quint64> CRunPosts::OfRow(quint64 rowId) const
{
    std::vector<quint64> posts;
    for (const auto& [postId, post] : m_posts) {
        if (post.m_rowId == rowId)
            posts.push_back(postId);
    }
    return posts;
}

void CRunPosts::DropRow(quint64 rowId)
{
    DropNewest(rowId);
    for (const quint64 id : OfRow(rowId)) {
        Cancel(id);
        Forget(id);
    }
}

void CRunPosts::Stop()
{
    for (const quint64 id : m_queue.Scheduler().Stop())
        Forget(id);
}

void CRunPosts::EndAll()
{
    // Those not dropped end "Stopped", for no row.
    const std::vector<std::uint64_t> cancelled = m_queue.Scheduler().Stop();
    for (const auto& [id, post] : m_posts) {
        if (!IsPreparation(id) && !std::binary_search(cancelled.begin(), cancelled.end(), id))
            m_orphans.insert(id);
    }
    m_posts.clear();
    m_outstanding.clear();
    m_preparing = 0;
}

void CRunPosts::Abort()
{
    m_queue.End();
    m_posts.clear();
    m_outstanding.clear();
    m_preparing = 0;
    m_newest.clear();
    m_orphans.clear();
    m_requests.clear();
    m_ready.clear();
}

std::size_t CRunPosts::Outstanding(quint64 run) const
{
    const auto outstanding = m_outstanding.find(run);
    return outstanding == m_outstanding.end() ? 0 : outstanding->second;
}
