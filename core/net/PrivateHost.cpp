#include "core/net/PrivateHost.h"

#include "core/net/Address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Host order.
bool IsPrivateV4(std::uint32_t ip)
{
    const auto in
        = [ip](std::uint32_t net, int bits) { return (ip >> (32 - bits)) == (net >> (32 - bits)); };
    return in(0x00000000, 8) // "this network", 0.0.0.0 among it
        || in(0x0A000000, 8) // 10/8
        || in(0x64400000, 10) // 100.64/10, shared by carriers
        || in(0x7F000000, 8) // loopback
        || in(0xA9FE0000, 16) // link-local
        || in(0xAC100000, 12) // 172.16/12
        || in(0xC0A80000, 16); // 192.168/16
}

bool IsPrivateV6(const in6_addr& ip)
{
    const unsigned char* b = ip.s6_addr;
    bool zeroTo10 = true;
    for (int i = 0; i < 10; ++i)
        zeroTo10 = zeroTo10 && b[i] == 0;
    const bool zeroTo12 = zeroTo10 && b[10] == 0 && b[11] == 0;
    // An IPv4 address written as IPv6 reaches what the IPv4 address reaches.
    if (zeroTo10 && b[10] == 0xFF && b[11] == 0xFF)
        return IsPrivateV4(
            static_cast<std::uint32_t>(b[12]) << 24 | b[13] << 16 | b[14] << 8 | b[15]);
    if (zeroTo12 && b[12] == 0 && b[13] == 0 && b[14] == 0)
        return b[15] <= 1; // unspecified "::" and loopback "::1"
    return (b[0] & 0xFE) == 0xFC // unique local, fc00::/7
        || (b[0] == 0xFE && (b[1] & 0xC0) == 0x80); // link-local, fe80::/10
}

} // namespace

bool IsPrivateHost(const CAddress& address)
{
    if (!address.IsValid())
        return false;
    std::string host = address.Host();
    for (char& ch : host) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        // A zone ("%25eth0") is only ever given with a link-local address.
        std::string ip = host.substr(1, host.size() - 2);
        ip.erase(std::min(ip.find('%'), ip.size()));
        in6_addr v6 = {};
        // libcurl takes no address it cannot read; were one to come, it is kept home.
        return inet_pton(AF_INET6, ip.c_str(), &v6) != 1 || IsPrivateV6(v6);
    }
    // "localhost." is localhost.
    if (!host.empty() && host.back() == '.')
        host.pop_back();
    // The resolver reads numbers as inet_aton does: "127.1", "0x7f.1", "017700000001".
    in_addr v4 = {};
    if (inet_aton(host.c_str(), &v4) == 1)
        return IsPrivateV4(ntohl(v4.s_addr));
    if (host.find('.') == std::string::npos)
        return true;
    const std::string dotted = "." + host;
    for (const char* suffix : {".localhost", ".local", ".lan", ".home.arpa", ".internal", ".test",
             ".invalid", ".example"}) {
        if (EndsWith(dotted, suffix))
            return true;
    }
    return false;
}
