#include "core/XmlChars.h"

#include "core/Utf8.h"

namespace {

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
    for (std::size_t pos = 0; pos < text.size();) {
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
