#include "core/UrlEncoder.h"

#include <array>

namespace {

// The characters a value never carries as they are, in the order they are listed.
constexpr char EscapeSet[] = "\"<>%\\^[]`+$,@:;/!#?=&";
constexpr char HexDigits[] = "0123456789ABCDEF";

constexpr bool needsEscape(char c)
{
    for (const char* p = EscapeSet; *p; ++p) {
        if (*p == c)
            return true;
    }
    // The byte is taken as signed, so 0x80..0xFF fall under the lower bound.
    const auto value = static_cast<signed char>(c);
    return value <= 32 || value >= 123;
}

constexpr std::array<bool, 256> makeEscapeTable()
{
    std::array<bool, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = needsEscape(static_cast<char>(i));
    return table;
}

constexpr std::array<bool, 256> EscapeTable = makeEscapeTable();

} // namespace

CUrlEncoder::~CUrlEncoder() = default;

std::string CUrlEncoder::Encode(std::string text) const
{
    std::string result;
    AppendEncoded(result, text);
    return result;
}

void CUrlEncoder::AppendEncoded(std::string& out, const std::string& text) const
{
    // Reserve for the worst case once: three bytes out for every byte in.
    const std::size_t start = out.size();
    out.resize(start + 3 * text.size());
    char* dst = out.data() + start;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (EscapeTable[byte]) {
            dst[0] = '%';
            dst[1] = HexDigits[byte >> 4];
            dst[2] = HexDigits[byte & 0x0F];
            dst += 3;
        } else {
            *dst++ = c;
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

std::string CUrlEncoder::EscapeChar(char c)
{
    return "%" + ToHex(c);
}

std::string CUrlEncoder::ToHex(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return {HexDigits[byte >> 4], HexDigits[byte & 0x0F]};
}

bool CUrlEncoder::NeedsEscape(char c)
{
    return needsEscape(c);
}
