#include "PostBaseline.h"

#include "core/post/PostRequest.h"
#include "core/target/SubmitHost.h"

#include <curl/curl.h>

#include <utility>

OkServer::OkServer(std::chrono::milliseconds delay)
{
    m_http.Routes().Post(".*", [delay](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(delay);
        response.set_content("<?xml version=\"1.0\"?><methodResponse><params><param><value>"
                             "<struct><member><name>flerror</name><value><boolean>0</boolean>"
                             "</value></member><member><name>message</name><value>Thanks for "
                             "the ping.</value></member></struct></value></param></params>"
                             "</methodResponse>",
            "text/xml");
    });
    m_http.Start();
}

std::string OkServer::Url(int target) const
{
    return m_http.Origin() + "/submit/" + std::to_string(target);
}

std::shared_ptr<CSubmitHost> makeTarget(std::string url, int i, std::optional<std::string> kind)
{
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = std::move(url);
    record->m_strBodyKind = std::move(kind);
    record->AddParam(CPostParam("furl", "http://www.mysite.example/page " + std::to_string(i)));
    record->AddParam(CPostParam("title", "My site: news & notes"));
    return record;
}

namespace {

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

} // namespace

void postBare(benchmark::State& state, const std::vector<std::shared_ptr<CSubmitHost>>& targets)
{
    // The very bytes the program sends.
    std::vector<CPostRequest> requests(targets.size());
    std::vector<curl_slist*> headers;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        CText refusal;
        if (!PrepareRequest(*targets[i], requests[i], refusal))
            state.SkipWithError(refusal.English().c_str());
        headers.push_back(
            curl_slist_append(nullptr, ("Content-Type: " + requests[i].m_strContentType).c_str()));
    }
    for (auto _ : state) {
        std::size_t ok = 0;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const std::string& body = requests[i].m_strBody;
            CURL* curl = curl_easy_init();
            curl_easy_setopt(curl, CURLOPT_URL, targets[i]->m_strUrl.c_str());
            curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
            curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers[i]);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
            curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard);
            long status = 0;
            if (curl_easy_perform(curl) == CURLE_OK
                && curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK
                && status == 200)
                ++ok;
            curl_easy_cleanup(curl);
        }
        if (ok != targets.size())
            state.SkipWithError("a bare post failed");
    }
    for (curl_slist* list : headers)
        curl_slist_free_all(list);
}
