#include "core/source/SourceReader.h"

#include "core/net/Address.h"
#include "core/net/Fetch.h"
#include "core/net/TransferFailure.h"
#include "core/page/RobotsTxt.h"
#include "core/post/PostResult.h"
#include "core/source/SourceAddress.h"
#include "core/source/SourceEntries.h"
#include "core/source/SourceParser.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace {

CFetchSettings FetchSettings(const CPostSettings& settings)
{
    CFetchSettings fetch;
    fetch.m_post = settings;
    return fetch;
}

CText FilesNote(const std::string& source)
{
    return CText(
        QT_TRANSLATE_NOOP("Quillpost", "Only the first 1,000 files of %1 were read"), {source});
}

CText TimeNote(const std::string& source)
{
    return CText(QT_TRANSLATE_NOOP("Quillpost", "Reading %1 stopped after 10 minutes"), {source});
}

using namespace std::chrono_literals;

} // namespace

// One Read: the entries, the files read so far and what became of them.
class CSourceReader::CRun
{
public:
    explicit CRun(const CSourceReader& reader)
        : m_reader(reader)
        , m_limits(reader.m_limits)
        , m_entries(m_limits.m_maxAddresses, m_limits.m_maxAddressBytes)
        , m_deadline(Clock::now() + std::chrono::milliseconds(m_limits.m_maxReadMs))
        , m_group(FetchSettings(reader.m_settings), reader.m_stop)
    {
    }

    CSourceRead Read(const std::string& sourceUrl);

private:
    using Clock = std::chrono::steady_clock;
    enum class Fetched
    {
        Done,
        Failed,
        Stopped,
        // The source's time ran out while it came: what came is kept.
        OutOfTime,
    };
    // Takes a file's bytes as they come, with where redirects led; false for no more.
    using Take = std::function<bool(const std::string& url, const char* data, std::size_t size)>;

    bool ReadRobots(const std::string& robotsUrl);
    bool ReadFile(const std::string& url, int depth);
    // What the parser of a file left out.
    void Noted(const CSourceParser& parser, const std::string& url);
    // Whether one more file may be fetched; counts it if so.
    bool MayFetch();
    Fetched Fetch(const std::string& url, const Take& take, std::string& reason);
    bool Fail(CText failure, const std::string& url);
    void Cut(CText note, bool wholeSource);
    // A limit of the whole source was reached: nothing more is read.
    void CutAll(CText note);
    bool Stopped() const { return m_reader.m_stop && m_reader.m_stop->load(); }

    const CSourceReader& m_reader;
    const CSourceLimits& m_limits;
    std::string m_strSource;
    CSourceEntries m_entries;
    // The files read, by their normal address: one listed twice, however spelt, is read once.
    std::unordered_set<std::string> m_visited;
    CSourceRead m_result;
    const Clock::time_point m_deadline;
    std::size_t m_files = 0;
    std::size_t m_bytes = 0;
    bool m_bDone = false;
    bool m_bWholeNoted = false;
    // Its files' reads, over connections kept from one to the next.
    CFetchGroup m_group;
};

CSourceReader::CSourceReader(
    const CPostSettings& settings, const std::atomic<bool>* stop, const CSourceLimits& limits)
    : m_settings(settings)
    , m_stop(stop)
    , m_limits(limits)
{
}

CSourceRead CSourceReader::Read(const std::string& sourceUrl) const
{
    return CRun(*this).Read(sourceUrl);
}

CSourceRead CSourceReader::CRun::Read(const std::string& sourceUrl)
{
    CSourceAddress source;
    if (!source.SetBase(sourceUrl) || !source.Read(sourceUrl, m_strSource)) {
        const CText why = TransferFailureText(
            CURLE_UNSUPPORTED_PROTOCOL, nullptr, m_reader.m_settings.m_limits, false, {});
        Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: %1"), {why.English()}),
            sourceUrl);
        return std::move(m_result);
    }
    const bool read
        = source.BaseIsSiteRoot() ? ReadRobots(source.BaseRobots()) : ReadFile(m_strSource, 1);
    if (read) {
        m_result.m_bOk = true;
        m_result.m_entries = m_entries.Take();
    }
    return std::move(m_result);
}

