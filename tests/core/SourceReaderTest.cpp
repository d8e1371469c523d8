#include "core/source/SourceReader.h"

#include "core/source/SourceEntries.h"
#include "core/source/SourceParser.h"
#include "tests/support/LocalServer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every "$ROOT" in a served body, an expected text or a source stands for
// "http://127.0.0.1:<port>", "$UNUSED" for the same with a port where nothing listens.
std::string Fill(const std::string& text, const std::string& root)
{
    const std::string unused = "http://127.0.0.1:" + std::to_string(CLocalServer::UnusedPort());
    std::string filled;
    filled.reserve(text.size());
    std::size_t from = 0;
    for (auto at = text.find('$'); at != std::string::npos; at = text.find('$', from)) {
        filled.append(text, from, at - from);
        from = at + 1;
        if (text.compare(at, 5, "$ROOT") == 0) {
            filled += root;
            from = at + 5;
        } else if (text.compare(at, 7, "$UNUSED") == 0) {
            filled += unused;
            from = at + 7;
        } else {
            filled += '$';
        }
    }
    return filled.append(text, from, std::string::npos);
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

std::int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    std::tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return static_cast<std::int64_t>(timegm(&parts));
}

std::string Sitemap(const std::string& urls)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">"
        + urls + "</urlset>";
}

std::string Url(const std::string& path, const std::string& lastmod = std::string())
{
    return "<url><loc>$ROOT" + path + "</loc>"
        + (lastmod.empty() ? std::string() : "<lastmod>" + lastmod + "</lastmod>") + "</url>";
}

std::string Index(const std::vector<std::string>& paths)
{
    std::string index = "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">";
    for (const std::string& path : paths)
        index += "<sitemap><loc>$ROOT" + path + "</loc></sitemap>";
    return index + "</sitemapindex>";
}

std::string Rss(const std::string& items)
{
    return "<rss version=\"2.0\"><channel><title>t</title><link>$ROOT/</link>" + items
        + "</channel></rss>";
}

struct Served
{
    std::string path;
    std::string body;
    bool gzip = false;
    std::string headers = "Content-Type: application/xml\r\n";
    int status = 200;
    bool hang = false;
};

using Expected = std::vector<std::pair<std::string, std::optional<std::int64_t>>>;

// A server that answers each path with its file, and 404 for any other.
class CSiteServer
{
public:
    explicit CSiteServer(const std::vector<Served>& files)
        : m_server([this](const CRecordedRequest& request) { return Answer(request); })
        , m_root("http://127.0.0.1:" + std::to_string(m_server.Port()))
    {
        for (const Served& file : files) {
            const std::string body = Fill(file.body, m_root);
            m_replies.emplace(file.path,
                file.hang ? CScriptedReply::Hang()
                          : CScriptedReply::Status(file.status, file.gzip ? Gzip(body) : body,
                              Fill(file.headers, m_root)));
        }
    }

    const std::string& Root() const { return m_root; }
    std::size_t RequestCount() const { return m_server.Requests().size(); }

private:
    CScriptedReply Answer(const CRecordedRequest& request) const
    {
        const auto start = request.m_requestLine.find(' ') + 1;
        const std::string path
            = request.m_requestLine.substr(start, request.m_requestLine.find(' ', start) - start);
        const auto reply = m_replies.find(path);
        return reply == m_replies.end() ? CScriptedReply::Status(404) : reply->second;
    }

    std::map<std::string, CScriptedReply> m_replies;
    CLocalServer m_server;
    std::string m_root;
};

CPostSettings ShortLimits()
{
    CPostSettings settings;
    settings.m_limits.m_connectTimeoutMs = 3000;
    settings.m_limits.m_lowSpeedSeconds = 5;
    settings.m_limits.m_totalTimeoutMs = 20000;
    return settings;
}

// Expected addresses are after the root unless they have a scheme of their own.
void ExpectEntries(const CSourceRead& read, const Expected& expected, const std::string& root)
{
    ASSERT_EQ(read.m_entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string& address = expected[i].first;
        EXPECT_EQ(read.m_entries[i].m_strAddress,
            address.find("://") == std::string::npos ? root + address : address)
            << i;
        EXPECT_EQ(read.m_entries[i].m_modified, expected[i].second) << expected[i].first;
    }
}

