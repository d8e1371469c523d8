#include "core/SourceAddress.h"

#include <curl/curl.h>

#include <memory>

namespace {

using CurlText = std::unique_ptr<char, decltype(&curl_free)>;

CurlText Part(CURLU* handle, CURLUPart part, unsigned int flags = 0)
{
    char* text = nullptr;
    if (curl_url_get(handle, part, &text, flags) != CURLUE_OK)
        text = nullptr;
    return CurlText(text, curl_free);
}

bool IsBlank(char ch)
{
    return static_cast<unsigned char>(ch) <= 0x20;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

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
    if (!m_bHasBase)
        return Read(text, address);
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(
        curl_url_dup(m_base), curl_url_cleanup);
    return handle && Parse(handle.get(), text, address);
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
    const CurlText path = Part(m_base, CURLUPART_PATH);
    const CurlText query = Part(m_base, CURLUPART_QUERY);
    return path && (path.get()[0] == '\0' || std::string_view(path.get()) == "/") && !query;
}

std::string CSourceAddress::BaseRobots() const
{
    if (!m_bHasBase)
        return std::string();
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> robots(
        curl_url_dup(m_base), curl_url_cleanup);
    if (!robots || curl_url_set(robots.get(), CURLUPART_PATH, "/robots.txt", 0) != CURLUE_OK
        || curl_url_set(robots.get(), CURLUPART_QUERY, nullptr, 0) != CURLUE_OK
        || curl_url_set(robots.get(), CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK)
        return std::string();
    const CurlText url = Part(robots.get(), CURLUPART_URL);
    return url ? std::string(url.get()) : std::string();
}

bool CSourceAddress::Check(std::string_view& text)
{
    if (!m_url || curl_url_set(m_url, CURLUPART_URL, nullptr, 0) != CURLUE_OK)
        return false;
    text = Trimmed(text);
    // The text is kept as it is, so libcurl need not tidy its path.
    return IsWebAddress(m_url, text, CURLU_PATH_AS_IS);
}

bool CSourceAddress::IsWebAddress(CURLU* handle, std::string_view text, unsigned int flags)
{
    if (text.empty())
        return false;
    m_text.assign(text.data(), text.size());
    if (curl_url_set(handle, CURLUPART_URL, m_text.c_str(), flags) != CURLUE_OK)
        return false;
    const CurlText scheme = Part(handle, CURLUPART_SCHEME);
    if (!scheme)
        return false;
    const std::string_view name(scheme.get());
    return name == "http" || name == "https";
}

bool CSourceAddress::Parse(CURLU* handle, std::string_view text, std::string& address)
{
    if (!IsWebAddress(handle, Trimmed(text), 0))
        return false;
    const CurlText url = Part(handle, CURLUPART_URL);
    if (!url)
        return false;
    address.assign(url.get());
    return true;
}
