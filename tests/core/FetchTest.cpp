#include "core/net/Fetch.h"

#include "core/page/PageHeaders.h"
#include "tests/support/LocalServer.h"
#include "tests/support/ScriptedServer.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

CFetchSettings ShortLimits()
{
    CFetchSettings settings;
    settings.m_post.m_limits.m_connectTimeoutMs = 5000;
    settings.m_post.m_limits.m_totalTimeoutMs = 10000;
    return settings;
}

} // namespace

TEST(Fetch, CapsKeepWhatTheRuleSays)
{
    const std::string body(10000, 'x');
    CLocalServer server([&](const CRecordedRequest&) { return CScriptedReply::Status(200, body); });
    const struct
    {
        const char* name;
        std::size_t limit;
        FetchCap cap;
        std::size_t kept;
        bool cut;
        bool noted;
    } rows[] = {
        {"within the limit", 10000, FetchCap::Refuse, 10000, false, false},
        {"refused over it", 4096, FetchCap::Refuse, 0, true, false},
        {"first part kept", 4096, FetchCap::KeepFirst, 4096, true, false},
        {"cut with a note", 4096, FetchCap::CutWithNote, 4096, true, true},
    };
    CFetchGroup group(ShortLimits());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const CFetchAnswer answer
            = group.Fetch({server.Url("page"), row.limit, row.cap, FetchRedirects::None});
        EXPECT_TRUE(answer.IsSuccess()) << answer.m_failure.English();
        EXPECT_EQ(answer.m_strBody.size(), row.kept);
        EXPECT_EQ(answer.m_bCut, row.cut);
        EXPECT_EQ(answer.m_note.IsEmpty(), !row.noted) << answer.m_note.English();
    }
    CLocalServer endless([](const CRecordedRequest&) { return CScriptedReply::EndlessBody(); });
    const CFetchAnswer answer
        = group.Fetch({endless.Url(), 1024, FetchCap::KeepFirst, FetchRedirects::None});
    EXPECT_TRUE(answer.IsSuccess());
    EXPECT_TRUE(answer.m_bCut);
}

TEST(Fetch, RedirectsFollowedOnlyAsAsked)
{
    CLocalServer server([](const CRecordedRequest& request) {
        if (request.Header("Host").rfind("www.", 0) == 0)
            return CScriptedReply::Status(
                200, "here", "Link: <a>; rel=hub\r\nlink: <b>; rel=hub\r\n");
        const std::string port = request.Header("Host").substr(request.Header("Host").find(':'));
        if (request.m_requestLine.find("/elsewhere") != std::string::npos)
            return CScriptedReply::Redirect(301, "http://www.site.example" + port + "/other");
        return CScriptedReply::Redirect(301, "http://www.site.example" + port + "/home");
    });
    const std::string port = std::to_string(server.Port());
    CFetchSettings settings = ShortLimits();
    settings.m_resolve
        = {"site.example:" + port + ":127.0.0.1", "www.site.example:" + port + ":127.0.0.1"};
    const std::string bare = "http://site.example:" + port;
    const struct
    {
        const char* name;
        std::string url;
        FetchRedirects redirects;
        long status;
        std::string endsAt;
    } rows[] = {
        {"not followed unless asked", bare + "/home", FetchRedirects::None, 301, bare + "/home"},
        {"bare to www followed", bare + "/home", FetchRedirects::SameSite, 200,
            "http://www.site.example:" + port + "/home"},
        {"another path is no site move", bare + "/elsewhere", FetchRedirects::SameSite, 301,
            bare + "/elsewhere"},
        {"any followed", bare + "/elsewhere", FetchRedirects::Any, 200,
            "http://www.site.example:" + port + "/other"},
    };
    CFetchGroup group(settings);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const CFetchAnswer answer
            = group.Fetch({row.url, 1024, FetchCap::KeepFirst, row.redirects});
        EXPECT_EQ(answer.m_status, row.status) << answer.m_failure.English();
        EXPECT_EQ(answer.m_strUrl, row.endsAt);
        EXPECT_EQ(answer.m_bMoved, row.status == 200);
    }
    // Repeated fields stay several, found by their name in any case.
    const CFetchAnswer answer
        = group.Fetch({bare + "/home", 1024, FetchCap::KeepFirst, FetchRedirects::SameSite});
    EXPECT_EQ(LinkTargets(answer.m_headers, answer.m_strUrl, "hub").size(), 2u);
    EXPECT_EQ(answer.Header("LINK").value_or(""), "<a>; rel=hub");
}

TEST(Fetch, ReadsGoSideBySide)
{
    CScriptedServer server;
    const std::vector<CFetchRequest> requests(
        3, {server.Url("gate"), 1024, FetchCap::KeepFirst, FetchRedirects::None});
    std::vector<CFetchAnswer> answers;
    std::thread reader([&] { answers = CFetchGroup(ShortLimits()).FetchAll(requests); });
    // All three are at the server while its gate holds every answer back. (The server's
    // meter would race here: it counts a request only once its handler runs, which may be
    // after the first answers have gone.)
    EXPECT_TRUE(server.Server().WaitForRequests(3));
    server.Open();
    reader.join();
    ASSERT_EQ(answers.size(), 3u);
    for (const CFetchAnswer& answer : answers)
        EXPECT_TRUE(answer.IsSuccess()) << answer.m_failure.English();
}

TEST(Fetch, StopEndsReadsUnderWay)
{
    // With one read at a time, Stop also ends those not started: each still has its answer.
    for (const long inFlight : {8L, 1L}) {
        SCOPED_TRACE(inFlight);
        CScriptedServer server;
        std::atomic<bool> stop = false;
        CFetchSettings settings = ShortLimits();
        settings.m_maxInFlight = inFlight;
        std::vector<CFetchAnswer> answers;
        std::thread reader([&] {
            answers
                = CFetchGroup(settings, &stop)
                      .FetchAll({{server.Url("hang"), 1024, FetchCap::KeepFirst,
                                     FetchRedirects::None},
                          {server.Url("hang2"), 1024, FetchCap::KeepFirst, FetchRedirects::None}});
        });
        EXPECT_TRUE(
            server.Server().WaitForRequests(static_cast<std::size_t>(inFlight > 1 ? 2 : 1)));
        stop = true;
        reader.join();
        ASSERT_EQ(answers.size(), 2u);
        for (const CFetchAnswer& answer : answers) {
            EXPECT_TRUE(answer.m_bStopped);
            EXPECT_NE(answer.m_strUrl.find("/hang"), std::string::npos);
        }
    }
}
