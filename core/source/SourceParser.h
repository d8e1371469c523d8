#pragma once

#include "core/source/GzipFilter.h"
#include "core/source/SourceAddress.h"
#include "core/source/SourceLimits.h"
#include "core/text/Text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CSourceEntries;
struct XML_ParserStruct;

// One file of a source read as a stream, piece by piece as it arrives: a sitemap, a sitemap
// index, an RSS 2.0 or an Atom feed, told apart by its root element, plain or gzip. A
// sitemap's or feed's addresses go to the entries, an index's sitemaps to Children(), each in
// its normal form (NormalAddress); nothing else of the document is kept. A document type, and
// so any entity of the file's own, is refused before anything in it is expanded.
class CSourceParser : private CGzipFilter::CSink
{
public:
    enum class Kind
    {
        Unknown,
        Sitemap,
        SitemapIndex,
        Rss,
        Atom,
    };

    // An unfinished tag, comment or other token longer than this ends the read: expat keeps
    // it whole and scans it again with every piece, so it would cost memory and time without
    // bound, and no sitemap or feed has one.
    static constexpr std::size_t MaxTokenBytes = 1024 * 1024;

    // At most limits' bytes of one file are read, and fewer when maxBytes, what is left of the
    // source's, is fewer; an index keeps no more sitemaps than a source may read.
    CSourceParser(
        CSourceEntries& entries, const CSourceLimits& limits = {}, std::size_t maxBytes = SIZE_MAX);
    CSourceParser(const CSourceParser&) = delete;
    CSourceParser& operator=(const CSourceParser&) = delete;
    ~CSourceParser();

    // The file's own address, which relative links in a feed resolve against.
    void SetAddress(const std::string& url);
    // The file's bytes as they come. False once no more are wanted: the file failed, or
    // what is left of it is left out.
    bool Write(const char* data, std::size_t size);
    // The file has ended. False when it is no sitemap or feed, or broken: Failure says why.
    bool Finish();

    const CText& Failure() const { return m_failure; }
    Kind GetKind() const { return m_kind; }
    // The sitemaps an index lists, in its order.
    std::vector<std::string>& Children() { return m_children; }
    // The bytes read, unpacked.
    std::size_t Bytes() const { return m_filter.Passed(); }
    // What was left out for a limit. The rest of the file: past the file's addresses, the
    // bytes it was given, a token over MaxTokenBytes, or an index's sitemaps past the files a
    // source may read.
    bool AddressesCut() const { return m_bAddressesCut; }
    bool SizeCut() const { return m_bSizeCut; }
    bool TokenCut() const { return m_bTokenCut; }
    bool ChildrenCut() const { return m_bChildrenCut; }
    // A new address found the entries full: it and the rest were left out.
    bool EntriesFull() const { return m_bEntriesFull; }
    // Addresses longer than the limit's characters were left out; the file was read on.
    bool LongAddresses() const { return m_bLongAddresses; }

private:
    enum class Field
    {
        None,
        Address,
        Date,
        // An RSS item's <guid>, a page's address unless it says it is none.
        Guid,
    };

    bool Take(const char* data, std::size_t size) override;

    // expat's handlers, which call the members below.
    friend struct CSourceParserHandlers;
    // Runs a handler's work; an exception must not cross the parser's C frames.
    template <typename Work> static void Guarded(void* self, Work work);

    void Start(const char* name, const char** attributes);
    void End();
    void Root(const char* name);
    void AtomLink(const char** attributes);
    void XmlBase(const char** attributes);
    void EndItem();
    void ParseError();
    // Ends the parse: failed when failure is given, else the rest is left out.
    void Stop(CText failure = CText());
    void Fail(CText failure) { Stop(std::move(failure)); }

    CSourceEntries& m_entries;
    const CSourceLimits m_limits;
    CSourceAddress m_addresses;
    CGzipFilter m_filter;
    XML_ParserStruct* m_parser;

    Kind m_kind = Kind::Unknown;
    bool m_bRootSeen = false;
    bool m_bStopped = false;
    bool m_bFailed = false;
    CText m_failure;
    bool m_bAddressesCut = false;
    bool m_bSizeCut = false;
    bool m_bEntriesFull = false;
    bool m_bTokenCut = false;
    bool m_bChildrenCut = false;
    bool m_bLongAddresses = false;
    // Bytes given to expat, to tell how much of them it holds.
    std::size_t m_fed = 0;
    // The start of the document, to tell an HTML page that is no XML either.
    std::string m_strHead;

    int m_depth = 0;
    // The depth of the url, sitemap, item or entry being read, 0 outside one.
    int m_itemDepth = 0;
    bool m_bInChannel = false;
    Field m_field = Field::None;
    int m_fieldDepth = 0;
    // The item's address and date as written; kept between items to spare allocations.
    std::string m_strAddress;
    std::string m_strDate;
    std::string m_strGuid;
    bool m_bFieldTooLong = false;
    bool m_bAddressTooLong = false;
    bool m_bHasAddress = false;
    std::string m_strResolved;
    // What relative links resolve against: the file's address, or an Atom xml:base, which
    // holds for the element that gives it. The bases outside the elements that gave one, with
    // the depth of each such element.
    std::string m_strBase;
    std::vector<std::pair<int, std::string>> m_outerBases;
    std::size_t m_count = 0;
    std::vector<std::string> m_children;
};
