#include "data/Utf8.h"

namespace {

constexpr bool IsAllowedControl(unsigned char c)
{
    return c == '\t' || c == '\n' || c == '\r';
}

// The well-formed UTF-8 sequences by their first byte: how long they are and the range
// of their second byte, which rules out overlong forms, surrogates and code points above
// U+10FFFF. Every further byte is 0x80 to 0xBF.
struct LeadByte
{
    unsigned char first;
    unsigned char last;
    std::size_t length;
    unsigned char low;
    unsigned char high;
};
constexpr LeadByte LeadBytes[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// Length of the well-formed sequence of an allowed character at text[pos] (1 to 4), or 0.
std::size_t SequenceLength(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return lead >= 0x20 || IsAllowedControl(lead) ? 1 : 0;
    for (const LeadByte& form : LeadBytes) {
        if (lead < form.first || lead > form.last)
            continue;
        if (text.size() - pos < form.length || byte(1) < form.low || byte(1) > form.high)
            return 0;
        for (std::size_t i = 2; i < form.length; ++i) {
            if ((byte(i) & 0xC0) != 0x80)
                return 0;
        }
        // U+FFFE and U+FFFF
        if (lead == 0xEF && byte(1) == 0xBF && byte(2) >= 0xBE)
            return 0;
        return form.length;
    }
    return 0;
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
