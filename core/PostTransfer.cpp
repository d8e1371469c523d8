#include "core/PostTransfer.h"

#include "core/Address.h"
#include "core/IndexNow.h"
#include "core/TransferFailure.h"
#include "core/XmlRpcAnswer.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <utility>

namespace {

const char UserAgent[] = "Quillpost";

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

// Tries of a post a busy server may ask for, and how long it may ask us to wait.
constexpr int MaxTries = 3;
constexpr long long MaxRetryAfterSeconds = 120;

bool IsSuccess(long status)
{
    return status >= 200 && status <= 299;
}

bool IsRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsWebAddress(const std::string& url)
{
    return StartsWithNoCase(url, HttpScheme) || StartsWithNoCase(url, HttpsScheme);
}

// "1 MiB", "64 KiB", "1000 bytes".
std::string Size(std::size_t bytes)
{
    if (bytes > 0 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes > 0 && bytes % 1024 == 0)
        return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::string CPostTransfer::ServerKey(const std::string& url)
{
    const CAddress address = CAddress::Read(url);
    std::string host = address.Host();
    for (char& ch : host)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    // "host", "host:80", "host:080" and "host:" are one server to libcurl, so to us.
    std::string port = address.Port();
    port.erase(0, port.find_first_not_of('0'));
    if (port.empty())
        port = address.tls ? "443" : "80";
    return (address.tls ? HttpsScheme : HttpScheme) + host + ":" + port;
}

CPostTransfer::CPostTransfer(const CPostSettings& settings, CPostRequest request)
    : m_settings(settings)
    , m_request(std::move(request))
    , m_hop(m_request)
    , m_server(ServerKey(m_request.m_strUrl))
{
}

CPostTransfer::~CPostTransfer()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
    curl_slist_free_all(m_headers);
}

CURL* CPostTransfer::Start()
{
    const auto now = std::chrono::steady_clock::now();
    if (!std::exchange(m_started, true))
        m_start = m_tryStart = now;
    else if (m_result.m_status != 0 && !m_result.m_bFinal)
        m_tryStart = now;
    if (m_curl)
        curl_easy_cleanup(m_curl);
    m_curl = nullptr;
    curl_slist_free_all(m_headers);
    m_headers = nullptr;
    m_error[0] = '\0';
    m_answer.clear();
    m_excerpt.clear();
    m_excerptChars = 0;
    m_serverReason.clear();
    m_retryAfter.reset();
    m_tooLarge = m_cutShort = m_reachedServer = false;
    m_result = CPostResult();
    m_setup = SetUp();
    return m_setup == CURLE_OK ? m_curl : nullptr;
}

CURLcode CPostTransfer::SetUp()
{
    CAddress address = CAddress::Read(m_hop.m_strUrl);
    if (!IsServerName(address.server))
        return CURLE_URL_MALFORMAT;
    // Credentials go with a redirect only to the server they were given for.
    if (!address.credentials && m_server == ServerKey(m_request.m_strUrl)) {
        const CAddress given = CAddress::Read(m_request.m_strUrl);
        address.credentials = given.credentials;
        address.user = given.user;
        address.password = given.password;
    }
    const CPostLimits& limits = m_settings.m_limits;
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_tryStart);
    const long left = limits.m_totalTimeoutMs - static_cast<long>(spent.count());
    if (left <= 0)
        return CURLE_OPERATION_TIMEDOUT;
    m_curl = curl_easy_init();
    if (!m_curl)
        return CURLE_FAILED_INIT;
    const std::string contentType = "Content-Type: " + m_hop.m_strContentType;
    for (const char* line : {"Accept:", "Expect:", m_get ? nullptr : contentType.c_str()}) {
        if (!line)
            continue;
        curl_slist* grown = curl_slist_append(m_headers, line);
        if (!grown)
            return CURLE_OUT_OF_MEMORY;
        m_headers = grown;
    }
    const std::string target = std::string(address.tls ? HttpsScheme : HttpScheme) + address.server
        + RequestPath(address.object);

