#include "core/post/FormPoster.h"
#include "core/post/PostScheduler.h"
#include "core/system/BrowserLauncher.h"
#include "core/target/SubmitHost.h"
#include "tests/support/LocalServer.h"
#include "tests/support/ResultSummary.h"
#include "tests/support/TlsServer.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <thread>

namespace {

const std::string Untouched = "untouched";

CPostRequest Form(const std::string& url, const std::string& body)
{
    CPostRequest request;
    request.m_address = CAddress::Read(url);
    request.m_strBody = body;
    return request;
}

bool PostForm(
    const CFormPoster& poster, const std::string& url, const std::string& body, std::string& result)
{
    return poster.PostInBackground(Form(url, body), result);
}

// One post the way a run makes it, with what the run reports.
CPostResult PostInRun(const CFormPoster& poster, const std::string& url)
{
    std::promise<CPostResult> reported;
    CPostScheduler scheduler(
        poster.Settings(), [&reported](const CPostResult& result) { reported.set_value(result); });
    scheduler.Add({Form(url, "a=1")});
    return reported.get_future().get();
}

// Short limits, so a server that never answers costs a test seconds.
CPostSettings ShortLimits()
{
    CPostSettings settings;
    CPostLimits& limits = settings.m_limits;
    limits.m_connectTimeoutMs = 3000;
    limits.m_lowSpeedSeconds = 1;
    // Well above the stall limit, which libcurl judges over a few seconds of traffic.
    limits.m_totalTimeoutMs = 10000;
    return settings;
}

struct SplitCase
{
    const char* url;
    const char* server;
    const char* object;
};

class SplitUrlTest : public testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitUrlTest, SplitsServerAndObject)
{
    std::string server = GetParam().url;
    std::string object = "kept";
    CFormPoster::SplitUrl(server, object);
    EXPECT_EQ(server, GetParam().server);
    EXPECT_EQ(object, GetParam().object);
}

INSTANTIATE_TEST_SUITE_P(Urls, SplitUrlTest,
    testing::Values(SplitCase{"http://host/cgi/submit?u=1", "host", "cgi/submit?u=1"},
        SplitCase{"http://host", "host", "kept"}, SplitCase{"http://host/", "host", ""},
        SplitCase{"host/path", "host", "path"}, SplitCase{"HTTP://host/x", "host", "x"},
        SplitCase{"Http://host", "host", "kept"},
        SplitCase{"http://host:8080/x#top", "host:8080", "x#top"},
        // The scheme is removed only at the very start.
        SplitCase{"xhttp://host/x", "xhttp:", "/host/x"},
        SplitCase{"https://host/x", "https:", "/host/x"}));

struct WireCase
{
    const char* name;
    const char* path; // after "http://127.0.0.1:<port>"
    std::vector<CPostParam> params;
    const char* requestLine;
    const char* body;
};

class PostWireTest : public testing::TestWithParam<WireCase>
{
};

TEST_P(PostWireTest, SendsExactRequest)
{
    const WireCase& c = GetParam();
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(200, "ok"); });
    CSubmitHost host;
    host.m_strUrl = "http://127.0.0.1:" + std::to_string(server.Port()) + c.path;
    for (const auto& param : c.params)
        host.AddParam(param);

    std::string result;
    ASSERT_TRUE(CFormPoster(nullptr, ShortLimits()).PostInBackground(host, result)) << result;
    EXPECT_EQ(result, "ok");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const CRecordedRequest& request = requests[0];
    EXPECT_EQ(request.m_requestLine, c.requestLine);
    EXPECT_EQ(request.HeaderNames(),
        (std::vector<std::string>{"Host", "User-Agent", "Content-Type", "Content-Length"}));
    EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
    EXPECT_EQ(request.Header("User-Agent"), "Quillpost");
    EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(std::string(c.body).size()));
    EXPECT_EQ(request.m_body, c.body);
}

