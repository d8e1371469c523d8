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
    std::string url;
    if (rel.empty() || !addresses.Resolve(Attribute(link, "href"), url))
        return;
    FeedKind kind = FeedKind::Rss;
    const bool isFeed = HasRelation(rel, "alternate") && FeedKindOf(Attribute(link, "type"), kind);
    if (isFeed
        && std::none_of(head.m_feeds.begin(), head.m_feeds.end(),
            [&url](const CFeedLink& feed) { return feed.m_strUrl == url; }))
        head.m_feeds.push_back({url, LowerAscii(CAddress::Read(url).Host()), kind,
            Collapsed(Attribute(link, "title"))});
    if (HasRelation(rel, "canonical") && head.m_strCanonical.empty())
        head.m_strCanonical = url;
    if (HasRelation(rel, "sitemap"))
        AddOnce(head.m_sitemaps, url);
    if (HasRelation(rel, "hub"))
        AddOnce(head.m_hubs, url);
}

} // namespace

CPageHead ReadPageHead(std::string_view html, const std::string& pageUrl)
{
    CPageHead head;
    GumboOptions options = kGumboDefaultOptions;
    // A page's errors are no business of ours; recording them would cost memory.
    options.max_errors = 0;
    const std::unique_ptr<GumboOutput, COutputFree> output(
        gumbo_parse_with_options(&options, html.data(), html.size()));
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
