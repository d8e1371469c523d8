#include "core/page/PageHead.h"

#include "core/net/Address.h"
#include "core/page/PageHeaders.h"
#include "core/source/SourceAddress.h"

#include <gumbo.h>

#include <algorithm>
#include <memory>

namespace {

struct COutputFree
{
    void operator()(GumboOutput* output) const
    {
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
};

std::string_view Attribute(const GumboElement& element, const char* name)
{
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute ? attribute->value : std::string_view();
}

// Runs of blanks as one space, none around: what a browser shows of a title.
std::string Collapsed(std::string_view text)
{
    std::string collapsed;
    bool blank = false;
    for (const char ch : text) {
        if (IsBlank(ch)) {
            blank = !collapsed.empty();
            continue;
        }
        if (blank)
            collapsed += ' ';
        blank = false;
        collapsed += ch;
    }
    return collapsed;
}

std::string TextOf(const GumboElement& element)
{
    std::string text;
    for (unsigned int i = 0; i < element.children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
            text += child->v.text.text;
    }
    return text;
}

// "application/rss+xml" of "Application/RSS+XML; charset=utf-8". application/json is no
// feed's type: other pages name their data by it too.
bool FeedKindOf(std::string_view type, FeedKind& kind)
{
    type = TrimmedBlanks(type.substr(0, type.find(';')));
    if (EqualsNoCase(type, "application/rss+xml"))
        kind = FeedKind::Rss;
    else if (EqualsNoCase(type, "application/atom+xml"))
        kind = FeedKind::Atom;
    else if (EqualsNoCase(type, "application/feed+json"))
        kind = FeedKind::JsonFeed;
    else
        return false;
    return true;
}

void AddOnce(std::vector<std::string>& addresses, const std::string& address)
{
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
        addresses.push_back(address);
}

void ReadLink(const GumboElement& link, CSourceAddress& addresses, CPageHead& head)
{
    const std::string_view rel = Attribute(link, "rel");
    FeedKind kind = FeedKind::Rss;
    const bool isFeed = HasRelation(rel, "alternate") && FeedKindOf(Attribute(link, "type"), kind);
    const bool isCanonical = HasRelation(rel, "canonical") && head.m_strCanonical.empty();
    const bool isSitemap = HasRelation(rel, "sitemap");
    const bool isHub = HasRelation(rel, "hub");
    // A head links style sheets, icons and fonts by the dozen: only what is read here is
    // worth resolving.
    std::string url;
    if (!(isFeed || isCanonical || isSitemap || isHub)
        || !addresses.Resolve(Attribute(link, "href"), url))
        return;
    if (isFeed
        && std::none_of(head.m_feeds.begin(), head.m_feeds.end(),
            [&url](const CFeedLink& feed) { return feed.m_strUrl == url; }))
        head.m_feeds.push_back({url, LowerAscii(CAddress::Read(url).Host()), kind,
            Collapsed(Attribute(link, "title"))});
    if (isCanonical)
        head.m_strCanonical = url;
    if (isSitemap)
        AddOnce(head.m_sitemaps, url);
    if (isHub)
        AddOnce(head.m_hubs, url);
}

using COutput = std::unique_ptr<GumboOutput, COutputFree>;

COutput Parse(std::string_view html)
{
    GumboOptions options = kGumboDefaultOptions;
    // A page's errors are no business of ours; recording them would cost memory.
    options.max_errors = 0;
    return COutput(gumbo_parse_with_options(&options, html.data(), html.size()));
}

// Where the first text that reads as a <body> start tag begins; npos for none. It may be no
// tag at all (in a comment, a script, an attribute): the parse says.
std::size_t BodyTagCandidate(std::string_view html)
{
    for (std::size_t at = html.find('<'); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        if (!StartsWithNoCase(html.substr(at + 1), "body") || at + 5 >= html.size())
            continue;
        const char next = html[at + 5];
        if (IsBlank(next) || next == '/' || next == '>')
            return at;
    }
    return std::string_view::npos;
}

// Whether the parse's body element was opened by the tag at offset, not implied: the head
// had ended before it, and nothing after it goes into the head.
bool BodyOpenedAt(const GumboOutput& output, std::size_t offset)
{
    const GumboVector& top = output.root->v.element.children;
    for (unsigned int i = 0; i < top.length; ++i) {
        const auto* node = static_cast<const GumboNode*>(top.data[i]);
        if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_BODY)
            return !(node->parse_flags & GUMBO_INSERTION_BY_PARSER)
                && node->v.element.start_pos.offset == offset;
    }
    return false;
}

// The parse of the page up to the end of its <body> tag when that tag opened its body: the
// head is all there, and the body, many times its size, costs nothing. Else of the whole page.
COutput ParseToBody(std::string_view html)
{
    const std::size_t tag = BodyTagCandidate(html);
    const std::size_t end = html.find('>', tag);
    if (tag != std::string_view::npos && end != std::string_view::npos) {
        COutput part = Parse(html.substr(0, end + 1));
        if (part && BodyOpenedAt(*part, tag))
            return part;
    }
    return Parse(html);
}

} // namespace

CPageHead ReadPageHead(std::string_view html, const std::string& pageUrl)
{
    CPageHead head;
    const COutput output = ParseToBody(html);
    if (!output)
        return head;
    // The parser always makes a head, the root's first element.
    const GumboElement* headElement = nullptr;
    const GumboVector& top = output->root->v.element.children;
    for (unsigned int i = 0; i < top.length && !headElement; ++i) {
        const auto* node = static_cast<const GumboNode*>(top.data[i]);
        if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_HEAD)
            headElement = &node->v.element;
    }
    if (!headElement)
        return head;
    std::vector<const GumboElement*> elements;
    for (unsigned int i = 0; i < headElement->children.length; ++i) {
        const auto* node = static_cast<const GumboNode*>(headElement->children.data[i]);
        if (node->type == GUMBO_NODE_ELEMENT)
            elements.push_back(&node->v.element);
    }

    // The first <base href> counts for every address of the page, those before it too.
    CSourceAddress addresses;
    if (!addresses.SetBase(pageUrl))
        return head;
    for (const GumboElement* element : elements) {
        std::string base;
        if (element->tag == GUMBO_TAG_BASE && gumbo_get_attribute(&element->attributes, "href")) {
            if (addresses.Resolve(Attribute(*element, "href"), base))
                addresses.SetBase(base);
            break;
        }
    }
    bool titleSeen = false;
    for (const GumboElement* element : elements) {
        if (element->tag == GUMBO_TAG_LINK) {
            ReadLink(*element, addresses, head);
        } else if (element->tag == GUMBO_TAG_META) {
            if (EqualsNoCase(TrimmedBlanks(Attribute(*element, "name")), "robots"))
                AddDirectives(Attribute(*element, "content"), head.m_robots);
        } else if (element->tag == GUMBO_TAG_TITLE && !titleSeen) {
            head.m_strTitle = Collapsed(TextOf(*element));
            titleSeen = true;
        }
    }
    return head;
}
