#pragma once

#include <string>
#include <string_view>
#include <vector>

// One header of an answer, as it came: several of one name stay several.
struct CHeaderField
{
    std::string m_strName;
    std::string m_strValue;
};
using CHeaderFields = std::vector<CHeaderField>;

// The targets of the answer's "Link:" headers (RFC 8288) whose rel names the relation
// ("canonical", "hub"), in their order, resolved against the page's address and written as
// NormalAddress writes them; what is no web address is left out. Header names, relations in
// any case, several links to a header and several relations to a link ("hub canonical") all
// count; a link about another resource (an anchor) does not.
std::vector<std::string> LinkTargets(
    const CHeaderFields& headers, const std::string& pageUrl, std::string_view relation);

// The directives of the answer's X-Robots-Tag headers that speak to every crawler, in lower
// case: "noindex" of "X-Robots-Tag: NoIndex, follow", but nothing of "otherbot: noindex",
// which speaks to one crawler by name.
std::vector<std::string> RobotsTagDirectives(const CHeaderFields& headers);

// Appends the directives of a comma list ("noindex, follow"), trimmed and in lower case.
void AddDirectives(std::string_view list, std::vector<std::string>& directives);
// "noindex" or "none" among them: the page is not to be in a search engine's index.
bool ForbidsIndex(const std::vector<std::string>& directives);

// Blanks (space, tab, line ends, form feed) around a value are no part of it.
bool IsBlank(char ch);
std::string_view TrimmedBlanks(std::string_view text);
// Equal to a text in lower case, ASCII letters in any case.
bool EqualsNoCase(std::string_view text, std::string_view lower);
std::string LowerAscii(std::string_view text);

// Whether a space-separated list of relations ("alternate feed") names this one (in lower
// case), in any case.
bool HasRelation(std::string_view relations, std::string_view relation);
