#include "core/FormPoster.h"

#include "core/Address.h"
#include "core/BrowserLauncher.h"
#include "core/PostRequest.h"
#include "core/PostTransfer.h"
#include "core/SubmitHost.h"

#include <curl/curl.h>

#include <iterator>
#include <thread>
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

bool CFormPoster::PostInBackground(const CPostRequest& request, std::string& result) const
{
    CPostTransfer transfer(m_settings, request);
    for (;;) {
        CURL* handle = transfer.Start();
        const CPostTransfer::Step step
            = transfer.Finish(handle ? curl_easy_perform(handle) : CURLE_OK);
        if (step == CPostTransfer::Step::Done)
            break;
        if (step == CPostTransfer::Step::Waiting)
            std::this_thread::sleep_for(transfer.RetryDelay());
    }
    const CPostResult& outcome = transfer.Result();
    if (outcome.Succeeded()) {
        result = transfer.TakeBody();
        return true;
    }
    // An answer other than 200 leaves the text as it was; a failure puts libcurl's message.
    if (outcome.m_status == 0)
        result = outcome.m_strError.substr(0, m_settings.m_limits.m_maxMessageLength);
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
    const std::string body = std::move(request.m_body);
    MakePostData(&request, body);
    m_launcher->Navigate(request);
}

bool CFormPoster::MakePostData(CPostRequest* request, const std::string& body)
{
    if (!request)
        return false;
    request->m_body.assign(body.data(), body.size());
    return true;
}
