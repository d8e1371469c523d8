#include "runs/SiteTargets.h"

#include "core/net/Address.h"
#include "core/site/SiteDiscovery.h"
#include "core/target/BodyKind.h"
#include "core/target/SubmitHost.h"
#include "runs/StarterServices.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// An address as libcurl writes it, so that two spellings of one are one; else as written.
std::string Spelled(const std::string& url)
{
    const CAddress address = CAddress::Read(url);
    return address.IsValid() ? address.Url() : TrimBlanks(url);
}

bool IsWebAddress(const std::string& url)
{
    return (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://"))
        && CAddress::Read(url).IsValid();
}

// "host" or "host:port", as IndexNow's host parameter and the key file's address name it.
std::string HostOf(const CAddress& site)
{
    return site.Port().empty() ? site.Host() : site.Host() + ':' + site.Port();
}

const CFoundFeed* OwnFeed(const CDiscovery& found)
{
    const auto own = std::find_if(found.m_feeds.begin(), found.m_feeds.end(),
        [](const CFoundFeed& feed) { return !feed.m_bOtherSite; });
    return own == found.m_feeds.end() ? nullptr : &*own;
}

// Where the site's pages are listed best: the root reads every sitemap robots.txt names.
std::optional<std::string> SitemapSource(const CDiscovery& found, const std::string& root)
{
    if (found.m_bRobotsSitemaps)
        return root;
    if (!found.m_sitemaps.empty())
        return found.m_sitemaps.front().m_strUrl;
    return std::nullopt;
}

std::shared_ptr<CSubmitHost> Target(const std::string& url, std::optional<std::string> body,
    const std::string& changes, std::initializer_list<CPostParam> params)
{
    auto target = std::make_shared<CSubmitHost>();
    target->m_strUrl = url;
    target->m_strBodyKind = std::move(body);
    target->m_strChanges = changes;
    for (const CPostParam& param : params)
        target->AddParam(param);
    return target;
}

// A ping of each well-known service, of the site's own feed or else its sitemaps (ownSource);
// of another site's feed only for the user to choose.
void AddPings(const CDiscovery& found, const CAddress& site, std::optional<std::string> ownSource,
    std::vector<CSiteTarget>& made)
{
    std::optional<std::string> pingSource = std::move(ownSource);
    const bool otherSitePings = !pingSource && !found.m_feeds.empty();
    if (otherSitePings)
        pingSource = found.m_feeds.front().m_strUrl;
    if (!pingSource)
        return;
    const std::string title = found.m_strTitle.empty() ? site.Host() : found.m_strTitle;
    for (const std::shared_ptr<CSubmitHost>& service : StarterServices()) {
        if (BodyKindOf(service->m_strBodyKind) != BodyKind::XmlRpc)
            continue;
        auto ping = Target(service->m_strUrl, service->m_strBodyKind, *pingSource, {});
        for (const CPostParam& param : service->Params()) {
            const std::string& name = param.m_strName;
            ping->AddParam(CPostParam(name,
                name == "name"      ? title
                    : name == "url" ? found.m_strSite
                                    : param.m_strValue));
        }
        made.push_back({CSiteTarget::Kind::Ping, ping, otherSitePings, false});
    }
}

} // namespace

std::vector<CSiteTarget> CSiteTargets::Of(
    const CDiscovery& found, const std::string& key, const TargetRecords& list)
{
    std::vector<CSiteTarget> made;
    const CAddress site = CAddress::Read(found.m_strSite);
    if (!site.IsValid())
        return made;
    const std::string scheme = site.Tls() ? "https://" : "http://";
    const std::string host = HostOf(site);
    const std::string root = scheme + host + "/";
    const CFoundFeed* const feed = OwnFeed(found);
    const std::optional<std::string> sitemaps = SitemapSource(found, root);

    if (const std::optional<std::string> source
        = sitemaps ? sitemaps : (feed ? std::optional(feed->m_strUrl) : std::nullopt)) {
        made.push_back({CSiteTarget::Kind::IndexNow,
            Target(IndexNowEndpoint, BodyAttributeOf(BodyKind::Json), *source,
                {{"host", host}, {"key", key}, {"keyLocation", root + key + ".txt"},
                    {"urlList[]", found.m_strSite}}),
            false, false});
    }
    for (const CFoundFeed& each : found.m_feeds) {
        for (const std::string& hub : each.m_hubs) {
            if (!IsWebAddress(hub))
                continue;
            made.push_back({CSiteTarget::Kind::WebSub,
                Target(hub, std::nullopt, each.m_strUrl,
                    {{"hub.mode", "publish"}, {"hub.url", each.m_strSelf}}),
                each.m_bOtherSite, false});
        }
    }
    AddPings(found, site, feed ? std::optional(feed->m_strUrl) : sitemaps, made);

    // Two feeds of one address, or a hub named twice, make one target.
    std::vector<CSiteTarget> unique;
    for (CSiteTarget& each : made) {
        const bool twice = std::any_of(unique.begin(), unique.end(),
            [&](const CSiteTarget& kept) { return SameTarget(*kept.m_target, *each.m_target); });
        if (twice)
            continue;
        MarkInList(each, list);
        unique.push_back(std::move(each));
    }
    return unique;
}

void CSiteTargets::MarkInList(CSiteTarget& made, const TargetRecords& list)
{
    made.m_bInList
        = std::any_of(list.begin(), list.end(), [&](const std::shared_ptr<CSubmitHost>& there) {
              return there && SameTarget(*there, *made.m_target);
          });
}

bool CSiteTargets::SameTarget(const CSubmitHost& one, const CSubmitHost& other)
{
    const auto changes = [](const CSubmitHost& target) {
        const std::string text = TrimBlanks(target.m_strChanges.value_or(std::string()));
        return text.empty() ? text : Spelled(text);
    };
    return Spelled(one.m_strUrl) == Spelled(other.m_strUrl)
        && BodyKindOf(one.m_strBodyKind) == BodyKindOf(other.m_strBodyKind)
        && changes(one) == changes(other);
}
