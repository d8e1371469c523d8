#include "core/FormPoster.h"

#include "core/BrowserLauncher.h"
#include "core/SubmitHost.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

namespace {

const char HttpScheme[] = "http://";
const char HttpsScheme[] = "https://";
const char FormContentType[] = "Content-Type: application/x-www-form-urlencoded";
const char UserAgent[] = "Quillpost";

// Schemes are case-insensitive: "HTTP://" and "Http://" are as good as "http://".
bool BeginsWithScheme(const std::string& text, const char* scheme)
{
    const std::size_t length = std::char_traits<char>::length(scheme);
    if (text.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i])
            return false;
    }
    return true;
}

// Blanks and control characters around an address are not part of it (a browser drops
// them too); they come from pasting or hand-editing the data file.
std::string TrimBlanks(const std::string& text)
{
    const auto isBlank = [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// "%40" and the like in user information stand for the bytes a browser sends; a "%" not
// followed by two hex digits stays as it is.
std::string PercentDecode(const std::string& text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

void SplitAtSlash(std::string& url, std::string& object)
{
    const auto slash = url.find('/');
    if (slash == std::string::npos)
        return;
    object = url.substr(slash + 1);
    url.erase(slash);
}

// A server name is a host with an optional ":port". Characters that would make libcurl
// read user information, a path or a query out of it are refused rather than reinterpreted.
bool IsServerName(const std::string& server)
{
    if (server.empty())
        return false;
    for (const char ch : server) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte <= 0x20 || byte == 0x7F || ch == '@' || ch == '?' || ch == '#' || ch == '\\')
            return false;
    }
    return true;
}

// The object goes on the wire as written, except for bytes a request line cannot carry
// (controls, blanks, non-ASCII) and "#", which libcurl would cut off as a fragment: those
// are percent-escaped, so nothing is dropped and no header can be injected.
std::string RequestPath(const std::string& object)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string path = "/";
    for (const char ch : object) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte <= 0x20 || byte >= 0x7F || ch == '#') {
            path += '%';
            path += hex[byte >> 4];
            path += hex[byte & 0x0F];
        } else {
            path += ch;
        }
    }
    return path;
}

struct CurlEasyDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct CurlListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct ResponseSink
{
    CURL* curl = nullptr;
    std::string body;
    std::size_t maxBytes = 0;
    bool notOk = false;
};

// Only a 200's body is wanted; any other final status already decides the post, so its
// body is not read at all. A body beyond the limit ends the transfer.
size_t WriteBody(char* data, size_t size, size_t count, void* userData)
{
    auto* sink = static_cast<ResponseSink*>(userData);
    const size_t length = size * count;
    long status = 0;
    curl_easy_getinfo(sink->curl, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        sink->notOk = true;
        return 0;
    }
    if (length > sink->maxBytes - sink->body.size())
        return 0;
    sink->body.append(data, length);
    return length;
}

struct CurlMultiDeleter
{
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

// Runs the transfer on a multi handle of its own, so the abort flag is looked at every
// checkMs however long libcurl itself would sleep (up to a whole stall limit while a server
// says nothing).
CURLcode Perform(CURL* curl, const std::atomic<bool>* abort, long checkMs)
{
    const std::unique_ptr<CURLM, CurlMultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
        int queued = 0;
        const CURLMsg* message = curl_multi_info_read(multi.get(), &queued);
        if (message && message->msg == CURLMSG_DONE) {
            result = message->data.result;
            break;
        }
        if (abort && abort->load(std::memory_order_relaxed))
            break;
        if (curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(checkMs), nullptr)
            != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
    }
    curl_multi_remove_handle(multi.get(), curl);
    return result;
}

} // namespace

CFormPoster::CFormPoster(CBrowserLauncher* launcher, CPostLimits limits)
    : m_launcher(launcher)
    , m_limits(limits)
{
}

CFormPoster::~CFormPoster() = default;

void CFormPoster::SetCaFile(std::string path)
{
    m_strCaFile = std::move(path);
}

void CFormPoster::SplitUrl(std::string& url, std::string& object)
{
    std::string copy = url;
    if (BeginsWithScheme(copy, HttpScheme))
        copy.erase(0, std::char_traits<char>::length(HttpScheme));
    SplitAtSlash(copy, object);
    url = std::move(copy);
}

bool CFormPoster::PostInBackground(const CSubmitHost& host, std::string& result) const
{
    return PostInBackground(host.m_strUrl, host.GetPostData(), result);
}

