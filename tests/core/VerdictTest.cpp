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

const std::string RpcThanks
    = "<methodResponse><params><param><value><struct><member><name>flerror</name><value>"
      "<boolean>0</boolean></value></member><member><name>message</name><value>Thanks"
      "</value></member></struct></value></param></params></methodResponse>";

const std::string RpcFault
    = "<methodResponse><fault><value><struct><member><name>faultCode</name><value><int>4"
      "</int></value></member><member><name>faultString</name><value>Too many parameters"
      "</value></member></struct></value></fault></methodResponse>";

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

struct RedirectCase
{
    const char* name;
    int code;
    std::optional<std::string> kind;
    // What the server the post was sent on to saw.
    const char* method;
    bool bodyAgain;
    bool movedForGood;
};

class RedirectTest : public testing::TestWithParam<RedirectCase>
{
};

// The new server answers a post as the service would and a GET with a page: only a post
// delivered there can pass for the service taking it, and after a 303 the page does.
TEST_P(RedirectTest, PostIsDeliveredOrNoSuccess)
{
    const RedirectCase& c = GetParam();
    CLocalServer moved([](const CRecordedRequest& request) {
        if (request.m_requestLine.rfind("GET ", 0) == 0)
            return CScriptedReply::Status(200, "<html>See your ping</html>");
        return CScriptedReply::Status(200, RpcThanks);
    });
    const std::string target = moved.Url("new");
    CLocalServer origin(
        [&](const CRecordedRequest&) { return CScriptedReply::Redirect(c.code, target); });
    CSubmitHost host;
    Fill(host, origin.Url("old"), c.kind);
    CPostRequest prepared;
    CText refusal;
    ASSERT_TRUE(PrepareRequest(host, prepared, refusal));

    const CPostResult result = PostInRun(host);
    EXPECT_TRUE(result.m_bSuccess) << Summary(result);
    EXPECT_EQ(Summary(result), "200 OK");
    EXPECT_EQ(result.m_strMovedTo, c.movedForGood ? target : "");
    EXPECT_EQ(result.m_strFinalUrl, target);
    // A 303's page is no XML-RPC answer: judged by its status, it has nothing to say.
    EXPECT_EQ(result.m_serviceMessage.English(),
        c.kind == std::string("xml-rpc") && c.code != 303 ? "Thanks" : "");

    ASSERT_EQ(origin.Requests().size(), 1u);
    const auto requests = moved.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const CRecordedRequest& sent = requests[0];
    EXPECT_EQ(sent.m_requestLine, std::string(c.method) + " /new HTTP/1.0");
    EXPECT_EQ(sent.m_body, c.bodyAgain ? prepared.m_body : "");
    EXPECT_EQ(sent.Header("Content-Type"), c.bodyAgain ? prepared.m_strContentType : "");
    EXPECT_EQ(origin.Requests()[0].m_body, prepared.m_body);
}

INSTANTIATE_TEST_SUITE_P(Codes, RedirectTest,
    testing::Values(RedirectCase{"MovedPermanently", 301, std::nullopt, "POST", true, true},
        RedirectCase{"Found", 302, std::nullopt, "POST", true, false},
        RedirectCase{"SeeOther", 303, std::nullopt, "GET", false, false},
        RedirectCase{"Temporary", 307, std::nullopt, "POST", true, false},
        RedirectCase{"Permanent", 308, std::nullopt, "POST", true, true},
        RedirectCase{"RpcMovedPermanently", 301, "xml-rpc", "POST", true, true},
        RedirectCase{"RpcFound", 302, "xml-rpc", "POST", true, false},
        RedirectCase{"RpcSeeOther", 303, "xml-rpc", "GET", false, false},
        RedirectCase{"RpcTemporary", 307, "xml-rpc", "POST", true, false},
        RedirectCase{"JsonPermanent", 308, "json", "POST", true, true}),
    [](const testing::TestParamInfo<RedirectCase>& info) { return std::string(info.param.name); });

