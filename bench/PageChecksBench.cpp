// Checking the pages a run would announce, against a local site that answers at once:
// - 1,000 pages through the run's checks (robots.txt, then each page fetched and judged, four
//   at a time), beside a bare libcurl multi loop of the same GETs with the same cap: four in
//   flight, no redirect followed, the first 256 KiB of each body kept.
// - The peak resident memory of 10,000 checks beside that of 1,000. Each runs in a child
//   process of this program, so that its peak is the checks' alone and not the served pages';
//   the child reads its own VmHWM, which, unlike getrusage's peak, starts afresh at its exec.
#include "core/net/PostLimits.h"
#include "core/run/PageChecks.h"

#include "BenchServer.h"
#include "PeakMemory.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t PageCount = 1000;
constexpr std::size_t ManyPages = 10000;
constexpr char ChildOption[] = "--check-pages";

// A page as sites make them: a head that names it canonical and some feeds, then a body of
// about 20 KB.
std::string MakePage(const std::string& url)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
                       "<title>An article as sites write them</title>\n"
                       "<meta name=\"viewport\" content=\"width=device-width\">\n"
                       "<meta name=\"robots\" content=\"index, follow\">\n"
                       "<link rel=\"canonical\" href=\""
        + url
        + "\">\n"
          "<link rel=\"alternate\" type=\"application/rss+xml\" href=\"/feed.xml\">\n"
          "<link rel=\"stylesheet\" href=\"/style.css\">\n"
          "<script src=\"/site.js\" defer></script>\n"
          "</head><body><header><nav><a href=\"/\">Home</a> <a href=\"/about\">About</a></nav>"
          "</header><main><article><h1>An article as sites write them</h1>\n";
    for (int i = 0; i < 40; ++i)
        page += "<p>A paragraph of the article, with <a href=\"/articles/" + std::to_string(i)
            + "\">a link</a> and <em>some</em> words around it, long enough to read as one of "
              "the paragraphs of a real article would, on a page of a real site.</p>\n";
    return page + "</article></main><footer>The footer</footer></body></html>\n";
}

class CSite
{
public:
    CSite()
    {
        m_http.Routes().Get(
            "/robots.txt", [](const httplib::Request&, httplib::Response& response) {
                response.set_content("User-agent: *\nDisallow: /private/\n", "text/plain");
            });
        m_http.Routes().Get(
            R"(/page/\d+)", [this](const httplib::Request& request, httplib::Response& response) {
                response.set_content(MakePage(Root() + request.path.substr(1)), "text/html");
            });
        // Headers and body go in two writes: without it, the body would wait on the reader's
        // delayed acknowledgement, and that wait, not the reads, would be measured.
        m_http.Routes().set_tcp_nodelay(true);
        m_http.Start();
    }

    std::string Root() const { return m_http.Origin() + "/"; }

private:
    CBenchServer m_http;
};

CSite& Site()
{
    static CSite site;
    return site;
}

std::vector<std::string> Pages(const std::string& root, std::size_t count)
{
    std::vector<std::string> pages;
    for (std::size_t i = 0; i < count; ++i)
        pages.push_back(root + "page/" + std::to_string(i));
    return pages;
}

// The checks of one run; how many of the pages it would announce.
std::size_t CheckPages(const std::vector<std::string>& pages)
{
    CPostSettings settings;
    CPageChecks checks(settings, settings.m_checks, nullptr);
    checks.Check(pages);
    return static_cast<std::size_t>(
        std::count_if(pages.begin(), pages.end(), [&](const std::string& page) {
            return checks.Of(page).m_check.m_verdict == PageVerdict::Announce;
        }));
}

void BM_PageChecks(benchmark::State& state)
{
    const std::vector<std::string> pages = Pages(Site().Root(), PageCount);
    for (auto _ : state) {
        if (CheckPages(pages) != pages.size()) {
            state.SkipWithError("a page was not announced");
            return;
        }
    }
}

// One GET of the bare loop.
struct CBareRead
{
    std::string m_body;
};

size_t KeepFirst(char* data, size_t size, size_t count, void* read)
{
    std::string& body = static_cast<CBareRead*>(read)->m_body;
    const size_t length = size * count;
    if (body.size() + length > CPageAnswer::MaxBodyBytes)
        return 0;
    body.append(data, length);
    return length;
}

