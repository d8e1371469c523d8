#include "core/source/SourceAddress.h"

#include "core/net/Address.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace {

using CurlUrl = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

char Lower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

char Upper(char ch)
{
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

constexpr bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

constexpr bool IsLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool IsHex(char ch)
{
    return IsDigit(ch) || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

bool IsWebScheme(std::string_view scheme)
{
    return scheme == "http" || scheme == "https";
}

// The text with its escapes' hex in upper case; false at an escape that is not "%" and two
// hex digits, which no two readers would take alike.
bool AppendEscaped(std::string& out, std::string_view text)
{
    std::size_t from = 0;
    for (auto at = text.find('%'); at != std::string_view::npos; at = text.find('%', from)) {
        if (at + 2 >= text.size() || !IsHex(text[at + 1]) || !IsHex(text[at + 2]))
            return false;
        out.append(text.substr(from, at - from));
        out += '%';
        out += Upper(text[at + 1]);
        out += Upper(text[at + 2]);
        from = at + 3;
    }
    out.append(text.substr(from));
    return true;
}

// A path after the authority ("" or from its "/"), its dot segments resolved as RFC 3986's
// remove_dot_segments does; "/" when nothing is left.
bool AppendPath(std::string& out, std::string_view path)
{
    const std::size_t start = out.size();
    std::size_t at = 0;
    while (at < path.size()) {
        // path[at] is the "/" before a segment.
        std::size_t end = path.find('/', at + 1);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view segment = path.substr(at + 1, end - at - 1);
        const bool last = end == path.size();
        if (segment == "..") {
            // Back to before the last segment, never into the authority.
            const auto slash = out.rfind('/');
            out.resize(slash == std::string::npos || slash < start ? start : slash);
            if (last)
                out += '/';
        } else if (segment == ".") {
            if (last)
                out += '/';
        } else {
            out += '/';
            if (!AppendEscaped(out, segment))
                return false;
        }
        at = end;
    }
    if (out.size() == start)
        out += '/';
    return true;
}

void AppendLower(std::string& out, std::string_view text)
{
    const std::size_t at = out.size();
    out.append(text);
    for (std::size_t i = at; i < out.size(); ++i)
        out[i] = Lower(out[i]);
}

// The port unless it is the scheme's own.
void AppendPort(std::string& out, bool tls, std::string_view port)
{
    if (!port.empty() && port != (tls ? "443" : "80")) {
        out += ':';
        out.append(port);
    }
}

bool AppendQuery(std::string& out, std::string_view query)
{
    if (query.empty())
        return true;
    out += '?';
    return AppendEscaped(out, query);
}

enum class Plain
{
    Read,
    Refused,
    // Not the common spelling: libcurl is to read it.
    Unsure,
};

enum class InHost : unsigned char
{
    Other,
    Lower,
    Upper,
    // Ends the authority: "/", "?" or "#".
    End,
    Colon,
};

// What each byte is to the authority's scan, so that one look-up a byte does.
constexpr std::array<InHost, 256> HostTable = [] {
    std::array<InHost, 256> table{};
    for (int ch = 0; ch < 256; ++ch) {
        const char c = static_cast<char>(ch);
        table[ch] = c >= 'A' && c <= 'Z'                        ? InHost::Upper
            : IsLetter(c) || IsDigit(c) || c == '.' || c == '-' ? InHost::Lower
            : c == '/' || c == '?' || c == '#'                  ? InHost::End
            : c == ':'                                          ? InHost::Colon
                                                                : InHost::Other;
    }
    return table;
}();

// An IPv4 address as libcurl writes one back: four numbers of 0 to 255, without leading
// zeros, which libcurl would read as octal.
bool IsPlainIpv4(std::string_view host)
{
    int parts = 0;
    for (std::size_t at = 0; at <= host.size(); ++parts) {
        const std::size_t end = std::min(host.find('.', at), host.size());
        const std::string_view part = host.substr(at, end - at);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part.front() == '0')
            || !std::all_of(part.begin(), part.end(), IsDigit)
            || std::stoi(std::string(part)) > 255)
            return false;
        at = end + 1;
    }
    return parts == 4;
}

// A host libcurl takes as written: letters, digits, dots and hyphens (as the scan took them),
// its last label starting with a letter, so never a number libcurl rewrites as an IPv4
// address ("127.1"); or an IPv4 address as libcurl writes it.
bool IsPlainHost(std::string_view host)
{
    if (IsPlainIpv4(host))
        return true;
    if (!host.empty() && host.back() == '.')
        host.remove_suffix(1);
    const auto dot = host.rfind('.');
    const std::string_view label = dot == std::string_view::npos ? host : host.substr(dot + 1);
    return !label.empty() && IsLetter(label.front());
}

