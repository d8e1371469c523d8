#pragma once

#include "core/net/HeaderFields.h"
#include "core/net/PostLimits.h"
#include "core/text/Text.h"

#include <curl/curl.h>

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a read does with an answer longer than its limit.
enum class FetchCap
{
    // Nothing is kept: a key file is judged whole or not at all.
    Refuse,
    // The first part is kept and m_bCut says so: a page's head is judged on it.
    KeepFirst,
    // As KeepFirst, and m_note says what was left out: a source goes on with what came.
    CutWithNote,
};

enum class FetchRedirects
{
    None,
    // Only to https, or between the bare and the www name, the path kept: a site's own move.
    SameSite,
    // Any http or https address, up to the limits' count.
    Any,
};

struct CFetchRequest
{
    CFetchRequest() = default;
    CFetchRequest(std::string url, std::size_t maxBytes, FetchCap cap, FetchRedirects redirects);

    std::string m_strUrl;
    std::size_t m_maxBytes = 256 * 1024;
    FetchCap m_cap = FetchCap::KeepFirst;
    FetchRedirects m_redirects = FetchRedirects::None;
    // The whole read's time; 0 for the settings' total time-out.
    long m_timeoutMs = 0;
    // Takes a successful answer's body as it comes instead of keeping it, with the address
    // redirects led to; false for no more, which ends the read as the limit does. An answer
    // that is no success says all by its status: its body is not taken.
    std::function<bool(const std::string& url, const char* data, std::size_t size)> m_take;
};

// What a read came to: an answer with a status, or a failure (m_failure) with none.
struct CFetchAnswer
{
    // Where the read ended, after the redirects it followed.
    std::string m_strUrl;
    bool m_bMoved = false;
    long m_status = 0;
    // The status line's reason as the server wrote it.
    std::string m_strReason;
    // Of the last answer, in order; several of one name stay several.
    CHeaderFields m_headers;
    std::string m_strContentType;
    std::string m_strBody;
    // The body went beyond the limit: empty under Refuse, its first part otherwise.
    bool m_bCut = false;
    CText m_note;
    // Why there is no answer; empty when there is one.
    CText m_failure;
    CURLcode m_code = CURLE_OK;
    bool m_bStopped = false;

    bool Answered() const { return m_failure.IsEmpty() && m_status != 0; }
    bool IsSuccess() const { return Answered() && m_status >= 200 && m_status <= 299; }
    // The first field of that name, in any case.
    std::optional<std::string> Header(std::string_view name) const;
};

struct CFetchSettings
{
    CPostSettings m_post;
    // "host:port:address" for CURLOPT_RESOLVE: names reached without asking the resolver.
    std::vector<std::string> m_resolve;
    // Reads of one group under way at once: all of a site's usual places in one round.
    long m_maxInFlight = 8;
};

// Blocking GETs for everything the program reads rather than posts, with a post's setup
// (CEasySetup) and name, over one multi handle whose connections later reads reuse. Reads that
// do not depend on each other go side by side (FetchAll). Setting the stop flag, from any
// thread, ends the reads under way. One group serves one thread.
class CFetchGroup
{
public:
    explicit CFetchGroup(const CFetchSettings& settings, const std::atomic<bool>* stop = nullptr);
    ~CFetchGroup();
    CFetchGroup(const CFetchGroup&) = delete;
    CFetchGroup& operator=(const CFetchGroup&) = delete;

    CFetchAnswer Fetch(const CFetchRequest& request);
    // Answers in the order of the requests.
    std::vector<CFetchAnswer> FetchAll(const std::vector<CFetchRequest>& requests);
    // Each answer as its read ends, by the index of its request, in the order they end. The
    // answer and its handle are let go after the call, so that a thousand reads hold no more
    // than those under way.
    void FetchEach(const std::vector<CFetchRequest>& requests,
        const std::function<void(std::size_t index, CFetchAnswer& answer)>& each);
    // The same for count requests, each asked of request as its read starts: ten thousand
    // reads need not be set up at once. Each read is started again as long as a redirect it
    // may follow says so.
    void FetchEach(std::size_t count,
        const std::function<CFetchRequest(std::size_t index)>& request,
        const std::function<void(std::size_t index, CFetchAnswer& answer)>& each);

    bool Stopped() const { return m_stop && m_stop->load(); }

private:
    class CTransfer;
    struct CMultiFree
    {
        void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
    };
    struct CListFree
    {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    using CTransfers = std::vector<std::unique_ptr<CTransfer>>;
    using Requests = std::function<CFetchRequest(std::size_t index)>;
    using Ended = std::function<void(std::size_t index, CFetchAnswer& answer)>;

    void Start(CTransfer& transfer);
    // Ends the active transfers libcurl says are done, but those that follow a redirect.
    void EndDone(CTransfers& active, const std::function<void(CTransfer& transfer)>& end);
    void Finish(CTransfer& transfer, CURLcode code);

    const CFetchSettings m_settings;
    const std::atomic<bool>* const m_stop;
    std::unique_ptr<curl_slist, CListFree> m_resolve;
    // A connection kept for reuse reports its close to the transfer that opened it: the flags
    // live as long as the cache, which goes first.
    std::deque<bool> m_reachedServer;
    std::unique_ptr<CURLM, CMultiFree> m_multi;
};

// Whether a redirect from one address to another is the site's own move: http to https, or
// the bare name to www or back, the path and query kept.
bool IsSiteMove(const std::string& from, const std::string& to);