    CURLcode code = CURLE_OK;
    const auto set = [this, &code](CURLoption option, auto value) {
        if (code == CURLE_OK)
            code = curl_easy_setopt(m_curl, option, value);
    };
    set(CURLOPT_ERRORBUFFER, m_error);
    set(CURLOPT_NOSIGNAL, 1L);
    // Without it, ending a transfer waits for a name lookup in progress, however long the
    // resolver takes: Stop or the connect time-out would not end the post.
    set(CURLOPT_QUICK_EXIT, 1L);
    set(CURLOPT_URL, target.c_str());
    set(CURLOPT_PATH_AS_IS, 1L);
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(CURLOPT_USERAGENT, UserAgent);
    set(CURLOPT_HTTPHEADER, m_headers);
    if (m_get) {
        set(CURLOPT_HTTPGET, 1L);
    } else {
        set(CURLOPT_POST, 1L);
        set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_hop.m_body.size()));
        set(CURLOPT_POSTFIELDS, m_hop.m_body.data());
    }
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_settings.m_strCaFile.empty())
        set(CURLOPT_CAINFO, m_settings.m_strCaFile.c_str());
    if (address.credentials) {
        set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        set(CURLOPT_USERNAME, address.user.c_str());
        set(CURLOPT_PASSWORD, address.password.c_str());
    }
    set(CURLOPT_CONNECTTIMEOUT_MS, limits.m_connectTimeoutMs);
    set(CURLOPT_LOW_SPEED_LIMIT, limits.m_lowSpeedBytes);
    set(CURLOPT_LOW_SPEED_TIME, limits.m_lowSpeedSeconds);
    set(CURLOPT_TIMEOUT_MS, left);
    set(CURLOPT_WRITEFUNCTION, &CPostTransfer::OnData);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_HEADERFUNCTION, &CPostTransfer::OnHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    // Closed as the transfer ends, so the callback never outlives this object.
    set(CURLOPT_FORBID_REUSE, 1L);
    set(CURLOPT_CLOSESOCKETFUNCTION, &CloseSocketNotingPeer);
    set(CURLOPT_CLOSESOCKETDATA, static_cast<void*>(&m_reachedServer));
    return code;
}

// A successful answer is read to its end, within the size limit, to be judged and for the
// caller that wants it; of any other answer only the excerpt is wanted, since the status
// already decides the post.
size_t CPostTransfer::OnData(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CPostTransfer*>(self);
    const size_t length = size * count;
    long status = 0;
    curl_easy_getinfo(transfer->m_curl, CURLINFO_RESPONSE_CODE, &status);
    if (IsSuccess(status)) {
        if (length > transfer->m_settings.m_limits.m_maxBodyBytes - transfer->m_answer.size()) {
            transfer->m_tooLarge = true;
            return 0;
        }
        transfer->m_answer.append(data, length);
        return length;
    }
    if (transfer->AppendExcerpt(data, length)) {
        transfer->m_cutShort = true;
        return 0;
    }
    return length;
}

// Keeps the reason phrase of the last status line: redirects bring several.
size_t CPostTransfer::OnHeader(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CPostTransfer*>(self);
    const size_t length = size * count;
    const std::string line(data, length);
    constexpr char RetryAfter[] = "retry-after:";
    if (StartsWithNoCase(line, RetryAfter))
        transfer->m_retryAfter = TrimBlanks(line.substr(std::size(RetryAfter) - 1));
    if (line.compare(0, 5, "HTTP/") == 0) {
        const auto code = line.find(' ');
        const auto reason = code == std::string::npos ? code : line.find(' ', code + 1);
        transfer->m_serverReason.clear();
        transfer->m_retryAfter.reset();
        if (reason != std::string::npos) {
            for (std::size_t i = reason + 1; i < line.size(); ++i) {
                if (static_cast<unsigned char>(line[i]) >= 0x20)
                    transfer->m_serverReason += line[i];
            }
        }
    }
    return length;
}

// True when the answer went on beyond the excerpt.
bool CPostTransfer::AppendExcerpt(const char* data, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(data[i]) & 0xC0) != 0x80;
        if (startsCharacter) {
            if (m_excerptChars == CPostResult::ExcerptLength)
                return true;
            ++m_excerptChars;
        }
        m_excerpt += data[i];
    }
    return false;
}

double CPostTransfer::Seconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

