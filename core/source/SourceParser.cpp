#include "core/source/SourceParser.h"

#include "core/source/SourceDate.h"
#include "core/source/SourceEntries.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

// Elements are matched on their local names, so a default namespace, a prefixed one and none
// are taken alike; the prefix is dropped here rather than by expat's namespace processing,
// which would cost a tenth of the whole parse for nothing the reading needs.
const char* LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool Is(const char* name, const char* wanted)
{
    return std::strcmp(name, wanted) == 0;
}

bool IsNoCase(std::string_view name, std::string_view wanted)
{
    return name.size() == wanted.size()
        && std::equal(name.begin(), name.end(), wanted.begin(), [](char left, char right) {
               return std::tolower(static_cast<unsigned char>(left)) == right;
           });
}

const char* Attribute(const char** attributes, const char* name)
{
    for (const char** attribute = attributes; attribute[0]; attribute += 2) {
        if (Is(attribute[0], name))
            return attribute[1];
    }
    return nullptr;
}

// An address or a date longer than this is no address or date.
constexpr std::size_t MaxFieldBytes = 64 * 1024;
constexpr std::size_t HeadBytes = 256;

// Whether a document that is no XML starts as an HTML page does: "<!doctype html" or "<html"
// in any case, after a byte order mark and blanks.
bool LooksLikeHtml(std::string_view head)
{
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    while (!head.empty() && std::isspace(static_cast<unsigned char>(head.front())))
        head.remove_prefix(1);
    return IsNoCase(head.substr(0, 14), "<!doctype html") || IsNoCase(head.substr(0, 5), "<html");
}

CText HtmlPage()
{
    return CText(QT_TRANSLATE_NOOP("Quillpost", "Not a sitemap or feed: an HTML page"));
}

} // namespace

struct CSourceParserHandlers
{
    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes)
    {
        CSourceParser::Guarded(
            self, [name, attributes](CSourceParser& parser) { parser.Start(name, attributes); });
    }

    static void XMLCALL OnEnd(void* self, const XML_Char*)
    {
        CSourceParser::Guarded(self, [](CSourceParser& parser) { parser.End(); });
    }

    static void XMLCALL OnText(void* self, const XML_Char* text, int length)
    {
        auto& parser = *static_cast<CSourceParser*>(self);
        using Field = CSourceParser::Field;
        if (parser.m_field == Field::None)
            return;
        std::string& field = parser.m_field == Field::Address ? parser.m_strAddress
            : parser.m_field == Field::Date                   ? parser.m_strDate
                                                              : parser.m_strGuid;
        const auto size = static_cast<std::size_t>(length);
        if (field.size() + size > MaxFieldBytes) {
            // An address this long is one over the limit; a date, no item at all.
            (parser.m_field == Field::Date ? parser.m_bFieldTooLong : parser.m_bAddressTooLong)
                = true;
            return;
        }
        CSourceParser::Guarded(
            self, [&field, text, size](CSourceParser&) { field.append(text, size); });
    }

    static void XMLCALL OnDoctype(
        void* self, const XML_Char* name, const XML_Char*, const XML_Char*, int)
    {
        auto& parser = *static_cast<CSourceParser*>(self);
        if (IsNoCase(LocalName(name), "html"))
            parser.Fail(HtmlPage());
        else
            parser.Fail(CText(QT_TRANSLATE_NOOP(
                "Quillpost", "Not a sitemap or feed: it declares a document type")));
    }

    static void XMLCALL OnEntityDecl(void* self, const XML_Char*, int, const XML_Char*, int,
        const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
    {
        static_cast<CSourceParser*>(self)->Fail(CText(
            QT_TRANSLATE_NOOP("Quillpost", "Not a sitemap or feed: it declares a document type")));
    }

    static int XMLCALL OnExternalEntity(
        XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*)
    {
        return XML_STATUS_ERROR;
    }
};

template <typename Work> void CSourceParser::Guarded(void* self, Work work)
{
    auto& parser = *static_cast<CSourceParser*>(self);
    try {
        work(parser);
    } catch (...) {
        parser.Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: out of memory")));
    }
}

CSourceParser::CSourceParser(
    CSourceEntries& entries, const CSourceLimits& limits, std::size_t maxBytes)
    : m_entries(entries)
    , m_limits(limits)
    , m_filter(*this, std::min(limits.m_maxFileBytes, maxBytes))
    , m_parser(XML_ParserCreate(nullptr))
{
    if (!m_parser) {
        Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: out of memory")));
        return;
    }
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, CSourceParserHandlers::OnStart, CSourceParserHandlers::OnEnd);
    XML_SetCharacterDataHandler(m_parser, CSourceParserHandlers::OnText);
    XML_SetStartDoctypeDeclHandler(m_parser, CSourceParserHandlers::OnDoctype);
    XML_SetEntityDeclHandler(m_parser, CSourceParserHandlers::OnEntityDecl);
    XML_SetExternalEntityRefHandler(m_parser, CSourceParserHandlers::OnExternalEntity);
}

