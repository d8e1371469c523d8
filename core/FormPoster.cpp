#include "core/FormPoster.h"

#include "core/BrowserLauncher.h"
#include "core/PostTransfer.h"
#include "core/SubmitHost.h"

#include <curl/curl.h>

#include <memory>
#include <utility>

namespace {

const char FormContentType[] = "Content-Type: application/x-www-form-urlencoded";

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

std::unique_ptr<CPostTransfer> CFormPoster::MakeTransfer(
    const std::string& url, std::string body, bool keepBody) const
{
    return std::make_unique<CPostTransfer>(m_limits, m_strCaFile, url, std::move(body), keepBody);
}

void CFormPoster::SplitUrl(std::string& url, std::string& object)
{
    SplitServerAndObject(url, object);
}

bool CFormPoster::PostInBackground(const CSubmitHost& host, std::string& result) const
{
    return PostInBackground(host.m_strUrl, host.GetPostData(), result);
}

bool CFormPoster::PostInBackground(
    const std::string& url, const std::string& body, std::string& result) const
{
    const std::unique_ptr<CPostTransfer> transfer = MakeTransfer(url, body, true);
    CURL* handle = transfer->Handle();
    const CPostResult outcome = transfer->Finish(handle ? curl_easy_perform(handle) : CURLE_OK);
    if (outcome.m_bSuccess) {
        result = transfer->TakeBody();
        return true;
    }
    // An answer other than 200 leaves the text as it was; a failure puts libcurl's message.
    if (outcome.m_status == 0)
        result = outcome.m_strMessage.substr(0, m_limits.m_maxMessageLength);
    return false;
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
