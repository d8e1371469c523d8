#include "core/net/Fetch.h"

#include "core/net/Address.h"
#include "core/net/EasySetup.h"
#include "core/net/TransferFailure.h"
#include "core/text/AsciiText.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <utility>

namespace {

struct CEasyFree
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

std::string WithoutWww(const std::string& host)
{
    return StartsWithNoCase(host, "www.") ? host.substr(4) : host;
}

std::string PathAndQuery(const CAddress& address)
{
    std::string path = address.Path();
    const std::size_t query = address.Url().find('?');
    if (query != std::string::npos)
        path += address.Url().substr(query, address.Url().find('#', query) - query);
    return path;
}

} // namespace

// One read in a group: the request, its answer as libcurl's callbacks fill it in, and its
// handle.
class CFetchGroup::CTransfer
{
public:
    CTransfer(const CFetchGroup& group, CFetchRequest request)
        : m_group(group)
        , m_request(std::move(request))
    {
        m_answer.m_strUrl = m_request.m_strUrl;
    }

    // Ready to read url afresh, as after a redirect.
    void Reset(const std::string& url)
    {
        const bool moved = m_answer.m_bMoved || url != m_request.m_strUrl;
        m_answer = CFetchAnswer();
        m_answer.m_strUrl = url;
        m_answer.m_bMoved = moved;
        m_bCapped = false;
        m_bTaking = false;
    }

    static size_t OnData(char* data, size_t size, size_t count, void* self);
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    const CFetchGroup& m_group;
    const CFetchRequest m_request;
    CFetchAnswer m_answer;
    std::unique_ptr<CURL, CEasyFree> m_curl;
    bool* m_reachedServer = nullptr;
    std::chrono::steady_clock::time_point m_start;
    // The body reached the limit and the transfer was ended for it: no failure.
    bool m_bCapped = false;
    bool m_bTaking = false;
    long m_moves = 0;
    bool m_bAgain = false;
    // Of its request among the group's.
    std::size_t m_index = 0;
};

size_t CFetchGroup::CTransfer::OnData(char* data, size_t size, size_t count, void* self)
{
    auto* transfer = static_cast<CTransfer*>(self);
    CFetchAnswer& answer = transfer->m_answer;
    const CFetchRequest& request = transfer->m_request;
    const size_t length = size * count;
    if (request.m_take) {
        long status = 0;
        curl_easy_getinfo(transfer->m_curl.get(), CURLINFO_RESPONSE_CODE, &status);
        const char* effective = nullptr;
        if (!std::exchange(transfer->m_bTaking, true)
            && curl_easy_getinfo(transfer->m_curl.get(), CURLINFO_EFFECTIVE_URL, &effective)
                == CURLE_OK
            && effective)
            answer.m_strUrl = effective;
        if (status >= 200 && status <= 299 && request.m_take(answer.m_strUrl, data, length))
            return length;
        transfer->m_bCapped = true;
        return 0;
    }
    const size_t room = request.m_maxBytes - answer.m_strBody.size();
    if (length <= room) {
        answer.m_strBody.append(data, length);
        return length;
    }
    answer.m_bCut = true;
    transfer->m_bCapped = true;
    if (request.m_cap == FetchCap::Refuse) {
        answer.m_strBody.clear();
        return 0;
    }
    answer.m_strBody.append(data, room);
    if (request.m_cap == FetchCap::CutWithNote)
        answer.m_note
            = CText(QT_TRANSLATE_NOOP("Quillpost", "Only the first %1 KiB of %2 were read"),
                {std::to_string(request.m_maxBytes / 1024), answer.m_strUrl});
    return 0;
}

size_t CFetchGroup::CTransfer::OnHeader(char* data, size_t size, size_t count, void* self)
{
    CFetchAnswer& answer = static_cast<CTransfer*>(self)->m_answer;
    const size_t length = size * count;
    const std::string_view line = TrimmedBlanks(std::string_view(data, length));
    if (StartsWithNoCase(line, "http/")) {
        // Each answer of a redirect's chain, or a 100 Continue, begins afresh.
        answer.m_headers.clear();
        answer.m_strReason.clear();
        const std::size_t code = line.find(' ');
        const std::size_t reason = code == std::string_view::npos ? code : line.find(' ', code + 1);
        if (reason != std::string_view::npos)
            answer.m_strReason = TrimmedBlanks(line.substr(reason + 1));
    } else if (!line.empty() && IsBlank(data[0]) && !answer.m_headers.empty()) {
        // A folded line goes on the field before it.
        answer.m_headers.back().m_strValue += " " + std::string(line);
    } else if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
        answer.m_headers.push_back({std::string(TrimmedBlanks(line.substr(0, colon))),
            std::string(TrimmedBlanks(line.substr(colon + 1)))});
    }
    return length;
}

