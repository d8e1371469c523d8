#pragma once

#include "core/net/Fetch.h"
#include "core/page/PageHead.h"
#include "core/source/SourceLimits.h"
#include "core/text/Text.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

struct CFoundSitemap
{
    std::string m_strUrl;
    // Not named by the site but tried at a usual place, and a sitemap by its content.
    bool m_bGuessed = false;
};

struct CFoundFeed
{
    std::string m_strUrl;
    FeedKind m_kind = FeedKind::Rss;
    std::string m_strTitle;
    // The address the feed gives itself (rel="self"); m_strUrl when it gives none.
    std::string m_strSelf;
    // Where it is announced (WebSub): its atom:link and Link: header hubs.
    std::vector<std::string> m_hubs;
    bool m_bGuessed = false;
    // On another host than the site: another site's feed, not to be chosen by default.
    bool m_bOtherSite = false;
};

// What discovery found of a site, and what it could not read.
struct CDiscovery
{
    // The input was no site address (m_notes says why): nothing was read.
    bool m_bBadInput = false;
    // No answer came from the site's home page or robots.txt.
    bool m_bUnreached = false;
    bool m_bStopped = false;
    // No public service can reach it (IsPrivateHost).
    bool m_bPrivate = false;
    // The site's root, where redirects of its home page ended; its path is kept for guesses.
    std::string m_strSite;
    bool m_bMoved = false;
    std::string m_strTitle;
    std::vector<CFoundSitemap> m_sitemaps;
    // robots.txt names sitemaps: the site's root reads them all as one source.
    bool m_bRobotsSitemaps = false;
    // Only feeds read as RSS or Atom; a JSON Feed is noted only.
    std::vector<CFoundFeed> m_feeds;
    // The home page's own hubs (<link rel="hub">, Link: headers).
    std::vector<std::string> m_hubs;
    // What could not be read, each with why.
    std::vector<CText> m_unread;
    // Each thing said of the site: moves, a private site, what is not used, nothing found.
    std::vector<CText> m_notes;

    bool FoundAny() const { return !m_sitemaps.empty() || !m_feeds.empty(); }
};

struct CDiscoverySettings
{
    CFetchSettings m_fetch;
    // A home page, feed or guessed file is judged on its first part: the head comes first.
    std::size_t m_maxPageBytes = 256 * 1024;
    CSourceLimits m_sourceLimits;
};

// Finds a site's sitemaps, feeds and hubs from its address: its robots.txt and home page side
// by side, then the feeds and the usual places side by side. A blocking call for a worker
// thread; setting the stop flag ends it.
class CSiteDiscovery
{
public:
    explicit CSiteDiscovery(
        const CDiscoverySettings& settings = {}, const std::atomic<bool>* stop = nullptr);

    // site: "example.com", "https://example.com/blog/"; without a scheme https is tried first.
    CDiscovery Discover(const std::string& site) const;

private:
    class CRun;

    const CDiscoverySettings m_settings;
    const std::atomic<bool>* const m_stop;
};
