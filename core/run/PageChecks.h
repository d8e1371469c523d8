#pragma once

#include "core/history/PostHistory.h"
#include "core/net/Fetch.h"
#include "core/net/PostLimits.h"
#include "core/page/PageVerdict.h"
#include "core/page/RobotsTxt.h"
#include "core/text/Text.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A page as a run found it.
struct CCheckedPage
{
    CPageCheck m_check;
    // The page's answer; 0 for none.
    long m_status = 0;
};

// The page checks of one run, for all of its targets: each page is fetched once (GET, no
// redirect followed, its first CPageAnswer::MaxBodyBytes), each site's robots.txt once, over
// one group of connections that later checks reuse. Setting the stop flag ends the checks
// under way; those it ended could not check. One run's checks serve one thread.
class CPageChecks
{
public:
    CPageChecks(
        const CPostSettings& settings, const CCheckLimits& limits, const std::atomic<bool>* stop);

    const CCheckLimits& Limits() const { return m_limits; }
    // Checks those of the addresses (as NormalAddress writes them) not checked yet.
    void Check(const std::vector<std::string>& addresses);
    // A page Check was given.
    const CCheckedPage& Of(const std::string& address) const;

private:
    struct CSiteRules
    {
        std::optional<CRobotsTxt> m_rules;
        CText m_failure;
    };

    // A page's result; null while its check is under way.
    using CPages = std::map<std::string, const CCheckedPage*>;

    // The rules of each site of the pages not known yet, read side by side.
    void ReadRobots(const std::vector<CPages::iterator>& pages);
    // Judges the pages that need not be fetched, their site's rules forbidding them or not
    // read; returns the others.
    std::vector<CPages::iterator> JudgeUnfetched(const std::vector<CPages::iterator>& pages);
    // Where a page's result is kept: the pages announced, most of them, share one, so that
    // ten thousand checks keep little more than their addresses.
    const CCheckedPage* Keep(CCheckedPage page);

    const CCheckLimits m_limits;
    CFetchGroup m_fetch;
    std::map<std::string, CSiteRules> m_sites;
    CPages m_pages;
    std::deque<CCheckedPage> m_kept;
};

// The site of an address as NormalAddress writes it: its scheme, host and port
// ("https://www.example.com").
std::string SiteOf(const std::string& address);

// What the checks of one target's addresses came to.
struct CTargetCheck
{
    // Indices into the entries, to announce.
    std::vector<std::size_t> m_announce;
    // Gone from the site (404 or 410): to announce as removed.
    std::vector<std::string> m_removed;
    std::vector<CLeftOutAddress> m_leftOut;
    // For the record: left out for a reason of the page, and no longer listed.
    std::vector<CPostHistory::CCheckedAddress> m_record;
    std::size_t m_checked = 0;
    // Those there were to check, m_checked of them checked.
    std::size_t m_wanted = 0;
    // Every check answered 403.
    bool m_bAllRefused = false;
    // No check gave an answer to judge.
    bool m_bAllFailed = false;
};

// Checks a target's changed entries (indices into entries, ascending) but those it left out
// before and are not due again (changes), then the addresses gone from its source; at most
// the limits' m_maxChecks of them, in that order.
CTargetCheck CheckTarget(CPageChecks& checks, const std::vector<CSourceEntry>& entries,
    const std::vector<std::size_t>& changed, const CPostHistory::CChangeSet& changes,
    const std::vector<std::string>& gone, std::chrono::system_clock::time_point now);

// What a target's note says of checks left for the next run; empty when none were.
CText ChecksLeftNote(const CTargetCheck& check);
