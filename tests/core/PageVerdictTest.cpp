#include "core/page/PageVerdict.h"
#include "core/page/RobotsTxt.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const std::string Page = "https://example.com/a/page";

struct VerdictCase
{
    std::string name;
    long status;
    CHeaderFields headers;
    std::string body;
    // "verdict: reason", or "announce".
    std::string expected;
    // The site's robots.txt; none when it could not be read.
    std::optional<std::string> robots = "";
};

using PageVerdictTest = testing::TestWithParam<VerdictCase>;

TEST_P(PageVerdictTest, LeftOutWithItsReason)
{
    const VerdictCase& row = GetParam();
    CPageAnswer answer;
    answer.m_strUrl = Page;
    answer.m_status = row.status;
    answer.m_strReason = row.status == 599 ? "Custom" : "";
    answer.m_failure = CText::Verbatim("Connection refused");
    answer.m_headers = row.headers;
    answer.m_strBody = row.body;
    const CRobotsTxt robots = CRobotsTxt::Read(row.robots.value_or(""), Page);
    const CPageCheck check = CheckPage(
        answer, row.robots ? &robots : nullptr, CText::Verbatim("503 Service Unavailable"));
    const std::string word = VerdictWord(check.m_verdict);
    EXPECT_EQ(
        check.m_reason.IsEmpty() ? word : word + ": " + check.m_reason.English(), row.expected);
    EXPECT_EQ(VerdictOf(word), check.m_verdict);
}

const std::string NotChecked = "could_not_check: could not check: ";
const std::string Other = "canonical: canonical is https://example.com/other";

CHeaderFields Link(const std::string& value)
{
    return {{"Link", value}};
}

INSTANTIATE_TEST_SUITE_P(Answers, PageVerdictTest,
    testing::ValuesIn(std::vector<VerdictCase>{
        {"Ok", 200, {}, "<title>x</title>", "announce"},
        {"SoftNotFoundAnnounced", 200, {}, "<title>Page not found</title><h1>404</h1>", "announce"},
        {"Moved301", 301, {{"Location", "/b#top"}}, "", "moved: moved to https://example.com/b"},
        {"TrailingSlashIsMoved", 301, {{"location", Page + "/"}}, "",
            "moved: moved to https://example.com/a/page/"},
        {"Found302", 302, {{"Location", "https://other.example/"}}, "",
            "moved: moved to https://other.example/"},
        {"SeeOther303", 303, {{"Location", "x"}}, "", "moved: moved to https://example.com/a/x"},
        {"Permanent308", 308, {{"Location", "/b"}}, "", "moved: moved to https://example.com/b"},
        {"RedirectWithoutLocation", 301, {}, "", NotChecked + "301 Moved Permanently"},
        {"NotModifiedNoRedirect", 304, {{"Location", "/b"}}, "", NotChecked + "304 Not Modified"},
        {"NotFound", 404, {}, "", "not_found: not found"},
        {"Gone", 410, {}, "", "not_found: not found"},
        {"NoContent", 204, {}, "", NotChecked + "204 No Content"},
        {"Forbidden", 403, {}, "", NotChecked + "403 Forbidden"},
        {"Unavailable", 503, {}, "", NotChecked + "503 Service Unavailable"},
        {"ServersOwnWords", 599, {}, "", NotChecked + "599 Custom"},
        {"NoAnswer", 0, {}, "", NotChecked + "Connection refused"},
        {"RobotsTagNoindex", 200, {{"X-Robots-Tag", "noindex"}}, "", "noindex: noindex"},
        {"RobotsTagNoneAnyCase", 200, {{"x-robots-tag", "NONE"}}, "", "noindex: noindex"},
        {"RobotsTagOtherCrawler", 200, {{"X-Robots-Tag", "otherbot: noindex, nofollow"}}, "",
            "announce"},
        {"RobotsTagSecondHeader", 200,
            {{"X-Robots-Tag", "otherbot: noindex"}, {"X-Robots-Tag", "noarchive, noindex"}}, "",
            "noindex: noindex"},
        {"RobotsTagDateNoAgent", 200,
            {{"X-Robots-Tag", "unavailable_after: 25 Jun 2010 15:00:00 PST, noindex"}}, "",
            "noindex: noindex"},
        {"MetaNoindex", 200, {}, "<meta name=\"ROBOTS\" content=\"NoIndex, follow\">",
            "noindex: noindex"},
        {"NoindexPastTheBound", 200, {},
            std::string(CPageAnswer::MaxBodyBytes, ' ') + "<meta name=robots content=noindex>",
            "announce"},
        {"CanonicalSelfRelative", 200, {}, "<link rel=canonical href=page>", "announce"},
        {"CanonicalFragment", 200, {}, "<link rel=canonical href=\"" + Page + "#top\">",
            "announce"},
        {"CanonicalDefaultPort", 200, {},
            "<link rel=canonical href=\"HTTPS://Example.com:443/a/page\">", "announce"},
        {"CanonicalOther", 200, {}, "<link rel=canonical href=/other>", Other},
        {"LinkAmongOthers", 200,
            Link("</s.css>; rel=preload; title=\"a, <b>\", </other>; REL=Canonical"), "", Other},
        {"LinkRelList", 200, Link("</other>; rel=\"next canonical\""), "", Other},
        {"LinkSecondHeader", 200,
            {{"Link", "</s.css>; rel=preload"}, {"LINK", "</other>; rel=canonical"}}, "", Other},
        {"LinkAboutAnother", 200, Link("</other>; rel=canonical; anchor=\"/else\""), "",
            "announce"},
        {"LinkBeforeHead", 200, Link("<" + Page + ">; rel=canonical"),
            "<link rel=canonical href=/other>", "announce"},
        {"RobotsDisallow", 200, {}, "", "robots_disallows: robots.txt disallows",
            "User-agent: *\nDisallow: /a/"},
        {"RobotsBeforeAnswer", 0, {}, "", "robots_disallows: robots.txt disallows",
            "User-agent: *\nDisallow: /a/"},
        {"RobotsUnread", 404, {}, "", NotChecked + "robots.txt not read: 503 Service Unavailable",
            std::nullopt},
    }),
    [](const testing::TestParamInfo<VerdictCase>& info) { return info.param.name; });

TEST(LinkTargetsTest, HubsOfEveryHeaderOnce)
{
    const CHeaderFields headers
        = {{"Link", "<https://hub.example.net/>; rel=hub, </self>; rel=self"},
            {"Content-Type", "text/html"}, {"link", "<https://hub.example.net/>; rel=\"hub\""},
            {"Link", "<xmpp:hub@example.net>; rel=hub, <https://b.example.net/>;rel=HUB"}};
    EXPECT_EQ(LinkTargets(headers, Page, "hub"),
        std::vector<std::string>({"https://hub.example.net/", "https://b.example.net/"}));
}

} // namespace
