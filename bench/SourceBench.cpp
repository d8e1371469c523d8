// Reading a 50,000-address sitemap (about 10 MB), plain and gzip, through the parse path a
// network read uses, against a bare expat pass over the same bytes that only counts elements
// (and zlib's inflate before it for gzip).
//
// And the peak memory of reading a whole source over a local server, side by side: a source
// of 200,000 ordinary addresses (an index of four gzip sitemaps) against the worst a site can
// make of the limits, an index of 250 gzip sitemaps of 50,000 addresses each, of 2,048
// characters, or of the length at which 200,000 of them fill the memory a source may keep.
// Each read runs in a child process of this program, so that its peak is the read's alone
// and not the served files'. The ratios are printed at the end.
#include "core/source/SourceEntries.h"
#include "core/source/SourceParser.h"
#include "core/source/SourceReader.h"

#include "BenchServer.h"
#include "PeakMemory.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <expat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// As libcurl hands a body over.
constexpr std::size_t ChunkBytes = 16 * 1024;

// The file-th of a site's sitemaps: their addresses differ.
std::string MakeSitemap(std::size_t file = 0)
{
    std::string sitemap = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    char url[512];
    const std::size_t count = CSourceLimits().m_maxFileAddresses;
    for (std::size_t i = file * count; i < (file + 1) * count; ++i) {
        std::snprintf(url, sizeof url,
            "  <url>\n"
            "    <loc>https://www.example.com/articles/%04zu/%02zu/"
            "a-longer-article-title-as-sites-write-them-%zu.html</loc>\n"
            "    <lastmod>2024-%02zu-%02zuT07:08:09+02:00</lastmod>\n"
            "    <changefreq>weekly</changefreq>\n"
            "    <priority>0.8</priority>\n"
            "  </url>\n",
            2000 + i % 25, 1 + i % 12, i, 1 + i % 12, 1 + i % 28);
        sitemap += url;
    }
    return sitemap + "</urlset>\n";
}

std::string Gzip(const std::string& plain)
{
    z_stream zip = {};
    if (deflateInit2(&zip, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string packed(deflateBound(&zip, plain.size()), '\0');
    zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    zip.avail_in = static_cast<uInt>(plain.size());
    zip.next_out = reinterpret_cast<Bytef*>(packed.data());
    zip.avail_out = static_cast<uInt>(packed.size());
    deflate(&zip, Z_FINISH);
    packed.resize(zip.total_out);
    deflateEnd(&zip);
    return packed;
}

const std::string& Plain()
{
    static const std::string plain = MakeSitemap();
    return plain;
}

const std::string& Packed()
{
    static const std::string packed = Gzip(Plain());
    return packed;
}

template <typename Take> void InChunks(const std::string& bytes, Take take)
{
    for (std::size_t at = 0; at < bytes.size(); at += ChunkBytes)
        take(bytes.data() + at, std::min(ChunkBytes, bytes.size() - at));
}

// The bare pass: expat over the bytes, counting elements and nothing else.
class CCountingExpat
{
public:
    CCountingExpat()
        : m_parser(XML_ParserCreate(nullptr))
    {
        XML_SetUserData(m_parser, &m_elements);
        XML_SetStartElementHandler(m_parser, [](void* count, const XML_Char*, const XML_Char**) {
            ++*static_cast<std::size_t*>(count);
        });
    }
    ~CCountingExpat() { XML_ParserFree(m_parser); }

    void Parse(const char* data, std::size_t size, bool final)
    {
        if (XML_Parse(m_parser, data, static_cast<int>(size), final) != XML_STATUS_OK)
            throw std::runtime_error("expat");
    }
    std::size_t Elements() const { return m_elements; }

private:
    XML_Parser m_parser;
    std::size_t m_elements = 0;
};

void BM_ExpatPlain(benchmark::State& state)
{
    for (auto _ : state) {
        CCountingExpat expat;
        InChunks(Plain(),
            [&expat](const char* data, std::size_t size) { expat.Parse(data, size, false); });
        expat.Parse(nullptr, 0, true);
        benchmark::DoNotOptimize(expat.Elements());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Plain().size()));
}

void BM_ExpatGzip(benchmark::State& state)
{
    std::string inflated(64 * 1024, '\0');
    for (auto _ : state) {
        CCountingExpat expat;
        z_stream zip = {};
        inflateInit2(&zip, 16 + MAX_WBITS);
        InChunks(Packed(), [&](const char* data, std::size_t size) {
            zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
            zip.avail_in = static_cast<uInt>(size);
            do {
                zip.next_out = reinterpret_cast<Bytef*>(inflated.data());
                zip.avail_out = static_cast<uInt>(inflated.size());
                inflate(&zip, Z_NO_FLUSH);
                expat.Parse(inflated.data(), inflated.size() - zip.avail_out, false);
            } while (zip.avail_in > 0 || zip.avail_out == 0);
        });
        inflateEnd(&zip);
        expat.Parse(nullptr, 0, true);
        benchmark::DoNotOptimize(expat.Elements());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Plain().size()));
}

void ReadSitemap(benchmark::State& state, const std::string& bytes)
{
    for (auto _ : state) {
        const CSourceLimits limits;
        CSourceEntries entries(limits.m_maxAddresses, limits.m_maxAddressBytes);
        CSourceParser parser(entries);
        parser.SetAddress("https://www.example.com/sitemap.xml");
        InChunks(
            bytes, [&parser](const char* data, std::size_t size) { parser.Write(data, size); });
        if (!parser.Finish() || entries.Size() != CSourceLimits().m_maxFileAddresses) {
            state.SkipWithError("the sitemap was not read");
            return;
        }
        benchmark::DoNotOptimize(entries.Take());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Plain().size()));
}

