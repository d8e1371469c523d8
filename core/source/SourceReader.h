#pragma once

#include "core/net/PostLimits.h"
#include "core/source/SourceEntry.h"
#include "core/source/SourceLimits.h"
#include "core/text/Text.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

// What reading a site's source came to.
struct CSourceRead
{
    bool m_bOk = false;
    // Why not, when !m_bOk: a failure of any file of the source fails all of it.
    CText m_failure;
    // The file that failed: the source itself, its site's robots.txt or a sitemap it led to.
    std::string m_strFailedUrl;
    // Each address once, with the latest date any file gave it, in the order they first came.
    std::vector<CSourceEntry> m_entries;
    // What was left out for a limit; empty when nothing was.
    CText m_note;
    // A limit left part of the source out (m_note says which): what was read may not be all
    // the source lists, so an address missing from m_entries may still be on the site.
    // Addresses refused for their form (NormalAddress) are no part of any source.
    bool m_bCut = false;
};

// Reads a site's source over HTTP, with the limits and certificates posts have: a sitemap, a
// sitemap index (followed the limits' index depth deep, each sitemap once however it is
// spelt), an RSS 2.0 or an Atom feed, plain or gzip; or a site's root address, whose
// robots.txt names its sitemaps. The source is at depth 1, what an index lists one deeper.
//
// Read is a plain blocking call, meant for a worker thread; curl_global_init must have run
// before. Setting the stop flag, from any thread, ends a read under way at once.
class CSourceReader
{
public:
    explicit CSourceReader(const CPostSettings& settings, const std::atomic<bool>* stop = nullptr,
        const CSourceLimits& limits = {});

    CSourceRead Read(const std::string& sourceUrl) const;

private:
    class CRun;

    const CPostSettings m_settings;
    const std::atomic<bool>* m_stop;
    const CSourceLimits m_limits;
};