bool CSourceReader::CRun::ReadRobots(const std::string& robotsUrl)
{
    if (Stopped())
        return Fail(StoppedText(), robotsUrl);
    if (!MayFetch())
        return true;
    std::string robots;
    const Take take = [&robots](const std::string&, const char* data, std::size_t size) {
        robots.append(data, std::min(size, CRobotsTxt::MaxBytes - robots.size()));
        return robots.size() < CRobotsTxt::MaxBytes;
    };
    std::string reason;
    const Fetched fetched = Fetch(robotsUrl, take, reason);
    if (fetched == Fetched::Stopped)
        return Fail(StoppedText(), robotsUrl);
    if (fetched == Fetched::Failed)
        return Fail(
            CText(QT_TRANSLATE_NOOP("Quillpost", "robots.txt not read: %1"), {reason}), robotsUrl);
    if (fetched == Fetched::OutOfTime)
        return true;
    if (robots.size() == CRobotsTxt::MaxBytes)
        Cut(CText(QT_TRANSLATE_NOOP("Quillpost", "Only the first 512 KB of %1 were read"),
                {robotsUrl}),
            false);
    const std::vector<std::string> sitemaps = CRobotsTxt::Read(robots, robotsUrl).Sitemaps();
    if (sitemaps.empty())
        return Fail(
            CText(QT_TRANSLATE_NOOP("Quillpost", "robots.txt names no sitemap")), robotsUrl);
    for (const std::string& sitemap : sitemaps) {
        if (!ReadFile(sitemap, 1))
            return false;
    }
    return true;
}

