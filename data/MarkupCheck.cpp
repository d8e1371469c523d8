#include "data/MarkupCheck.h"

#include "data/TextEncoding.h"
#include "data/Utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace {

using TextEncoding::IsXmlSpace;
using TextEncoding::Lower;

// Bytes allowed in a name: StartByte at its start, NameByte anywhere. Every byte above
// 0x7F is allowed here; the sequences they make are checked as UTF-8 afterwards.
constexpr unsigned char StartByte = 1;
constexpr unsigned char NameByte = 2;

constexpr std::array<unsigned char, 256> MakeNameTable()
{
    std::array<unsigned char, 256> table = {};
    for (int c = 0; c < 256; ++c) {
        const bool start
            = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
        const bool inside = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        table[c] = static_cast<unsigned char>((start ? StartByte : 0) | (inside ? NameByte : 0));
    }
    return table;
}

constexpr std::array<unsigned char, 256> NameTable = MakeNameTable();

bool IsNameChar(char c)
{
    return NameTable[static_cast<unsigned char>(c)] & NameByte;
}

bool IsXmlChar(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The end of the reference that starts at text[pos] ('&'), or npos with the reason.
std::size_t ReferenceEnd(std::string_view text, std::size_t pos, std::string& reason)
{
    std::size_t i = pos + 1;
    if (i < text.size() && text[i] == '#') {
        const bool hex = ++i < text.size() && text[i] == 'x';
        if (hex)
            ++i;
        const std::size_t digits = i;
        std::uint32_t code = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<std::uint32_t>(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            else
                break;
            code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (i == digits || i >= text.size() || text[i] != ';') {
            reason = "a malformed character reference";
            return std::string_view::npos;
        }
        if (!IsXmlChar(code)) {
            reason = "a reference to a character XML does not allow ("
                + std::string(text.substr(pos, std::min<std::size_t>(i + 1 - pos, 16))) + ")";
            return std::string_view::npos;
        }
        return i + 1;
    }
    const std::size_t name = i;
    while (i < text.size() && IsNameChar(text[i]))
        ++i;
    if (i == name || i >= text.size() || text[i] != ';') {
        reason = "an \"&\" that starts no reference";
        return std::string_view::npos;
    }
    const std::string_view entity = text.substr(name, i - name);
    if (entity != "lt" && entity != "gt" && entity != "amp" && entity != "quot"
        && entity != "apos") {
        reason = "the undeclared entity &"
            + ToXmlChars(entity.substr(0, std::min<std::size_t>(entity.size(), 32))) + ";";
        return std::string_view::npos;
    }
    return i + 1;
}

// The first of a, b or c in text from pos, or npos. Values are long and their markup
// characters few, so they are looked for sixteen bytes at a time.
std::size_t FindFirstOf(std::string_view text, std::size_t pos, char a, char b, char c)
{
    const char* data = text.data();
    const std::size_t size = text.size();
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    const __m128i vc = _mm_set1_epi8(c);
    for (; pos <= size && size - pos >= 16; pos += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
        const __m128i hits
            = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, va), _mm_cmpeq_epi8(chunk, vb)),
                _mm_cmpeq_epi8(chunk, vc));
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0)
            return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; pos < size; ++pos) {
        const char ch = data[pos];
        if (ch == a || ch == b || ch == c)
            return pos;
    }
    return std::string_view::npos;
}

// The end of a DOCTYPE whose keyword ends at pos, or npos.
std::size_t DoctypeEnd(std::string_view text, std::size_t pos)
{
    bool subset = false;
    for (std::size_t i = pos; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = text.find(c, i + 1);
            if (i == std::string_view::npos)
                return i;
        } else if (subset && text.compare(i, 4, "<!--") == 0) {
            i = text.find("-->", i + 4);
            if (i == std::string_view::npos)
                return i;
            i += 2;
        } else if (c == '[') {
            subset = true;
        } else if (c == ']') {
            subset = false;
        } else if (c == '>' && !subset) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// Whether name is already among the attribute names of the tag; a linear search for the
// usual few, a set for a tag with many.
class AttributeNames
{
public:
    void Clear()
    {
        m_names.clear();
        m_set.clear();
    }
    bool Add(std::string_view name)
    {
        if (m_names.size() < 16) {
            for (const std::string_view seen : m_names) {
                if (seen == name)
                    return false;
            }
            m_names.push_back(name);
            if (m_names.size() == 16)
                m_set.insert(m_names.begin(), m_names.end());
            return true;
        }
        return m_set.insert(name).second;
    }

private:
    std::vector<std::string_view> m_names;
    std::unordered_set<std::string_view> m_set;
};

} // namespace

