#include "core/net/Address.h"

#include <algorithm>
#include <cctype>
#include <string_view>

std::optional<std::string> UrlPart(CURLU* handle, CURLUPart part, unsigned int flags)
{
    char* text = nullptr;
    if (curl_url_get(handle, part, &text, flags) != CURLUE_OK || !text)
        return std::nullopt;
    std::string value(text);
    curl_free(text);
    return value;
}

namespace {

// The same into a field, which is left empty when there is no such part.
bool GetPart(CURLU* handle, CURLUPart part, std::string& value, unsigned int flags = 0)
{
    std::optional<std::string> text = UrlPart(handle, part, flags);
    value = text ? std::move(*text) : std::string();
    return text.has_value();
}

char Lowered(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

CText Unusable(CURLUcode code)
{
    if (code == CURLUE_NO_HOST)
        return CText(QT_TRANSLATE_NOOP("Quillpost", "No server name in the address"));
    //: %1 is libcurl's own reason, in English
    return CText(
        QT_TRANSLATE_NOOP("Quillpost", "Not a usable address (%1)"), {curl_url_strerror(code)});
}

} // namespace

CAddress::CAddress(const CAddress& other)
{
    *this = other;
}

CAddress& CAddress::operator=(const CAddress& other)
{
    if (this == &other)
        return *this;
    m_handle.reset(other.m_handle ? curl_url_dup(other.m_handle.get()) : nullptr);
    m_refusal = other.m_refusal;
    m_bOtherScheme = other.m_bOtherScheme;
    m_bTls = other.m_bTls;
    m_strHost = other.m_strHost;
    m_strPort = other.m_strPort;
    m_strPath = other.m_strPath;
    m_bCredentials = other.m_bCredentials;
    m_strUser = other.m_strUser;
    m_strPassword = other.m_strPassword;
    m_strUrl = other.m_strUrl;
    m_strShown = other.m_strShown;
    if (other.m_handle && !m_handle)
        m_refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "Out of memory"));
    return *this;
}

CAddress::~CAddress() = default;

CAddress CAddress::Read(const std::string& url)
{
    const std::string text = TrimBlanks(url);
    CAddress address = ReadText(text);
    address.m_strShown = address.IsValid() ? address.ShownUrl() : MaskPassword(text);
    return address;
}

CAddress CAddress::ReadText(const std::string& text)
{
    CAddress address;
    if (text.empty()) {
        //: A target whose URL is empty
        address.m_refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "No address"));
        return address;
    }
    Handle handle(curl_url());
    if (!handle) {
        address.m_refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "Out of memory"));
        return address;
    }
    // The path goes as written: a service may mean "/a/../b" as it stands.
    CURLUcode code = curl_url_set(
        handle.get(), CURLUPART_URL, text.c_str(), CURLU_DEFAULT_SCHEME | CURLU_PATH_AS_IS);
    std::string scheme;
    if (code == CURLUE_OK && GetPart(handle.get(), CURLUPART_SCHEME, scheme) && scheme == "https"
        && !StartsWithNoCase(text, "https:/")) {
        // libcurl's default scheme is https, ours http: "host/path" has always posted as
        // http. libcurl takes a scheme as written only when a "/" follows its ":".
        code = curl_url_set(handle.get(), CURLUPART_SCHEME, "http", 0);
        scheme = "http";
    }
    if (code != CURLUE_OK) {
        address.m_refusal = Unusable(code);
        return address;
    }
    if (scheme != "http" && scheme != "https") {
        address.m_bOtherScheme = true;
        address.m_refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "Not a web address"));
        return address;
    }
    address.m_bTls = scheme == "https";
    GetPart(handle.get(), CURLUPART_HOST, address.m_strHost);
    GetPart(handle.get(), CURLUPART_PORT, address.m_strPort);
    GetPart(handle.get(), CURLUPART_PATH, address.m_strPath);
    GetPart(handle.get(), CURLUPART_URL, address.m_strUrl);
    // "%40" and the like in user information stand for the bytes a browser sends.
    std::string raw;
    const bool hasUser = GetPart(handle.get(), CURLUPART_USER, raw);
    const bool hasPassword = GetPart(handle.get(), CURLUPART_PASSWORD, raw);
    if (hasUser || hasPassword) {
        const bool decoded
            = (!hasUser
                  || GetPart(handle.get(), CURLUPART_USER, address.m_strUser, CURLU_URLDECODE))
            && (!hasPassword
                || GetPart(
                    handle.get(), CURLUPART_PASSWORD, address.m_strPassword, CURLU_URLDECODE));
        if (!decoded) {
            // A control character hidden in an escape would go into the header.
            address = CAddress();
            address.m_refusal = Unusable(CURLUE_URLDECODE);
            return address;
        }
        // "@host" names no one.
        address.m_bCredentials = hasPassword || !address.m_strUser.empty();
    }
    address.m_handle = std::move(handle);
    return address;
}