void BM_SourcePlain(benchmark::State& state)
{
    ReadSitemap(state, Plain());
}

void BM_SourceGzip(benchmark::State& state)
{
    ReadSitemap(state, Packed());
}

BENCHMARK(BM_ExpatPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SourcePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpatGzip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SourceGzip)->Unit(benchmark::kMillisecond);

constexpr char ChildOption[] = "--read-source";

std::string Index(const std::string& root, std::size_t files)
{
    std::string index = "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">";
    for (std::size_t file = 0; file < files; ++file)
        index += "<sitemap><loc>" + root + std::to_string(file) + ".xml.gz</loc></sitemap>";
    return index + "</sitemapindex>";
}

// 50,000 addresses of one length, each its own.
std::string SitemapOfLength(std::size_t file, std::size_t length)
{
    const CSourceLimits limits;
    std::string sitemap = "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    for (std::size_t i = 0; i < limits.m_maxFileAddresses; ++i) {
        std::string url
            = "https://www.example.com/" + std::to_string(file) + "/" + std::to_string(i) + "/";
        url.resize(length, 'a');
        sitemap += "<url><loc>" + url + "</loc></url>\n";
    }
    return sitemap + "</urlset>\n";
}

// The sites, each file made when it is first asked for: a worst source is cut long before its
// 250 files are read.
class CSites
{
public:
    CSites()
    {
        m_http.Routes().Get(R"(/(\w+)/(\w+)\.xml(\.gz)?)",
            [this](const httplib::Request& request, httplib::Response& response) {
                response.set_content(
                    File(request.matches[1], request.matches[2]), "application/xml");
            });
        m_http.Start();
    }

    std::string IndexUrl(const std::string& site) const { return Root(site) + "index.xml"; }

private:
    std::string Root(const std::string& site) const { return m_http.Origin() + "/" + site + "/"; }

    std::string File(const std::string& site, const std::string& name)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        std::string& file = m_files[site + "/" + name];
        if (!file.empty())
            return file;
        const CSourceLimits limits;
        if (name == "index")
            file = Index(Root(site), site == "ordinary" ? 4 : 250);
        else if (site == "ordinary")
            file = Gzip(MakeSitemap(std::stoul(name)));
        else if (site == "long")
            file = Gzip(SitemapOfLength(std::stoul(name), limits.m_maxAddressLength));
        else
            file = Gzip(SitemapOfLength(std::stoul(name),
                limits.m_maxAddressBytes / limits.m_maxAddresses - CSourceEntries::EntryBytes));
        return file;
    }

    std::mutex m_mutex;
    std::map<std::string, std::string> m_files;
    CBenchServer m_http;
};

CSites& Sites()
{
    static CSites sites;
    return sites;
}

// What the read said, and the child's peak resident memory in MiB; 0 when it failed.
double PeakOfRead(const std::string& url, std::string& said)
{
    if (!RunSelf({"bench_sources", ChildOption, url}, said))
        return 0;
    // The child's first word.
    const std::size_t space = said.find(' ');
    const double peakKiB = std::strtod(said.substr(0, space).c_str(), nullptr);
    said.erase(0, space == std::string::npos ? said.size() : space + 1);
    return peakKiB / 1024.0;
}

// In the child: the read a run makes of a source, then its peak and what it read.
int ReadSource(const char* url)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const CSourceRead read = CSourceReader(CPostSettings()).Read(url);
    std::printf("%ld %zu addresses%s%s", PeakSinceExec(), read.m_entries.size(),
        read.m_bCut ? ", cut: " : "", read.m_note.English().c_str());
    curl_global_cleanup();
    return read.m_bOk ? 0 : 1;
}

std::map<std::string, double> g_peaks;

void BM_PeakMemory(benchmark::State& state, const char* site)
{
    for (auto _ : state) {
        std::string said;
        const double peak = PeakOfRead(Sites().IndexUrl(site), said);
        if (peak == 0) {
            state.SkipWithError(("the source was not read: " + said).c_str());
            return;
        }
        g_peaks[site] = peak;
        state.counters["peak_MiB"] = peak;
        state.SetLabel(said);
    }
}

BENCHMARK_CAPTURE(BM_PeakMemory, ordinary, "ordinary")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PeakMemory, long_addresses, "long")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PeakMemory, both_limits, "full")->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], ChildOption) == 0)
        return ReadSource(argv[2]);
    benchmark::Initialize(&argc, argv);
    std::printf("Sitemap: %zu bytes, %zu gzip\n", Plain().size(), Packed().size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Plain sitemap", "BM_SourcePlain", "BM_ExpatPlain");
    reporter.PrintRatio("Gzip sitemap", "BM_SourceGzip", "BM_ExpatGzip");
    for (const auto& [site, label] :
        {std::pair{"long", "long addresses"}, {"full", "both limits"}}) {
        if (g_peaks.count("ordinary") && g_peaks.count(site))
            std::printf("Peak memory: %s / 200,000 ordinary = %.3f (%.1f / %.1f MiB)\n", label,
                g_peaks[site] / g_peaks["ordinary"], g_peaks[site], g_peaks["ordinary"]);
    }
    benchmark::Shutdown();
    return 0;
}
