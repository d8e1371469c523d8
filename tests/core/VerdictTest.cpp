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

} // namespace
