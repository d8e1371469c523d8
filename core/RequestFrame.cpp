#include "core/RequestFrame.h"

#include <algorithm>
#include <istream>
#include <utility>

namespace {

constexpr char Magic[] = "quillpost-browser-request 2";
// A count line is a keyword and a number; a longer one is not ours.
constexpr std::size_t MaxLineLength = 64;
// Far above any real request; it stops a corrupt count from asking for all of memory.
constexpr std::size_t MaxCount = std::size_t(1) << 30;
constexpr std::size_t ChunkBytes = 64 * 1024;

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

// A keyword and a count after a single space.
bool ParseCountLine(const std::string& line, std::string& keyword, std::size_t& count)
{
    const std::size_t space = line.find(' ');
    if (space == std::string::npos)
        return false;
    keyword = line.substr(0, space);
    return ParseCount(line.substr(space + 1), count);
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

namespace RequestFrame {

std::string Write(const CPostRequest& request)
{
    std::string frame = std::string(Magic) + "\n";
    frame += "url " + std::to_string(request.m_strUrl.size()) + "\n" + request.m_strUrl;
    frame += "type " + std::to_string(request.m_strContentType.size()) + "\n"
        + request.m_strContentType;
    frame += "body " + std::to_string(request.m_body.size()) + "\n" + request.m_body;
    return frame;
}

std::optional<CPostRequest> Read(std::istream& in, std::string& error)
{
    std::string line;
    if (!ReadLine(in, line, error))
        return std::nullopt;
    if (line != Magic) {
        error = "the input is not a browser request";
        return std::nullopt;
    }

    // The parts come in this order, each once.
    CPostRequest request;
    const std::pair<const char*, std::string*> parts[] = {
        {"url", &request.m_strUrl},
        {"type", &request.m_strContentType},
        {"body", &request.m_body},
    };
    std::string keyword;
    std::size_t count = 0;
    for (const auto& [expected, bytes] : parts) {
        if (!ReadLine(in, line, error))
            return std::nullopt;
        if (!ParseCountLine(line, keyword, count)) {
            error = "a count line of the request is malformed";
            return std::nullopt;
        }
        if (keyword != expected) {
            error = "the request has a line out of place";
            return std::nullopt;
        }
        if (!ReadBytes(in, count, *bytes, error))
            return std::nullopt;
    }
    if (in.peek() != std::char_traits<char>::eof()) {
        error = "the request goes on after its body";
        return std::nullopt;
    }
    return request;
}

} // namespace RequestFrame
