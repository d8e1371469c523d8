#include "core/page/RobotsTxt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RobotsCase
{
    std::string name;
    std::string robots;
    std::string path;
    bool allowed;
};

using RobotsTxtTest = testing::TestWithParam<RobotsCase>;

TEST_P(RobotsTxtTest, RulesForEveryCrawler)
{
    const RobotsCase& row = GetParam();
    EXPECT_EQ(CRobotsTxt::Read(row.robots, "https://example.com/robots.txt").Allows(row.path),
        row.allowed);
}

// RFC 9309's own example file.
const std::string Rfc = "User-Agent: *\nDisallow: *.gif$\nDisallow: /example/\n"
                        "Allow: /publications/\n\nUser-Agent: foobot\nDisallow:/\n"
                        "Allow:/example/page.html\nAllow:/example/allowed.gif\n\n"
                        "User-Agent: barbot\nUser-Agent: bazbot\nDisallow: /example/page.html\n\n"
                        "User-Agent: quxbot\n\nEOF\n";
const std::string All = "User-agent: *\n";

INSTANTIATE_TEST_SUITE_P(Rules, RobotsTxtTest,
    testing::ValuesIn(std::vector<RobotsCase>{
        {"RfcGifAnchored", Rfc, "/images/a.gif", false},
        {"RfcGifWithQuery", Rfc, "/images/a.gif?v=2", true},
        {"RfcFolder", Rfc, "/example/page.html", false},
        {"RfcAllowed", Rfc, "/publications/x", true},
        {"RfcOtherAgentsRulesNotOurs", Rfc, "/", true},
        {"RfcLongestMatch", All + "Allow: /example/page/\nDisallow: /example/page/disallowed.gif",
            "/example/page/disallowed.gif", false},
        {"RfcQueryMatched", All + "Disallow: /foo/bar?baz=quz", "/foo/bar?baz=quz", false},
        {"RfcRuleNotAscii", All + "Disallow: /foo/bar/\xE3\x83\x84", "/foo/bar/%E3%83%84", false},
        {"RfcRuleEscaped", All + "Disallow: /foo/bar/%E3%83%84", "/foo/bar/%e3%83%84", false},
        {"RfcUnreservedEscapes", All + "Disallow: /foo/bar/%62%61%7A", "/foo/bar/baz", false},
        {"RfcEscapedStar", All + "Disallow: /path/file-with-a-%2A.html", "/path/file-with-a-*.html",
            false},
        {"RfcEscapedDollar", All + "Disallow: /path/foo-%24", "/path/foo-$", false},
        {"RfcWildcard", All + "Disallow: /this/*/exactly", "/this/path/that/exactly", false},
        {"PageStarIsNoWildcard", All + "Disallow: /a%2Ab", "/axxb", true},
        {"AllowWinsTie", All + "Disallow: /page\nAllow: /p*ge", "/page", true},
        {"LongestNotFirst", All + "Allow: /\nDisallow: /a/b", "/a/b/c", false},
        {"PathsCaseSensitive", All + "Disallow: /Private", "/private", true},
        {"FieldNamesAnyCase", "USER-AGENT: *\nDISALLOW: /a", "/a", false},
        {"BlanksAroundFields", "User-agent : * \n Disallow\t:  /a ", "/a", false},
        {"ByteOrderMark",
            "\xEF\xBB\xBF"
            "User-agent: *\nDisallow: /a",
            "/a", false},
        {"CrLf", "User-agent: *\r\nDisallow: /b\r\nDisallow: /a\r\n", "/a", false},
        {"RuleWithoutGroup", "Disallow: /a\nUser-agent: *\nAllow: /b", "/a", true},
        {"EmptyDisallow", All + "Disallow:", "/", true},
        {"CommentAfterRule", All + "Disallow: /a # not /b", "/a", false},
        {"CommentedRule", All + "# Disallow: /", "/", true},
        {"AgentsShareGroup", "User-agent: foobot\nUser-agent: *\nDisallow: /a", "/a", false},
        {"NextGroupNotOurs", All + "Disallow: /a\nUser-agent: foobot\nDisallow: /b", "/b", true},
        {"GroupsForAllMerged",
            All + "Disallow: /a\nUser-agent: foo\nDisallow: /b\n" + All + "Disallow: /c", "/c",
            false},
        {"SitemapInsideGroup", All + "Sitemap: /s.xml\nDisallow: /a", "/a", false},
        {"OnlyNamedAgents", "User-agent: foobot\nDisallow: /", "/", true},
        {"RulesThemselvesAllowed", All + "Disallow: /", "/robots.txt", true},
        {"PastTheBound", std::string(CRobotsTxt::MaxBytes, '#') + "\n" + All + "Disallow: /", "/",
            true},
    }),
    [](const testing::TestParamInfo<RobotsCase>& info) { return info.param.name; });

TEST(RobotsTxtSitemapsTest, EveryLineAnyCaseResolved)
{
    const CRobotsTxt robots = CRobotsTxt::Read(
        "\xEF\xBB\xBFSitemap: /first.xml\r\n# Sitemap: /no.xml\nSITEMAP:https://other.example/"
        "s.xml # two\nsitemap: mailto:x@example.com\n",
        "https://example.com/robots.txt");
    EXPECT_EQ(robots.Sitemaps(),
        std::vector<std::string>({"https://example.com/first.xml", "https://other.example/s.xml"}));
}

} // namespace
