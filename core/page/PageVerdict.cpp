#include "core/page/PageVerdict.h"

#include "core/net/Address.h"
#include "core/page/PageHead.h"
#include "core/page/RobotsTxt.h"
#include "core/post/PostResult.h"
#include "core/source/SourceAddress.h"

#include <curl/curl.h>

#include <memory>
#include <utility>

namespace {

const std::pair<PageVerdict, const char*> Words[] = {
    {PageVerdict::Announce, "announce"},
    {PageVerdict::Moved, "moved"},
    {PageVerdict::NotFound, "not_found"},
    {PageVerdict::NoIndex, "noindex"},
    {PageVerdict::Canonical, "canonical"},
    {PageVerdict::RobotsDisallows, "robots_disallows"},
    {PageVerdict::CouldNotCheck, "could_not_check"},
};

CPageCheck LeftOut(PageVerdict verdict, CText reason, std::string address = {})
{
    return {verdict, std::move(address), std::move(reason)};
}

CPageCheck NotChecked(CText why)
{
    //: A page not announced, as it gave no answer to judge: "could not check: 503 Service
    //: Unavailable"
    return LeftOut(PageVerdict::CouldNotCheck,
        CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "could not check: %1"), {std::move(why)}));
}

// The path and query the site's rules are matched against; false for no web address.
bool PathAndQuery(const std::string& url, std::string& path)
{
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(curl_url(), curl_url_cleanup);
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return false;
    std::optional<std::string> part = UrlPart(handle.get(), CURLUPART_PATH);
    if (!part)
        return false;
    path = std::move(*part);
    if (const std::optional<std::string> query = UrlPart(handle.get(), CURLUPART_QUERY))
        path += '?' + *query;
    return true;
}

bool IsRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string Location(const CPageAnswer& answer)
{
    for (const CHeaderField& header : answer.m_headers) {
        if (EqualsNoCase(TrimmedBlanks(header.m_strName), "location"))
            return header.m_strValue;
    }
    return {};
}

// Where a redirect leads, as NormalAddress writes it; false for nowhere usable.
bool RedirectTarget(const CPageAnswer& answer, std::string& target)
{
    CSourceAddress addresses;
    addresses.SetBase(answer.m_strUrl);
    return addresses.Resolve(Location(answer), target);
}

} // namespace

const char* VerdictWord(PageVerdict verdict)
{
    for (const auto& [known, word] : Words) {
        if (known == verdict)
            return word;
    }
    return "";
}

std::optional<PageVerdict> VerdictOf(std::string_view word)
{
    for (const auto& [verdict, known] : Words) {
        if (word == known)
            return verdict;
    }
    return std::nullopt;
}

CPageCheck CheckPage(
    const CPageAnswer& answer, const CRobotsTxt* robots, const CText& robotsFailure)
{
    if (!robots)
        return NotChecked(CText::Nested(
            QT_TRANSLATE_NOOP("Quillpost", "robots.txt not read: %1"), {robotsFailure}));
    std::string path;
    if (!PathAndQuery(answer.m_strUrl, path))
        return NotChecked(CText(QT_TRANSLATE_NOOP("Quillpost", "Not a usable address")));
    if (!robots->Allows(path))
        return LeftOut(PageVerdict::RobotsDisallows,
            CText(QT_TRANSLATE_NOOP("Quillpost", "robots.txt disallows")));
    if (answer.m_status == 0)
        return NotChecked(answer.m_failure);

    std::string target;
    if (IsRedirect(answer.m_status) && RedirectTarget(answer, target))
        //: A page not announced, as it redirects: "moved to https://example.com/new"
        return LeftOut(PageVerdict::Moved,
            CText(QT_TRANSLATE_NOOP("Quillpost", "moved to %1"), {target}), target);
    if (answer.m_status == 404 || answer.m_status == 410)
        //: A page not announced, as it answers 404 or 410
        return LeftOut(PageVerdict::NotFound, CText(QT_TRANSLATE_NOOP("Quillpost", "not found")));
    if (answer.m_status != 200)
        return NotChecked(CText::Verbatim(StatusWords(answer.m_status, answer.m_strReason)));

    const CPageHead head = ReadPageHead(
        std::string_view(answer.m_strBody).substr(0, CPageAnswer::MaxBodyBytes), answer.m_strUrl);
    if (ForbidsIndex(RobotsTagDirectives(answer.m_headers)) || ForbidsIndex(head.m_robots))
        //: A page not announced, as it asks search engines to leave it out of their index
        return LeftOut(PageVerdict::NoIndex, CText(QT_TRANSLATE_NOOP("Quillpost", "noindex")));
    // The server's word before the page's.
    const std::vector<std::string> linked
        = LinkTargets(answer.m_headers, answer.m_strUrl, "canonical");
    const std::string canonical = linked.empty() ? head.m_strCanonical : linked.front();
    std::string page;
    if (!canonical.empty() && NormalAddress(answer.m_strUrl, page) && canonical != page)
        //: A page not announced, as it names another page as the one to index
        return LeftOut(PageVerdict::Canonical,
            CText(QT_TRANSLATE_NOOP("Quillpost", "canonical is %1"), {canonical}), canonical);
    return {PageVerdict::Announce, {}, {}};
}
