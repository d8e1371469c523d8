#pragma once

#include "core/net/PostLimits.h"
#include "core/post/PostRequest.h"
#include "core/post/PostResult.h"

#include <curl/curl.h>

#include <chrono>
#include <optional>
#include <string>

// One background post as libcurl performs it: the request's address as it was read, its body
// and content type, the limits, and where the answer goes. A single post and the posts
// of a run are set up, read and judged the same way.
//
// A post may take several transfers, each started by Start and ended by Finish: a redirect
// goes on as a transfer of its own to the server it names, so that server's other posts can
// be waited for (Step::Redirected), and a busy server that says when to come back is tried
// again then (Step::Waiting). A 301, 302, 307 or 308 sends the same post there, body and
// content type; a 303 says the service took it, and the page it names is fetched by GET and
// judged by its status alone. It does not move: libcurl holds pointers into it.
class CPostTransfer
{
public:
    // What is left to do once libcurl has ended a transfer.
    enum class Step
    {
        // Result() holds what the post came to.
        Done,
        // The next transfer goes to Server(), which may be another one now.
        Redirected,
        // The next transfer goes after RetryDelay(); Result() says so, as a result not final.
        Waiting,
    };

    CPostTransfer(const CPostSettings& settings, CPostRequest request);
    CPostTransfer(const CPostTransfer&) = delete;
    CPostTransfer& operator=(const CPostTransfer&) = delete;
    ~CPostTransfer();

    // "scheme://host:port" of the server the next transfer goes to.
    const std::string& Server() const { return m_strServer; }
    // Sets up the next transfer's easy handle; null when that failed, which Finish then
    // reports.
    CURL* Start();
    Step Finish(CURLcode code);
    const CPostResult& Result() const { return m_result; }
    std::chrono::milliseconds RetryDelay() const { return m_retryDelay; }
    // What a post ended before libcurl was done with it comes to.
    CPostResult Stopped() const;

    // "scheme://host:port" of the server a request posts to first, in lower case: posts with
    // the same key go to the same server.
    static std::string ServerKey(const CPostRequest& request);

private:
    static size_t OnData(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    CURLcode SetUp();
    // The request's header lines, the body's type among them; false when memory ran out.
    bool AddHeaders();
    // Where the answer to this transfer sends the post next, if anywhere; code is set when
    // the redirect may not be followed.
    bool Redirect(long status, CURLcode& code);
    bool WaitToRetry(long status);
    // The answer is an XML-RPC call's, read whole within the limit to be judged.
    bool IsXmlRpcAnswer() const;
    // Whether the service took the post, from its final answer.
    void Judge(CPostResult& result) const;
    bool AppendExcerpt(const char* data, size_t length);
    double Seconds() const;

    const CPostSettings m_settings;
    const CPostRequest m_request;
    // What the next transfer sends: the request, or where its redirects have led, by GET
    // after a 303.
    CPostRequest m_hop;
    bool m_bGet = false;
    std::string m_strServer;
    // Where the address of the list has moved for good: the redirects so far were all
    // permanent (301, 308), and this is where the last one led. Empty when it has not.
    std::string m_strMovedTo;
    bool m_bOnlyPermanent = true;
    long m_redirects = 0;
    int m_tries = 0;
    std::chrono::milliseconds m_retryDelay{0};
    // The first transfer's start, and the start of the try the limit on the whole counts from.
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_tryStart;
    bool m_bStarted = false;

    // The transfer under way.
    CURL* m_curl = nullptr;
    CAddress::Handle m_target;
    curl_slist* m_headers = nullptr;
    CURLcode m_setup = CURLE_OK;
    char m_error[CURL_ERROR_SIZE] = {};
    std::string m_strAnswer;
    std::string m_strExcerpt;
    std::size_t m_excerptChars = 0;
    std::string m_strServerReason;
    // The value of the last answer's Retry-After header, if it had one.
    std::optional<std::string> m_retryAfter;
    // The charset the last answer's Content-Type names, if any.
    std::string m_strCharset;
    bool m_bTooLarge = false;
    // The answer went on beyond the limit and what the verdict needs was read.
    bool m_bAnswerCut = false;
    bool m_bCutShort = false;
    // A connection to the server was made, although the transfer may have ended before
    // libcurl counted it as connected (in a TLS handshake).
    bool m_bReachedServer = false;

    CPostResult m_result;
};
