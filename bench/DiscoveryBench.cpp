// Discovery against a local site that delays every answer by 100 ms, as a ratio to the longest
// chain of reads that depend on one another: robots.txt and the home page, then what they lead
// to. The site names no sitemap and no feed, so all seven usual places are tried.

#include "core/site/SiteDiscovery.h"

#include "BenchServer.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

constexpr auto Delay = std::chrono::milliseconds(100);

class CSlowSite
{
public:
    CSlowSite()
    {
        m_http.Routes().Get(".*", [](const httplib::Request& request, httplib::Response& response) {
            std::this_thread::sleep_for(Delay);
            if (request.path == "/")
                response.set_content("<html><head><title>Slow</title></head></html>", "text/html");
            else
                response.status = 404;
        });
        m_http.Start();
    }

    std::string Url(const std::string& path) const { return m_http.Origin() + path; }

private:
    CBenchServer m_http;
};

size_t Discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

// Two reads one after the other on one handle: the chain's length with nothing beside it.
void BM_DependentChain(benchmark::State& state)
{
    const CSlowSite site;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Discard);
    for (auto _ : state) {
        for (const char* path : {"/", "/feed"}) {
            curl_easy_setopt(curl, CURLOPT_URL, site.Url(path).c_str());
            curl_easy_perform(curl);
        }
    }
    curl_easy_cleanup(curl);
}

void BM_Discovery(benchmark::State& state)
{
    const CSlowSite site;
    const CSiteDiscovery discovery;
    for (auto _ : state) {
        const CDiscovery found = discovery.Discover(site.Url("/"));
        if (found.m_strTitle != "Slow")
            state.SkipWithError("the site was not read");
    }
}

BENCHMARK(BM_DependentChain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_Discovery)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio(
        "Discovery / its chain of dependent reads", "BM_Discovery", "BM_DependentChain");
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