INSTANTIATE_TEST_SUITE_P(Requests, PostWireTest,
    testing::Values(
        WireCase{"BlanksReservedUtf8", "/cgi/submit",
            {{"furl", "see: a/b?c=1"}, {"x y", "1 2"}, {"u", "\xC3\xA9\xE2\x82\xAC"}},
            "POST /cgi/submit HTTP/1.0", "furl=see%3A%20a%2Fb%3Fc%3D1&x y=1%202&u=%C3%A9%E2%82%AC"},
        WireCase{"EmptyBody", "/x", {}, "POST /x HTTP/1.0", ""},
        WireCase{"OnlyBlanks", "/x", {{"", ""}}, "POST /x HTTP/1.0", "="},
        WireCase{"Query", "/cgi/submit?u=1&v=a%2Fb", {{"a", "1"}},
            "POST /cgi/submit?u=1&v=a%2Fb HTTP/1.0", "a=1"},
        WireCase{"NoPath", "", {{"a", "1"}}, "POST / HTTP/1.0", "a=1"},
        WireCase{"RootPath", "/", {{"a", "1"}}, "POST / HTTP/1.0", "a=1"},
        WireCase{"DotSegmentsAsWritten", "/a/../b/./c", {{"a", "1"}}, "POST /a/../b/./c HTTP/1.0",
            "a=1"},
        // The fragment is the page's own: it never goes on the wire.
        WireCase{"Fragment", "/a%20b?q=1#top", {{"a", "1"}}, "POST /a%20b?q=1 HTTP/1.0", "a=1"},
        // Bytes beyond ASCII in the path are escaped, as libcurl sends them.
        WireCase{"Utf8Path", "/caf\xC3\xA9", {{"a", "1"}}, "POST /caf%c3%a9 HTTP/1.0", "a=1"}),
    [](const testing::TestParamInfo<WireCase>& info) { return std::string(info.param.name); });

TEST(PostWire, UrlWithoutSchemeUsesItsPort)
{
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    std::string result;
    EXPECT_TRUE(PostForm(CFormPoster(nullptr, ShortLimits()),
        "127.0.0.1:" + std::to_string(server.Port()) + "/p", "a=1", result));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].m_requestLine, "POST /p HTTP/1.0");
}

// Addresses as people type or paste them reach the server a browser would reach.
TEST(PostWire, AddressesAsUsersWriteThem)
{
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Status(200); });
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    const struct
    {
        std::string url;
        const char* requestLine;
        const char* authorization;
    } cases[] = {
        {"HTTP://" + hostPort + "/upper", "POST /upper HTTP/1.0", ""},
        {"Http://" + hostPort, "POST / HTTP/1.0", ""},
        {" \t http://" + hostPort + "/padded \r\n", "POST /padded HTTP/1.0", ""},
        {"http://user:password@" + hostPort + "/in", "POST /in HTTP/1.0",
            "Basic dXNlcjpwYXNzd29yZA=="},
        // Percent-escapes decoded, the last "@" ends the user information.
        {"http://us%40er:p:ss%20w@" + hostPort + "/esc", "POST /esc HTTP/1.0",
            "Basic dXNAZXI6cDpzcyB3"},
    };
    const CFormPoster poster(nullptr, ShortLimits());
    for (const auto& c : cases) {
        std::string result;
        EXPECT_TRUE(PostForm(poster, c.url, "a=1", result)) << c.url << ": " << result;
    }
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), std::size(cases));
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].m_requestLine, cases[i].requestLine) << cases[i].url;
        EXPECT_EQ(requests[i].Header("Host"), hostPort) << cases[i].url;
        EXPECT_EQ(requests[i].Header("Authorization"), cases[i].authorization) << cases[i].url;
    }
}

struct OutcomeCase
{
    const char* name;
    std::function<CScriptedReply(const CRecordedRequest&)> reply;
    bool success;
    std::optional<std::string> result; // none: a libcurl message
    const char* summary; // what the row of a run says
};

class PostOutcomeTest : public testing::TestWithParam<OutcomeCase>
{
protected:
    CFormPoster Poster() const
    {
        CPostSettings settings = ShortLimits();
        settings.m_limits.m_maxBodyBytes = 64 * 1024;
        return CFormPoster(nullptr, settings);
    }
};