// The address has moved for good only while every redirect so far said so; the last of them
// names where.
TEST(Redirect, MovedForGoodAlongAChain)
{
    const struct
    {
        std::vector<int> codes;
        int movedAfter; // how many of the hops lead to the moved address; 0 for none
    } chains[] = {
        {{301, 308}, 2},
        {{301, 302}, 1},
        {{308, 307, 301}, 1},
        {{302, 301}, 0},
        {{303, 301}, 0},
    };
    for (const auto& chain : chains) {
        CLocalServer server([&chain](const CRecordedRequest& request) {
            const std::size_t hop = request.m_requestLine.find("/hop") == std::string::npos
                ? 0
                : std::stoul(request.m_requestLine.substr(request.m_requestLine.find("/hop") + 4));
            if (hop == chain.codes.size())
                return CScriptedReply::Status(204);
            return CScriptedReply::Redirect(chain.codes[hop], "/hop" + std::to_string(hop + 1));
        });
        CSubmitHost host;
        const CPostResult result = PostInRun(Fill(host, server.Url("start"), std::nullopt));
        EXPECT_EQ(Summary(result), "204 No Content");
        EXPECT_EQ(result.m_strMovedTo,
            chain.movedAfter ? server.Url("hop" + std::to_string(chain.movedAfter)) : "")
            << chain.codes.front();
    }
}

struct SizeCase
{
    const char* name;
    std::optional<std::string> kind;
    const char* path;
    int status;
    std::string body;
    bool success;
    const char* summary;
    const char* message;
};

class AnswerSizeTest : public testing::TestWithParam<SizeCase>
{
protected:
    static constexpr std::size_t Limit = 1024;

    static CPostSettings Settings()
    {
        CPostSettings settings;
        settings.m_limits.m_maxBodyBytes = Limit;
        return settings;
    }
};

TEST_P(AnswerSizeTest, ReadAsFarAsTheVerdictNeeds)
{
    const SizeCase& c = GetParam();
    CLocalServer server([&c](const CRecordedRequest& request) {
        if (request.m_requestLine.find("/see") != std::string::npos)
            return CScriptedReply::Redirect(303, "/page");
        return CScriptedReply::Status(c.status, c.body);
    });
    CSubmitHost host;
    Fill(host, server.Url(c.path), c.kind);
    const CPostResult result = PostInRun(host, Settings());
    EXPECT_EQ(result.m_bSuccess, c.success);
    EXPECT_EQ(Summary(result), c.summary);
    EXPECT_EQ(result.m_serviceMessage.English(), c.message);

    // A single post hands the answer over as far as the limit.
    std::string answer;
    EXPECT_EQ(CFormPoster(nullptr, Settings()).PostInBackground(host, answer), c.success);
    if (c.success) {
        EXPECT_EQ(answer, c.body.substr(0, Limit));
    }
}

// Blanks after the answer, as a large page would have them.
std::string Padded(const std::string& answer, std::size_t size)
{
    return answer + std::string(size - answer.size(), ' ');
}

std::string LongFault()
{
    std::string fault = RpcFault;
    return fault.replace(fault.find("Too many"), 0, std::string(5000, 'x'));
}

INSTANTIATE_TEST_SUITE_P(Kinds, AnswerSizeTest,
    testing::Values(SizeCase{"FormOverLimit", std::nullopt, "form", 200, std::string(5000, 'f'),
                        true, "200 OK", ""},
        SizeCase{
            "FormAtLimit", std::nullopt, "form", 200, std::string(1024, 'f'), true, "200 OK", ""},
        SizeCase{
            "JsonOverLimit", "json", "api", 201, std::string(5000, 'j'), true, "201 Created", ""},
        SizeCase{"IndexNowOverLimit", "json", "indexnow", 202, std::string(5000, 'i'), true,
            "202 Accepted", "key not yet verified"},
        SizeCase{"FormErrorOverLimit", std::nullopt, "form", 404, std::string(5000, 'e'), false,
            "404 Not Found", ""},
        // XML-RPC is judged on the whole answer, which must come within the limit.
        SizeCase{
            "RpcAtLimit", "xml-rpc", "rpc", 200, Padded(RpcThanks, 1024), true, "200 OK", "Thanks"},
        SizeCase{"RpcOverLimit", "xml-rpc", "rpc", 200, Padded(RpcThanks, 1025), false,
            "Answer larger than 1 KiB", ""},
        // A server error's fault is shown; one too large to read is judged by its status.
        SizeCase{"RpcFaultInServerError", "xml-rpc", "rpc", 500, RpcFault, false,
            "500 Internal Server Error", "Fault 4: Too many parameters"},
        SizeCase{"RpcFaultOverLimit", "xml-rpc", "rpc", 500, LongFault(), false,
            "500 Internal Server Error", ""},
        SizeCase{"RpcErrorPage", "xml-rpc", "rpc", 502, "<html>Bad Gateway</html>", false,
            "502 Bad Gateway", ""},
        // After a 303 the page is no XML-RPC answer: its status decides, whatever its size.
        SizeCase{"RpcSeeOtherLargePage", "xml-rpc", "see", 200, std::string(5000, 'p'), true,
            "200 OK", ""}),
    [](const testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

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
