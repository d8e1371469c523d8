// Verdicts a user can trust: where a post goes, how far its answer is read, and what the
// answer is taken to say.
#include "core/post/FormPoster.h"
#include "core/post/PostScheduler.h"
#include "core/system/BrowserLauncher.h"
#include "core/target/SubmitHost.h"
#include "tests/support/LocalServer.h"
#include "tests/support/ResultSummary.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>

namespace {

const std::string RpcThanks = "<methodResponse><params><param><value><struct><member><name>"
                              "message</name><value>Thanks</value></member></struct></value>"
                              "</param></params></methodResponse>";
const std::string RpcFault = "<methodResponse><fault><value><struct><member><name>faultCode"
                             "</name><value><int>4</int></value></member></struct></value>"
                             "</fault></methodResponse>";

// One post of a target the way a run makes it, with what the run reports.
CPostResult PostInRun(const std::string& url, std::optional<std::string> kind,
    const CPostSettings& settings = CPostSettings())
{
    CSubmitHost host;
    host.m_strUrl = url;
    host.m_strBodyKind = std::move(kind);
    host.AddParam(CPostParam("host", "127.0.0.1"));
    host.AddParam(CPostParam("key", "abcdef12-3456"));
    CPostRequest request;
    CText refusal;
    EXPECT_TRUE(PrepareRequest(host, request, refusal)) << refusal.English();
    std::promise<CPostResult> reported;
    CPostScheduler scheduler(
        settings, [&reported](const CPostResult& result) { reported.set_value(result); });
    scheduler.Add({request});
    return reported.get_future().get();
}

// A redirected post is delivered or no success: the new server answers a post as the service
// would and a GET with a page, so only a 303's page may pass, judged by its status.
TEST(Verdict, RedirectCodes)
{
    const struct
    {
        int code;
        std::optional<std::string> kind;
        const char* method;
        bool movedForGood;
        const char* message;
    } rows[] = {
        {301, std::nullopt, "POST", true, ""},
        {302, std::nullopt, "POST", false, ""},
        {303, std::nullopt, "GET", false, ""},
        {307, std::nullopt, "POST", false, ""},
        {308, std::nullopt, "POST", true, ""},
        {301, "xml-rpc", "POST", true, "Thanks"},
        {303, "xml-rpc", "GET", false, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.code) + " " + row.kind.value_or("form"));
        CLocalServer moved([](const CRecordedRequest& request) {
            return CScriptedReply::Status(
                200, request.m_requestLine.rfind("GET ", 0) == 0 ? "<html/>" : RpcThanks);
        });
        const std::string target = moved.Url("new");
        CLocalServer origin(
            [&](const CRecordedRequest&) { return CScriptedReply::Redirect(row.code, target); });
        const CPostResult result = PostInRun(origin.Url("old"), row.kind);
        EXPECT_EQ(Summary(result), "200 OK");
        EXPECT_TRUE(result.Succeeded());
        EXPECT_EQ(result.m_serviceMessage.English(), row.message);
        EXPECT_EQ(result.m_strMovedTo, row.movedForGood ? target : "");
        const CRecordedRequest sent = origin.Requests().at(0);
        const CRecordedRequest resent = moved.Requests().at(0);
        EXPECT_EQ(resent.m_requestLine, std::string(row.method) + " /new HTTP/1.0");
        const bool posted = row.code != 303;
        EXPECT_EQ(resent.m_body, posted ? sent.m_body : "");
        EXPECT_EQ(resent.Header("Content-Type"), posted ? sent.Header("Content-Type") : "");
    }
}

