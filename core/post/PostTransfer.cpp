#include "core/post/PostTransfer.h"

#include "core/indexnow/IndexNow.h"
#include "core/net/Address.h"
#include "core/net/EasySetup.h"
#include "core/net/TransferFailure.h"
#include "core/post/XmlRpcAnswer.h"

#include <algorithm>
#include <ctime>
#include <utility>

namespace {

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

// The charset a Content-Type value names: "text/xml; charset=windows-1252" names
// "windows-1252"; empty when it names none.
std::string CharsetOf(const std::string& contentType)
{
    constexpr char Charset[] = "charset=";
    std::size_t start = contentType.find(';');
    while (start != std::string::npos) {
        const std::size_t end = contentType.find(';', start + 1);
        const std::string param = TrimBlanks(contentType.substr(start + 1, end - start - 1));
        if (StartsWithNoCase(param, Charset)) {
            std::string value = TrimBlanks(param.substr(std::size(Charset) - 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return value;
        }
        start = end;
    }
    return std::string();
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

std::string CPostTransfer::ServerKey(const CPostRequest& request)
{
    return request.m_address.ServerKey();
}

CPostTransfer::CPostTransfer(const CPostSettings& settings, CPostRequest request)
    : m_settings(settings)
    , m_request(std::move(request))
    , m_hop(m_request)
    , m_strServer(ServerKey(m_request))
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
    if (!std::exchange(m_bStarted, true))
        m_start = m_tryStart = now;
    else if (m_result.m_status != 0 && !m_result.IsFinal())
        m_tryStart = now;
    if (m_curl)
        curl_easy_cleanup(m_curl);
    m_curl = nullptr;
    m_target.reset();
    curl_slist_free_all(m_headers);
    m_headers = nullptr;
    m_error[0] = '\0';
    m_strAnswer.clear();
    m_strExcerpt.clear();
    m_excerptChars = 0;
    m_strServerReason.clear();
    m_retryAfter.reset();
    m_strCharset.clear();
    m_bTooLarge = m_bAnswerCut = m_bCutShort = m_bReachedServer = false;
    m_result = CPostResult();
    m_setup = SetUp();
    return m_setup == CURLE_OK ? m_curl : nullptr;
}

CURLcode CPostTransfer::SetUp()
{
    const CAddress& address = m_hop.m_address;
    if (!address.IsValid())
        return CURLE_URL_MALFORMAT;
    // Credentials go with a redirect only to the server they were given for.
    const CAddress& given = m_request.m_address;
    const CAddress* login = address.HasCredentials()                    ? &address
        : given.HasCredentials() && m_strServer == ServerKey(m_request) ? &given
                                                                        : nullptr;
    const CPostLimits& limits = m_settings.m_limits;
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_tryStart);
    const long left = limits.m_totalTimeoutMs - static_cast<long>(spent.count());
    if (left <= 0)
        return CURLE_OPERATION_TIMEDOUT;
    // What was read is what is posted: libcurl takes the address as it was read, not as text.
    m_target = address.RequestHandle();
    if (!m_target)
        return CURLE_OUT_OF_MEMORY;
    m_curl = curl_easy_init();
    if (!m_curl)
        return CURLE_FAILED_INIT;
    if (!AddHeaders())
        return CURLE_OUT_OF_MEMORY;
    CEasySetup setup(m_curl);
    setup.Set(CURLOPT_ERRORBUFFER, m_error);
    setup.SetCommon(m_settings, left, &m_bReachedServer);
    setup.Set(CURLOPT_CURLU, m_target.get());
    setup.Set(CURLOPT_PATH_AS_IS, 1L);
    // The request line says HTTP/1.0: the request the program has always sent, which the wire
    // tests hold it to, so a service sees the same request from every version. Nothing in a
    // post needs 1.1: the body goes with its Content-Length and without Expect.
    setup.Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    setup.Set(CURLOPT_HTTPHEADER, m_headers);
    if (m_bGet) {
        setup.Set(CURLOPT_HTTPGET, 1L);
    } else {
        setup.Set(CURLOPT_POST, 1L);
        setup.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_hop.m_strBody.size()));
        setup.Set(CURLOPT_POSTFIELDS, m_hop.m_strBody.data());
    }
    if (login) {
        setup.Set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        setup.Set(CURLOPT_USERNAME, login->User().c_str());
        setup.Set(CURLOPT_PASSWORD, login->Password().c_str());
    }
    setup.Set(CURLOPT_WRITEFUNCTION, &CPostTransfer::OnData);
    setup.Set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    setup.Set(CURLOPT_HEADERFUNCTION, &CPostTransfer::OnHeader);
    setup.Set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    // Closed as the transfer ends, so the callback never outlives this object.
    setup.Set(CURLOPT_FORBID_REUSE, 1L);
    return setup.Code();
}

bool CPostTransfer::AddHeaders()
{
    const std::string contentType = "Content-Type: " + m_hop.m_strContentType;
    for (const char* line : {"Accept:", "Expect:", m_bGet ? nullptr : contentType.c_str()}) {
        if (!line)
            continue;
        curl_slist* grown = curl_slist_append(m_headers, line);
        if (!grown)
            return false;
        m_headers = grown;
    }
    return true;
}