// The GETs, at most inFlight at once over one multi handle, a handle each; how many answered
// 200.
std::size_t GetBare(CURLM* multi, const std::vector<std::string>& pages, long inFlight)
{
    std::size_t next = 0;
    std::size_t ok = 0;
    long running = 0;
    const auto start = [&] {
        for (; next < pages.size() && running < inFlight; ++next, ++running) {
            CURL* curl = curl_easy_init();
            auto* read = new CBareRead;
            curl_easy_setopt(curl, CURLOPT_URL, pages[next].c_str());
            curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
            curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &KeepFirst);
            curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(read));
            curl_easy_setopt(curl, CURLOPT_PRIVATE, static_cast<void*>(read));
            curl_multi_add_handle(multi, curl);
        }
    };
    start();
    while (running > 0) {
        int still = 0;
        curl_multi_perform(multi, &still);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            CURL* curl = message->easy_handle;
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            void* read = nullptr;
            curl_easy_getinfo(curl, CURLINFO_PRIVATE, &read);
            ok += message->data.result == CURLE_OK && status == 200 ? 1 : 0;
            delete static_cast<CBareRead*>(read);
            curl_multi_remove_handle(multi, curl);
            curl_easy_cleanup(curl);
            --running;
        }
        start();
        if (running > 0)
            curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    return ok;
}

void BM_BareCurlGets(benchmark::State& state)
{
    const std::vector<std::string> pages = Pages(Site().Root(), PageCount);
    const long inFlight = CCheckLimits().m_maxInFlight;
    for (auto _ : state) {
        CURLM* multi = curl_multi_init();
        const std::size_t ok = GetBare(multi, pages, inFlight);
        curl_multi_cleanup(multi);
        if (ok != pages.size()) {
            state.SkipWithError("a bare GET failed");
            return;
        }
    }
}

// CPU times are the whole process's: the server's threads and the checks' own. Twenty rounds
// each, as a round is short and the machine's other load comes in bursts.
BENCHMARK(BM_BareCurlGets)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(20);
BENCHMARK(BM_PageChecks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(20);

// In the child: the checks of count pages, then its peak and how many it would announce.
int CheckInChild(const char* count, const char* root)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const std::size_t wanted = std::strtoul(count, nullptr, 10);
    const std::size_t announced = CheckPages(Pages(root, wanted));
    std::printf("%ld %zu", PeakSinceExec(), announced);
    curl_global_cleanup();
    return announced == wanted ? 0 : 1;
}

// The child's peak in MiB over count checks; 0 when it failed.
double PeakOfChecks(std::size_t count)
{
    std::string said;
    if (!RunSelf({"bench_page_checks", ChildOption, std::to_string(count), Site().Root()}, said))
        return 0;
    return std::strtod(said.c_str(), nullptr) / 1024.0;
}

// Each repetition's peak, by the count of checks.
std::map<std::size_t, std::vector<double>> g_peaks;

void BM_PeakMemory(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        const double peak = PeakOfChecks(count);
        if (peak == 0) {
            state.SkipWithError("the checks failed");
            return;
        }
        g_peaks[count].push_back(peak);
        state.counters["peak_MiB"] = peak;
    }
}

BENCHMARK(BM_PeakMemory)
    ->Arg(PageCount)
    ->Arg(ManyPages)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    if (argc == 4 && std::strcmp(argv[1], ChildOption) == 0)
        return CheckInChild(argv[2], argv[3]);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double checks = reporter.PrintRatio(
        "Checking 1,000 pages, 4 in flight", "BM_PageChecks", "BM_BareCurlGets");
    std::printf("goal: ratio <= 1.20 (%s)\n", checks > 0 && checks <= 1.2 ? "met" : "missed");
    int result = 0;
    const double few = Median(g_peaks[PageCount]);
    const double many = Median(g_peaks[ManyPages]);
    if (few > 0 && many > 0) {
        std::printf(
            "Peak memory: 10,000 checks / 1,000 = %.3f (%.1f / %.1f MiB)\n", many / few, many, few);
        std::printf("goal: ratio <= 1.10 (%s)\n", many / few <= 1.1 ? "met" : "missed");
    } else if (!g_peaks.empty()) {
        result = 1;
    }
    benchmark::Shutdown();
    curl_global_cleanup();
    return result;
}
