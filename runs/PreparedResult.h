#pragma once

#include "core/post/PostResult.h"
#include "core/run/ChangeWorker.h"

#include <cstddef>

class CSubmitHost;

// The results a target's preparation decides without a post of its own: a target that posts
// nothing, and a dry run's posts that would go. Each starts from a result that already tells
// what the row held (its URL, body and source).
class CPreparedResult
{
public:
    // A target that was not posted as it stands, and why.
    static CPostResult Refused(const CText& reason, const CSubmitHost* target = nullptr);
    // Unchanged, a baseline, stopped or not posted, with what the page checks left out. A
    // target whose every address was left out has nothing to announce, and says so.
    static CPostResult Unposted(const CChangeWorker::CPrepared& prepared, CPostResult noted);
    // The batch-th post of a dry run, as it would go.
    static CPostResult WouldPost(
        const CChangeWorker::CPrepared& prepared, std::size_t batch, CPostResult noted);
};
