#include "data/TextEncoding.h"

#include <algorithm>

namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
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

bool Utf16ToUtf8(std::string_view in, bool bigEndian, std::string& out, std::size_t& badOffset)
{
    const auto unit = [&](std::size_t i) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        const auto b1 = static_cast<unsigned char>(in[i + 1]);
        return static_cast<char32_t>(bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0));
    };
    out.clear();
    out.reserve(in.size());
    std::size_t i = 2;
    for (; i + 1 < in.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < in.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) {
            badOffset = i;
            return false;
        }
        AppendUtf8(out, c);
    }
    badOffset = i;
    return i == in.size();
}

std::string DeclaredEncoding(std::string_view bytes)
{
    if (bytes.substr(0, 5) != "<?xml" || bytes.size() < 6 || !IsXmlSpace(bytes[5]))
        return std::string();
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    std::size_t i = declaration.find("encoding");
    if (i == std::string_view::npos)
        return std::string();
    i += 8;
    while (i < declaration.size() && IsXmlSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || declaration[i] != '=')
        return std::string();
    ++i;
    while (i < declaration.size() && IsXmlSpace(declaration[i]))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return std::string();
    const std::size_t end = declaration.find(declaration[i], i + 1);
    if (end == std::string_view::npos)
        return std::string();
    return std::string(declaration.substr(i + 1, std::min<std::size_t>(end - i - 1, 40)));
}

bool SingleByteToUtf8(
    std::string_view in, bool windows1252, std::string& out, std::size_t& badOffset)
{
    out.clear();
    out.reserve(in.size() + in.size() / 8);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        char32_t code = c;
        if (windows1252 && c >= 0x80 && c <= 0x9F) {
            code = Windows1252High[c - 0x80];
            if (code == 0) {
                badOffset = i;
                return false;
            }
        }
        AppendUtf8(out, code);
    }
    return true;
}

} // namespace TextEncoding
