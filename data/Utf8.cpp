#include "data/Utf8.h"

namespace {

constexpr bool IsAllowedControl(unsigned char c)
{
    return c == '\t' || c == '\n' || c == '\r';
}

// Length of the well-formed sequence of an allowed character at text[pos] (1 to 4), or 0.
// Overlong forms, surrogates and code points above U+10FFFF are malformed.
std::size_t SequenceLength(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return lead >= 0x20 || IsAllowedControl(lead) ? 1 : 0;

    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    // U+FFFE and U+FFFF
    if (lead == 0xEF && byte(1) == 0xBF && byte(2) >= 0xBE)
        return 0;
    return length;
}

} // namespace

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
