#include "core/run/PageChecks.h"

#include "core/post/PostResult.h"

#include <algorithm>
#include <utility>

namespace {

CFetchSettings FetchSettingsOf(const CPostSettings& settings, const CCheckLimits& limits)
{
    CFetchSettings fetch;
    fetch.m_post = settings;
    fetch.m_maxInFlight = limits.m_maxInFlight;
    return fetch;
}

} // namespace

std::string SiteOf(const std::string& address)
{
    const std::size_t authority = address.find("://");
    if (authority == std::string::npos)
        return address;
    return address.substr(0, address.find('/', authority + 3));
}

CPageChecks::CPageChecks(
    const CPostSettings& settings, const CCheckLimits& limits, const std::atomic<bool>* stop)
    : m_limits(limits)
    , m_fetch(FetchSettingsOf(settings, limits), stop)
{
}

void CPageChecks::ReadRobots(const std::vector<CPages::iterator>& pages)
{
    std::vector<std::string> sites;
    std::vector<CFetchRequest> requests;
    for (const CPages::iterator& page : pages) {
        const std::string site = SiteOf(page->first);
        if (m_sites.count(site) || std::find(sites.begin(), sites.end(), site) != sites.end())
            continue;
        sites.push_back(site);
        // Its redirects are followed, as crawlers do.
        requests.emplace_back(
            site + "/robots.txt", CRobotsTxt::MaxBytes, FetchCap::KeepFirst, FetchRedirects::Any);
        requests.back().m_timeoutMs = m_limits.m_timeoutMs;
    }
    m_fetch.FetchEach(requests, [&](std::size_t index, CFetchAnswer& answer) {
        // Stop is no answer of the site's: a later run reads it anew.
        if (answer.m_bStopped)
            return;
        CSiteRules& rules = m_sites[sites[index]];
        if (answer.IsSuccess())
            rules.m_rules = CRobotsTxt::Read(answer.m_strBody, answer.m_strUrl);
        // A site without rules for crawlers allows them all.
        else if (answer.Answered() && answer.m_status >= 400 && answer.m_status <= 499)
            rules.m_rules = CRobotsTxt();
        else
            rules.m_failure = answer.Answered()
                ? CText::Verbatim(StatusWords(answer.m_status, answer.m_strReason))
                : answer.m_failure;
    });
}

std::vector<CPageChecks::CPages::iterator> CPageChecks::JudgeUnfetched(
    const std::vector<CPages::iterator>& pages)
{
    std::vector<CPages::iterator> toFetch;
    for (const CPages::iterator& page : pages) {
        const auto found = m_sites.find(SiteOf(page->first));
        // Its site's rules were not read for a stop: it is no page checked.
        if (found == m_sites.end()) {
            m_pages.erase(page);
            continue;
        }
        const CSiteRules& site = found->second;
        CPageAnswer unasked;
        unasked.m_strUrl = page->first;
        const CPageCheck check
            = CheckPage(unasked, site.m_rules ? &*site.m_rules : nullptr, site.m_failure);
        if (!site.m_rules || check.m_verdict == PageVerdict::RobotsDisallows)
            page->second = Keep({check, 0});
        else
            toFetch.push_back(page);
    }
    return toFetch;
}

void CPageChecks::Check(const std::vector<std::string>& addresses)
{
    // Each address new to the checks takes its place at once, which passes over repeats too;
    // one a stop leaves unchecked gives it up again. The addresses are copied into nothing
    // else, so that ten thousand checks hold little more than their results.
    std::vector<CPages::iterator> fresh;
    for (const std::string& address : addresses) {
        const auto [page, added] = m_pages.try_emplace(address, nullptr);
        if (added)
            fresh.push_back(page);
    }
    if (fresh.empty())
        return;
    ReadRobots(fresh);
    // A page its site's rules forbid, or whose rules could not be read, is judged unfetched.
    const std::vector<CPages::iterator> fetched = JudgeUnfetched(fresh);
    const auto request = [&](std::size_t index) {
        CFetchRequest page(fetched[index]->first, CPageAnswer::MaxBodyBytes, FetchCap::KeepFirst,
            FetchRedirects::None);
        page.m_timeoutMs = m_limits.m_timeoutMs;
        return page;
    };
    m_fetch.FetchEach(fetched.size(), request, [&](std::size_t index, CFetchAnswer& fetchedAnswer) {
        const CPages::iterator page = fetched[index];
        if (fetchedAnswer.m_bStopped) {
            m_pages.erase(page);
            return;
        }
        CPageAnswer answer;
        answer.m_strUrl = page->first;
        if (fetchedAnswer.Answered()) {
            answer.m_status = fetchedAnswer.m_status;
            answer.m_strReason = std::move(fetchedAnswer.m_strReason);
            answer.m_headers = std::move(fetchedAnswer.m_headers);
            answer.m_strBody = std::move(fetchedAnswer.m_strBody);
        } else {
            answer.m_failure = fetchedAnswer.m_failure;
        }
        const CSiteRules& site = m_sites[SiteOf(page->first)];
        page->second = Keep({CheckPage(answer, &*site.m_rules), answer.m_status});
    });
}

