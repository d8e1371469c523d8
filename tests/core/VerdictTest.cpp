// Verdicts a user can trust: where a post goes, how far its answer is read, and what the
// answer is taken to say.
#include "core/BrowserLauncher.h"
#include "core/FormPoster.h"
#include "core/PostScheduler.h"
#include "core/SubmitHost.h"
#include "tests/support/LocalServer.h"
#include "tests/support/ResultSummary.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>

namespace {

CSubmitHost& Fill(CSubmitHost& host, const std::string& url, std::optional<std::string> kind)
{
    host.m_strUrl = url;
    host.m_strBodyKind = std::move(kind);
    host.AddParam(CPostParam("host", "127.0.0.1"));
    host.AddParam(CPostParam("key", "abcdef12-3456"));
    return host;
}

// One post of the target the way a run makes it, with what the run reports.
CPostResult PostInRun(const CSubmitHost& host, const CPostSettings& settings = CPostSettings())
{
    CPostRequest request;
    CText refusal;
    EXPECT_TRUE(PrepareRequest(host, request, refusal)) << refusal.English();
    std::promise<CPostResult> reported;
    CPostScheduler scheduler(
        settings, [&reported](const CPostResult& result) { reported.set_value(result); });
    scheduler.Add({request});
    return reported.get_future().get();
}

class RecordingLauncher : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest& request) override { m_posts.push_back(request); }
    std::vector<CPostRequest> m_posts;
};

// The charset an answer's Content-Type names reads an answer that declares none.
TEST(AnswerCharset, FromTheContentType)
{
    const std::string answer
        = "<methodResponse><params><param><value><struct><member><name>message</name><value>"
          "Caf\xE9</value></member></struct></value></param></params></methodResponse>";
    for (const std::string& contentType : {std::string("text/xml; charset=windows-1252"),
             std::string("text/xml;charset=\"ISO-8859-1\""),
             std::string("text/xml; format=x; Charset=latin1")}) {
        CLocalServer server([&](const CRecordedRequest&) {
            return CScriptedReply::Status(200, answer, "Content-Type: " + contentType + "\r\n");
        });
        CSubmitHost host;
        const CPostResult result = PostInRun(Fill(host, server.Url("rpc"), "xml-rpc"));
        EXPECT_TRUE(result.m_bSuccess) << contentType;
        EXPECT_EQ(result.m_serviceMessage.English(), "Caf\xC3\xA9") << contentType;
    }
}

// Each road reads the address once, as libcurl does, and posts to the server it read: a
// run, a single post and the browser window. One libcurl refuses goes nowhere and says why.
TEST(AddressRoads, EveryRoadPostsWhereLibcurlReads)
{
    CLocalServer a([](const CRecordedRequest&) { return CScriptedReply::Status(200, "a"); });
    CLocalServer b([](const CRecordedRequest&) { return CScriptedReply::Status(200, "b"); });
    const std::string hostA = "127.0.0.1:" + std::to_string(a.Port());
    const std::string hostB = "127.0.0.1:" + std::to_string(b.Port());
    CSubmitHost host;
    host.m_strUrl = "http://" + hostA + "?@" + hostB + "/x";
    host.AddParam(CPostParam("a", "1"));

    EXPECT_TRUE(PostInRun(host).m_bSuccess);
    std::string answer;
    EXPECT_TRUE(CFormPoster().PostInBackground(host, answer));
    EXPECT_EQ(answer, "a");
    RecordingLauncher launcher;
    EXPECT_TRUE(CFormPoster(&launcher).SubmitInBrowser(host));

    EXPECT_TRUE(b.Requests().empty());
    const auto requests = a.Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const CRecordedRequest& request : requests) {
        EXPECT_EQ(request.m_requestLine, "POST /?@" + hostB + "/x HTTP/1.0");
        EXPECT_EQ(request.Header("Host"), hostA);
    }
    ASSERT_EQ(launcher.m_posts.size(), 1u);
    EXPECT_EQ(launcher.m_posts[0].m_address.Url(), "http://" + hostA + "/?@" + hostB + "/x");
    EXPECT_EQ(launcher.m_posts[0].m_address.ServerKey(), "http://" + hostA);
}

TEST(AddressRoads, RefusedAddressesGoNowhere)
{
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    for (const std::string& url : {"http://me:pa?ss@" + hostPort + "/x",
             "http://me:pa#ss@" + hostPort + "/x", "http://me:p@ss@" + hostPort + "/x",
             "http://" + hostPort + "/a b", "http://" + hostPort + "/a\r\nX: y",
             "ftp://" + hostPort + "/x", std::string("http://user@/x"), std::string(" \t ")}) {
        CSubmitHost host;
        host.m_strUrl = url;
        CPostRequest request;
        CText refusal;
        EXPECT_FALSE(PrepareRequest(host, request, refusal)) << url;
        EXPECT_FALSE(refusal.IsEmpty()) << url;
        std::string result;
        EXPECT_FALSE(CFormPoster().PostInBackground(host, result)) << url;
        EXPECT_EQ(result, refusal.English()) << url;
        RecordingLauncher launcher;
        CFormPoster(&launcher).SubmitInBrowser(host);
        EXPECT_TRUE(launcher.m_posts.empty()) << url;
    }
    // A request made by hand with such an address sends nothing either.
    CPostRequest request;
    request.m_address = CAddress::Read("http://me:pa?ss@" + hostPort + "/x");
    std::string result;
    EXPECT_FALSE(CFormPoster().PostInBackground(request, result));
    EXPECT_FALSE(result.empty());
    EXPECT_TRUE(server.Requests().empty());
}

} // namespace
