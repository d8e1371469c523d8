#include "core/post/FormPoster.h"

#include "core/net/Address.h"
#include "core/post/PostRequest.h"
#include "core/post/PostScheduler.h"
#include "core/system/BrowserLauncher.h"
#include "core/target/SubmitHost.h"

#include <condition_variable>
#include <iterator>
#include <mutex>
#include <optional>
#include <utility>

CFormPoster::CFormPoster(CBrowserLauncher* launcher, CPostSettings settings)
    : m_launcher(launcher)
    , m_settings(std::move(settings))
{
}

CFormPoster::~CFormPoster() = default;

// A split of the text as it stands, an operation of its own: posting reads addresses with
// CAddress.
void CFormPoster::SplitUrl(std::string& url, std::string& object)
{
    constexpr char HttpScheme[] = "http://";
    if (StartsWithNoCase(url, HttpScheme))
        url.erase(0, std::size(HttpScheme) - 1);
    const auto slash = url.find('/');
    if (slash == std::string::npos)
        return;
    object = url.substr(slash + 1);
    url.erase(slash);
}

bool CFormPoster::PostInBackground(const CSubmitHost& host, std::string& result) const
{
    CPostRequest request;
    CText refusal;
    if (!PrepareRequest(host, request, refusal)) {
        result = refusal.English();
        return false;
    }
    return PostInBackground(request, result);
}

// A single post goes the way the posts of a run go, through a scheduler of its own, so
// redirects, waits and the verdict cannot differ between the two.
bool CFormPoster::PostInBackground(const CPostRequest& request, std::string& result) const
{
    CPostRequest keeping = request;
    keeping.m_bKeepAnswer = true;
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<CPostResult> outcome;
    {
        CPostScheduler scheduler(m_settings, [&](const CPostResult& posted) {
            if (!posted.IsFinal())
                return;
            const std::lock_guard<std::mutex> lock(mutex);
            outcome = posted;
            ended.notify_one();
        });
        scheduler.Add({std::move(keeping)});
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [&outcome] { return outcome.has_value(); });
    }
    if (outcome->Succeeded()) {
        result = std::move(outcome->m_strAnswer);
        return true;
    }
    // An answer other than 200 leaves the text as it was; a failure puts libcurl's message.
    if (outcome->m_status == 0)
        result = std::move(outcome->m_strError);
    return false;
}

bool CFormPoster::SubmitInBrowser(const CSubmitHost& host) const
{
    PostInBrowser(host);
    return true;
}

void CFormPoster::PostInBrowser(const CSubmitHost& host) const
{
    CPostRequest request;
    CText refusal;
    if (!m_launcher || !PrepareRequest(host, request, refusal))
        return;
    PostInBrowser(request);
}

void CFormPoster::PostInBrowser(const CPostRequest& request) const
{
    if (m_launcher)
        m_launcher->Navigate(request);
}

bool CFormPoster::MakePostData(CPostRequest* request, const std::string& body)
{
    if (!request)
        return false;
    request->m_strBody.assign(body.data(), body.size());
    return true;
}