// 1 to 65535 without leading zeros, as libcurl writes a port back.
bool IsPlainPort(std::string_view port)
{
    if (port.empty() || port.size() > 5 || port.front() == '0')
        return false;
    unsigned long value = 0;
    for (const char ch : port) {
        if (!IsDigit(ch))
            return false;
        value = value * 10 + static_cast<unsigned long>(ch - '0');
    }
    return value <= 65535;
}

// Printable ASCII only. Without an early exit the compiler checks many bytes at once.
bool IsPrintableAscii(std::string_view text)
{
    unsigned char outside = 0;
    for (const char ch : text)
        outside |= static_cast<unsigned char>(static_cast<unsigned char>(ch) - 0x21) > 0x7E - 0x21;
    return outside == 0;
}

// The common spelling read by hand: libcurl's parse would cost a quarter of reading a sitemap.
// Only what libcurl takes alike is read here (printable ASCII, no user information, a plain
// host and port); for anything else the answer is Unsure. An address written as normal
// already, as most are, is taken as it is; the parts are found with memchr, which checks many
// bytes at once.
Plain ReadPlain(std::string_view text, std::string& normal)
{
    const bool tls = StartsWithNoCase(text, "https://");
    if ((!tls && !StartsWithNoCase(text, "http://")) || !IsPrintableAscii(text))
        return Plain::Unsure;
    const std::string_view scheme = tls ? "https://" : "http://";
    const std::size_t size = text.size();
    std::size_t pathAt = scheme.size();
    std::size_t colon = std::string_view::npos;
    bool lowerHost = true;
    for (; pathAt < size; ++pathAt) {
        const InHost kind = HostTable[static_cast<unsigned char>(text[pathAt])];
        if (kind == InHost::End)
            break;
        if (kind == InHost::Colon && colon == std::string_view::npos)
            colon = pathAt;
        else if (kind == InHost::Other || kind == InHost::Colon)
            return Plain::Unsure;
        lowerHost = lowerHost && kind != InHost::Upper;
    }
    const std::size_t hostEnd = std::min(colon, pathAt);
    const std::string_view host = text.substr(scheme.size(), hostEnd - scheme.size());
    const std::string_view port
        = colon < pathAt ? text.substr(colon + 1, pathAt - colon - 1) : std::string_view();
    if (!IsPlainHost(host) || (colon < pathAt && !IsPlainPort(port)))
        return Plain::Unsure;
    const std::size_t fragmentAt = std::min(text.find('#', pathAt), size);
    const std::string_view beforeFragment = text.substr(0, fragmentAt);
    const std::size_t queryAt = std::min(beforeFragment.find('?', pathAt), fragmentAt);
    // An escape, or what may be a dot segment ("/." also starts "/.well-known").
    bool escapesOrDots = beforeFragment.find('%', pathAt) != std::string_view::npos;
    for (auto dot = text.find('.', pathAt); !escapesOrDots && dot < queryAt;
         dot = text.find('.', dot + 1))
        escapesOrDots = text[dot - 1] == '/';
    const bool asIs = text.substr(0, scheme.size()) == scheme && lowerHost
        && port != (tls ? "443" : "80") && pathAt < size && text[pathAt] == '/' && !escapesOrDots
        && fragmentAt == size && queryAt + 1 != size;
    if (asIs) {
        normal.assign(text);
        return Plain::Read;
    }
    const std::string_view query
        = queryAt < fragmentAt ? text.substr(queryAt + 1, fragmentAt - queryAt - 1) : "";
    normal.assign(scheme);
    AppendLower(normal, host);
    AppendPort(normal, tls, port);
    return AppendPath(normal, text.substr(pathAt, queryAt - pathAt)) && AppendQuery(normal, query)
        ? Plain::Read
        : Plain::Refused;
}

