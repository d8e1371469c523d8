#pragma once

#include "core/post/PostRequest.h"
#include "core/post/PostResult.h"
#include "core/run/ChangeWorker.h"
#include "core/text/Text.h"

#include <QtGlobal>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CPostQueue;
class CSubmitHost;

// The posts of the runs that have yet to report, the preparations among them (targets whose
// key file or source is read first): the run each counts in, the row it was made for and
// what of, and which of a row's posts is its newest, the one whose result the row shows.
// Posts of no row any more are kept until they end, as their server is not free till then.
class CRunPosts
{
public:
    // What a post was made of, as its row held it then: the post's result tells of that, as
    // the row may hold something else by the time it comes.
    struct CPosted
    {
        std::string m_strUrl;
        std::string m_strBody;
        std::optional<std::string> m_strChanges;
        // How many addresses of the source the post carries, those it announces as removed,
        // and what the page checks left out (with the target's first post only).
        std::size_t m_addresses = 0;
        std::vector<std::string> m_removed;
        std::vector<CLeftOutAddress> m_leftOut;
        // What the source left out, or the key file's note.
        CText m_note;

        static CPosted Of(const CSubmitHost& record);
        // Has the result tell what was posted; a service message it has stays.
        void NoteOn(CPostResult& result) const;
    };
    struct CPost
    {
        quint64 m_run = 0;
        quint64 m_rowId = 0;
        CPosted m_posted;
        // The record's note of the addresses it carries, kept should it succeed; 0 for none.
        std::uint64_t m_token = 0;
        // The preparation it is one of the posts of; 0 for none. Each of them decides its row.
        quint64 m_preparation = 0;
    };

    explicit CRunPosts(CPostQueue& queue);

    static bool IsPreparation(quint64 id) { return id >= FirstPreparation; }
    // A target of the run to prepare before it posts, its row's newest post from now on.
    quint64 AddPreparation(quint64 run, quint64 rowId, CPosted posted);
    // A post made ready for the run, its row's newest once handed to the scheduler. The first
    // posts go while the others are made ready: a long list does not wait for all of them.
    // Flush hands the rest.
    void Add(quint64 run, CPostRequest request, quint64 rowId, CPosted posted);
    void Flush();
    // A prepared target's batches, one after another as the server's, in its preparation's
    // place; the last is its row's newest.
    void AddBatches(const CChangeWorker::CPrepared& prepared, const CPost& preparation);
    CPost* Find(quint64 id);
    // The row's newest post, until it reports; 0 for none.
    quint64 NewestOf(quint64 rowId) const;
    void DropNewest(quint64 rowId) { m_newest.erase(rowId); }
    void DropAllNewest() { m_newest.clear(); }
    // The post will not be shown: it no longer counts in its run.
    void Forget(quint64 id);
    // A post that is not to be shown ends: one not started is dropped, one in flight goes on
    // for no row. It still counts in its run until forgotten.
    void Cancel(quint64 id);
    // A post of no row any more came to its end.
    void Ended(quint64 id) { m_orphans.erase(id); }
    // The posts of a row that have yet to report.
    std::vector<quint64> OfRow(quint64 rowId) const;
    // The row goes: its posts not in flight are dropped; one in flight goes on, but what it
    // comes to is of no row any more.
    void DropRow(quint64 rowId);
    // Posts not started leave their runs without a result; those in flight go on.
    void Stop();
    // Every run ends: posts not started are dropped, those in flight stopped, and what they
    // come to belongs to no row any more.
    void EndAll();
    // Ends the scheduler and forgets every post at once, the orphans too (the window is
    // closing).
    void Abort();

    std::size_t Outstanding(quint64 run) const;
    std::size_t Size() const { return m_posts.size(); }
    bool IsPreparing() const { return m_preparing != 0; }
    bool HasOrphans() const { return !m_orphans.empty(); }

private:
    // Preparations are numbered apart from posts, from here on.
    static constexpr quint64 FirstPreparation = quint64(1) << 62;

    CPostQueue& m_queue;
    std::unordered_map<quint64, CPost> m_posts;
    std::unordered_map<quint64, quint64> m_newest;
    std::unordered_set<quint64> m_orphans;
    // Each run's posts that have yet to report: the run ends when none is left.
    std::map<quint64, std::size_t> m_outstanding;
    quint64 m_lastPreparation = FirstPreparation;
    // Preparations among m_posts: while there are any, the runs' posts may grow.
    std::size_t m_preparing = 0;
    // Hands the posts made ready to the scheduler.
    void HandPart();

    // The posts made ready and not handed to the scheduler yet, and the size of the next part.
    std::vector<CPostRequest> m_requests;
    std::vector<CPost> m_ready;
    std::size_t m_part;
};
