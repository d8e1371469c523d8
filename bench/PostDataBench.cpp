// Building a body against libcurl's own escaper over the same values, and the XML-RPC and
// JSON bodies of a typical target against its form body. The ratios are printed at the end.
#include "core/post/JsonBody.h"
#include "core/post/XmlRpcBody.h"
#include "core/target/SubmitHost.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int ParamCount = 20;
constexpr int ValueLength = 200;

// Mixed text: letters and digits, reserved characters, blanks and UTF-8 bytes.
std::vector<std::string> makeValues()
{
    static const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                        "0123456789 :/?=&%+-._~'()*\xC3\xA9\xE2\x82\xAC";
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::vector<std::string> values;
    for (int i = 0; i < ParamCount; ++i) {
        std::string value;
        for (int j = 0; j < ValueLength; ++j)
            value += alphabet[pick(rng)];
        values.push_back(value);
    }
    return values;
}

const std::vector<std::string>& values()
{
    static const std::vector<std::string> v = makeValues();
    return v;
}

void BM_GetPostData(benchmark::State& state)
{
    CSubmitHost host;
    for (int i = 0; i < ParamCount; ++i)
        host.AddParam(CPostParam("param" + std::to_string(i), values()[i]));
    for (auto _ : state)
        benchmark::DoNotOptimize(host.GetPostData());
}

void BM_CurlEscape(benchmark::State& state)
{
    CURL* curl = curl_easy_init();
    for (auto _ : state) {
        std::string body;
        for (int i = 0; i < ParamCount; ++i) {
            char* escaped
                = curl_easy_escape(curl, values()[i].data(), static_cast<int>(values()[i].size()));
            if (i > 0)
                body += '&';
            body += "param" + std::to_string(i);
            body += '=';
            body += escaped;
            curl_free(escaped);
        }
        benchmark::DoNotOptimize(body);
    }
    curl_easy_cleanup(curl);
}

// Bodies built per iteration, for each kind alike.
constexpr int BodiesPerRun = 10000;

// A ping's worth of parameters: four values of about 40 bytes, with some text to escape.
void fillTypical(CSubmitHost& host)
{
    host.AddParam(CPostParam("name", "Example Weblog \xE2\x80\x94 Notes & Drafts <2026>"));
    host.AddParam(CPostParam("url", "https://www.example.com/weblog/2026/12/08/"));
    host.AddParam(CPostParam("changesUrl", "https://www.example.com/weblog/changes.xml?a=1"));
    host.AddParam(CPostParam("feedUrl", "https://www.example.com/weblog/feed/atom.xml"));
}

template <typename Build> void buildBodies(benchmark::State& state, Build build)
{
    CSubmitHost host;
    fillTypical(host);
    std::string body;
    CText refusal;
    if (!build(host, body, refusal)) {
        state.SkipWithError(refusal.English().c_str());
        return;
    }
    for (auto _ : state) {
        for (int i = 0; i < BodiesPerRun; ++i) {
            build(host, body, refusal);
            benchmark::DoNotOptimize(body.data());
            benchmark::ClobberMemory();
        }
    }
}

void BM_FormBodies(benchmark::State& state)
{
    buildBodies(state, [](const CSubmitHost& host, std::string& body, CText&) {
        body = host.GetPostData();
        return true;
    });
}

void BM_XmlRpcBodies(benchmark::State& state)
{
    buildBodies(state, BuildXmlRpcBody);
}

void BM_JsonBodies(benchmark::State& state)
{
    buildBodies(state, BuildJsonBody);
}

BENCHMARK(BM_GetPostData);
BENCHMARK(BM_CurlEscape);
BENCHMARK(BM_FormBodies);
BENCHMARK(BM_XmlRpcBodies);
BENCHMARK(BM_JsonBodies);

} // namespace

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Body building", "BM_GetPostData", "BM_CurlEscape");
    reporter.PrintRatio("XML-RPC body", "BM_XmlRpcBodies", "BM_FormBodies");
    const double json = reporter.PrintRatio("JSON body", "BM_JsonBodies", "BM_FormBodies");
    std::printf("goal: ratio <= 3 (%s)\n", json > 0 && json <= 3 ? "met" : "missed");
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
