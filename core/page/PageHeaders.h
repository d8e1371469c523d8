#pragma once

#include "core/net/HeaderFields.h"
#include "core/text/AsciiText.h"

#include <string>
#include <string_view>
#include <vector>

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

// Whether a space-separated list of relations ("alternate feed") names this one (in lower
// case), in any case.
bool HasRelation(std::string_view relations, std::string_view relation);