const CCheckedPage* CPageChecks::Keep(CCheckedPage page)
{
    static const CCheckedPage announced{{PageVerdict::Announce, {}, {}}, 200};
    const CPageCheck& check = page.m_check;
    if (check.m_verdict == announced.m_check.m_verdict && page.m_status == announced.m_status
        && check.m_strAddress.empty() && check.m_reason == CText())
        return &announced;
    return &m_kept.emplace_back(std::move(page));
}

const CCheckedPage& CPageChecks::Of(const std::string& address) const
{
    static const CCheckedPage none;
    const auto found = m_pages.find(address);
    return found == m_pages.end() || !found->second ? none : *found->second;
}

CTargetCheck CheckTarget(CPageChecks& checks, const std::vector<CSourceEntry>& entries,
    const std::vector<std::size_t>& changed, const CPostHistory::CChangeSet& changes,
    const std::vector<std::string>& gone, std::chrono::system_clock::time_point now)
{
    std::map<std::size_t, const CPostHistory::CChangeSet::CLeftOutBefore*> before;
    for (const auto& leftOut : changes.m_leftOutBefore)
        before[leftOut.m_index] = &leftOut;
    std::vector<std::size_t> pages;
    for (const std::size_t index : changed) {
        const auto found = before.find(index);
        if (found == before.end() || found->second->m_bRedated
            || now - found->second->m_checkedAt >= checks.Limits().m_recheckAfter)
            pages.push_back(index);
    }
    CTargetCheck result;
    result.m_wanted = pages.size() + gone.size();
    const std::size_t most = checks.Limits().m_maxChecks;
    if (pages.size() > most)
        pages.resize(most);
    const std::size_t goneChecked = std::min(gone.size(), most - pages.size());
    result.m_checked = pages.size() + goneChecked;

    std::vector<std::string> addresses;
    addresses.reserve(result.m_checked);
    for (const std::size_t index : pages)
        addresses.push_back(entries[index].m_strAddress);
    addresses.insert(
        addresses.end(), gone.begin(), gone.begin() + static_cast<std::ptrdiff_t>(goneChecked));
    checks.Check(addresses);

    std::size_t refused = 0;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const CCheckedPage& page = checks.Of(addresses[i]);
        const PageVerdict verdict = page.m_check.m_verdict;
        refused += page.m_status == 403 ? 1 : 0;
        failed += verdict == PageVerdict::CouldNotCheck ? 1 : 0;
        if (i >= pages.size()) {
            // An address gone from the source: announced as removed when the site says so
            // too, recorded as no longer listed while the page is there.
            if (verdict == PageVerdict::NotFound)
                result.m_removed.push_back(addresses[i]);
            else if (verdict != PageVerdict::CouldNotCheck)
                result.m_record.push_back({{addresses[i], std::nullopt}, "unlisted", ""});
            continue;
        }
        if (verdict == PageVerdict::Announce) {
            result.m_announce.push_back(pages[i]);
            continue;
        }
        result.m_leftOut.push_back({addresses[i], verdict, page.m_check.m_reason});
        // One that could not be checked stays unrecorded, to be checked next run.
        if (verdict != PageVerdict::CouldNotCheck)
            result.m_record.push_back(
                {entries[pages[i]], VerdictWord(verdict), page.m_check.m_reason.English()});
    }
    result.m_bAllRefused = !addresses.empty() && refused == addresses.size();
    result.m_bAllFailed = !addresses.empty() && failed == addresses.size();
    return result;
}

CText ChecksLeftNote(const CTargetCheck& check)
{
    if (check.m_checked >= check.m_wanted)
        return {};
    //: Of a target's pages to check before they are announced, as "2,000 of 5,312 addresses
    //: checked; the rest next run"
    return CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "%1 of %2 checked; the rest next run"),
        {CText::Counted(QT_TRANSLATE_N_NOOP("Quillpost", "%Ln"), "%Ln", check.m_checked),
            CText::Counted(
                QT_TRANSLATE_N_NOOP("Quillpost", "%Ln addresses"), "%Ln address", check.m_wanted)});
}
