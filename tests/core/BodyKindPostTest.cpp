// Targets of every body kind as they go on the wire, and how their answers are judged.
#include "core/post/FormPoster.h"
#include "core/post/PostScheduler.h"
#include "core/target/SubmitHost.h"
#include "tests/support/LocalServer.h"
#include "tests/support/ResultSummary.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>

namespace {

CSubmitHost& Fill(CSubmitHost& host, const std::string& url, std::optional<std::string> kind,
    const std::vector<CPostParam>& params)
{
    host.m_strUrl = url;
    host.m_strBodyKind = std::move(kind);
    for (const CPostParam& param : params)
        host.AddParam(param);
    return host;
}

// One post of the target the way a run makes it, with what the run reports.
CPostResult PostInRun(const CSubmitHost& host)
{
    CPostRequest request;
    CText refusal;
    EXPECT_TRUE(PrepareRequest(host, request, refusal)) << refusal.English();
    std::promise<CPostResult> reported;
    CPostScheduler scheduler(
        CPostSettings(), [&reported](const CPostResult& result) { reported.set_value(result); });
    scheduler.Add({request});
    return reported.get_future().get();
}

} // namespace

TEST(BodyKindPost, EachKindSendsItsExactBodyAndType)
{
    CLocalServer server([](const CRecordedRequest&) {
        return CScriptedReply::Status(200,
            "<methodResponse><params><param><value><struct><member><name>flerror</name>"
            "<value><boolean>0</boolean></value></member></struct></value></param></params>"
            "</methodResponse>");
    });
    const struct
    {
        std::optional<std::string> kind;
        std::vector<CPostParam> params;
        const char* contentType;
        const char* body;
    } kinds[] = {
        {std::nullopt, {{"hub.mode", "publish"}, {"hub.url", "https://site.example/feed"}},
            "application/x-www-form-urlencoded",
            "hub.mode=publish&hub.url=https%3A%2F%2Fsite.example%2Ffeed"},
        {"xml-rpc", {{"name", "Caf\xC3\xA9 & <co>"}, {"url", "https://site.example/"}}, "text/xml",
            "<?xml version=\"1.0\"?>\n<methodCall><methodName>weblogUpdates.ping</methodName>"
            "<params><param><value><string>Caf\xC3\xA9 &amp; &lt;co&gt;</string></value></param>"
            "<param><value><string>https://site.example/</string></value></param></params>"
            "</methodCall>"},
        {"json",
            {{"host", "site.example"}, {"urlList[]", "https://site.example/a"},
                {"urlList[]", "https://site.example/\xC3\xA9"}},
            "application/json; charset=utf-8",
            "{\"host\":\"site.example\",\"urlList\":[\"https://site.example/a\","
            "\"https://site.example/\xC3\xA9\"]}"},
    };
    for (const auto& kind : kinds) {
        CSubmitHost host;
        Fill(host, server.Url("ping"), kind.kind, kind.params);
        std::string result;
        EXPECT_TRUE(CFormPoster().PostInBackground(host, result)) << kind.contentType;
    }
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), std::size(kinds));
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].Header("Content-Type"), kinds[i].contentType);
        EXPECT_EQ(requests[i].m_body, kinds[i].body);
        EXPECT_EQ(requests[i].Header("Content-Length"), std::to_string(requests[i].m_body.size()));
    }
}

struct AnswerCase
{
    const char* name;
    std::optional<std::string> kind;
    const char* path;
    int status;
    std::string body;
    bool success;
    const char* summary;
    const char* serviceMessage;
};

class AnswerTest : public testing::TestWithParam<AnswerCase>
{
};

const char* const FlerrorAnswer
    = "<?xml version=\"1.0\"?><methodResponse><params><param><value><struct>"
      "<member><name>flerror</name><value><boolean>%s</boolean></value></member>"
      "<member><name>message</name><value>Thanks for the ping.</value></member>"
      "</struct></value></param></params></methodResponse>";

std::string Flerror(const char* value)
{
    std::string answer = FlerrorAnswer;
    answer.replace(answer.find("%s"), 2, value);
    return answer;
}

TEST_P(AnswerTest, IsJudgedAsTheServiceMeansIt)
{
    const AnswerCase& c = GetParam();
    CLocalServer server(
        [&c](const CRecordedRequest&) { return CScriptedReply::Status(c.status, c.body); });
    CSubmitHost host;
    Fill(host, server.Url(c.path), c.kind,
        {{"host", "127.0.0.1"}, {"key", "abcdef12-3456"}, {"urlList[]", "http://127.0.0.1/x"}});
    const CPostResult result = PostInRun(host);
    EXPECT_EQ(result.Succeeded(), c.success);
    EXPECT_EQ(Summary(result), c.summary);
    EXPECT_EQ(result.m_serviceMessage.English(), c.serviceMessage);
}