bool CSourceReader::CRun::ReadFile(const std::string& url, int depth)
{
    if (Stopped())
        return Fail(StoppedText(), url);
    std::string visited;
    if (!NormalAddress(url, visited))
        visited = url;
    // An index that lists itself, or one that lists it, is read once.
    if (m_bDone || !m_visited.insert(std::move(visited)).second || !MayFetch())
        return true;
    std::vector<std::string> children;
    {
        CSourceParser parser(m_entries, m_limits, m_limits.m_maxBytes - m_bytes);
        parser.SetAddress(url);
        bool begun = false;
        const Take take
            = [&parser, &begun](const std::string& effective, const char* data, std::size_t size) {
                  // Relative links in a feed are relative to where redirects led.
                  if (!std::exchange(begun, true))
                      parser.SetAddress(effective);
                  return parser.Write(data, size);
              };
        std::string reason;
        const Fetched fetched = Fetch(url, take, reason);
        m_bytes += parser.Bytes();
        if (fetched == Fetched::Stopped)
            return Fail(StoppedText(), url);
        if (fetched == Fetched::Failed)
            return Fail(
                CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: %1"), {reason}), url);
        if (fetched != Fetched::OutOfTime && !parser.Finish())
            return Fail(parser.Failure(), url);
        Noted(parser, url);
        if (m_bDone)
            return true;
        if (parser.GetKind() == CSourceParser::Kind::SitemapIndex)
            children = std::move(parser.Children());
    }
    if (!children.empty() && depth > m_limits.m_maxIndexDepth) {
        Cut(CText(QT_TRANSLATE_NOOP("Quillpost", "Only 3 levels of sitemap indexes were read")),
            false);
        return true;
    }
    for (const std::string& child : children) {
        if (!ReadFile(child, depth + 1))
            return false;
    }
    return true;
}

void CSourceReader::CRun::Noted(const CSourceParser& parser, const std::string& url)
{
    if (m_bDone)
        return;
    if (parser.EntriesFull())
        CutAll(m_entries.Size() >= m_limits.m_maxAddresses
                ? CText(QT_TRANSLATE_NOOP(
                            "Quillpost", "Only the first 200,000 addresses of %1 were read"),
                    {m_strSource})
                : CText(QT_TRANSLATE_NOOP(
                            "Quillpost", "Only the first 64 MB of addresses of %1 were read"),
                    {m_strSource}));
    else if (parser.SizeCut() && m_bytes >= m_limits.m_maxBytes)
        CutAll(CText(QT_TRANSLATE_NOOP("Quillpost", "Only the first 100 MB of %1 were read"),
            {m_strSource}));
    if (parser.ChildrenCut())
        Cut(FilesNote(m_strSource), true);
    if (parser.AddressesCut())
        Cut(CText(QT_TRANSLATE_NOOP("Quillpost", "Only the first 50,000 addresses of %1 were read"),
                {url}),
            false);
    if (parser.SizeCut())
        Cut(CText(QT_TRANSLATE_NOOP("Quillpost", "Only the first 50 MB of %1 were read"), {url}),
            false);
    if (parser.TokenCut())
        Cut(CText(QT_TRANSLATE_NOOP(
                      "Quillpost", "%1 was read only up to a tag or comment longer than 1 MB"),
                {url}),
            false);
    if (parser.LongAddresses())
        Cut(CText(QT_TRANSLATE_NOOP(
                      "Quillpost", "Addresses longer than 2,048 characters in %1 were left out"),
                {url}),
            false);
}

bool CSourceReader::CRun::MayFetch()
{
    if (m_files >= m_limits.m_maxFiles)
        CutAll(FilesNote(m_strSource));
    else if (Clock::now() >= m_deadline)
        CutAll(TimeNote(m_strSource));
    else
        ++m_files;
    return !m_bDone;
}

bool CSourceReader::CRun::Fail(CText failure, const std::string& url)
{
    m_result.m_bOk = false;
    m_result.m_failure = std::move(failure);
    m_result.m_strFailedUrl = url;
    m_result.m_note = CText();
    m_result.m_bCut = false;
    return false;
}

// The first thing one file left out is said; what the whole source left out says the most, so
// the first of that stands over it. A source that says more than one is read again once the
// first is dealt with.
void CSourceReader::CRun::Cut(CText note, bool wholeSource)
{
    m_result.m_bCut = true;
    if (wholeSource ? !std::exchange(m_bWholeNoted, true) : m_result.m_note.IsEmpty())
        m_result.m_note = std::move(note);
}

void CSourceReader::CRun::CutAll(CText note)
{
    Cut(std::move(note), true);
    m_bDone = true;
}

CSourceReader::CRun::Fetched CSourceReader::CRun::Fetch(
    const std::string& url, const Take& take, std::string& reason)
{
    const CPostLimits& limits = m_reader.m_settings.m_limits;
    // No transfer outlasts the source's time, which the last of them is cut at: rounded up, and
    // a millisecond more, so that its time-out comes after the deadline, never just before it.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now()) + 1ms;
    CFetchRequest request;
    request.m_strUrl = url;
    request.m_redirects = FetchRedirects::Any;
    request.m_timeoutMs = static_cast<long>(
        std::clamp<std::chrono::milliseconds::rep>(left.count(), 1, limits.m_totalTimeoutMs));
    request.m_take = take;
    const CFetchAnswer answer = m_group.Fetch(request);

    if (answer.m_bStopped || Stopped())
        return Fetched::Stopped;
    if (answer.m_code == CURLE_OPERATION_TIMEDOUT && Clock::now() >= m_deadline) {
        CutAll(TimeNote(m_strSource));
        return Fetched::OutOfTime;
    }
    if (answer.IsSuccess())
        return Fetched::Done;
    reason = answer.Answered() ? StatusWords(answer.m_status) : answer.m_failure.English();
    return Fetched::Failed;
}
