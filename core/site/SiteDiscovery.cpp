#include "core/site/SiteDiscovery.h"

#include "core/net/Address.h"
#include "core/net/PrivateHost.h"
#include "core/page/PageHeaders.h"
#include "core/page/RobotsTxt.h"
#include "core/post/PostResult.h"
#include "core/site/FeedHead.h"

#include <algorithm>
#include <utility>

namespace {

const char* const SitemapGuesses[] = {"sitemap.xml", "sitemap_index.xml"};
const char* const FeedGuesses[] = {"feed", "feed.xml", "rss.xml", "atom.xml", "index.xml"};

std::string WithoutWww(const std::string& host)
{
    const std::string lower = LowerAscii(host);
    return StartsWithNoCase(lower, "www.") ? lower.substr(4) : lower;
}

// "scheme://host:port" of an address, as it was written.
std::string Origin(const CAddress& address)
{
    std::string origin = (address.Tls() ? "https://" : "http://") + address.Host();
    if (!address.Port().empty())
        origin += ":" + address.Port();
    return origin;
}

// The site's root: its path kept, as a folder, without query or fragment.
std::string RootOf(const CAddress& address)
{
    std::string path = address.Path().empty() ? "/" : address.Path();
    if (path.back() != '/')
        path += '/';
    return Origin(address) + path;
}

template <typename T> bool Has(const std::vector<T>& list, const std::string& url)
{
    return std::any_of(
        list.begin(), list.end(), [&url](const T& item) { return item.m_strUrl == url; });
}

void AddOnce(std::vector<std::string>& list, const std::string& item)
{
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

CFeedLink Guess(const std::string& url)
{
    CFeedLink link;
    link.m_strUrl = url;
    return link;
}

CText NotRead(const CFetchAnswer& answer, const std::string& url)
{
    if (!answer.Answered())
        return CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "%1 not read: %2"),
            {CText::Verbatim(ShownAddress(url)), answer.m_failure});
    return CText(QT_TRANSLATE_NOOP("Quillpost", "%1 not read: %2"),
        {url, StatusWords(answer.m_status, answer.m_strReason)});
}

} // namespace

// One Discover: the reads in their rounds and what they found.
class CSiteDiscovery::CRun
{
public:
    CRun(const CSiteDiscovery& discovery)
        : m_settings(discovery.m_settings)
        , m_group(m_settings.m_fetch, discovery.m_stop)
    {
    }

    CDiscovery Discover(const std::string& site);

private:
    enum class Read
    {
        Feed,
        GuessedSitemap,
        GuessedFeed,
    };

    // robots.txt and the home page; false when neither answered.
    bool ReadSite(const CAddress& address, bool triedHttps);
    void ReadHome(const CFetchAnswer& home);
    void ReadRobots(const CFetchAnswer& robots);
    // The feeds found and, where the site named none, the usual places.
    void ReadFeedsAndGuesses();
    void Take(Read read, const CFeedLink& link, const CFetchAnswer& answer);
    std::size_t PageBytes() const
    {
        return std::min(m_settings.m_maxPageBytes, m_settings.m_sourceLimits.m_maxFileBytes);
    }

    const CDiscoverySettings& m_settings;
    CFetchGroup m_group;
    CDiscovery m_found;
    std::string m_strOrigin;
    std::vector<CFeedLink> m_headFeeds;
};

CSiteDiscovery::CSiteDiscovery(const CDiscoverySettings& settings, const std::atomic<bool>* stop)
    : m_settings(settings)
    , m_stop(stop)
{
}

CDiscovery CSiteDiscovery::Discover(const std::string& site) const
{
    return CRun(*this).Discover(site);
}