CPostTransfer::Step CPostTransfer::Finish(CURLcode code)
{
    if (m_setup != CURLE_OK)
        code = m_setup;
    CPostResult& result = m_result;
    result.m_seconds = Seconds();
    result.m_finishedAt = std::chrono::system_clock::now();
    if (m_curl) {
        const char* finalUrl = nullptr;
        if (curl_easy_getinfo(m_curl, CURLINFO_EFFECTIVE_URL, &finalUrl) == CURLE_OK && finalUrl)
            result.m_strFinalUrl = finalUrl;
    }
    if (m_excerpt.empty())
        AppendExcerpt(m_answer.data(), m_answer.size());
    result.m_strExcerpt = m_excerpt;

    long status = 0;
    if (m_curl && m_setup == CURLE_OK && (code == CURLE_OK || m_cutShort))
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
    if (status > 0 && !m_tooLarge) {
        // A redirect to follow gives no result; one not to be followed fails with why.
        if (Redirect(status, code)) {
            if (code == CURLE_OK)
                return Step::Redirected;
        } else {
            result.m_status = status;
            const char* reason = StandardReason(status);
            result.m_reason = CText::Verbatim(reason ? reason : m_serverReason);
            if (WaitToRetry(status))
                return Step::Waiting;
            Judge(result);
            return Step::Done;
        }
    }
    result.m_strError = m_error[0] ? m_error : curl_easy_strerror(code);
    result.m_reason = m_tooLarge
        ? CText(QT_TRANSLATE_NOOP("Quillpost", "Answer larger than %1"),
            {Size(m_settings.m_limits.m_maxBodyBytes)})
        : TransferFailureText(code, m_curl, m_settings.m_limits, m_reachedServer,
            std::chrono::steady_clock::now() - m_tryStart);
    return Step::Done;
}

// As libcurl follows redirects by itself: 301, 302 and 303 go on by GET, 307 and 308 repeat
// the POST; only to a web address, and only so many times.
bool CPostTransfer::Redirect(long status, CURLcode& code)
{
    const char* location = nullptr;
    if (!IsRedirect(status)
        || curl_easy_getinfo(m_curl, CURLINFO_REDIRECT_URL, &location) != CURLE_OK || !location)
        return false;
    if (m_redirects == m_settings.m_limits.m_maxRedirects) {
        code = CURLE_TOO_MANY_REDIRECTS;
        return true;
    }
    if (!IsWebAddress(location)) {
        code = CURLE_UNSUPPORTED_PROTOCOL;
        return true;
    }
    ++m_redirects;
    m_hop.m_strUrl = location;
    if (status == 301 || status == 302 || status == 303) {
        m_get = true;
        m_hop.m_body.clear();
    }
    m_server = ServerKey(m_hop.m_strUrl);
    code = CURLE_OK;
    return true;
}

// A busy server (429, 503) that says when to come back, in seconds or as a date, within two
// minutes gets the post again then, up to MaxTries in all.
bool CPostTransfer::WaitToRetry(long status)
{
    if ((status != 429 && status != 503) || !m_retryAfter || m_tries + 1 >= MaxTries)
        return false;
    const std::string& value = *m_retryAfter;
    long long seconds = -1;
    if (!value.empty() && value.size() <= 9
        && value.find_first_not_of("0123456789") == std::string::npos) {
        seconds = std::stoll(value);
    } else if (const std::time_t date = curl_getdate(value.c_str(), nullptr); date != -1) {
        // A time gone by already is now.
        seconds = std::max<long long>(0, date - std::time(nullptr));
    }
    if (seconds < 0 || seconds > MaxRetryAfterSeconds)
        return false;
    ++m_tries;
    m_retryDelay = std::chrono::seconds(seconds);
    m_result.m_bFinal = false;
    //: A post the service asked to repeat later: "429 Too Many Requests · again in 30 s"
    m_result.m_serviceMessage
        = CText(QT_TRANSLATE_NOOP("Quillpost", "again in %1 s"), {std::to_string(seconds)});
    return true;
}

void CPostTransfer::Judge(CPostResult& result) const
{
    result.m_bSuccess = IsSuccess(result.m_status);
    if (m_request.m_kind == BodyKind::XmlRpc && result.m_bSuccess) {
        const XmlRpcVerdict verdict = JudgeXmlRpcAnswer(m_answer);
        result.m_bSuccess = verdict.m_bSuccess;
        result.m_serviceMessage = verdict.m_message;
    } else if (m_request.m_kind == BodyKind::Json && IsIndexNowAddress(m_request.m_strUrl)) {
        result.m_serviceMessage = IndexNowMeaning(result.m_status);
    }
}

CPostResult CPostTransfer::Stopped() const
{
    CPostResult result;
    result.m_seconds = Seconds();
    result.m_finishedAt = std::chrono::system_clock::now();
    result.m_reason = StoppedText();
    return result;
}
