#include "core/BrowserRequest.h"

#include "core/BrowserLauncher.h"

#include <algorithm>
#include <istream>

namespace {

constexpr char Magic[] = "quillpost-browser-request 1";
// A count line is a keyword and at most two numbers; a longer one is not ours.
constexpr std::size_t MaxLineLength = 64;
// Far above any real request; it stops a corrupt count from asking for all of memory.
constexpr std::size_t MaxCount = std::size_t(1) << 30;
constexpr std::size_t ChunkBytes = 64 * 1024;

std::string Trimmed(const std::string& text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    const auto first = std::find_if_not(text.begin(), text.end(), space);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), space).base();
    return first < last ? std::string(first, last) : std::string();
}

// Reads up to a line feed. False at the end of the input or on an overlong line.
bool ReadLine(std::istream& in, std::string& line, std::string& error)
{
    line.clear();
    for (;;) {
        const int c = in.get();
        if (c == std::char_traits<char>::eof()) {
            error = line.empty() ? "the request ends early" : "the request ends inside a line";
            return false;
        }
        if (c == '\n')
            return true;
        if (line.size() == MaxLineLength) {
            error = "a line of the request is too long";
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
}

bool ParseCount(const std::string& text, std::size_t& count)
{
    if (text.empty() || text.size() > 10)
        return false;
    count = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        count = count * 10 + static_cast<std::size_t>(c - '0');
    }
    return count <= MaxCount;
}

// A keyword and one or more counts, each after a single space.
bool ParseCountLine(const std::string& line, std::string& keyword, std::vector<std::size_t>& counts)
{
    counts.clear();
    std::size_t start = 0;
    std::vector<std::string> words;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        words.push_back(line.substr(start, space - start));
        if (space == std::string::npos)
            break;
        start = space + 1;
    }
    keyword = words.front();
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::size_t count = 0;
        if (!ParseCount(words[i], count))
            return false;
        counts.push_back(count);
    }
    return !counts.empty();
}

// Grows the text chunk by chunk, so a count larger than the input costs no more memory
// than the input.
bool ReadBytes(std::istream& in, std::size_t count, std::string& bytes, std::string& error)
{
    bytes.clear();
    while (bytes.size() < count) {
        const std::size_t chunk = std::min(ChunkBytes, count - bytes.size());
        const std::size_t had = bytes.size();
        bytes.resize(had + chunk);
        in.read(&bytes[had], static_cast<std::streamsize>(chunk));
        if (static_cast<std::size_t>(in.gcount()) != chunk) {
            error = "the request ends early";
            return false;
        }
    }
    return true;
}

} // namespace

CBrowserRequest CBrowserRequest::FromPost(const CBrowserPost& post)
{
    CBrowserRequest request;
    request.m_strUrl = post.m_strUrl;
    request.m_body = post.m_postData;
    std::size_t start = 0;
    while (start < post.m_strHeaders.size()) {
        std::size_t end = post.m_strHeaders.find('\n', start);
        if (end == std::string::npos)
            end = post.m_strHeaders.size();
        std::string line = post.m_strHeaders.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = Trimmed(line.substr(0, colon));
        if (!name.empty())
            request.m_headers.emplace_back(std::move(name), Trimmed(line.substr(colon + 1)));
    }
    return request;
}

std::string CBrowserRequest::Frame() const
{
    std::string frame = std::string(Magic) + "\n";
    frame += "url " + std::to_string(m_strUrl.size()) + "\n" + m_strUrl;
    for (const Header& header : m_headers) {
        frame += "header " + std::to_string(header.first.size()) + " "
            + std::to_string(header.second.size()) + "\n" + header.first + header.second;
    }
    frame += "body " + std::to_string(m_body.size()) + "\n" + m_body;
    return frame;
}

std::optional<CBrowserRequest> CBrowserRequest::Read(std::istream& in, std::string& error)
{
    std::string line;
    if (!ReadLine(in, line, error))
        return std::nullopt;
    if (line != Magic) {
        error = "the input is not a browser request";
        return std::nullopt;
    }

    CBrowserRequest request;
    bool haveUrl = false;
    std::string keyword;
    std::vector<std::size_t> counts;
    for (;;) {
        if (!ReadLine(in, line, error))
            return std::nullopt;
        if (!ParseCountLine(line, keyword, counts)) {
            error = "a count line of the request is malformed";
            return std::nullopt;
        }
        if (keyword == "url" && counts.size() == 1 && !haveUrl) {
            if (!ReadBytes(in, counts[0], request.m_strUrl, error))
                return std::nullopt;
            haveUrl = true;
        } else if (keyword == "header" && counts.size() == 2 && haveUrl) {
            std::string both;
            if (!ReadBytes(in, counts[0] + counts[1], both, error))
                return std::nullopt;
            request.m_headers.emplace_back(both.substr(0, counts[0]), both.substr(counts[0]));
        } else if (keyword == "body" && counts.size() == 1 && haveUrl) {
            if (!ReadBytes(in, counts[0], request.m_body, error))
                return std::nullopt;
            break;
        } else {
            error = "the request has a line out of place";
            return std::nullopt;
        }
    }
    if (in.peek() != std::char_traits<char>::eof()) {
        error = "the request goes on after its body";
        return std::nullopt;
    }
    return request;
}

bool CBrowserRequest::operator==(const CBrowserRequest& other) const
{
    return m_strUrl == other.m_strUrl && m_headers == other.m_headers && m_body == other.m_body;
}
