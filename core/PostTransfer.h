#pragma once

#include "core/PostLimits.h"
#include "core/PostResult.h"

#include <curl/curl.h>

#include <chrono>
#include <string>

// One background POST as a libcurl easy handle: the address read as users write it, the form
// header, the limits and where the answer goes, set up the same way for a single post and for
// the posts of a run. It does not move: libcurl holds pointers into it.
class CPostTransfer
{
public:
    // keepBody: keep a final 200's whole body (within the limit) for TakeBody; otherwise only
    // the start of the answer is kept, for the result's excerpt.
    CPostTransfer(const CPostLimits& limits, const std::string& caFile, const std::string& url,
        std::string body, bool keepBody);
    CPostTransfer(const CPostTransfer&) = delete;
    CPostTransfer& operator=(const CPostTransfer&) = delete;
    ~CPostTransfer();

    // The handle to perform; null when the set-up failed, which Finish then reports.
    CURL* Handle() const { return m_setup == CURLE_OK ? m_curl : nullptr; }
    // What became of the post, once libcurl has ended it with code.
    CPostResult Finish(CURLcode code);
    // The same for a post ended before libcurl was done with it.
    CPostResult Stopped() const;
    std::string TakeBody() { return std::move(m_answer); }

    // "scheme://host:port" of the server a URL posts to, in lower case: posts with the same
    // key go to the same server.
    static std::string ServerKey(const std::string& url);

private:
    static size_t OnData(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    bool AppendExcerpt(const char* data, size_t length);
    std::string FailureText(CURLcode code) const;
    double Seconds() const;

    const CPostLimits m_limits;
    const bool m_keepBody;
    const std::chrono::steady_clock::time_point m_start;
    std::string m_body;
    CURL* m_curl = nullptr;
    curl_slist* m_headers = nullptr;
    CURLcode m_setup = CURLE_OK;
    char m_error[CURL_ERROR_SIZE] = {};

    std::string m_answer;
    std::string m_excerpt;
    std::size_t m_excerptChars = 0;
    std::size_t m_bytes = 0;
    std::string m_serverReason;
    bool m_tooLarge = false;
    bool m_cutShort = false;
};

// The server part of a URL (after a leading "http://" in any case, up to the first "/") into
// url, the rest after that "/" into object; object is untouched when there is no "/".
void SplitServerAndObject(std::string& url, std::string& object);