CSourceParser::~CSourceParser()
{
    if (m_parser)
        XML_ParserFree(m_parser);
}

void CSourceParser::SetAddress(const std::string& url)
{
    m_strBase = url;
    m_addresses.SetBase(url);
}

bool CSourceParser::Write(const char* data, std::size_t size)
{
    if (m_bStopped)
        return false;
    if (m_filter.Write(data, size))
        return true;
    if (m_filter.GetState() == CGzipFilter::State::Full)
        m_bSizeCut = true;
    else if (m_filter.GetState() == CGzipFilter::State::Broken)
        Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: broken gzip data")));
    m_bStopped = true;
    return false;
}

bool CSourceParser::Take(const char* data, std::size_t size)
{
    if (m_strHead.size() < HeadBytes)
        m_strHead.append(data, std::min(size, HeadBytes - m_strHead.size()));
    while (size > 0) {
        const std::size_t piece = std::min<std::size_t>(size, std::numeric_limits<int>::max());
        if (XML_Parse(m_parser, data, static_cast<int>(piece), XML_FALSE) != XML_STATUS_OK) {
            if (!m_bStopped)
                ParseError();
            return false;
        }
        data += piece;
        size -= piece;
        m_fed += piece;
        // Where the last token expat finished ends; what it holds after that is one token.
        const XML_Index done = XML_GetCurrentByteIndex(m_parser);
        if (m_fed - static_cast<std::size_t>(std::max<XML_Index>(done, 0)) > MaxTokenBytes) {
            m_bTokenCut = true;
            Stop();
            return false;
        }
    }
    return true;
}

bool CSourceParser::Finish()
{
    if (m_bFailed)
        return false;
    if (m_bStopped)
        return true;
    if (!m_filter.Finish()) {
        Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: broken gzip data")));
        return false;
    }
    if (m_bStopped)
        return !m_bFailed;
    if (XML_Parse(m_parser, nullptr, 0, XML_TRUE) != XML_STATUS_OK) {
        if (!m_bStopped)
            ParseError();
        return !m_bFailed;
    }
    m_bStopped = true;
    return true;
}

void CSourceParser::ParseError()
{
    if (!m_bRootSeen) {
        Fail(LooksLikeHtml(m_strHead)
                ? HtmlPage()
                : CText(QT_TRANSLATE_NOOP("Quillpost", "Not a sitemap or feed: not XML")));
        return;
    }
    Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Sitemap not read: XML error at line %1 (%2)"),
        {std::to_string(XML_GetCurrentLineNumber(m_parser)),
            XML_ErrorString(XML_GetErrorCode(m_parser))}));
}

void CSourceParser::Stop(CText failure)
{
    if (m_bStopped)
        return;
    m_bStopped = true;
    if (!failure.IsEmpty()) {
        m_bFailed = true;
        m_failure = std::move(failure);
    }
    if (m_parser)
        XML_StopParser(m_parser, XML_FALSE);
}

void CSourceParser::Root(const char* name)
{
    m_bRootSeen = true;
    if (Is(name, "urlset"))
        m_kind = Kind::Sitemap;
    else if (Is(name, "sitemapindex"))
        m_kind = Kind::SitemapIndex;
    else if (Is(name, "rss"))
        m_kind = Kind::Rss;
    else if (Is(name, "feed"))
        m_kind = Kind::Atom;
    else if (IsNoCase(name, "html"))
        Fail(HtmlPage());
    else
        Fail(CText(QT_TRANSLATE_NOOP("Quillpost", "Not a sitemap or feed: a document of type %1"),
            {name}));
}

