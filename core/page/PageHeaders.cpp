#include "core/page/PageHeaders.h"

#include "core/net/Address.h"
#include "core/source/SourceAddress.h"

#include <algorithm>
#include <optional>

namespace {

// A parameter's value, a quoted string (its escapes taken) or a token, from the start of rest;
// rest is left after it.
std::string ParamValue(std::string_view& rest)
{
    std::string value;
    if (rest.empty() || rest.front() != '"') {
        const std::size_t end = std::min(rest.find_first_of(";,"), rest.size());
        value = TrimmedBlanks(rest.substr(0, end));
        rest.remove_prefix(end);
        return value;
    }
    std::size_t i = 1;
    for (; i < rest.size() && rest[i] != '"'; ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size())
            ++i;
        value += rest[i];
    }
    rest.remove_prefix(std::min(i + 1, rest.size()));
    return value;
}

// One header's links: "<target>" and its parameters, links split by commas that stand
// outside targets and quoted strings.
void AddLinks(std::string_view rest, CSourceAddress& addresses, std::string_view relation,
    std::vector<std::string>& targets)
{
    std::string target;
    while (!rest.empty()) {
        const std::size_t open = rest.find('<');
        const std::size_t close = rest.find('>', open);
        if (close == std::string_view::npos)
            return;
        const std::string_view reference = rest.substr(open + 1, close - open - 1);
        rest.remove_prefix(close + 1);
        std::string rel;
        bool relSeen = false;
        bool anchored = false;
        for (rest = TrimmedBlanks(rest); !rest.empty() && rest.front() == ';';
             rest = TrimmedBlanks(rest)) {
            rest.remove_prefix(1);
            const std::size_t nameEnd = std::min(rest.find_first_of("=;,"), rest.size());
            const std::string_view name = TrimmedBlanks(rest.substr(0, nameEnd));
            rest.remove_prefix(nameEnd);
            std::string value;
            if (!rest.empty() && rest.front() == '=') {
                rest = TrimmedBlanks(rest.substr(1));
                value = ParamValue(rest);
            }
            // Only a link's first rel counts.
            if (EqualsNoCase(name, "rel") && !relSeen) {
                rel = value;
                relSeen = true;
            }
            anchored = anchored || EqualsNoCase(name, "anchor");
        }
        if (!anchored && HasRelation(rel, relation) && addresses.Resolve(reference, target)
            && std::find(targets.begin(), targets.end(), target) == targets.end())
            targets.push_back(target);
        // Whatever is left of a link that could not be read, up to the next.
        rest.remove_prefix(std::min(rest.find(','), rest.size()));
    }
}

// A directive name that takes a value after a colon, so that what stands before the colon is
// no crawler's name.
bool TakesValue(std::string_view name)
{
    for (const char* known :
        {"unavailable_after", "max-snippet", "max-image-preview", "max-video-preview"}) {
        if (EqualsNoCase(name, known))
            return true;
    }
    return false;
}

// A crawler's name: a token without blanks.
bool IsAgentName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char ch) {
        return static_cast<unsigned char>(ch) > 0x20 && ch != '"' && ch != ',';
    });
}

} // namespace

std::vector<std::string> LinkTargets(
    const CHeaderFields& headers, const std::string& pageUrl, std::string_view relation)
{
    std::vector<std::string> targets;
    // The page's address is read when a Link field needs it: most answers have none.
    std::optional<CSourceAddress> addresses;
    for (const CHeaderField& header : headers) {
        if (!EqualsNoCase(TrimmedBlanks(header.m_strName), "link"))
            continue;
        if (!addresses && !addresses.emplace().SetBase(pageUrl))
            return targets;
        AddLinks(header.m_strValue, *addresses, relation, targets);
    }
    return targets;
}

std::vector<std::string> RobotsTagDirectives(const CHeaderFields& headers)
{
    std::vector<std::string> directives;
    for (const CHeaderField& header : headers) {
        if (!EqualsNoCase(TrimmedBlanks(header.m_strName), "x-robots-tag"))
            continue;
        // "otherbot: noindex, nofollow" names its crawler once, for the directives after it.
        bool forAll = true;
        std::string_view rest = header.m_strValue;
        while (!rest.empty()) {
            const std::size_t comma = std::min(rest.find(','), rest.size());
            std::string_view item = TrimmedBlanks(rest.substr(0, comma));
            rest.remove_prefix(std::min(comma + 1, rest.size()));
            const std::size_t colon = item.find(':');
            const std::string_view before = TrimmedBlanks(item.substr(0, colon));
            if (colon != std::string_view::npos && IsAgentName(before) && !TakesValue(before)) {
                forAll = false;
                item = item.substr(colon + 1);
            }
            if (forAll)
                AddDirectives(item, directives);
        }
    }
    return directives;
}

void AddDirectives(std::string_view list, std::vector<std::string>& directives)
{
    while (!list.empty()) {
        const std::size_t comma = std::min(list.find(','), list.size());
        const std::string_view item = TrimmedBlanks(list.substr(0, comma));
        list.remove_prefix(std::min(comma + 1, list.size()));
        if (!item.empty())
            directives.push_back(LowerAscii(item));
    }
}

bool ForbidsIndex(const std::vector<std::string>& directives)
{
    return std::any_of(directives.begin(), directives.end(),
        [](const std::string& directive) { return directive == "noindex" || directive == "none"; });
}

bool HasRelation(std::string_view relations, std::string_view relation)
{
    while (!relations.empty()) {
        while (!relations.empty() && IsBlank(relations.front()))
            relations.remove_prefix(1);
        std::size_t end = 0;
        while (end < relations.size() && !IsBlank(relations[end]))
            ++end;
        if (end > 0 && EqualsNoCase(relations.substr(0, end), relation))
            return true;
        relations.remove_prefix(end);
    }
    return false;
}