// The same from libcurl's parts.
bool ReadParts(CURLU* handle, std::string& normal)
{
    const std::optional<std::string> scheme = UrlPart(handle, CURLUPART_SCHEME);
    if (!scheme || !IsWebScheme(*scheme))
        return false;
    const std::optional<std::string> user = UrlPart(handle, CURLUPART_USER);
    const std::optional<std::string> password = UrlPart(handle, CURLUPART_PASSWORD);
    if ((user && !user->empty()) || (password && !password->empty()))
        return false;
    const std::optional<std::string> host = UrlPart(handle, CURLUPART_HOST);
    const std::optional<std::string> port = UrlPart(handle, CURLUPART_PORT);
    const std::optional<std::string> path = UrlPart(handle, CURLUPART_PATH);
    const std::optional<std::string> query = UrlPart(handle, CURLUPART_QUERY);
    if (!host || !path)
        return false;
    const bool tls = *scheme == "https";
    normal.assign(tls ? "https://" : "http://");
    AppendLower(normal, *host);
    AppendPort(normal, tls, port ? *port : std::string());
    return AppendPath(normal, *path) && AppendQuery(normal, query ? *query : std::string());
}

} // namespace

bool NormalAddress(std::string_view text, std::string& normal)
{
    text = TrimmedAddress(text);
    const Plain plain = ReadPlain(text, normal);
    bool read = plain == Plain::Read;
    if (plain == Plain::Unsure) {
        const CurlUrl handle(curl_url(), curl_url_cleanup);
        const std::string copy(text);
        // The path as written: its dot segments are resolved above, alike on either road.
        read = handle && !copy.empty()
            && curl_url_set(handle.get(), CURLUPART_URL, copy.c_str(), CURLU_PATH_AS_IS)
                == CURLUE_OK
            && ReadParts(handle.get(), normal);
    }
    if (!read)
        normal.clear();
    return read;
}

std::size_t AddressLength(std::string_view address)
{
    std::size_t length = 0;
    for (const char ch : address) {
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++length;
    }
    return length;
}

CSourceAddress::CSourceAddress()
    : m_url(curl_url())
    , m_base(curl_url())
{
}

CSourceAddress::~CSourceAddress()
{
    curl_url_cleanup(m_url);
    curl_url_cleanup(m_base);
}

bool CSourceAddress::Read(std::string_view text, std::string& address)
{
    // Cleared first: a handle that holds an address takes a relative one relative to it.
    if (!m_url || curl_url_set(m_url, CURLUPART_URL, nullptr, 0) != CURLUE_OK)
        return false;
    return Parse(m_url, text, address);
}

bool CSourceAddress::Resolve(std::string_view text, std::string& address)
{
    text = TrimmedAddress(text);
    // A whole address needs no base, nor libcurl to write it out.
    if (!m_bHasBase || StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://"))
        return NormalAddress(text, address);
    const CurlUrl handle(curl_url_dup(m_base), curl_url_cleanup);
    if (!handle || curl_url_set(handle.get(), CURLUPART_USER, nullptr, 0) != CURLUE_OK
        || curl_url_set(handle.get(), CURLUPART_PASSWORD, nullptr, 0) != CURLUE_OK)
        return false;
    std::string resolved;
    return Parse(handle.get(), text, resolved) && NormalAddress(resolved, address);
}

bool CSourceAddress::SetBase(const std::string& url)
{
    std::string ignored;
    m_bHasBase = m_base && curl_url_set(m_base, CURLUPART_URL, nullptr, 0) == CURLUE_OK
        && Parse(m_base, url, ignored);
    return m_bHasBase;
}

bool CSourceAddress::BaseIsSiteRoot() const
{
    if (!m_bHasBase)
        return false;
    const std::optional<std::string> path = UrlPart(m_base, CURLUPART_PATH);
    return path && (path->empty() || *path == "/") && !UrlPart(m_base, CURLUPART_QUERY);
}

std::string CSourceAddress::BaseRobots() const
{
    if (!m_bHasBase)
        return std::string();
    const CurlUrl robots(curl_url_dup(m_base), curl_url_cleanup);
    if (!robots || curl_url_set(robots.get(), CURLUPART_PATH, "/robots.txt", 0) != CURLUE_OK
        || curl_url_set(robots.get(), CURLUPART_QUERY, nullptr, 0) != CURLUE_OK
        || curl_url_set(robots.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK)
        return std::string();
    return UrlPart(robots.get(), CURLUPART_URL).value_or(std::string());
}

bool CSourceAddress::Parse(CURLU* handle, std::string_view text, std::string& address)
{
    text = TrimmedAddress(text);
    if (text.empty())
        return false;
    m_strText.assign(text.data(), text.size());
    if (curl_url_set(handle, CURLUPART_URL, m_strText.c_str(), 0) != CURLUE_OK)
        return false;
    const std::optional<std::string> scheme = UrlPart(handle, CURLUPART_SCHEME);
    std::optional<std::string> url = UrlPart(handle, CURLUPART_URL);
    if (!scheme || !IsWebScheme(*scheme) || !url)
        return false;
    address = std::move(*url);
    return true;
}
