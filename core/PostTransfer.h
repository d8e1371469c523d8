#pragma once

#include "core/PostLimits.h"
#include "core/PostRequest.h"
#include "core/PostResult.h"

#include <curl/curl.h>

#include <chrono>
#include <string>

// One background post as libcurl performs it: the address read as users write it, the
// request's content type, the limits, and where the answer goes. A single post and the posts
// of a run are set up, read and judged the same way. It does not move: libcurl holds pointers
// into it.
class CPostTransfer
{
public:
    CPostTransfer(const CPostSettings& settings, CPostRequest request);
    CPostTransfer(const CPostTransfer&) = delete;
    CPostTransfer& operator=(const CPostTransfer&) = delete;
    ~CPostTransfer();

    // "scheme://host:port" of the server the post goes to.
    const std::string& Server() const { return m_server; }
    // Sets up the easy handle to perform; null when that failed, which Finish then reports.
    CURL* Start();
    // libcurl has ended the transfer with code: what the post came to is in Result().
    void Finish(CURLcode code);
    const CPostResult& Result() const { return m_result; }
    // What a post ended before libcurl was done with it comes to.
    CPostResult Stopped() const;
    // A successful answer's whole body, within the answer limit.
    std::string TakeBody() { return std::move(m_answer); }

    // "scheme://host:port" of the server a URL posts to, in lower case: posts with the same
    // key go to the same server.
    static std::string ServerKey(const std::string& url);

private:
    static size_t OnData(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    CURLcode SetUp();
    // Whether the service took the post, from its final answer.
    void Judge(CPostResult& result) const;
    bool AppendExcerpt(const char* data, size_t length);
    CText FailureText(CURLcode code) const;
    double Seconds() const;

    const CPostSettings m_settings;
    const CPostRequest m_request;
    const std::string m_server;
    std::chrono::steady_clock::time_point m_start;
    CURL* m_curl = nullptr;
    curl_slist* m_headers = nullptr;
    CURLcode m_setup = CURLE_OK;
    char m_error[CURL_ERROR_SIZE] = {};

    std::string m_answer;
    std::string m_excerpt;
    std::size_t m_excerptChars = 0;
    std::string m_serverReason;
    bool m_tooLarge = false;
    bool m_cutShort = false;
    CPostResult m_result;
};

// The server part of a URL (after a leading "http://" in any case, up to the first "/") into
// url, the rest after that "/" into object; object is untouched when there is no "/".
void SplitServerAndObject(std::string& url, std::string& object);
