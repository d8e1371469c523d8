#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the start of a file says it is, and the feed's own links: enough to tell a guessed
// address that is a feed or a sitemap from a page that only answers 200.
struct CFeedHead
{
    enum class Kind
    {
        None,
        Rss,
        Atom,
        Sitemap,
    };
    Kind m_kind = Kind::None;
    // Its atom:link rel="self" (Atom, or RSS with the Atom namespace), as NormalAddress writes
    // it; empty when there is none.
    std::string m_strSelf;
    // Its atom:link rel="hub" that are http or https addresses, each once.
    std::vector<std::string> m_hubs;
};

// Reads the first part of a file from feedUrl (the caller bounds it) with expat; a file cut
// short is judged on what came. A document type or an entity declared is no feed: nothing is
// read of it.
CFeedHead ReadFeedHead(std::string_view xml, const std::string& feedUrl, bool cut);
