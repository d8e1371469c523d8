#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class FeedKind
{
    Rss,
    Atom,
    // Noted, although nothing reads one.
    JsonFeed,
};

// A feed a page's head names (<link rel="alternate" type="application/rss+xml">).
struct CFeedLink
{
    std::string m_strUrl;
    // Its host in lower case: a feed may live on another site's host.
    std::string m_strHost;
    FeedKind m_kind = FeedKind::Rss;
    std::string m_strTitle;
};

// What the head of a web page says of the page and its site. Addresses are resolved against
// the page's <base href> (or the page) and written as NormalAddress writes them; what is no
// web address is left out, and each address is listed once.
struct CPageHead
{
    // With runs of blanks as one space and none around it.
    std::string m_strTitle;
    // The first <link rel="canonical">; empty when there is none.
    std::string m_strCanonical;
    // Of every <meta name="robots">, in lower case ("noindex", "follow").
    std::vector<std::string> m_robots;
    std::vector<CFeedLink> m_feeds;
    // <link rel="sitemap">
    std::vector<std::string> m_sitemaps;
    // <link rel="hub">: where the site's feeds are announced (WebSub).
    std::vector<std::string> m_hubs;
};

// Reads the head of html, the first part of the page at pageUrl (the caller bounds it), by
// an HTML5 parser: only what a browser takes as the head's own elements counts, so a <meta>
// after the head has ended, in a comment or in a script says nothing. Attribute values come
// with their character references decoded; names and relations count in any case, and
// relations as lists ("alternate feed").
CPageHead ReadPageHead(std::string_view html, const std::string& pageUrl);
