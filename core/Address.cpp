#include "core/Address.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

namespace {

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// "%40" and the like in user information stand for the bytes a browser sends; a "%" not
// followed by two hex digits stays as it is.
std::string PercentDecode(const std::string& text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

// Where the port begins in a server, or npos.
std::size_t PortColon(const std::string& server)
{
    const auto colon = server.rfind(':');
    const auto bracket = server.rfind(']');
    return colon != std::string::npos && (bracket == std::string::npos || colon > bracket)
        ? colon
        : std::string::npos;
}

} // namespace

CAddress CAddress::Read(const std::string& url)
{
    CAddress address;
    std::string rest = TrimBlanks(url);
    address.tls = StartsWithNoCase(rest, HttpsScheme);
    // From here on the two schemes split alike.
    if (address.tls)
        rest.replace(0, std::string_view(HttpsScheme).size(), HttpScheme);
    SplitServerAndObject(rest, address.object);
    // User information goes as basic authentication, never into the request target.
    const auto at = rest.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = rest.substr(0, at);
        rest.erase(0, at + 1);
        const auto colon = userInfo.find(':');
        address.credentials = !userInfo.empty();
        address.user = PercentDecode(userInfo.substr(0, colon));
        if (colon != std::string::npos)
            address.password = PercentDecode(userInfo.substr(colon + 1));
    }
    address.server = std::move(rest);
    return address;
}

std::string CAddress::Host() const
{
    return server.substr(0, PortColon(server));
}

std::string CAddress::Port() const
{
    const auto colon = PortColon(server);
    return colon == std::string::npos ? std::string() : server.substr(colon + 1);
}

std::string CAddress::Path() const
{
    return "/" + object.substr(0, object.find_first_of("?#"));
}

void SplitServerAndObject(std::string& url, std::string& object)
{
    if (StartsWithNoCase(url, HttpScheme))
        url.erase(0, std::string_view(HttpScheme).size());
    const auto slash = url.find('/');
    if (slash == std::string::npos)
        return;
    object = url.substr(slash + 1);
    url.erase(slash);
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const std::string_view wanted(prefix);
    if (text.size() < wanted.size())
        return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != wanted[i])
            return false;
    }
    return true;
}

std::string TrimBlanks(const std::string& text)
{
    const auto isBlank = [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}