struct ReadCase
{
    std::string name;
    std::vector<Served> files;
    std::string source; // after $ROOT unless it has a scheme or a $ of its own
    Expected entries;
    std::string failure = {}; // empty when the read succeeds
    std::string failedUrl = {};
    std::string note = {};
    std::size_t requests = 0; // 0: not counted
    CSourceLimits limits = {};
};

class SourceReadTest : public testing::TestWithParam<ReadCase>
{
};

TEST_P(SourceReadTest, ReadsAsTheSiteSays)
{
    const ReadCase& row = GetParam();
    CSiteServer server(row.files);
    const std::string source
        = Fill(row.source.find("://") == std::string::npos && row.source.rfind('$', 0) != 0
                ? "$ROOT" + row.source
                : row.source,
            server.Root());
    const CSourceRead read = CSourceReader(ShortLimits(), nullptr, row.limits).Read(source);
    EXPECT_EQ(read.m_bOk, row.failure.empty());
    EXPECT_EQ(read.m_failure.English(), Fill(row.failure, server.Root()));
    if (!row.failedUrl.empty()) {
        EXPECT_EQ(read.m_strFailedUrl, Fill(row.failedUrl, server.Root()));
    }
    EXPECT_EQ(read.m_note.English(), Fill(row.note, server.Root()));
    // Only a limit leaves a note, and whatever it left out, the source is not whole.
    EXPECT_EQ(read.m_bCut, !row.note.empty());
    ExpectEntries(read, row.entries, server.Root());
    if (row.requests != 0) {
        EXPECT_EQ(server.RequestCount(), row.requests);
    }
}

const std::string Head = "<?xml version=\"1.0\"?>";

