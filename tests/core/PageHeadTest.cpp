#include "core/page/PageHead.h"
#include "core/page/PageHeaders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HeadCase
{
    std::string name;
    std::string html;
    // What the head gave, as Found writes it; empty for nothing.
    std::string found;
};

const char* const Kinds[] = {"rss", "atom", "json"};

std::string Found(const CPageHead& head)
{
    std::string found;
    const auto add
        = [&found](const std::string& what) { found += (found.empty() ? "" : " | ") + what; };
    if (!head.m_strTitle.empty())
        add("title " + head.m_strTitle);
    if (!head.m_strCanonical.empty())
        add("canonical " + head.m_strCanonical);
    for (const std::string& directive : head.m_robots)
        add("robots " + directive);
    for (const CFeedLink& feed : head.m_feeds)
        add(std::string(Kinds[static_cast<int>(feed.m_kind)]) + " " + feed.m_strUrl + " on "
            + feed.m_strHost + " '" + feed.m_strTitle + "'");
    for (const std::string& sitemap : head.m_sitemaps)
        add("sitemap " + sitemap);
    for (const std::string& hub : head.m_hubs)
        add("hub " + hub);
    return found;
}

using PageHeadTest = testing::TestWithParam<HeadCase>;

TEST_P(PageHeadTest, WhatABrowserTakesAsTheHead)
{
    EXPECT_EQ(
        Found(ReadPageHead(GetParam().html, "https://example.com/blog/post")), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Heads, PageHeadTest,
    testing::ValuesIn(std::vector<HeadCase>{
        {"TitleEntitiesAndBlanks", "<title>\n Tom &amp; Jerry\t&#x263A;  </title>",
            "title Tom & Jerry \xE2\x98\xBA"},
        {"MetaRobotsAnyCase", "<meta name=\"ROBOTS\" content=\"NoIndex, follow\">",
            "robots noindex | robots follow"},
        {"MetaForNamedCrawler", "<meta name=googlebot content=noindex>", ""},
        {"MetaInBody", "<head></head><body><meta name=robots content=noindex>", ""},
        {"MetaAfterHeadEnded", "<title>t</title><div></div><meta name=robots content=noindex>",
            "title t"},
        {"MetaInComment", "<!-- <meta name=robots content=noindex> -->", ""},
        {"MetaInNoscript", "<noscript><meta name=robots content=noindex></noscript>", ""},
        {"ImpliedHead", "<meta name=robots content=none><p>text", "robots none"},
        {"CanonicalRelative", "<link rel=canonical href=\"../other/\">",
            "canonical https://example.com/other/"},
        {"BaseAfterLinkCounts",
            "<link rel=canonical href=x><base href=\"https://cdn.example.org/b/\">",
            "canonical https://cdn.example.org/b/x"},
        {"BaseRelative", "<base href=\"/root/\"><link rel=canonical href=x>",
            "canonical https://example.com/root/x"},
        {"FirstBaseOnly",
            "<base target=_top><base href=/1/><base href=/2/>"
            "<link rel=canonical href=x>",
            "canonical https://example.com/1/x"},
        {"FirstCanonical", "<link rel=canonical href=/a><link rel=CANONICAL href=/b>",
            "canonical https://example.com/a"},
        {"EntityInHref", "<link rel=canonical href=\"/a?x=1&amp;y=2\">",
            "canonical https://example.com/a?x=1&y=2"},
        {"RelListAnyCase",
            "<link rel=\"Alternate  Feed\" type=\"Application/RSS+XML; charset=utf-8\" "
            "href=/feed title=\"Posts &amp; notes\">",
            "rss https://example.com/feed on example.com 'Posts & notes'"},
        {"AtomAndJsonFeedOnce",
            "<link rel=alternate type=application/atom+xml href=/atom>"
            "<link rel=alternate type=application/feed+json href=/feed.json>"
            "<link rel=alternate type=application/atom+xml href=/atom>",
            "atom https://example.com/atom on example.com '' | json https://example.com/feed.json "
            "on example.com ''"},
        {"AlternatesNotFeeds",
            "<link rel=alternate hreflang=de href=/de/>"
            "<link rel=alternate type=application/json href=/wp-json/page/2>"
            "<link rel=feed href=/no-type>",
            ""},
        {"FeedOnAnotherHost",
            "<link rel=alternate type=application/rss+xml href=\"//Feeds.Example.NET/x\">",
            "rss https://feeds.example.net/x on feeds.example.net ''"},
        {"SitemapAndWebHubsOnly",
            "<link rel=sitemap href=/sitemap.xml><link rel=hub href=\"https://hub.example.net/\">"
            "<link rel=hub href=\"xmpp:hub@example.net\"><link rel=\"hub\" href=\"\">",
            "sitemap https://example.com/sitemap.xml | hub https://hub.example.net/"},
        // Only the part before the <body> tag is parsed when that tag opened the body: text
        // that merely reads as one must not cut the head short.
        {"BodyTagInComment", "<!-- <body> --><link rel=canonical href=/a><body><p>x",
            "canonical https://example.com/a"},
        {"BodyTagInScript",
            "<script>document.write('<body>')</script><meta name=robots content=noindex><body>",
            "robots noindex"},
        {"BodyTagInAttribute",
            "<meta name=x content=\"<BODY>\"><link rel=canonical href=/a><body class=\"a>b\">",
            "canonical https://example.com/a"},
        {"BodyTagInTemplate", "<template><body></template><meta name=robots content=none><body>",
            "robots none"},
        {"LinkAfterHeadBeforeBody", "<head></head><link rel=canonical href=/a><body/>",
            "canonical https://example.com/a"},
        {"MetaAfterBodyTag", "<title>t</title>\n<Body\tclass=x><meta name=robots content=none>",
            "title t"},
        {"CutInsideTag", "<title>Cut</title><link rel=canonical href=\"/a", "title Cut"},
        {"Nothing", "", ""},
    }),
    [](const testing::TestParamInfo<HeadCase>& info) { return info.param.name; });

} // namespace
