#include "core/text/Utf8.h"

#include <cstdint>
#include <cstring>

bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint)
{
    if (pos >= text.size())
        return false;
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length;
    char32_t value;
    // The smallest value each length may carry: anything below is an overlong form.
    char32_t least;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos < length)
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    codePoint = value;
    pos += length;
    return true;
}

bool IsUtf8(std::string_view text)
{
    std::size_t pos = 0;
    char32_t codePoint;
    while (pos < text.size()) {
        // Most text is ASCII: pass eight such bytes at a time.
        std::uint64_t word;
        if (text.size() - pos >= sizeof word) {
            std::memcpy(&word, text.data() + pos, sizeof word);
            if ((word & 0x8080808080808080u) == 0) {
                pos += sizeof word;
                continue;
            }
        }
        if (!DecodeUtf8(text, pos, codePoint))
            return false;
    }
    return true;
}

std::string ShownUtf8(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    std::size_t pos = 0;
    char32_t codePoint;
    while (pos < text.size()) {
        const std::size_t start = pos;
        if (DecodeUtf8(text, pos, codePoint)) {
            shown.append(text, start, pos - start);
        } else {
            shown += "\xEF\xBF\xBD";
            ++pos;
        }
    }
    return shown;
}

std::string_view FirstCharacters(std::string_view text, std::size_t count)
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count && pos < text.size(); ++n) {
        char32_t codePoint;
        if (!DecodeUtf8(text, pos, codePoint))
            ++pos;
    }
    return text.substr(0, pos);
}
