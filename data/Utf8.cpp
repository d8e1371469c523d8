#include "data/Utf8.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Data files are mostly ASCII: the length of the run of plain bytes (neither a control
// character nor above 0x7F) from the start of text, taken sixteen or eight bytes at a time.
std::size_t PlainAsciiRun(const char* text, std::size_t size)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    // Signed: bytes above 0x7F are negative, so one comparison finds both kinds.
    const __m128i space = _mm_set1_epi8(0x20);
    for (; size - i >= 16; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const int stops = _mm_movemask_epi8(_mm_cmplt_epi8(chunk, space));
        if (stops != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(stops)));
    }
#endif
    // A byte below 0x20 sets its high bit on subtracting; a borrow only reaches the bytes
    // above one that stops anyway.
    constexpr std::uint64_t spaces = 0x2020202020202020u;
    constexpr std::uint64_t highs = 0x8080808080808080u;
    for (; size - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, sizeof word);
        if (((word | (word - spaces)) & highs) != 0)
            break;
    }
    // At most one word's bytes when the loop above stopped early.
    for (; i < size; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x80)
            break;
    }
    return i;
}

} // namespace

std::size_t FindBadXmlChar(std::string_view text)
{
    std::size_t pos = 0;
    for (;;) {
        pos += PlainAsciiRun(text.data() + pos, text.size() - pos);
        if (pos == text.size())
            return std::string_view::npos;
        const std::size_t length = SequenceLength(text, pos);
        if (length == 0)
            return pos;
        pos += length;
    }
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