// An answer is read as far as its verdict needs. A successful XML-RPC answer is judged on
// the whole, which must come within the size limit; any other successful answer is read to
// the limit for the caller that wants it, and the rest dropped. An XML-RPC answer that is no
// success may hold a fault to show, and is read to the limit too; of any other answer only
// the excerpt is wanted, since the status already decides the post.
size_t CPostTransfer::OnData(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CPostTransfer*>(self);
    const size_t length = size * count;
    long status = 0;
    curl_easy_getinfo(transfer->m_curl, CURLINFO_RESPONSE_CODE, &status);
    const bool xmlRpc = transfer->IsXmlRpcAnswer();
    if (IsSuccess(status) || xmlRpc) {
        const size_t room
            = transfer->m_settings.m_limits.m_maxBodyBytes - transfer->m_strAnswer.size();
        if (length <= room) {
            transfer->m_strAnswer.append(data, length);
            return length;
        }
        if (xmlRpc && IsSuccess(status)) {
            transfer->m_bTooLarge = true;
            return 0;
        }
        transfer->m_strAnswer.append(data, room);
        transfer->m_bAnswerCut = true;
        return 0;
    }
    if (transfer->AppendExcerpt(data, length)) {
        transfer->m_bCutShort = true;
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
    constexpr char ContentType[] = "content-type:";
    if (StartsWithNoCase(line, RetryAfter))
        transfer->m_retryAfter = TrimBlanks(line.substr(std::size(RetryAfter) - 1));
    if (StartsWithNoCase(line, ContentType))
        transfer->m_strCharset = CharsetOf(TrimBlanks(line.substr(std::size(ContentType) - 1)));
    if (line.compare(0, 5, "HTTP/") == 0) {
        const auto code = line.find(' ');
        const auto reason = code == std::string::npos ? code : line.find(' ', code + 1);
        transfer->m_strServerReason.clear();
        transfer->m_retryAfter.reset();
        transfer->m_strCharset.clear();
        if (reason != std::string::npos) {
            for (std::size_t i = reason + 1; i < line.size(); ++i) {
                if (static_cast<unsigned char>(line[i]) >= 0x20)
                    transfer->m_strServerReason += line[i];
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
        m_strExcerpt += data[i];
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
    if (m_strExcerpt.empty())
        AppendExcerpt(m_strAnswer.data(), m_strAnswer.size());
    result.m_strExcerpt = m_strExcerpt;
    result.m_strMovedTo = m_strMovedTo;

    long status = 0;
    if (m_curl && m_setup == CURLE_OK && (code == CURLE_OK || m_bCutShort || m_bAnswerCut))
        curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status);
    if (status > 0 && !m_bTooLarge) {
        // A redirect to follow gives no result; one not to be followed fails with why.
        if (Redirect(status, code)) {
            if (code == CURLE_OK)
                return Step::Redirected;
        } else {
            result.m_status = status;
            const char* reason = StandardReason(status);
            result.m_reason = CText::Verbatim(reason ? reason : m_strServerReason);
            if (WaitToRetry(status))
                return Step::Waiting;
            Judge(result);
            if (m_request.m_bKeepAnswer)
                result.m_strAnswer = std::move(m_strAnswer);
            return Step::Done;
        }
    }
    result.m_strError = m_error[0] ? m_error : curl_easy_strerror(code);
    result.m_reason = m_bTooLarge
        ? CText(QT_TRANSLATE_NOOP("Quillpost", "Answer larger than %1"),
            {Size(m_settings.m_limits.m_maxBodyBytes)})
        : TransferFailureText(code, m_curl, m_settings.m_limits, m_bReachedServer,
            std::chrono::steady_clock::now() - m_tryStart);
    return Step::Done;
}

// A post is delivered or it is no success: 301, 302, 307 and 308 send the same post to the
// new address, where browsers would turn it into a GET without the body and a page would
// pass for an answer. A 303 alone goes on by GET. Only to a web address, and only so many
// times.
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
    CAddress next = CAddress::Read(location);
    if (!next.IsValid()) {
        code = next.IsOtherScheme() ? CURLE_UNSUPPORTED_PROTOCOL : CURLE_URL_MALFORMAT;
        return true;
    }
    ++m_redirects;
    m_bOnlyPermanent = m_bOnlyPermanent && (status == 301 || status == 308);
    if (m_bOnlyPermanent)
        m_strMovedTo = next.Url();
    m_hop.m_address = std::move(next);
    if (status == 303) {
        m_bGet = true;
        m_hop.m_strBody.clear();
    }
    m_strServer = ServerKey(m_hop);
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
    m_result.m_outcome = PostOutcome::Waiting;
    //: A post the service asked to repeat later: "429 Too Many Requests · again in 30 s"
    m_result.m_serviceMessage
        = CText(QT_TRANSLATE_NOOP("Quillpost", "again in %1 s"), {std::to_string(seconds)});
    return true;
}

bool CPostTransfer::IsXmlRpcAnswer() const
{
    return m_request.m_kind == BodyKind::XmlRpc && !m_bGet;
}

void CPostTransfer::Judge(CPostResult& result) const
{
    bool success = IsSuccess(result.m_status);
    // After a 303 the page fetched is no answer to the call: its status alone decides.
    if (IsXmlRpcAnswer() && (success || !m_strAnswer.empty())) {
        const CXmlRpcVerdict verdict = JudgeXmlRpcAnswer(m_strAnswer, m_strCharset);
        // A server error may still say what went wrong, as a fault.
        if (success || verdict.m_bFault)
            result.m_serviceMessage = verdict.m_message;
        success = success && verdict.m_bSuccess;
    } else if (!m_bGet && m_request.m_bIndexNow) {
        result.m_serviceMessage = IndexNowMeaning(result.m_status, m_request.m_keyCheckedAt);
    }
    result.m_outcome = success ? PostOutcome::Succeeded : PostOutcome::Failed;
}

CPostResult CPostTransfer::Stopped() const
{
    CPostResult result;
    result.m_seconds = Seconds();
    result.m_finishedAt = std::chrono::system_clock::now();
    result.m_outcome = PostOutcome::Stopped;
    result.m_reason = StoppedText();
    return result;
}