std::vector<ReadCase> ReadCases()
{
    const std::string robotsSitemaps = "User-agent: *\nDisallow: /private\n"
                                       "# Sitemap: $ROOT/commented.xml\n"
                                       "SITEMAP: $ROOT/one.xml\r\n"
                                       "sitemap :$ROOT/two.xml.gz # packed\n";
    return {
        {"SitemapDuplicatesAndDates",
            {{"/sitemap.xml",
                Sitemap(Url("/a", "2024-05-06") + Url("/b")
                    + "<url><loc>ftp://127.0.0.1/x</loc></url><url><loc>relative</loc></url>"
                    + Url("/a", "2024-05-07T10:00:00+02:00") + Url("/c", "not a date")
                    + "<url><lastmod>2024</lastmod><loc>\n  $ROOT/d\n</loc></url>"
                    + Url("/a", "2024-01-01"))}},
            "/sitemap.xml",
            {{"/a", Utc(2024, 5, 7, 8)}, {"/b", {}}, {"/c", {}}, {"/d", Utc(2024, 1, 1)}}},
        {"PrefixedNamespace",
            {{"/s.xml",
                "<sm:urlset xmlns:sm=\"http://www.sitemaps.org/schemas/sitemap/0.9\"><sm:url>"
                "<sm:loc>$ROOT/p</sm:loc><sm:lastmod>2024-05-06</sm:lastmod></sm:url>"
                "</sm:urlset>"}},
            "/s.xml", {{"/p", Utc(2024, 5, 6)}}},
        {"IndexWithGzipChild",
            {{"/index.xml", Index({"/plain.xml", "/packed.xml"})},
                {"/plain.xml", Sitemap(Url("/a", "2024-05-06") + Url("/b", "2024-05-07"))},
                {"/packed.xml", Sitemap(Url("/b", "2024-05-08") + Url("/c")), true}},
            "/index.xml", {{"/a", Utc(2024, 5, 6)}, {"/b", Utc(2024, 5, 8)}, {"/c", {}}}},
        {"IndexCycleReadOnce",
            {{"/i1.xml", Index({"/i2.xml", "/i1.xml"})},
                {"/i2.xml", Index({"/i1.xml", "/s.xml", "/s.xml"})},
                {"/s.xml", Sitemap(Url("/x"))}},
            "/i1.xml", {{"/x", {}}}, "", "", "", 3},
        {"IndexThreeLevels",
            {{"/i1.xml", Index({"/i2.xml"})}, {"/i2.xml", Index({"/i3.xml"})},
                {"/i3.xml", Index({"/s.xml"})}, {"/s.xml", Sitemap(Url("/deep"))}},
            "/i1.xml", {{"/deep", {}}}},
        {"IndexFourLevels",
            {{"/i1.xml", Index({"/i2.xml"})}, {"/i2.xml", Index({"/i3.xml"})},
                {"/i3.xml", Index({"/i4.xml"})}, {"/i4.xml", Index({"/s.xml"})},
                {"/s.xml", Sitemap(Url("/deeper"))}},
            "/i1.xml", {}, "", "", "Only 3 levels of sitemap indexes were read", 4},
        {"RobotsTxt",
            {{"/robots.txt", robotsSitemaps, false, "Content-Type: text/plain\r\n"},
                {"/one.xml", Sitemap(Url("/1"))}, {"/two.xml.gz", Sitemap(Url("/2")), true}},
            "/", {{"/1", {}}, {"/2", {}}}},
        {"RobotsWithoutSitemap", {{"/robots.txt", "User-agent: *\nDisallow:\n"}}, "", {},
            "robots.txt names no sitemap", "$ROOT/robots.txt"},
        {"RobotsMissing", {}, "/", {}, "robots.txt not read: 404 Not Found", "$ROOT/robots.txt"},
        {"Rss",
            {{"/feed/rss",
                Rss("<item><link>$ROOT/r1</link><pubDate>Mon, 06 May 2024 07:08:09 GMT</pubDate>"
                    "</item><item><link> /r2 </link></item><item><title>none</title></item>"
                    "<item><link>mailto:a@example.com</link></item>"
                    "<item><link>r3</link><pubDate>someday</pubDate></item>")}},
            "/feed/rss", {{"/r1", Utc(2024, 5, 6, 7, 8, 9)}, {"/r2", {}}, {"/feed/r3", {}}}},
        {"RssRelativeToRedirect",
            {{"/old", "moved", false, "Location: $ROOT/new/feed\r\n", 301},
                {"/new/feed", Rss("<item><link>item1</link></item>")}},
            "/old", {{"/new/item1", {}}}},
        {"Atom",
            {{"/blog/atom.xml",
                "<feed xmlns=\"http://www.w3.org/2005/Atom\"><link href=\"$ROOT/\"/>"
                "<entry><link rel=\"self\" href=\"$ROOT/self1\"/>"
                "<link rel=\"alternate\" href=\"$ROOT/a1\"/>"
                "<updated>2024-05-06T07:08:09+02:00</updated></entry>"
                "<entry><link rel=\"edit\" href=\"$ROOT/edit2\"/>"
                "<link rel=\"enclosure\" href=\"$ROOT/enc2\"/></entry>"
                "<entry><link href=\"e3\"/><link rel=\"alternate\" href=\"$ROOT/later3\"/>"
                "</entry></feed>"}},
            "/blog/atom.xml", {{"/a1", Utc(2024, 5, 6, 5, 8, 9)}, {"/blog/e3", {}}}},
        {"AtomPrefixed",
            {{"/atom",
                "<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\"><a:entry>"
                "<a:link href=\"$ROOT/p\"/><a:updated>2024-05-06T07:08:09Z</a:updated>"
                "</a:entry></a:feed>"}},
            "/atom", {{"/p", Utc(2024, 5, 6, 7, 8, 9)}}},
        {"HtmlPage",
            {{"/s.xml", "<!DOCTYPE html>\n<html><head><title>x</title></head></html>", false,
                "Content-Type: application/xml\r\n"}},
            "/s.xml", {}, "Not a sitemap or feed: an HTML page"},
        {"HtmlNotXml", {{"/s.xml", "\n<!doctype html><html><body><br></body></html>"}}, "/s.xml",
            {}, "Not a sitemap or feed: an HTML page"},
        {"XhtmlRoot", {{"/s.xml", "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body/></html>"}},
            "/s.xml", {}, "Not a sitemap or feed: an HTML page"},
        {"NotXml", {{"/s.xml", "{\"urls\": []}"}}, "/s.xml", {}, "Not a sitemap or feed: not XML"},
        {"Empty", {{"/s.xml", ""}}, "/s.xml", {}, "Not a sitemap or feed: not XML"},
        {"OtherRoot", {{"/s.xml", Head + "<catalog/>"}}, "/s.xml", {},
            "Not a sitemap or feed: a document of type catalog"},
        {"NotFound", {}, "/missing.xml", {}, "Sitemap not read: 404 Not Found"},
        {"ServerError", {{"/s.xml", "oops", false, "", 500}}, "/s.xml", {},
            "Sitemap not read: 500 Internal Server Error"},
        {"DocumentTypeRefused",
            {{"/s.xml",
                Head + "<!DOCTYPE urlset [<!ENTITY x \"$ROOT/x\">]>"
                    + Sitemap("<url><loc>&x;</loc></url>").substr(Head.size() + 20)}},
            "/s.xml", {}, "Not a sitemap or feed: it declares a document type"},
        {"ChildFailsAll",
            {{"/index.xml", Index({"/ok.xml", "/gone.xml"})}, {"/ok.xml", Sitemap(Url("/a"))}},
            "/index.xml", {}, "Sitemap not read: 404 Not Found", "$ROOT/gone.xml"},
        {"GzipNamedText",
            {{"/sitemap.txt", Sitemap(Url("/z")), true, "Content-Type: text/plain\r\n"}},
            "/sitemap.txt", {{"/z", {}}}},
        {"PlainNamedGzip",
            {{"/sitemap.xml.gz", Sitemap(Url("/z")), false,
                "Content-Type: application/gzip\r\nContent-Encoding: gzip\r\n"}},
            "/sitemap.xml.gz", {{"/z", {}}}},
        {"XmlErrorMidway", {{"/s.xml", Sitemap(Url("/a") + "<url></urlx>")}}, "/s.xml", {},
            "Sitemap not read: XML error at line 2 (mismatched tag)"},
        {"NotWebAddress", {}, "ftp://127.0.0.1/sitemap.xml", {},
            "Sitemap not read: Not a web address"},
        {"ConnectionRefused", {}, "$UNUSED/sitemap.xml", {},
            "Sitemap not read: Connection refused"},
        {"SpellingsOfOnePage",
            {{"/s.xml",
                Sitemap(Url("/a", "2024-05-06") + Url("/x/../a#top", "2024-05-07") + Url("/b?")
                    + Url("/%7e") + "<url><loc>http://user:pw@127.0.0.1/c</loc></url>"
                    + Url("/100%"))}},
            "/s.xml", {{"/a", Utc(2024, 5, 7)}, {"/b", {}}, {"/%7E", {}}}},
        {"FileSpellingsReadOnce",
            {{"/index.xml", Index({"/s.xml", "/./s.xml#x", "/s.xml?"})},
                {"/s.xml", Sitemap(Url("/x"))}},
            "/index.xml", {{"/x", {}}}, "", "", "", 2},
        {"AtomXmlBase",
            {{"/atom.xml",
                "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"$ROOT/blog/\">"
                "<entry xml:base=\"posts/\"><link href=\"p1\"/></entry>"
                "<entry><link rel=\"self\" href=\"$ROOT/self2\"/></entry>"
                "<entry><link href=\"p3\"/></entry></feed>"}},
            "/atom.xml", {{"/blog/posts/p1", {}}, {"/blog/p3", {}}}},
        {"RssPermalinkGuid",
            {{"/rss",
                Rss("<item><guid>$ROOT/g1</guid></item>"
                    "<item><guid isPermaLink=\"false\">$ROOT/g2</guid></item>"
                    "<item><guid>1234</guid></item>"
                    "<item><link>$ROOT/l4</link><guid>$ROOT/g4</guid></item>"
                    "<item><link> </link><guid isPermaLink=\"true\">$ROOT/g5</guid>"
                    "<pubDate>Mon, 06 May 2024 07:08:09 GMT</pubDate></item>")}},
            "/rss", {{"/g1", {}}, {"/l4", {}}, {"/g5", Utc(2024, 5, 6, 7, 8, 9)}}},
    };
}