bool CFormPoster::PostInBackground(const std::string& url, const std::string& body,
    std::string& result, const std::atomic<bool>* abort) const
{
    const auto fail = [&](const char* message) {
        result.assign(message);
        if (result.size() > m_limits.m_maxMessageLength)
            result.resize(m_limits.m_maxMessageLength);
        return false;
    };

    std::string server = TrimBlanks(url);
    std::string object;
    const bool tls = BeginsWithScheme(server, HttpsScheme);
    if (tls) {
        server.erase(0, std::char_traits<char>::length(HttpsScheme));
        SplitAtSlash(server, object);
    } else {
        SplitUrl(server, object);
    }
    // User information goes as basic authentication, never into the request target.
    std::string user;
    std::string password;
    const auto at = server.rfind('@');
    const bool credentials = at != std::string::npos && at > 0;
    if (at != std::string::npos) {
        const std::string userInfo = server.substr(0, at);
        server.erase(0, at + 1);
        const auto colon = userInfo.find(':');
        user = PercentDecode(userInfo.substr(0, colon));
        if (colon != std::string::npos)
            password = PercentDecode(userInfo.substr(colon + 1));
    }
    if (!IsServerName(server))
        return fail(curl_easy_strerror(CURLE_URL_MALFORMAT));
    const std::string target
        = std::string(tls ? HttpsScheme : HttpScheme) + server + RequestPath(object);

    const std::unique_ptr<CURL, CurlEasyDeleter> curl(curl_easy_init());
    if (!curl)
        return fail(curl_easy_strerror(CURLE_FAILED_INIT));
    std::unique_ptr<curl_slist, CurlListDeleter> headers;
    for (const char* line : {"Accept:", "Expect:", FormContentType}) {
        curl_slist* grown = curl_slist_append(headers.get(), line);
        if (!grown)
            return fail(curl_easy_strerror(CURLE_OUT_OF_MEMORY));
        headers.release();
        headers.reset(grown);
    }

    ResponseSink sink;
    sink.curl = curl.get();
    sink.maxBytes = m_limits.m_maxBodyBytes;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    CURL* h = curl.get();
    CURLcode rc = CURLE_OK;
    const auto set = [&](CURLoption option, auto value) {
        if (rc == CURLE_OK)
            rc = curl_easy_setopt(h, option, value);
    };
    set(CURLOPT_ERRORBUFFER, errorBuffer);
    set(CURLOPT_NOSIGNAL, 1L);
    // Without it, ending a transfer waits for a name lookup in progress, however long the
    // resolver takes: an abort or the connect time-out would not end the post.
    set(CURLOPT_QUICK_EXIT, 1L);
    set(CURLOPT_URL, target.c_str());
    set(CURLOPT_PATH_AS_IS, 1L);
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, m_limits.m_maxRedirects);
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_USERAGENT, UserAgent);
    set(CURLOPT_HTTPHEADER, headers.get());
    set(CURLOPT_POST, 1L);
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    set(CURLOPT_POSTFIELDS, body.data());
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_strCaFile.empty())
        set(CURLOPT_CAINFO, m_strCaFile.c_str());
    if (credentials) {
        set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        set(CURLOPT_USERNAME, user.c_str());
        set(CURLOPT_PASSWORD, password.c_str());
    }
    set(CURLOPT_CONNECTTIMEOUT_MS, m_limits.m_connectTimeoutMs);
    set(CURLOPT_LOW_SPEED_LIMIT, m_limits.m_lowSpeedBytes);
    set(CURLOPT_LOW_SPEED_TIME, m_limits.m_lowSpeedSeconds);
    set(CURLOPT_TIMEOUT_MS, m_limits.m_totalTimeoutMs);
    set(CURLOPT_WRITEFUNCTION, &WriteBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(&sink));
    if (rc != CURLE_OK)
        return fail(curl_easy_strerror(rc));

    rc = Perform(h, abort, m_limits.m_abortCheckMs);
    if (sink.notOk)
        return false;
    if (rc != CURLE_OK)
        return fail(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200)
        return false;
    result = std::move(sink.body);
    return true;
}

bool CFormPoster::SubmitInBrowser(const CSubmitHost& host) const
{
    PostInBrowser(host);
    return true;
}

void CFormPoster::PostInBrowser(const CSubmitHost& host) const
{
    if (!m_launcher)
        return;
    CBrowserPost post;
    post.m_strUrl = host.m_strUrl;
    post.m_strHeaders = std::string(FormContentType) + "\r\n";
    MakePostData(&post, host.GetPostData());
    m_launcher->Navigate(post);
}

bool CFormPoster::MakePostData(CBrowserPost* post, const std::string& body)
{
    if (!post)
        return false;
    post->m_postData.assign(body.data(), body.size());
    return true;
}
