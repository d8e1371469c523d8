#pragma once

#include "core/page/PageVerdict.h"
#include "core/post/PostOutcome.h"
#include "core/text/Text.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSubmitHost;

// What became of one background post: whether the service took it, what it answered or why
// there was no answer, and what the user needs to look into it.
struct CPostResult
{
    // The post, as the scheduler numbered it.
    std::uint64_t m_postId = 0;

    // Succeeded: a final 2xx, and for an XML-RPC call an answer without a fault or an error
    // flag. Waiting while the post waits to be tried again, which m_serviceMessage says; the
    // result then stands for the answer that asked it to wait. NotPosted when nothing was
    // sent, as the target cannot be posted as it stands; m_reason says why.
    PostOutcome m_outcome = PostOutcome::Failed;
    // What was posted, as the target held it then: its URL, its body kind as the data file
    // writes it, and its source of changes. The row may hold something else by now.
    std::string m_strUrl;
    std::string m_strBody = "form";
    std::optional<std::string> m_strChanges;
    // How many addresses of the source the post carried; 0 for a post without one. The
    // removed ones are among them.
    std::size_t m_addresses = 0;
    // The addresses the post announces as removed from the site.
    std::vector<std::string> m_removed;
    // The addresses of the target's source the run's checks left out, with their reasons:
    // given with the target's first result of the run only, so each is said once.
    std::vector<CLeftOutAddress> m_leftOut;
    // A dry run's post that would go (WouldPost): its content type and exact body.
    std::string m_strContentType;
    std::string m_strRequestBody;
    // The final status, or 0 when there was no (usable) answer.
    long m_status = 0;
    // The status's reason phrase ("Not Found"), or the failure in plain words
    // ("Connection refused", "Stopped").
    CText m_reason;
    // What the service said of the post (an XML-RPC answer's message or fault), or what its
    // answer means (IndexNow's statuses); empty when there is nothing to add.
    CText m_serviceMessage;
    // libcurl's own, fuller message for a failure; empty for an answer.
    std::string m_strError;
    double m_seconds = 0;
    // When it ended, by the wall clock.
    std::chrono::system_clock::time_point m_finishedAt;
    // The address that answered, after redirects.
    std::string m_strFinalUrl;
    // Where the target's address has moved for good, so the list can follow: the address
    // its permanent redirects (301, 308) led to, when all redirects so far were permanent.
    // Empty when it has not moved.
    std::string m_strMovedTo;
    // The start of the answer, at most ExcerptLength characters of UTF-8 as received.
    std::string m_strExcerpt;
    // For a request that asked for it (m_bKeepAnswer), the final answer's body as far as the
    // answer limit; empty otherwise.
    std::string m_strAnswer;

    static constexpr std::size_t ExcerptLength = 300;

    // Notes the target as it stands as what was posted.
    void SetTarget(const CSubmitHost& host);

    bool IsFinal() const { return m_outcome != PostOutcome::Waiting; }
    bool Succeeded() const { return m_outcome == PostOutcome::Succeeded; }
};

// The reason phrase the HTTP standard gives a status, or nullptr for a code it does not name.
const char* StandardReason(long status);
// "404 Not Found": a status and its reason, wherever one is shown. The status alone for no
// reason, and the reason alone for no status (a post that got no answer).
std::string StatusLine(long status, std::string_view reason);
// The status with the standard's reason phrase, else the server's own (which
// the caller makes fit to show), else alone.
std::string StatusWords(long status, std::string_view serverReason = {});