void CSourceParser::Start(const char* qualifiedName, const char** attributes)
{
    ++m_depth;
    const char* name = LocalName(qualifiedName);
    if (m_depth == 1)
        Root(name);
    if (m_kind == Kind::Atom)
        XmlBase(attributes);
    if (m_depth == 1)
        return;
    const auto beginItem = [this] {
        m_itemDepth = m_depth;
        m_strAddress.clear();
        m_strDate.clear();
        m_strGuid.clear();
        m_bFieldTooLong = m_bAddressTooLong = m_bHasAddress = false;
    };
    const auto beginField = [this](Field field) {
        m_field = field;
        m_fieldDepth = m_depth;
    };
    const bool inItem = m_itemDepth != 0 && m_depth == m_itemDepth + 1;
    switch (m_kind) {
    case Kind::Sitemap:
    case Kind::SitemapIndex:
        if (m_depth == 2 && Is(name, m_kind == Kind::Sitemap ? "url" : "sitemap"))
            beginItem();
        else if (inItem && Is(name, "loc"))
            beginField(Field::Address);
        else if (inItem && Is(name, "lastmod"))
            beginField(Field::Date);
        break;
    case Kind::Rss:
        if (m_depth == 2)
            m_bInChannel = Is(name, "channel");
        else if (m_depth == 3 && m_bInChannel && Is(name, "item"))
            beginItem();
        // An item's first link that says anything is its address.
        else if (inItem && Is(name, "link")
            && m_strAddress.find_first_not_of(" \t\r\n") == std::string::npos)
            beginField(Field::Address);
        else if (inItem && Is(name, "pubDate"))
            beginField(Field::Date);
        else if (inItem && Is(name, "guid") && m_strGuid.empty()) {
            const char* permalink = Attribute(attributes, "isPermaLink");
            if (!permalink || !IsNoCase(permalink, "false"))
                beginField(Field::Guid);
        }
        break;
    case Kind::Atom:
        if (m_depth == 2 && Is(name, "entry"))
            beginItem();
        else if (inItem && Is(name, "link"))
            AtomLink(attributes);
        else if (inItem && Is(name, "updated"))
            beginField(Field::Date);
        break;
    case Kind::Unknown:
        break;
    }
}

// An entry's address is its first alternate link (a link without rel is one); its other
// links (self, edit, enclosure...) name no page.
void CSourceParser::AtomLink(const char** attributes)
{
    const char* rel = Attribute(attributes, "rel");
    const char* href = Attribute(attributes, "href");
    if (!href || m_bHasAddress
        || (rel && !Is(rel, "alternate")
            && !Is(rel, "http://www.iana.org/assignments/relation/alternate")))
        return;
    m_strAddress.assign(href);
    m_bHasAddress = true;
}

// An xml:base holds for its element, relative to the base outside it.
void CSourceParser::XmlBase(const char** attributes)
{
    const char* base = Attribute(attributes, "xml:base");
    std::string resolved;
    if (!base || !m_addresses.Resolve(base, resolved) || !m_addresses.SetBase(resolved))
        return;
    m_outerBases.emplace_back(m_depth, std::move(m_strBase));
    m_strBase = std::move(resolved);
}

void CSourceParser::End()
{
    if (m_field != Field::None && m_depth == m_fieldDepth)
        m_field = Field::None;
    if (m_itemDepth != 0 && m_depth == m_itemDepth) {
        m_itemDepth = 0;
        EndItem();
    }
    if (!m_outerBases.empty() && m_outerBases.back().first == m_depth) {
        m_strBase = std::move(m_outerBases.back().second);
        m_outerBases.pop_back();
        m_addresses.SetBase(m_strBase);
    }
    --m_depth;
}

void CSourceParser::EndItem()
{
    if (m_bFieldTooLong)
        return;
    if (m_bAddressTooLong) {
        m_bLongAddresses = true;
        return;
    }
    // A sitemap and an index list whole addresses; a feed's links may be relative to the
    // feed. An RSS item without a link is the page its permalink names, which must be whole:
    // a guid that only looks like one ("1234") names no page of the feed's site.
    bool read = false;
    if (m_kind == Kind::Rss && m_strAddress.find_first_not_of(" \t\r\n") == std::string::npos)
        read = NormalAddress(m_strGuid, m_strResolved);
    else if (m_kind == Kind::Sitemap || m_kind == Kind::SitemapIndex)
        read = NormalAddress(m_strAddress, m_strResolved);
    else
        read = m_addresses.Resolve(m_strAddress, m_strResolved);
    if (!read)
        return;
    // A character takes a byte at least, so a short address needs no count.
    if (m_strResolved.size() > m_limits.m_maxAddressLength
        && AddressLength(m_strResolved) > m_limits.m_maxAddressLength) {
        m_bLongAddresses = true;
        return;
    }
    if (m_count == m_limits.m_maxFileAddresses) {
        m_bAddressesCut = true;
        Stop();
        return;
    }
    ++m_count;
    if (m_kind == Kind::SitemapIndex) {
        if (m_children.size() == m_limits.m_maxFiles) {
            m_bChildrenCut = true;
            Stop();
            return;
        }
        m_children.push_back(m_strResolved);
        return;
    }
    const auto modified = m_kind == Kind::Rss ? CSourceDate::FromRfc2822(m_strDate)
                                              : CSourceDate::FromW3c(m_strDate);
    if (m_entries.Add(m_strResolved, modified) == CSourceEntries::Added::Full) {
        m_bEntriesFull = true;
        Stop();
    }
}
