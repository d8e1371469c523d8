#pragma once

#include "data/DataFile.h"

#include <memory>
#include <string>
#include <vector>

struct CDiscovery;
class CSubmitHost;

// A target made from what was found of a site, for the user to take or leave.
struct CSiteTarget
{
    enum class Kind
    {
        IndexNow,
        // A WebSub hub a feed names, told of that feed.
        WebSub,
        // An XML-RPC ping service of the well-known ones.
        Ping,
    };
    Kind m_kind = Kind::Ping;
    std::shared_ptr<CSubmitHost> m_target;
    // Of another site's feed: listed, but not taken unless the user chooses it.
    bool m_bOtherSite = false;
    // The list holds the same target already (SameTarget): it is not added again.
    bool m_bInList = false;

    bool ChosenByDefault() const { return !m_bOtherSite && !m_bInList; }
};

// The targets a site's discovery gives, with the site's own values filled in: the window's Set
// Up Site and the command line's --add-site make them alike.
class CSiteTargets
{
public:
    static constexpr char IndexNowEndpoint[] = "https://api.indexnow.org/indexnow";

    // key: the IndexNow target's key. list: the targets there already, which are marked.
    static std::vector<CSiteTarget> Of(
        const CDiscovery& found, const std::string& key, const TargetRecords& list);
    // Marks the target as in the list when the list holds the same one.
    static void MarkInList(CSiteTarget& made, const TargetRecords& list);
    // One target for the list: the same URL, body kind and source of changes. Everything else
    // (the parameters above all) may differ: a site's key or title changes, its services not.
    static bool SameTarget(const CSubmitHost& one, const CSubmitHost& other);
};