CDiscovery CSiteDiscovery::CRun::Discover(const std::string& site)
{
    const std::string text = TrimBlanks(site);
    const bool schemeGiven = text.find("://") != std::string::npos;
    CAddress address = CAddress::Read(schemeGiven ? text : "https://" + text);
    if (!address.IsValid() || address.Host().empty()) {
        m_found.m_bBadInput = true;
        m_found.m_notes.push_back(
            CText(QT_TRANSLATE_NOOP("Quillpost", "%1 is not a site's address"), {text}));
        return std::move(m_found);
    }
    if (address.HasCredentials()) {
        m_found.m_bBadInput = true;
        m_found.m_notes.push_back(CText(QT_TRANSLATE_NOOP("Quillpost",
                                            "%1 holds a user name or password, which services "
                                            "would publish"),
            {address.Shown()}));
        return std::move(m_found);
    }
    if (IsPrivateHost(address)) {
        m_found.m_bPrivate = true;
        m_found.m_notes.push_back(CText(QT_TRANSLATE_NOOP("Quillpost",
                                            "%1 is a private site: no search engine or public "
                                            "service can reach it"),
            {address.Host()}));
    }
    if (!ReadSite(address, !schemeGiven) && !m_found.m_bStopped && !schemeGiven) {
        const CAddress plain = CAddress::Read("http://" + text);
        if (ReadSite(plain, false))
            m_found.m_notes.push_back(
                CText(QT_TRANSLATE_NOOP("Quillpost", "%1 gave no answer over https: http is used"),
                    {plain.Host()}));
    }
    if (m_found.m_bStopped || m_found.m_bUnreached)
        return std::move(m_found);
    ReadFeedsAndGuesses();
    if (!m_found.m_bStopped && !m_found.FoundAny())
        m_found.m_notes.push_back(CText(
            QT_TRANSLATE_NOOP("Quillpost", "%1 offers no sitemap or feed"), {m_found.m_strSite}));
    return std::move(m_found);
}

bool CSiteDiscovery::CRun::ReadSite(const CAddress& address, bool triedHttps)
{
    m_found.m_unread.clear();
    m_found.m_bUnreached = false;
    m_found.m_strSite = RootOf(address);
    m_strOrigin = Origin(address);
    const std::string robotsUrl = m_strOrigin + "/robots.txt";
    std::vector<CFetchAnswer> answers = m_group.FetchAll(
        {{robotsUrl, CRobotsTxt::MaxBytes, FetchCap::KeepFirst, FetchRedirects::SameSite},
            {m_found.m_strSite, PageBytes(), FetchCap::KeepFirst, FetchRedirects::SameSite}});
    const CFetchAnswer& robots = answers[0];
    const CFetchAnswer& home = answers[1];
    if (m_group.Stopped()) {
        m_found.m_bStopped = true;
        return false;
    }
    if (!robots.Answered() && !home.Answered()) {
        m_found.m_bUnreached = true;
        // Said only when http gives no answer either.
        if (!triedHttps)
            m_found.m_unread.push_back(NotRead(home, m_found.m_strSite));
        return false;
    }
    ReadHome(home);
    ReadRobots(robots);
    return true;
}

void CSiteDiscovery::CRun::ReadHome(const CFetchAnswer& home)
{
    if (!home.IsSuccess()) {
        m_found.m_unread.push_back(NotRead(home, m_found.m_strSite));
        return;
    }
    if (home.m_bMoved) {
        m_found.m_notes.push_back(CText(
            QT_TRANSLATE_NOOP("Quillpost", "%1 moved to %2"), {m_found.m_strSite, home.m_strUrl}));
        m_found.m_strSite = home.m_strUrl;
        m_found.m_bMoved = true;
        m_strOrigin = Origin(CAddress::Read(home.m_strUrl));
    }
    const CPageHead head = ReadPageHead(home.m_strBody, home.m_strUrl);
    m_found.m_strTitle = head.m_strTitle;
    for (const std::string& sitemap : head.m_sitemaps) {
        if (!Has(m_found.m_sitemaps, sitemap))
            m_found.m_sitemaps.push_back({sitemap, false});
    }
    for (const std::string& hub : head.m_hubs)
        AddOnce(m_found.m_hubs, hub);
    for (const std::string& hub : LinkTargets(home.m_headers, home.m_strUrl, "hub"))
        AddOnce(m_found.m_hubs, hub);
    for (const CFeedLink& feed : head.m_feeds) {
        if (feed.m_kind == FeedKind::JsonFeed)
            m_found.m_notes.push_back(CText(
                QT_TRANSLATE_NOOP("Quillpost", "JSON Feed %1 is not used: no service reads one"),
                {feed.m_strUrl}));
        else
            m_headFeeds.push_back(feed);
    }
}