// libcurl's own reading says where the password is, so only it is masked.
std::string CAddress::ShownUrl() const
{
    std::string password;
    if (!GetPart(m_handle.get(), CURLUPART_PASSWORD, password) || password.empty())
        return m_strUrl;
    const Handle copy(curl_url_dup(m_handle.get()));
    std::string shown;
    if (copy && curl_url_set(copy.get(), CURLUPART_PASSWORD, "***", 0) == CURLUE_OK
        && GetPart(copy.get(), CURLUPART_URL, shown))
        return shown;
    return MaskPassword(m_strUrl);
}

CAddress::Handle CAddress::RequestHandle() const
{
    if (!m_handle)
        return nullptr;
    Handle copy(curl_url_dup(m_handle.get()));
    // Credentials go as options, only to the server they were given for.
    if (copy
        && (curl_url_set(copy.get(), CURLUPART_USER, nullptr, 0) != CURLUE_OK
            || curl_url_set(copy.get(), CURLUPART_PASSWORD, nullptr, 0) != CURLUE_OK
            || curl_url_set(copy.get(), CURLUPART_OPTIONS, nullptr, 0) != CURLUE_OK))
        copy.reset();
    return copy;
}

std::string CAddress::HostKey() const
{
    std::string key = m_strHost;
    std::transform(key.begin(), key.end(), key.begin(), Lowered);
    return key;
}

std::string CAddress::ServerKey() const
{
    if (!IsValid())
        return std::string();
    const std::string port = m_strPort.empty() ? (m_bTls ? "443" : "80") : m_strPort;
    return (m_bTls ? "https://" : "http://") + HostKey() + ":" + port;
}

bool CAddress::SameHost(const CAddress& other) const
{
    return IsValid() && other.IsValid() && HostKey() == other.HostKey();
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lowered(text[i]) != prefix[i])
            return false;
    }
    return true;
}

std::string TrimBlanks(const std::string& text)
{
    return std::string(TrimmedAddress(text));
}

std::string_view TrimmedAddress(std::string_view text)
{
    const auto isBlank = [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string MaskPassword(const std::string& url)
{
    // The user information sits after "scheme://", after a bare "//", or at the start when
    // the address has neither. Leading blanks are skipped so that they cannot hide the scheme.
    std::size_t start = url.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return url;
    const std::size_t schemeEnd = url.find_first_not_of(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.", start);
    if (schemeEnd != std::string::npos && schemeEnd > start
        && std::isalpha(static_cast<unsigned char>(url[start]))
        && url.compare(schemeEnd, 3, "://") == 0)
        start = schemeEnd + 3;
    else if (url.compare(start, 2, "//") == 0)
        start += 2;
    const std::size_t at = url.rfind('@');
    const std::size_t colon = url.find(':', start);
    if (at == std::string::npos || at < start || colon == std::string::npos || colon + 1 >= at)
        return url;
    std::string masked = url;
    masked.replace(colon + 1, at - colon - 1, "***");
    return masked;
}

std::string ShownAddress(const std::string& text)
{
    // Only what starts as an address does ("scheme://", "//"): a service's words ("write
    // to: a@b") stay whole.
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    const std::size_t schemeEnd = start == std::string::npos
        ? start
        : text.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.",
            start);
    const bool address = schemeEnd != std::string::npos
        && (schemeEnd == start ? text.compare(schemeEnd, 2, "//") == 0
                               : text.compare(schemeEnd, 3, "://") == 0);
    if (!address || MaskPassword(text) == text)
        return text;
    const CAddress read = CAddress::Read(text);
    // What libcurl reads as no password is sent as none.
    if (read.IsValid() && read.Password().empty())
        return text;
    return read.Shown();
}