const std::string Fault = "<methodResponse><fault><value><struct>"
                          "<member><name>faultCode</name><value><int>4</int></value></member>"
                          "<member><name>faultString</name><value><string>Too many parameters"
                          "</string></value></member></struct></value></fault></methodResponse>";

INSTANTIATE_TEST_SUITE_P(Answers, AnswerTest,
    testing::Values(AnswerCase{"RpcThanks", "xml-rpc", "rpc", 200, Flerror("0"), true, "200 OK",
                        "Thanks for the ping."},
        AnswerCase{"RpcRefused", "xml-rpc", "rpc", 200, Flerror("1"), false, "200 OK",
            "Thanks for the ping."},
        AnswerCase{"RpcFault", "xml-rpc", "rpc", 200, Fault, false, "200 OK",
            "Fault 4: Too many parameters"},
        AnswerCase{"RpcNoFlag", "xml-rpc", "rpc", 200,
            "<methodResponse><params><param><value><string>ok</string></value></param></params>"
            "</methodResponse>",
            true, "200 OK", ""},
        AnswerCase{"RpcHtmlPage", "xml-rpc", "rpc", 200, "<html><body>Hello</body></html>", false,
            "200 OK", "Not an XML-RPC answer"},
        AnswerCase{"RpcNoContent", "xml-rpc", "rpc", 204, "", false, "204 No Content",
            "Not an XML-RPC answer"},
        // A fault in an error answer is shown too.
        AnswerCase{"RpcNotFound", "xml-rpc", "rpc", 404, Fault, false, "404 Not Found",
            "Fault 4: Too many parameters"},
        AnswerCase{"FormHtmlPage", std::nullopt, "form", 200, "<html/>", true, "200 OK", ""},
        AnswerCase{"IndexNowAccepted", "json", "indexnow", 202, "", true, "202 Accepted",
            "key not yet verified"},
        AnswerCase{"IndexNowWrongKey", "json", "indexnow", 403, "", false, "403 Forbidden",
            "key not valid (key file missing, or the key not in it)"},
        AnswerCase{"IndexNowBusy", "json", "indexnow", 429, "", false, "429 Too Many Requests",
            "too many requests"},
        AnswerCase{"JsonElsewhere", "json", "api", 202, "", true, "202 Accepted", ""}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

// A target that cannot be posted as it stands sends nothing and says why.
TEST(BodyKindPost, RefusalsBeforePosting)
{
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    const std::string indexNow = server.Url("indexnow");
    const struct
    {
        std::string url;
        std::optional<std::string> kind;
        std::vector<CPostParam> params;
        const char* reason;
        std::optional<std::string> changes = std::nullopt;
    } rows[] = {
        {server.Url(), "", {}, "Unknown body kind “”"},
        {server.Url(), "JSON", {}, "Unknown body kind “JSON”"},
        {server.Url(), "xml-rpc", {{"name", std::string("a\0b", 3)}},
            "The value of “name” cannot be sent in an XML-RPC call"},
        {server.Url(), "json", {{"a", "1"}, {"a", "2"}},
            "“a” is given more than once, which a JSON body cannot hold"},
        {indexNow, "json", {{"host", "site.example"}}, "IndexNow needs a “key” parameter"},
        {indexNow, "json", {{"host", "site.example"}, {"key", "short"}},
            "The IndexNow key must be 8 to 128 letters, digits or hyphens"},
        {server.Url(), std::nullopt, {{"hub.url", "https://www.example.com/feed.xml"}},
            "Replace “www.example.com” in the parameter “hub.url” with your own"},
        {indexNow, "json", {{"host", "site.example"}, {"key", "your-indexnow-key"}},
            "Replace “your-indexnow-key” in the parameter “key” with your own"},
        {server.Url(), std::nullopt, {},
            "Replace “www.example.com” in “Changes from” with your own",
            "https://www.example.com/feed.xml"},
    };
    for (const auto& row : rows) {
        CSubmitHost host;
        Fill(host, row.url, row.kind, row.params);
        host.m_strChanges = row.changes;
        std::string result;
        EXPECT_FALSE(CFormPoster().PostInBackground(host, result));
        EXPECT_EQ(result, row.reason);
    }
    EXPECT_TRUE(server.Requests().empty());
}