INSTANTIATE_TEST_SUITE_P(Sources, SourceReadTest, testing::ValuesIn(ReadCases()),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

CSourceLimits With(const std::function<void(CSourceLimits&)>& change)
{
    CSourceLimits limits;
    change(limits);
    return limits;
}

// Each limit is lowered where the program's would make the test slow; the notes name the
// program's.
std::vector<ReadCase> LimitCases()
{
    const std::string longPath(2031, 'a');
    std::string longUmlauts;
    for (int i = 0; i < 2031; ++i)
        longUmlauts += "\xC3\xA4";
    return {
        {"FilesAcrossIndexes",
            {{"/i1.xml", Index({"/i2.xml", "/i3.xml"})}, {"/i2.xml", Index({"/s1", "/s2"})},
                {"/i3.xml", Index({"/s3"})}, {"/s1", Sitemap(Url("/1"))},
                {"/s2", Sitemap(Url("/2"))}, {"/s3", Sitemap(Url("/3"))}},
            "/i1.xml", {{"/1", {}}, {"/2", {}}}, "", "",
            "Only the first 1,000 files of $ROOT/i1.xml were read", 4,
            With([](CSourceLimits& limits) { limits.m_maxFiles = 4; })},
        {"IndexListsMoreThanFiles",
            {{"/index.xml", Index({"/s1", "/s2", "/s3"})}, {"/s1", Sitemap(Url("/1"))},
                {"/s2", Sitemap(Url("/2"))}},
            "/index.xml", {{"/1", {}}}, "", "",
            "Only the first 1,000 files of $ROOT/index.xml were read", 2,
            With([](CSourceLimits& limits) { limits.m_maxFiles = 2; })},
        {"BytesOverAllFiles",
            {{"/index.xml", Index({"/s1", "/s2", "/s3"})}, {"/s1", Sitemap(Url("/1"))},
                {"/s2", Sitemap(Url("/2") + std::string(100000, ' ') + Url("/late")), true},
                {"/s3", Sitemap(Url("/3"))}},
            "/index.xml", {{"/1", {}}, {"/2", {}}}, "", "",
            "Only the first 100 MB of $ROOT/index.xml were read", 3,
            With([](CSourceLimits& limits) { limits.m_maxBytes = 10000; })},
        {"AddressBytes", {{"/s.xml", Sitemap(Url("/a") + Url("/b") + Url("/c"))}}, "/s.xml",
            {{"/a", {}}, {"/b", {}}}, "", "",
            "Only the first 64 MB of addresses of $ROOT/s.xml were read", 0,
            With([](CSourceLimits& limits) {
                limits.m_maxAddressBytes = 2 * (CSourceEntries::EntryBytes + 30);
            })},
        {"AddressesOver2048Characters",
            {{"/s.xml",
                Sitemap("<url><loc>http://x.example/" + longPath + "</loc></url>"
                    + "<url><loc>http://x.example/" + longPath + "b</loc></url>"
                    + "<url><loc>http://x.example/" + longUmlauts + "</loc></url>"
                    + "<url><loc>http://x.example/" + std::string(70000, 'c') + "</loc></url>"
                    + Url("/after"))}},
            "/s.xml",
            {{"http://x.example/" + longPath, {}}, {"http://x.example/" + longUmlauts, {}},
                {"/after", {}}},
            "", "", "Addresses longer than 2,048 characters in $ROOT/s.xml were left out"},
        {"TimeOverBeforeAFile", {{"/s.xml", Sitemap(Url("/a"))}}, "/s.xml", {}, "", "",
            "Reading $ROOT/s.xml stopped after 10 minutes", 0,
            With([](CSourceLimits& limits) { limits.m_maxReadMs = 0; })},
        {"TimeOverWhileAFileComes",
            {{"/index.xml", Index({"/s1", "/slow"})}, {"/s1", Sitemap(Url("/1"))},
                {"/slow", "", false, "", 200, true}},
            "/index.xml", {{"/1", {}}}, "", "", "Reading $ROOT/index.xml stopped after 10 minutes",
            3, With([](CSourceLimits& limits) { limits.m_maxReadMs = 3000; })},
        {"TokenOver1Mb",
            {{"/s.xml",
                Sitemap(Url("/a") + "<!--" + std::string(2 * 1024 * 1024, 'x') + "-->" + Url("/b")),
                true}},
            "/s.xml", {{"/a", {}}}, "", "",
            "$ROOT/s.xml was read only up to a tag or comment longer than 1 MB"},
        {"RobotsOver512Kb",
            {{"/robots.txt",
                 "Sitemap: $ROOT/one.xml\n#" + std::string(600 * 1024, 'x')
                     + "\nSitemap: $ROOT/two.xml\n"},
                {"/one.xml", Sitemap(Url("/1"))}, {"/two.xml", Sitemap(Url("/2"))}},
            "/", {{"/1", {}}}, "", "", "Only the first 512 KB of $ROOT/robots.txt were read", 2},
        {"SourceNoteOverFileNote",
            {{"/index.xml", Index({"/s1", "/s2"})},
                {"/s1", Sitemap(Url("/1a") + Url("/1b") + Url("/1c"))},
                {"/s2", Sitemap(Url("/2"))}},
            "/index.xml", {{"/1a", {}}, {"/1b", {}}}, "", "",
            "Only the first 1,000 files of $ROOT/index.xml were read", 2,
            With([](CSourceLimits& limits) {
                limits.m_maxFiles = 2;
                limits.m_maxFileAddresses = 2;
            })},
    };
}

INSTANTIATE_TEST_SUITE_P(Limits, SourceReadTest, testing::ValuesIn(LimitCases()),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

// A sitemap of count addresses "/<prefix><n>".
std::string ManyUrls(std::size_t count, const std::string& prefix)
{
    std::string urls;
    urls.reserve(count * 40);
    for (std::size_t i = 0; i < count; ++i)
        urls += "<url><loc>$ROOT/" + prefix + std::to_string(i) + "</loc></url>\n";
    return Sitemap(urls);
}

TEST(SourceLimits, FileOver50000AddressesKeepsTheFirst)
{
    CSiteServer server({{"/big.xml", ManyUrls(CSourceLimits().m_maxFileAddresses + 1, "p")}});
    const CSourceRead read = CSourceReader(ShortLimits()).Read(server.Root() + "/big.xml");
    ASSERT_TRUE(read.m_bOk) << read.m_failure.English();
    ASSERT_EQ(read.m_entries.size(), CSourceLimits().m_maxFileAddresses);
    EXPECT_TRUE(read.m_bCut);
    EXPECT_EQ(read.m_entries.back().m_strAddress, server.Root() + "/p49999");
    EXPECT_EQ(read.m_note.English(),
        "Only the first 50,000 addresses of " + server.Root() + "/big.xml were read");
}

TEST(SourceLimits, SourceOver200000AddressesKeepsTheFirst)
{
    std::vector<Served> files = {{"/index.xml", Index({"/0", "/1", "/2", "/3", "/4"})}};
    for (int i = 0; i < 5; ++i)
        files.push_back({"/" + std::to_string(i),
            ManyUrls(CSourceLimits().m_maxFileAddresses, std::to_string(i) + "-"), true});
    CSiteServer server(files);
    const CSourceRead read = CSourceReader(ShortLimits()).Read(server.Root() + "/index.xml");
    ASSERT_TRUE(read.m_bOk) << read.m_failure.English();
    ASSERT_EQ(read.m_entries.size(), CSourceLimits().m_maxAddresses);
    EXPECT_TRUE(read.m_bCut);
    EXPECT_EQ(read.m_entries.back().m_strAddress, server.Root() + "/3-49999");
    EXPECT_EQ(read.m_note.English(),
        "Only the first 200,000 addresses of " + server.Root() + "/index.xml were read");
}

TEST(SourceLimits, GzipInflatingPast50MbStopsThere)
{
    const std::string filler(CSourceLimits().m_maxFileBytes + 1024 * 1024, ' ');
    CSiteServer server({{"/bomb.xml", Sitemap(Url("/first") + filler + Url("/after")), true}});
    const CSourceRead read = CSourceReader(ShortLimits()).Read(server.Root() + "/bomb.xml");
    ASSERT_TRUE(read.m_bOk) << read.m_failure.English();
    ExpectEntries(read, {{"/first", {}}}, server.Root());
    EXPECT_TRUE(read.m_bCut);
    EXPECT_EQ(
        read.m_note.English(), "Only the first 50 MB of " + server.Root() + "/bomb.xml were read");
}

TEST(SourceStop, EndsAReadUnderWay)
{
    CLocalServer server([](const CRecordedRequest&) { return CScriptedReply::Hang(); });
    std::atomic<bool> stop{false};
    std::thread stopper([&server, &stop] {
        server.WaitForRequests(1);
        stop = true;
    });
    CPostSettings settings = ShortLimits();
    settings.m_limits.m_lowSpeedSeconds = 60;
    settings.m_limits.m_totalTimeoutMs = 60000;
    const CSourceRead read = CSourceReader(settings, &stop).Read(server.Url("sitemap.xml"));
    stopper.join();
    EXPECT_FALSE(read.m_bOk);
    EXPECT_EQ(read.m_failure.English(), "Stopped");
}

// However the network cuts a gzip document, even before its second byte, it reads the same.
TEST(SourceParse, GzipInPiecesOfOneByte)
{
    const std::string packed = Gzip(Fill(Sitemap(Url("/a") + Url("/b")), "http://x.example"));
    CSourceEntries entries(10, 1024);
    CSourceParser parser(entries);
    for (const char byte : packed)
        ASSERT_TRUE(parser.Write(&byte, 1));
    ASSERT_TRUE(parser.Finish()) << parser.Failure().English();
    const std::vector<CSourceEntry> read = entries.Take();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].m_strAddress, "http://x.example/b");
}

} // namespace