int CFetchGroup::CTransfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<CTransfer*>(self)->m_group.Stopped() ? 1 : 0;
}

CFetchRequest::CFetchRequest(
    std::string url, std::size_t maxBytes, FetchCap cap, FetchRedirects redirects)
    : m_strUrl(std::move(url))
    , m_maxBytes(maxBytes)
    , m_cap(cap)
    , m_redirects(redirects)
{
}

std::optional<std::string> CFetchAnswer::Header(std::string_view name) const
{
    const std::string lower = LowerAscii(name);
    for (const CHeaderField& field : m_headers) {
        if (EqualsNoCase(field.m_strName, lower))
            return field.m_strValue;
    }
    return std::nullopt;
}

CFetchGroup::CFetchGroup(const CFetchSettings& settings, const std::atomic<bool>* stop)
    : m_settings(settings)
    , m_stop(stop)
    , m_multi(curl_multi_init())
{
    for (const std::string& entry : m_settings.m_resolve) {
        curl_slist* list = curl_slist_append(m_resolve.get(), entry.c_str());
        if (list) {
            (void)m_resolve.release();
            m_resolve.reset(list);
        }
    }
}

CFetchGroup::~CFetchGroup() = default;

CFetchAnswer CFetchGroup::Fetch(const CFetchRequest& request)
{
    return std::move(FetchAll({request}).front());
}

void CFetchGroup::FetchEach(const std::vector<CFetchRequest>& requests,
    const std::function<void(std::size_t index, CFetchAnswer& answer)>& each)
{
    FetchEach(
        requests.size(), [&requests](std::size_t index) { return requests[index]; }, each);
}

std::vector<CFetchAnswer> CFetchGroup::FetchAll(const std::vector<CFetchRequest>& requests)
{
    std::vector<CFetchAnswer> answers(requests.size());
    FetchEach(
        requests.size(), [&requests](std::size_t index) { return requests[index]; },
        [&answers](
            std::size_t index, CFetchAnswer& answer) { answers[index] = std::move(answer); });
    return answers;
}

void CFetchGroup::Start(CTransfer& transfer)
{
    transfer.m_bAgain = false;
    transfer.m_start = std::chrono::steady_clock::now();
    if (!transfer.m_curl) {
        transfer.m_curl.reset(curl_easy_init());
        transfer.m_reachedServer = &m_reachedServer.emplace_back(false);
    }
    CURL* const curl = transfer.m_curl.get();
    const CPostLimits& limits = m_settings.m_post.m_limits;
    CEasySetup setup(curl);
    const long timeoutMs = transfer.m_request.m_timeoutMs > 0 ? transfer.m_request.m_timeoutMs
                                                              : limits.m_totalTimeoutMs;
    setup.SetCommon(m_settings.m_post, timeoutMs, transfer.m_reachedServer);
    setup.Set(CURLOPT_URL, transfer.m_answer.m_strUrl.c_str());
    setup.Set(CURLOPT_HTTPGET, 1L);
    const bool follow = transfer.m_request.m_redirects == FetchRedirects::Any;
    setup.Set(CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
    setup.Set(CURLOPT_MAXREDIRS, limits.m_maxRedirects);
    setup.Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    if (m_resolve)
        setup.Set(CURLOPT_RESOLVE, m_resolve.get());
    setup.Set(CURLOPT_WRITEFUNCTION, &CTransfer::OnData);
    setup.Set(CURLOPT_WRITEDATA, static_cast<void*>(&transfer));
    setup.Set(CURLOPT_HEADERFUNCTION, &CTransfer::OnHeader);
    setup.Set(CURLOPT_HEADERDATA, static_cast<void*>(&transfer));
    setup.Set(CURLOPT_XFERINFOFUNCTION, &CTransfer::OnProgress);
    setup.Set(CURLOPT_XFERINFODATA, static_cast<void*>(&transfer));
    setup.Set(CURLOPT_NOPROGRESS, 0L);
    setup.Set(CURLOPT_PRIVATE, static_cast<void*>(&transfer));
    CURLcode code = setup.Code();
    if (code == CURLE_OK && (!m_multi || curl_multi_add_handle(m_multi.get(), curl) != CURLM_OK))
        code = CURLE_FAILED_INIT;
    if (code != CURLE_OK)
        Finish(transfer, code);
}

void CFetchGroup::FetchEach(std::size_t count, const Requests& request, const Ended& ended)
{
    std::size_t next = 0;
    // Only the transfers under way exist, so that a thousand reads hold no more than these.
    CTransfers active;
    const auto end = [&ended](CTransfer& transfer) { ended(transfer.m_index, transfer.m_answer); };
    const auto startMore = [&] {
        while (next < count
            && static_cast<long>(active.size()) < std::max(1L, m_settings.m_maxInFlight)) {
            auto transfer = std::make_unique<CTransfer>(*this, request(next));
            transfer->m_index = next++;
            Start(*transfer);
            if (transfer->m_answer.m_failure.IsEmpty())
                active.push_back(std::move(transfer));
            else
                end(*transfer);
        }
    };
    startMore();
    while (!active.empty()) {
        int running = 0;
        const CURLMcode performed = curl_multi_perform(m_multi.get(), &running);
        EndDone(active, end);
        if (performed != CURLM_OK || Stopped()) {
            const CURLcode code = Stopped() ? CURLE_ABORTED_BY_CALLBACK : CURLE_FAILED_INIT;
            for (const auto& transfer : active) {
                Finish(*transfer, code);
                curl_multi_remove_handle(m_multi.get(), transfer->m_curl.get());
                end(*transfer);
            }
            active.clear();
            for (; next < count; ++next) {
                CTransfer transfer(*this, request(next));
                transfer.m_index = next;
                Finish(transfer, code);
                end(transfer);
            }
            break;
        }
        startMore();
        // Stop is a flag, not a wake-up: look at it now and then.
        if (!active.empty())
            curl_multi_poll(m_multi.get(), nullptr, 0, 100, nullptr);
    }
}

void CFetchGroup::EndDone(CTransfers& active, const std::function<void(CTransfer&)>& end)
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi.get(), &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        void* data = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &data);
        auto* transfer = static_cast<CTransfer*>(data);
        Finish(*transfer, message->data.result);
        curl_multi_remove_handle(m_multi.get(), transfer->m_curl.get());
        if (transfer->m_bAgain) {
            Start(*transfer);
            if (transfer->m_answer.m_failure.IsEmpty())
                continue;
        }
        const auto found = std::find_if(active.begin(), active.end(),
            [transfer](const std::unique_ptr<CTransfer>& one) { return one.get() == transfer; });
        const std::unique_ptr<CTransfer> over = std::move(*found);
        active.erase(found);
        end(*over);
    }
}

