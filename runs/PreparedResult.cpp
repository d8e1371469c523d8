#include "runs/PreparedResult.h"

#include "core/net/TransferFailure.h"
#include "core/text/TimeText.h"

#include <chrono>
#include <utility>

CPostResult CPreparedResult::Refused(const CText& reason, const CSubmitHost* target)
{
    CPostResult result;
    if (target)
        result.SetTarget(*target);
    result.m_outcome = PostOutcome::NotPosted;
    result.m_reason = reason;
    result.m_finishedAt = std::chrono::system_clock::now();
    return result;
}

CPostResult CPreparedResult::Unposted(const CChangeWorker::CPrepared& prepared, CPostResult result)
{
    using Kind = CChangeWorker::CPrepared::Kind;
    result.m_postId = prepared.m_id;
    result.m_serviceMessage = prepared.m_note;
    result.m_finishedAt = std::chrono::system_clock::now();
    result.m_leftOut = prepared.m_leftOut;
    switch (prepared.m_kind) {
    case Kind::Unchanged:
        result.m_outcome = PostOutcome::Unchanged;
        if (!prepared.m_leftOut.empty())
            result.m_reason = CText::Counted(
                //: A target that posted nothing as the page checks left out every address it
                //: would have announced
                QT_TRANSLATE_N_NOOP("Quillpost", "Nothing to announce: %Ln left out"),
                "Nothing to announce: %Ln left out", prepared.m_leftOut.size());
        else if (prepared.m_lastSuccess)
            //: A target that posted nothing as its site had no changes since its last success,
            //: as "8 Dec 2026 14:02"
            result.m_reason = CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "Unchanged since %1"),
                {LocalTime(*prepared.m_lastSuccess)});
        else
            result.m_reason = OutcomeName(PostOutcome::Unchanged);
        break;
    case Kind::Baseline:
        result.m_outcome = PostOutcome::Baseline;
        result.m_reason = CText::Counted(
            //: A target's first run, which records the addresses of its site and posts nothing
            QT_TRANSLATE_N_NOOP(
                "Quillpost", "Recorded %Ln addresses; changes from now on are posted"),
            "Recorded %Ln address; changes from now on are posted", prepared.m_addresses);
        break;
    case Kind::Stopped:
    case Kind::Post:
        result.m_outcome = PostOutcome::Stopped;
        result.m_reason = StoppedText();
        break;
    case Kind::NotPosted:
        result.m_outcome = PostOutcome::NotPosted;
        result.m_reason = prepared.m_reason;
        break;
    }
    return result;
}

CPostResult CPreparedResult::WouldPost(
    const CChangeWorker::CPrepared& prepared, std::size_t batch, CPostResult noted)
{
    CPostResult result = Unposted(prepared, std::move(noted));
    const CChangeWorker::CBatch& post = prepared.m_batches[batch];
    result.m_outcome = PostOutcome::WouldPost;
    result.m_reason = CText();
    result.m_addresses = post.m_addresses;
    result.m_removed = post.m_removed;
    // Said once, with the first.
    if (batch != 0)
        result.m_leftOut.clear();
    result.m_strContentType = post.m_request.m_strContentType;
    result.m_strRequestBody = post.m_request.m_strBody;
    return result;
}
