#include "core/post/RequestFrame.h"

#include <algorithm>
#include <istream>
#include <utility>

namespace {

constexpr char Magic[] = "quillpost-browser-request 2";
// The count line holds three numbers; a longer one is not ours.
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
    const std::string& url = request.m_address.Url();
    return std::string(Magic) + "\n" + std::to_string(url.size()) + " "
        + std::to_string(request.m_strContentType.size()) + " "
        + std::to_string(request.m_strBody.size()) + "\n" + url + request.m_strContentType
        + request.m_strBody;
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
    if (!ReadLine(in, line, error))
        return std::nullopt;
    // Three counts, each after a single space but the first.
    CPostRequest request;
    std::string url;
    std::string* const parts[] = {&url, &request.m_strContentType, &request.m_strBody};
    std::size_t counts[3] = {};
    std::size_t start = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? line.find(' ', start) : line.size();
        if (end == std::string::npos || !ParseCount(line.substr(start, end - start), counts[i])) {
            error = "the count line of the request is malformed";
            return std::nullopt;
        }
        start = end + 1;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (!ReadBytes(in, counts[i], *parts[i], error))
            return std::nullopt;
    }
    if (in.peek() != std::char_traits<char>::eof()) {
        error = "the request goes on after its body";
        return std::nullopt;
    }
    request.m_address = CAddress::Read(url);
    return request;
}

} // namespace RequestFrame
