#pragma once

#include "core/page/PageHeaders.h"
#include "core/text/Text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class CRobotsTxt;

// Whether a page is announced, or why it is left out.
enum class PageVerdict
{
    Announce,
    // 301, 302, 303, 307 or 308: the address is not the page's.
    Moved,
    // 404 or 410.
    NotFound,
    // "noindex" or "none" in an X-Robots-Tag header or the head's <meta name="robots">.
    NoIndex,
    // The page names another page as canonical.
    Canonical,
    RobotsDisallows,
    // Any other answer, none at all, or no robots.txt that could be read: it is checked again.
    CouldNotCheck,
};

// The words the record and machine output keep: "announce", "moved", "not_found", "noindex",
// "canonical", "robots_disallows" and "could_not_check".
const char* VerdictWord(PageVerdict verdict);
// The verdict a word names; none for any other word.
std::optional<PageVerdict> VerdictOf(std::string_view word);

// What fetching a page came to: GET, no redirect followed, the body's first part.
struct CPageAnswer
{
    // Of a page only this much is read: its head is near the top, and a page of megabytes, or
    // one that never ends, must cost no more than this.
    static constexpr std::size_t MaxBodyBytes = 256 * 1024;

    // The page's address as it was asked for.
    std::string m_strUrl;
    // 0 when there was no answer; m_failure says why.
    long m_status = 0;
    // The server's own reason phrase, fit to show; the standard's is preferred where there is one.
    std::string m_strReason;
    // Why there was no answer (TransferFailureText, StoppedText).
    CText m_failure;
    CHeaderFields m_headers;
    // The body's first MaxBodyBytes; what is beyond them says nothing.
    std::string m_strBody;
};

struct CPageCheck
{
    PageVerdict m_verdict = PageVerdict::CouldNotCheck;
    // Where the page moved, or the page named canonical, as NormalAddress writes it.
    std::string m_strAddress;
    // Why the page is left out, as the row, outputs and post log say it ("not found",
    // "moved to https://…"); empty to announce.
    CText m_reason;
};

// An address of a source that was not announced, and why.
struct CLeftOutAddress
{
    std::string m_strAddress;
    PageVerdict m_verdict = PageVerdict::CouldNotCheck;
    // In the words of CPageCheck::m_reason.
    CText m_reason;
};

// The verdict on one page, with nothing guessed: a 200 that reads as an error page is
// announced. robots: the rules of the page's site (empty for a site without robots.txt or
// whose robots.txt answered 4xx), or null when its robots.txt could not be read, which
// robotsFailure says. robots.txt is judged first, so a page it disallows, or whose site's
// rules could not be read, need not be fetched: its answer is not looked at.
CPageCheck CheckPage(
    const CPageAnswer& answer, const CRobotsTxt* robots, const CText& robotsFailure = {});
