#include "core/FormPoster.h"

#include "core/BrowserLauncher.h"
#include "core/PostTransfer.h"
#include "core/SubmitHost.h"

#include <curl/curl.h>

#include <memory>
#include <utility>

namespace {

const char FormContentType[] = "Content-Type: application/x-www-form-urlencoded";

struct CurlMultiDeleter
{
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

// Runs the transfer on a multi handle of its own, so the abort flag is looked at every
// checkMs however long libcurl itself would sleep (up to a whole stall limit while a server
// says nothing).
CURLcode Perform(CURL* curl, const std::atomic<bool>* abort, long checkMs)
{
    if (!curl)
        return CURLE_OK; // the set-up failed; the transfer knows why
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

bool CFormPoster::PostInBackground(const std::string& url, const std::string& body,
    std::string& result, const std::atomic<bool>* abort) const
{
    const std::unique_ptr<CPostTransfer> transfer = MakeTransfer(url, body, true);
    const CPostResult outcome
        = transfer->Finish(Perform(transfer->Handle(), abort, m_limits.m_abortCheckMs));
    if (outcome.m_bSuccess) {
        result = transfer->TakeBody();
        return true;
    }
    // An answer other than 200 leaves the text as it was; a failure puts libcurl's message.
    if (outcome.m_status == 0)
        result = outcome.m_strMessage.substr(0, m_limits.m_maxMessageLength);
    return false;
}

CPostResult CFormPoster::Post(
    const std::string& url, const std::string& body, const std::atomic<bool>* abort) const
{
    const std::unique_ptr<CPostTransfer> transfer = MakeTransfer(url, body, false);
    return transfer->Finish(Perform(transfer->Handle(), abort, m_limits.m_abortCheckMs));
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