void CFetchGroup::Finish(CTransfer& transfer, CURLcode code)
{
    CFetchAnswer& answer = transfer.m_answer;
    CURL* const curl = transfer.m_curl.get();
    answer.m_code = code;
    if (code == CURLE_ABORTED_BY_CALLBACK || Stopped()) {
        answer.m_bStopped = true;
        answer.m_failure = StoppedText();
        return;
    }
    if (code == CURLE_WRITE_ERROR && transfer.m_bCapped)
        code = answer.m_code = CURLE_OK;
    if (code != CURLE_OK) {
        answer.m_failure = TransferFailureText(code, curl, m_settings.m_post.m_limits,
            transfer.m_reachedServer && *transfer.m_reachedServer,
            std::chrono::steady_clock::now() - transfer.m_start);
        return;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.m_status);
    const char* text = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &text) == CURLE_OK && text)
        answer.m_strUrl = text;
    long redirects = 0;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &redirects) == CURLE_OK && redirects > 0)
        answer.m_bMoved = true;
    text = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &text) == CURLE_OK && text)
        answer.m_strContentType = text;

    if (transfer.m_request.m_redirects != FetchRedirects::SameSite || answer.m_status < 300
        || answer.m_status > 399 || transfer.m_moves >= m_settings.m_post.m_limits.m_maxRedirects)
        return;
    text = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &text) != CURLE_OK || !text
        || !IsSiteMove(answer.m_strUrl, text))
        return;
    ++transfer.m_moves;
    transfer.Reset(text);
    transfer.m_bAgain = true;
}

bool IsSiteMove(const std::string& from, const std::string& to)
{
    const CAddress before = CAddress::Read(from);
    const CAddress after = CAddress::Read(to);
    if (!before.IsValid() || !after.IsValid() || after.HasCredentials()
        || PathAndQuery(before) != PathAndQuery(after))
        return false;
    const bool toHttps = !before.Tls() && after.Tls();
    if (before.Tls() && !after.Tls())
        return false;
    const std::string hostBefore = LowerAscii(before.Host());
    const std::string hostAfter = LowerAscii(after.Host());
    if (WithoutWww(hostBefore) != WithoutWww(hostAfter))
        return false;
    // A port kept as it was, or dropped with the change of scheme.
    if (before.Port() != after.Port() && !toHttps)
        return false;
    return toHttps || hostBefore != hostAfter;
}