void CSiteDiscovery::CRun::ReadRobots(const CFetchAnswer& robots)
{
    // A robots.txt that is not there names nothing; one that fails is said.
    if (robots.Answered() && robots.m_status >= 400 && robots.m_status <= 499)
        return;
    if (!robots.IsSuccess()) {
        m_found.m_unread.push_back(NotRead(robots, m_strOrigin + "/robots.txt"));
        return;
    }
    const CRobotsTxt rules = CRobotsTxt::Read(robots.m_strBody, robots.m_strUrl);
    for (const std::string& sitemap : rules.Sitemaps()) {
        m_found.m_bRobotsSitemaps = true;
        if (!Has(m_found.m_sitemaps, sitemap))
            m_found.m_sitemaps.push_back({sitemap, false});
    }
}

void CSiteDiscovery::CRun::ReadFeedsAndGuesses()
{
    std::vector<std::pair<Read, CFeedLink>> reads;
    for (const CFeedLink& feed : m_headFeeds)
        reads.emplace_back(Read::Feed, feed);
    if (!m_found.m_bRobotsSitemaps) {
        for (const char* guess : SitemapGuesses)
            reads.emplace_back(Read::GuessedSitemap, Guess(m_found.m_strSite + guess));
    }
    if (m_headFeeds.empty()) {
        for (const char* guess : FeedGuesses)
            reads.emplace_back(Read::GuessedFeed, Guess(m_found.m_strSite + guess));
    }
    // robots.txt and the home page were two of the files a source may read.
    const std::size_t maxReads = m_settings.m_sourceLimits.m_maxFiles - 2;
    if (reads.size() > maxReads) {
        reads.resize(maxReads);
        m_found.m_notes.push_back(
            CText(QT_TRANSLATE_NOOP("Quillpost", "Only the first 1,000 files of %1 were read"),
                {m_found.m_strSite}));
    }
    std::vector<CFetchRequest> requests;
    for (const auto& [read, link] : reads)
        requests.push_back({link.m_strUrl, PageBytes(), FetchCap::KeepFirst,
            read == Read::Feed ? FetchRedirects::Any : FetchRedirects::SameSite});
    const std::vector<CFetchAnswer> answers = m_group.FetchAll(requests);
    if (m_group.Stopped()) {
        m_found.m_bStopped = true;
        return;
    }
    for (std::size_t i = 0; i < answers.size(); ++i)
        Take(reads[i].first, reads[i].second, answers[i]);
}

void CSiteDiscovery::CRun::Take(Read read, const CFeedLink& link, const CFetchAnswer& answer)
{
    if (!answer.IsSuccess()) {
        if (read == Read::Feed)
            m_found.m_unread.push_back(NotRead(answer, link.m_strUrl));
        return;
    }
    const CFeedHead head = ReadFeedHead(answer.m_strBody, answer.m_strUrl, answer.m_bCut);
    if (read == Read::GuessedSitemap) {
        if (head.m_kind == CFeedHead::Kind::Sitemap && !Has(m_found.m_sitemaps, answer.m_strUrl))
            m_found.m_sitemaps.push_back({answer.m_strUrl, true});
        return;
    }
    if (head.m_kind != CFeedHead::Kind::Rss && head.m_kind != CFeedHead::Kind::Atom) {
        if (read == Read::Feed)
            m_found.m_unread.push_back(CText(
                QT_TRANSLATE_NOOP("Quillpost", "%1 is not an RSS or Atom feed"), {link.m_strUrl}));
        return;
    }
    CFoundFeed feed;
    feed.m_strUrl = read == Read::Feed ? link.m_strUrl : answer.m_strUrl;
    feed.m_kind = head.m_kind == CFeedHead::Kind::Atom ? FeedKind::Atom : FeedKind::Rss;
    feed.m_strTitle = link.m_strTitle;
    feed.m_strSelf = head.m_strSelf.empty() ? feed.m_strUrl : head.m_strSelf;
    feed.m_hubs = head.m_hubs;
    for (const std::string& hub : LinkTargets(answer.m_headers, answer.m_strUrl, "hub"))
        AddOnce(feed.m_hubs, hub);
    feed.m_bGuessed = read == Read::GuessedFeed;
    const CAddress where = CAddress::Read(feed.m_strUrl);
    feed.m_bOtherSite = WithoutWww(where.Host()) != WithoutWww(CAddress::Read(m_strOrigin).Host());
    // Two usual places that lead to one feed are one feed.
    const bool known = std::any_of(
        m_found.m_feeds.begin(), m_found.m_feeds.end(), [&feed](const CFoundFeed& other) {
            return other.m_strUrl == feed.m_strUrl || other.m_strSelf == feed.m_strSelf;
        });
    if (!known)
        m_found.m_feeds.push_back(std::move(feed));
}