TEST_P(PostOutcomeTest, OnlyFinalOkSucceeds)
{
    const OutcomeCase& c = GetParam();
    CLocalServer server(c.reply);
    std::string result = Untouched;
    EXPECT_EQ(PostForm(Poster(), server.Url("form"), "a=1", result), c.success);
    if (c.result) {
        EXPECT_EQ(result, *c.result);
    } else {
        EXPECT_NE(result, Untouched);
        EXPECT_FALSE(result.empty());
        EXPECT_LE(result.size(), 1022u);
    }
}

TEST_P(PostOutcomeTest, ResultSaysWhatHappened)
{
    const OutcomeCase& c = GetParam();
    CLocalServer server(c.reply);
    const CPostResult result = PostInRun(Poster(), server.Url("form"));
    EXPECT_EQ(result.Succeeded(), c.success);
    EXPECT_EQ(Summary(result), c.summary);
    // Failures carry libcurl's own words beside the plain ones; answers do not.
    EXPECT_EQ(result.m_strError.empty(), result.m_status != 0) << result.m_strError;
}

CScriptedReply RedirectOnce(const CRecordedRequest& request, int code)
{
    if (request.m_requestLine.find("/landed") != std::string::npos)
        return CScriptedReply::Status(200, request.m_requestLine + "|" + request.m_body);
    return CScriptedReply::Redirect(code, "/landed");
}

