// Reading a 50,000-address sitemap (about 10 MB), plain and gzip, through the parse path a
// network read uses, against a bare expat pass over the same bytes that only counts elements
// (and zlib's inflate before it for gzip). The ratios are printed at the end.
#include "core/SourceEntries.h"
#include "core/SourceParser.h"
#include "core/SourceReader.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <expat.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

// As libcurl hands a body over.
constexpr std::size_t ChunkBytes = 16 * 1024;

std::string MakeSitemap()
{
    std::string sitemap = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    char url[512];
    for (std::size_t i = 0; i < CSourceLimits().m_maxFileAddresses; ++i) {
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

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::printf("Sitemap: %zu bytes, %zu gzip\n", Plain().size(), Packed().size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Plain sitemap", "BM_SourcePlain", "BM_ExpatPlain");
    reporter.PrintRatio("Gzip sitemap", "BM_SourceGzip", "BM_ExpatGzip");
    benchmark::Shutdown();
    return 0;
}
