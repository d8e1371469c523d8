#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a site's robots.txt says to every crawler, read as RFC 9309 has it: the addresses its
// "Sitemap:" lines name, and the rules of its "User-agent: *" groups. The program answers to no
// name of its own there. An empty one (no robots.txt, or the caller's rule for one answering
// 4xx) allows everything.
class CRobotsTxt
{
public:
    // Of a longer file only this much counts; RFC 9309 asks crawlers to read 500 KiB.
    static constexpr std::size_t MaxBytes = 512 * 1024;

    CRobotsTxt() = default;
    // text: the file as it came; robotsUrl: where, for Sitemap addresses written relative.
    static CRobotsTxt Read(std::string_view text, const std::string& robotsUrl);

    // Whether the page at this path and query ("/a/b?c=d", escapes as the address has them)
    // may be fetched: the longest matching rule decides, Allow where an Allow and a Disallow
    // are alike long; no matching rule allows.
    bool Allows(std::string_view pathAndQuery) const;
    // As NormalAddress writes them, in the file's order.
    const std::vector<std::string>& Sitemaps() const { return m_sitemaps; }

private:
    struct CRule
    {
        // Escapes in one spelling; "*" matches any run of characters, a "$" at its end the
        // end of the path.
        std::string m_strPattern;
        bool m_bAllow = false;
    };

    std::vector<CRule> m_rules;
    std::vector<std::string> m_sitemaps;
};