INSTANTIATE_TEST_SUITE_P(Replies, PostOutcomeTest,
    testing::Values(OutcomeCase{"OkWithBody",
                        [](auto&) { return CScriptedReply::Status(200, "thanks\r\nline 2\n"); },
                        true, "thanks\r\nline 2\n", "200 OK"},
        OutcomeCase{
            "OkEmpty", [](auto&) { return CScriptedReply::Status(200); }, true, "", "200 OK"},
        OutcomeCase{"OkBodyAtLimit",
            [](auto&) { return CScriptedReply::Status(200, std::string(65536, 'b')); }, true,
            std::string(65536, 'b'), "200 OK"},
        // A form's answer is judged by its status: what is beyond the limit is dropped.
        OutcomeCase{"OkBodyOverLimit",
            [](auto&) { return CScriptedReply::Status(200, std::string(65537, 'b')); }, true,
            std::string(65536, 'b'), "200 OK"},
        // Every 2xx is the service taking the post: a hub's 204, IndexNow's 202.
        OutcomeCase{"Created", [](auto&) { return CScriptedReply::Status(201, "made"); }, true,
            "made", "201 Created"},
        OutcomeCase{"Accepted", [](auto&) { return CScriptedReply::Status(202); }, true, "",
            "202 Accepted"},
        OutcomeCase{"NoContent", [](auto&) { return CScriptedReply::Status(204); }, true, "",
            "204 No Content"},
        OutcomeCase{"NotFound", [](auto&) { return CScriptedReply::Status(404, "nope"); }, false,
            Untouched, "404 Not Found"},
        OutcomeCase{"ServerError", [](auto&) { return CScriptedReply::Status(500, "boom"); }, false,
            Untouched, "500 Internal Server Error"},
        // A code the standard does not name keeps the server's own words.
        OutcomeCase{"UnnamedCode", [](auto&) { return CScriptedReply::Status(299); }, true, "",
            "299 Scripted"},
        OutcomeCase{"UnnamedFailure", [](auto&) { return CScriptedReply::Status(599); }, false,
            Untouched, "599 Scripted"},
        OutcomeCase{"NotModified", [](auto&) { return CScriptedReply::Status(304); }, false,
            Untouched, "304 Not Modified"},
        OutcomeCase{"ErrorWithEndlessBody",
            [](auto&) {
                auto reply = CScriptedReply::EndlessBody();
                reply.m_raw.replace(9, 6, "503 No");
                return reply;
            },
            false, Untouched, "503 Service Unavailable"},
        // A post moved is posted again there; 303 alone says "taken, see there".
        OutcomeCase{"Found", [](auto& r) { return RedirectOnce(r, 302); }, true,
            "POST /landed HTTP/1.0|a=1", "200 OK"},
        OutcomeCase{"SeeOther", [](auto& r) { return RedirectOnce(r, 303); }, true,
            "GET /landed HTTP/1.0|", "200 OK"},
        OutcomeCase{"Temporary", [](auto& r) { return RedirectOnce(r, 307); }, true,
            "POST /landed HTTP/1.0|a=1", "200 OK"},
        OutcomeCase{"RedirectLoop", [](auto&) { return CScriptedReply::Redirect(302, "/again"); },
            false, std::nullopt, "Too many redirects"},
        OutcomeCase{"RedirectToFile",
            [](auto&) { return CScriptedReply::Redirect(302, "file:///etc/passwd"); }, false,
            std::nullopt, "Not a web address"},
        OutcomeCase{"NeverAnswers", [](auto&) { return CScriptedReply::Hang(); }, false,
            std::nullopt, "No answer within 1 s"},
        OutcomeCase{"EndlessBody", [](auto&) { return CScriptedReply::EndlessBody(); }, true,
            std::string(65536, 'x'), "200 OK"}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

// What a user needs to look into a post: where it ended up and how the answer began.
TEST(PostOutcome, ResultKeepsFinalAddressAndExcerpt)
{
    // 299 characters, then a two-byte one that still fits, then more than the excerpt holds.
    const std::string page = std::string(299, 'p') + "\xC3\xA9" + std::string(5000, 'q');
    CLocalServer server([&](const CRecordedRequest& request) {
        if (request.m_requestLine.find("/moved") != std::string::npos)
            return CScriptedReply::Status(404, page);
        return CScriptedReply::Redirect(307, "/moved");
    });
    const CPostResult result = PostInRun(CFormPoster(nullptr, ShortLimits()), server.Url("old"));
    EXPECT_EQ(Summary(result), "404 Not Found");
    EXPECT_EQ(result.m_strFinalUrl, server.Url("moved"));
    EXPECT_EQ(result.m_strExcerpt, page.substr(0, 301));
    EXPECT_GT(result.m_seconds, 0);
    // The rest of an answer that already failed is not read.
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST(PostOutcome, FailuresInPlainWords)
{
    const CFormPoster poster(nullptr, ShortLimits());
    const std::string refused
        = "http://127.0.0.1:" + std::to_string(CLocalServer::UnusedPort()) + "/x";
    EXPECT_EQ(Summary(PostInRun(poster, refused)), "Connection refused");
    EXPECT_EQ(
        Summary(PostInRun(poster, "http://quillpost-nowhere.invalid/x")), "Server name not found");
    EXPECT_EQ(Summary(PostInRun(poster, "http://user@/x")), "Not a usable address");

    // A secure address to a server that connects but never speaks TLS.
    CLocalServer plain([](const CRecordedRequest&) { return CScriptedReply::Hang(); });
    EXPECT_EQ(Summary(PostInRun(poster, "hTTpS://127.0.0.1:" + std::to_string(plain.Port()) + "/")),
        "No TLS handshake within 3 s");

    CTlsServer tls;
    const CPostResult untrusted = PostInRun(poster, tls.Url("f"));
    EXPECT_EQ(Summary(untrusted), "Certificate not trusted");
    EXPECT_FALSE(untrusted.m_strError.empty());
}

TEST(PostOutcome, RedirectLoopStopsAfterTen)
{
    CLocalServer server(
        [](const CRecordedRequest&) { return CScriptedReply::Redirect(302, "/x"); });
    std::string result;
    EXPECT_FALSE(PostForm(CFormPoster(nullptr, ShortLimits()), server.Url(), "", result));
    EXPECT_EQ(server.Requests().size(), 11u);
}

TEST(PostOutcome, UnreachableServersGiveMessage)
{
    const CFormPoster poster(nullptr, ShortLimits());
    for (const std::string& url :
        {"http://127.0.0.1:" + std::to_string(CLocalServer::UnusedPort()) + "/x",
            std::string("http://quillpost-nowhere.invalid/x"), std::string("http:///x"),
            std::string("http://user@/x"), std::string(" \t ")}) {
        std::string result;
        EXPECT_FALSE(PostForm(poster, url, "a=1", result)) << url;
        EXPECT_FALSE(result.empty()) << url;
    }
}

TEST(PostTls, VerifiesCertificate)
{
    CTlsServer server;
    std::string result;
    // The test certificate is not trusted by the system: checks are on.
    EXPECT_FALSE(PostForm(CFormPoster(nullptr, ShortLimits()), server.Url("f"), "a=1", result));
    EXPECT_TRUE(server.LastBody().empty());

    CPostSettings settings = ShortLimits();
    settings.m_strCaFile = CTlsServer::CertificateFile();
    const CFormPoster trusting(nullptr, settings);
    result.clear();
    EXPECT_TRUE(PostForm(trusting, server.Url("f"), "a=1&b=%20", result)) << result;
    EXPECT_EQ(result, "tls ok");
    EXPECT_EQ(server.LastBody(), "a=1&b=%20");

    // The scheme in capitals is still a secure one, not a server named "HTTPS".
    std::string upper = server.Url("f");
    upper.replace(0, 5, "HTTPS");
    result.clear();
    EXPECT_TRUE(PostForm(trusting, upper, "c=3", result)) << result;
    EXPECT_EQ(server.LastBody(), "c=3");
}

class RecordingLauncher : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest& request) override { m_posts.push_back(request); }
    std::vector<CPostRequest> m_posts;
};

TEST(BrowserPost, HandsExactBytesAndHeader)
{
    RecordingLauncher launcher;
    const CFormPoster poster(&launcher);
    CSubmitHost host;
    host.m_strUrl = "https://forms.example/submit?x=1";
    host.AddParam(CPostParam("a", "1"));
    host.AddParam(CPostParam("b", "x y"));
    EXPECT_TRUE(poster.SubmitInBrowser(host));

    CSubmitHost empty;
    empty.m_strUrl = "forms.example";
    EXPECT_TRUE(poster.SubmitInBrowser(empty));

    // A NUL in a name is part of the body, not its end.
    CSubmitHost nul;
    nul.m_strUrl = "forms.example/nul";
    nul.AddParam(CPostParam(std::string("n\0m", 3), "v"));
    EXPECT_TRUE(poster.SubmitInBrowser(nul));

    ASSERT_EQ(launcher.m_posts.size(), 3u);
    EXPECT_EQ(launcher.m_posts[0].m_address.Url(), "https://forms.example/submit?x=1");
    EXPECT_EQ(launcher.m_posts[0].m_strBody, "a=1&b=x%20y");
    EXPECT_EQ(launcher.m_posts[0].m_strContentType, "application/x-www-form-urlencoded");
    // As libcurl reads it: without a scheme, http.
    EXPECT_EQ(launcher.m_posts[1].m_address.Url(), "http://forms.example/");
    EXPECT_TRUE(launcher.m_posts[1].m_strBody.empty());
    EXPECT_EQ(launcher.m_posts[2].m_strBody, std::string("n\0m=v", 5));
}

// The browser window posts every kind with the body and content type a background post sends,
// and nothing for a target that cannot be posted.
TEST(BrowserPost, EveryKindAsInTheBackground)
{
    RecordingLauncher launcher;
    const CFormPoster poster(&launcher);
    for (const char* kind : {"xml-rpc", "json", "unknown"}) {
        CSubmitHost host;
        host.m_strUrl = "https://service.example/";
        host.m_strBodyKind = kind;
        host.AddParam(CPostParam("name", "Site & co"));
        EXPECT_TRUE(poster.SubmitInBrowser(host));
        CPostRequest request;
        CText refusal;
        if (PrepareRequest(host, request, refusal)) {
            ASSERT_FALSE(launcher.m_posts.empty());
            EXPECT_EQ(launcher.m_posts.back().m_strBody, request.m_strBody);
            EXPECT_EQ(launcher.m_posts.back().m_strContentType, request.m_strContentType);
        }
    }
    ASSERT_EQ(launcher.m_posts.size(), 2u);
    EXPECT_EQ(launcher.m_posts[0].m_strContentType, "text/xml");
    EXPECT_EQ(launcher.m_posts[1].m_strBody, "{\"name\":\"Site & co\"}");
}

} // namespace