// Only XML-RPC is judged on its whole answer; any other is read to the limit and the rest
// dropped. A fault in an error answer is shown when it comes within the limit, and the
// charset a Content-Type names reads an answer that declares none.
TEST(Verdict, AnswersByKind)
{
    const std::string pad(2000, ' ');
    const struct
    {
        std::optional<std::string> kind;
        const char* path;
        int status;
        std::string body;
        bool success;
        const char* summary;
        const char* message;
        const char* contentType = "text/html";
    } rows[] = {
        {std::nullopt, "form", 200, std::string(5000, 'f'), true, "200 OK", ""},
        {"json", "indexnow", 202, std::string(5000, 'j'), true, "202 Accepted",
            "key not yet verified"},
        {"xml-rpc", "rpc", 200, RpcThanks + std::string(1024 - RpcThanks.size(), ' '), true,
            "200 OK", "Thanks"},
        {"xml-rpc", "rpc", 200, RpcThanks + pad, false, "Answer larger than 1 KiB", ""},
        {"xml-rpc", "rpc", 500, RpcFault, false, "500 Internal Server Error", "Fault 4"},
        {"xml-rpc", "rpc", 500, "<methodResponse>" + pad, false, "500 Internal Server Error", ""},
        {"xml-rpc", "see", 200, std::string(5000, 'p'), true, "200 OK", ""},
        {"xml-rpc", "rpc", 200,
            "<methodResponse><params><param><value><struct><member><name>"
            "message</name><value>Caf\xE9</value></member></struct></value></param></params>"
            "</methodResponse>",
            true, "200 OK", "Caf\xC3\xA9", "text/xml;Charset=\"latin1\""},
    };
    CPostSettings settings;
    settings.m_limits.m_maxBodyBytes = 1024;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind.value_or("form") + " " + std::to_string(row.body.size()));
        CLocalServer server([&row](const CRecordedRequest& request) {
            if (request.m_requestLine.find("/see") != std::string::npos)
                return CScriptedReply::Redirect(303, "/page");
            return CScriptedReply::Status(
                row.status, row.body, std::string("Content-Type: ") + row.contentType + "\r\n");
        });
        const CPostResult result = PostInRun(server.Url(row.path), row.kind, settings);
        EXPECT_EQ(Summary(result), row.summary);
        EXPECT_EQ(result.m_serviceMessage.English(), row.message);
        EXPECT_EQ(result.Succeeded(), row.success);
    }
}

class RecordingLauncher : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest& request) override { m_posts.push_back(request); }
    std::vector<CPostRequest> m_posts;
};

// Every road reads the address as libcurl does and posts where it reads: a run, a single post
// and the browser window. One libcurl refuses goes nowhere and says why. {A} and {B} stand
// for two local servers.
TEST(Verdict, AddressesReadForEveryRoad)
{
    CLocalServer a([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    CLocalServer b([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    const auto filled = [&](std::string text) {
        for (const auto& [place, server] : {std::pair{"{A}", &a}, std::pair{"{B}", &b}}) {
            for (auto at = text.find(place); at != std::string::npos; at = text.find(place))
                text.replace(at, 3, "127.0.0.1:" + std::to_string(server->Port()));
        }
        return text;
    };
    const struct
    {
        const char* url;
        const char* requestLine; // at A; empty where nothing is posted
    } rows[] = {
        {"http://{A}?@{B}/x", "POST /?@{B}/x HTTP/1.0"},
        {"  HTTP://{A}/a/../b?q=1#top \r\n", "POST /a/../b?q=1 HTTP/1.0"},
        {"{A}/no-scheme", "POST /no-scheme HTTP/1.0"},
        {"http://me:pa?ss@{A}/x", ""},
        {"http://me:p@ss@{A}/x", ""},
        {"http://{A}/a b", ""},
        {"http://{A}/a\r\nX: y", ""},
        {"ftp://{A}/x", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        const std::string url = filled(row.url);
        SCOPED_TRACE(url);
        CSubmitHost host;
        host.m_strUrl = url;
        CPostRequest request;
        CText refusal;
        const bool posted = *row.requestLine != '\0';
        ASSERT_EQ(PrepareRequest(host, request, refusal), posted);
        std::string answer;
        EXPECT_EQ(CFormPoster().PostInBackground(host, answer), posted);
        RecordingLauncher launcher;
        CFormPoster(&launcher).SubmitInBrowser(host);
        EXPECT_EQ(launcher.m_posts.size(), posted ? 1u : 0u);
        if (!posted) {
            EXPECT_EQ(answer, refusal.English());
            continue;
        }
        EXPECT_TRUE(PostInRun(url, std::nullopt).Succeeded());
        EXPECT_EQ(launcher.m_posts[0].m_address.ServerKey(), filled("http://{A}"));
        const auto requests = a.Requests();
        ASSERT_GE(requests.size(), 2u);
        for (std::size_t i = requests.size() - 2; i < requests.size(); ++i)
            EXPECT_EQ(requests[i].m_requestLine, filled(row.requestLine));
    }
    EXPECT_TRUE(b.Requests().empty());
    EXPECT_EQ(a.Requests().size(), 6u);
}

} // namespace
