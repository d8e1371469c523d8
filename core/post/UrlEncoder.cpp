#include "core/post/UrlEncoder.h"

namespace {

// The characters a form value never carries as they are, in the order they are listed.
constexpr char FormEscapeSet[] = "\"<>%\\^[]`+$,@:;/!#?=&";
constexpr char UpperDigits[] = "0123456789ABCDEF";
constexpr char LowerDigits[] = "0123456789abcdef";

constexpr bool formNeedsEscape(char c)
{
    for (const char* p = FormEscapeSet; *p; ++p) {
        if (*p == c)
            return true;
    }
    // The byte is taken as signed, so 0x80..0xFF fall under the lower bound.
    const auto value = static_cast<signed char>(c);
    return value <= 32 || value >= 123;
}

constexpr bool pathNeedsEscape(char c)
{
    const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
        || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    return !kept;
}

template <typename NeedsEscape> constexpr std::array<bool, 256> makeTable(NeedsEscape needsEscape)
{
    std::array<bool, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = needsEscape(static_cast<char>(i));
    return table;
}

constexpr std::array<bool, 256> FormTable = makeTable(formNeedsEscape);
constexpr std::array<bool, 256> PathTable = makeTable(pathNeedsEscape);

// Writes the three bytes of the byte's escape at dst.
char* putEscape(char* dst, unsigned char byte, const char* digits)
{
    dst[0] = '%';
    dst[1] = digits[byte >> 4];
    dst[2] = digits[byte & 0x0F];
    return dst + 3;
}

} // namespace

CUrlEncoder::CUrlEncoder(Style style)
    : m_escaped(style == Style::Path ? PathTable : FormTable)
    , m_digits(style == Style::Path ? LowerDigits : UpperDigits)
{
}

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
        if (m_escaped[byte])
            dst = putEscape(dst, byte, m_digits);
        else
            *dst++ = c;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

std::string CUrlEncoder::EscapeChar(char c)
{
    std::string escape(3, '%');
    putEscape(escape.data(), static_cast<unsigned char>(c), UpperDigits);
    return escape;
}

std::string CUrlEncoder::ToHex(char c)
{
    return EscapeChar(c).substr(1);
}

bool CUrlEncoder::NeedsEscape(char c)
{
    return FormTable[static_cast<unsigned char>(c)];
}
