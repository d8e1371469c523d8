#include "core/page/RobotsTxt.h"

#include "core/net/Address.h"
#include "core/source/SourceAddress.h"
#include "core/text/AsciiText.h"

#include <algorithm>

namespace {

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

bool IsUnreserved(unsigned char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')
        || ch == '-' || ch == '.' || ch == '_' || ch == '~';
}

void AppendEscape(std::string& out, unsigned char ch)
{
    static const char Hex[] = "0123456789ABCDEF";
    out += '%';
    out += Hex[ch >> 4];
    out += Hex[ch & 0x0F];
}

// A rule's path or a page's in one spelling, so that "/%62a" and "/ba", or "/ä" and "/%C3%A4",
// compare alike: escapes of unreserved characters decoded, the others' hex in upper case, and
// what may not stand bare in an address escaped. In a page's path "*" and "$" are characters
// like any other, escaped so that no rule's wildcard or end can be spelt by the page.
std::string OneSpelling(std::string_view text, bool pattern)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        const int high = ch == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            const auto decoded = static_cast<unsigned char>(high * 16 + low);
            if (IsUnreserved(decoded))
                out += static_cast<char>(decoded);
            else
                AppendEscape(out, decoded);
            i += 2;
        } else if (ch <= 0x20 || ch >= 0x7F || (!pattern && (ch == '*' || ch == '$'))
            || (pattern && ch == '$' && i + 1 < text.size())) {
            AppendEscape(out, ch);
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

// Whether the pattern matches the start of the path (all of it, with a "$" at its end). One
// wildcard is retried at a time, so a pattern of many "*" costs at most its length times the
// path's, never more.
bool Matches(std::string_view pattern, std::string_view path)
{
    const bool anchored = !pattern.empty() && pattern.back() == '$';
    if (anchored)
        pattern.remove_suffix(1);
    std::size_t p = 0;
    std::size_t s = 0;
    std::size_t afterStar = std::string_view::npos;
    std::size_t starFrom = 0;
    for (;;) {
        if (p < pattern.size() && pattern[p] == '*') {
            afterStar = ++p;
            starFrom = s;
            continue;
        }
        if (p == pattern.size()) {
            if (!anchored || s == path.size())
                return true;
        } else if (s < path.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
            continue;
        }
        if (afterStar == std::string_view::npos || starFrom >= path.size())
            return false;
        p = afterStar;
        s = ++starFrom;
    }
}

} // namespace

CRobotsTxt CRobotsTxt::Read(std::string_view text, const std::string& robotsUrl)
{
    text = text.substr(0, MaxBytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    CRobotsTxt robots;
    CSourceAddress addresses;
    addresses.SetBase(robotsUrl);
    std::string sitemap;
    // Rules before the first User-agent line belong to no group; a User-agent line after a
    // rule starts a new group, and the lines of one group name all its agents.
    bool inGroup = false;
    bool groupHasRules = false;
    bool groupForAll = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line = line.substr(0, line.find('#'));
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view field = TrimmedBlanks(line.substr(0, colon));
        const std::string_view value = TrimmedBlanks(line.substr(colon + 1));
        if (EqualsNoCase(field, "user-agent")) {
            if (groupHasRules)
                groupForAll = false;
            inGroup = true;
            groupHasRules = false;
            groupForAll = groupForAll || value == "*";
        } else if (EqualsNoCase(field, "allow") || EqualsNoCase(field, "disallow")) {
            groupHasRules = inGroup;
            // An empty rule matches nothing.
            if (groupForAll && !value.empty())
                robots.m_rules.push_back({OneSpelling(value, true), EqualsNoCase(field, "allow")});
        } else if (EqualsNoCase(field, "sitemap")) {
            if (addresses.Resolve(value, sitemap))
                robots.m_sitemaps.push_back(sitemap);
        }
    }
    return robots;
}

bool CRobotsTxt::Allows(std::string_view pathAndQuery) const
{
    // A crawler may always read the rules themselves.
    if (pathAndQuery == "/robots.txt")
        return true;
    const std::string path = pathAndQuery.empty() ? "/" : OneSpelling(pathAndQuery, false);
    std::size_t longest = 0;
    bool allowed = true;
    for (const CRule& rule : m_rules) {
        const std::size_t length = rule.m_strPattern.size();
        if ((length > longest || (length == longest && rule.m_bAllow && !allowed))
            && Matches(rule.m_strPattern, path)) {
            longest = length;
            allowed = rule.m_bAllow;
        }
    }
    return allowed;
}
