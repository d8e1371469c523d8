#include "data/TextEncoding.h"

namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// windows-1252's characters for 0x80 to 0x9F; 0 where it has none.
constexpr char16_t Windows1252High[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

} // namespace

namespace TextEncoding {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

int Windows1252ToUnicode(unsigned char byte)
{
    if (byte < 0x80 || byte > 0x9F)
        return byte;
    const char16_t c = Windows1252High[byte - 0x80];
    return c == 0 ? -1 : c;
}

std::string Windows1252ToUtf8(std::string_view in)
{
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    for (const char byte : in) {
        const int c = Windows1252ToUnicode(static_cast<unsigned char>(byte));
        AppendUtf8(out, c < 0 ? 0xFFFD : static_cast<char32_t>(c));
    }
    return out;
}

} // namespace TextEncoding