namespace MarkupCheck {

bool IsValidName(const std::string& name)
{
    if (name.empty() || !(NameTable[static_cast<unsigned char>(name[0])] & StartByte))
        return false;
    unsigned char high = 0;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (!(NameTable[c] & NameByte))
            return false;
        high |= c;
    }
    return high < 0x80 || FindBadXmlChar(name) == std::string::npos;
}

std::string Place(std::string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

MarkupFault FindMarkupFault(std::string_view text)
{
    constexpr std::size_t npos = std::string_view::npos;
    const auto fault = [](std::size_t offset, const std::string& reason) {
        return MarkupFault{offset, "not well-formed XML: " + reason};
    };
    const std::size_t size = text.size();
    const std::size_t start = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t depth = 0;
    bool rootSeen = false;
    const auto outside = [&](std::size_t offset) {
        return fault(
            offset, rootSeen ? "text after the root element" : "text before the root element");
    };
    AttributeNames names;
    std::string reason;
    std::size_t i = start;
    while (i < size) {
        const char c = text[i];
        if (c != '<') {
            if (depth == 0 && !IsXmlSpace(c))
                return outside(i);
            if (c == '&') {
                const std::size_t end = ReferenceEnd(text, i, reason);
                if (end == npos)
                    return fault(i, reason);
                i = end;
            } else if (depth == 0) {
                ++i;
            } else {
                i = std::min(FindFirstOf(text, i, '<', '&', '&'), size);
            }
            continue;
        }
        const char next = i + 1 < size ? text[i + 1] : '\0';
        if (next == '!' && text.compare(i, 4, "<!--") == 0) {
            const std::size_t dashes = text.find("--", i + 4);
            if (dashes == npos)
                return {};
            if (text.compare(dashes, 3, "-->") != 0)
                return fault(dashes, "\"--\" inside a comment");
            i = dashes + 3;
        } else if (next == '!' && text.compare(i, 9, "<![CDATA[") == 0) {
            if (depth == 0)
                return outside(i);
            const std::size_t end = text.find("]]>", i + 9);
            if (end == npos)
                return {};
            i = end + 3;
        } else if (next == '!' && text.compare(i, 9, "<!DOCTYPE") == 0) {
            const std::size_t end = DoctypeEnd(text, i + 9);
            if (end == npos)
                return {};
            // Entities are never expanded: a document that declares some is refused rather
            // than read with its references left as they stand.
            if (text.substr(i, end - i).find("<!ENTITY") != npos)
                return {i, "entity declarations are not supported"};
            i = end;
        } else if (next == '?') {
            const std::size_t end = text.find("?>", i + 2);
            if (end == npos)
                return {};
            std::size_t target = i + 2;
            while (target < end && !IsXmlSpace(text[target]))
                ++target;
            if (i != start && Lower(text.substr(i + 2, target - i - 2)) == "xml")
                return fault(i, "an XML declaration that is not at the start");
            i = end + 2;
        } else if (next == '/') {
            const std::size_t end = text.find('>', i + 2);
            if (end == npos || depth == 0)
                return {};
            --depth;
            i = end + 1;
        } else {
            std::size_t j = i + 1;
            while (j < size && IsNameChar(text[j]))
                ++j;
            if (j == i + 1)
                return {};
            names.Clear();
            bool empty = false;
            for (;;) {
                while (j < size && IsXmlSpace(text[j]))
                    ++j;
                if (j >= size)
                    return {};
                if (text[j] == '>') {
                    ++j;
                    break;
                }
                if (text.compare(j, 2, "/>") == 0) {
                    empty = true;
                    j += 2;
                    break;
                }
                const std::size_t nameStart = j;
                while (j < size && IsNameChar(text[j]))
                    ++j;
                const std::string_view name = text.substr(nameStart, j - nameStart);
                while (j < size && IsXmlSpace(text[j]))
                    ++j;
                if (name.empty() || j >= size || text[j] != '=')
                    return {};
                ++j;
                while (j < size && IsXmlSpace(text[j]))
                    ++j;
                if (j >= size || (text[j] != '"' && text[j] != '\''))
                    return {};
                const char quote = text[j];
                if (!names.Add(name))
                    return fault(nameStart,
                        "the attribute \"" + ToXmlChars(name.substr(0, 64)) + "\" given twice");
                for (j = FindFirstOf(text, j + 1, quote, '<', '&'); j != npos && text[j] != quote;
                     j = FindFirstOf(text, j, quote, '<', '&')) {
                    if (text[j] == '<')
                        return fault(j, "a \"<\" inside an attribute value");
                    const std::size_t end = ReferenceEnd(text, j, reason);
                    if (end == npos)
                        return fault(j, reason);
                    j = end;
                }
                if (j == npos)
                    return {};
                ++j;
            }
            rootSeen = true;
            if (!empty)
                ++depth;
            i = j;
        }
    }
    return {};
}

} // namespace MarkupCheck
