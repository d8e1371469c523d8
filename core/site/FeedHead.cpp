#include "core/site/FeedHead.h"

#include "core/page/PageHeaders.h"
#include "core/source/SourceAddress.h"

#include <expat.h>

#include <algorithm>
#include <memory>

namespace {

constexpr std::string_view AtomSpace = "http://www.w3.org/2005/Atom";

struct CParserFree
{
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// What the handlers share: the head so far and where in the document they are.
struct CReading
{
    XML_Parser m_parser = nullptr;
    CSourceAddress m_addresses;
    CFeedHead m_head;
    int m_depth = 0;
    bool m_bRefused = false;
};

// "ns local" as the namespace-aware parser writes a name: the local part, and whether the name
// is Atom's.
std::string_view LocalName(std::string_view name, bool& atom)
{
    const std::size_t space = name.rfind(' ');
    atom = space != std::string_view::npos && name.substr(0, space) == AtomSpace;
    return space == std::string_view::npos ? name : name.substr(space + 1);
}

void AddLink(CReading& reading, const XML_Char** attributes)
{
    std::string_view rel;
    std::string_view href;
    for (const XML_Char** at = attributes; at[0]; at += 2) {
        if (std::string_view(at[0]) == "rel")
            rel = at[1];
        else if (std::string_view(at[0]) == "href")
            href = at[1];
    }
    std::string address;
    if (href.empty() || !reading.m_addresses.Resolve(href, address))
        return;
    CFeedHead& head = reading.m_head;
    if (HasRelation(rel, "self") && head.m_strSelf.empty())
        head.m_strSelf = address;
    if (HasRelation(rel, "hub")
        && std::find(head.m_hubs.begin(), head.m_hubs.end(), address) == head.m_hubs.end())
        head.m_hubs.push_back(address);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* reading = static_cast<CReading*>(data);
    const int depth = ++reading->m_depth;
    bool atom = false;
    const std::string_view local = LocalName(name, atom);
    CFeedHead& head = reading->m_head;
    if (depth == 1) {
        if (local == "rss")
            head.m_kind = CFeedHead::Kind::Rss;
        else if (local == "feed" && atom)
            head.m_kind = CFeedHead::Kind::Atom;
        else if (local == "urlset" || local == "sitemapindex")
            head.m_kind = CFeedHead::Kind::Sitemap;
        else
            XML_StopParser(reading->m_parser, XML_FALSE);
        return;
    }
    // The feed's own links: an Atom feed's children, an RSS channel's; an entry's are its own.
    const int linkDepth = head.m_kind == CFeedHead::Kind::Atom ? 2 : 3;
    if (atom && local == "link" && depth == linkDepth && head.m_kind != CFeedHead::Kind::Sitemap)
        AddLink(*reading, attributes);
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    --static_cast<CReading*>(data)->m_depth;
}

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
{
    auto* reading = static_cast<CReading*>(data);
    reading->m_bRefused = true;
    XML_StopParser(reading->m_parser, XML_FALSE);
}

void XMLCALL OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
    const XML_Char*, const XML_Char*, const XML_Char*)
{
    OnDoctype(data, nullptr, nullptr, nullptr, 0);
}

} // namespace

CFeedHead ReadFeedHead(std::string_view xml, const std::string& feedUrl, bool cut)
{
    const std::unique_ptr<XML_ParserStruct, CParserFree> parser(XML_ParserCreateNS(nullptr, ' '));
    CReading reading;
    if (!parser || !reading.m_addresses.SetBase(feedUrl))
        return {};
    reading.m_parser = parser.get();
    XML_SetUserData(parser.get(), &reading);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDecl);
    const bool parsed = XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()),
                            cut ? XML_FALSE : XML_TRUE)
        == XML_STATUS_OK;
    // A broken file is judged on what came before the break, as a cut one is.
    if (reading.m_bRefused || (!parsed && reading.m_head.m_kind == CFeedHead::Kind::None))
        return {};
    return std::move(reading.m_head);
}
