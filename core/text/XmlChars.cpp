#include "core/text/XmlChars.h"

#include "core/text/Utf8.h"

#include <cstdint>
#include <cstring>

namespace {

// Whether any of the eight bytes in word is 0x80 or above, or below 0x20. A byte below 0x20
// borrows in the subtraction, which sets the high bit of (byte - 0x20) & ~byte; the borrow
// can mark higher bytes too, but only once some byte is below 0x20, so the answer is exact.
bool HasNonTextByte(std::uint64_t word)
{
    constexpr std::uint64_t Blanks = 0x2020202020202020u;
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    return (((word - Blanks) & ~word) | word) & HighBits;
}

// Length of the well-formed sequence of a character XML allows at text[pos] (1 to 4), or 0.
std::size_t SequenceLength(std::string_view text, std::size_t pos)
{
    std::size_t end = pos;
    char32_t c = 0;
    if (!DecodeUtf8(text, end, c) || !IsXmlChar(c))
        return 0;
    return end - pos;
}

} // namespace

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

std::size_t FindBadXmlChar(std::string_view text)
{
    // Every text of the data file passes through here on each save and load, and nearly
    // all of it is printable ASCII: eight such bytes are passed at a time, and a single one
    // without decoding.
    for (std::size_t pos = 0; pos < text.size();) {
        std::uint64_t word;
        if (text.size() - pos >= sizeof word) {
            std::memcpy(&word, text.data() + pos, sizeof word);
            if (!HasNonTextByte(word)) {
                pos += sizeof word;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte >= 0x20 && byte < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = SequenceLength(text, pos);
        if (length == 0)
            return pos;
        pos += length;
    }
    return std::string_view::npos;
}

std::string ToXmlChars(std::string_view text)
{
    if (FindBadXmlChar(text) == std::string_view::npos)
        return std::string(text);

    std::string out;
    out.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = SequenceLength(text, pos);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            // U+FFFE and U+FFFF are one character each, not three faults.
            const bool nonCharacter = text.substr(pos, 2) == "\xEF\xBF" && text.size() > pos + 2
                && static_cast<unsigned char>(text[pos + 2]) >= 0xBE;
            pos += nonCharacter ? 3 : 1;
        } else {
            out.append(text, pos, length);
            pos += length;
        }
    }
    return out;
}
