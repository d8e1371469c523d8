#pragma once

#include <string>
#include <string_view>

struct Curl_URL;

// Reads the addresses a source lists with libcurl's URL parser: only http and https. One
// handle is used again for every address; an instance belongs to one thread.
class CSourceAddress
{
public:
    CSourceAddress();
    CSourceAddress(const CSourceAddress&) = delete;
    CSourceAddress& operator=(const CSourceAddress&) = delete;
    ~CSourceAddress();

    // A whole http or https address, blanks around it dropped, into address as libcurl writes
    // it out.
    bool Read(std::string_view text, std::string& address);
    // The same, where a relative address is taken relative to the base (a feed's links).
    bool Resolve(std::string_view text, std::string& address);
    // Whether libcurl reads the text, blanks around it dropped (as text is left), as a whole
    // http or https address. Having libcurl write each address out again would add half to
    // what reading a sitemap costs, so a sitemap's addresses are kept as the site writes them.
    bool Check(std::string_view& text);
    // What relative addresses resolve against; false, and no base, if url is no web address.
    bool SetBase(const std::string& url);

    // The base is a site's root: its path is empty or "/", with no query.
    bool BaseIsSiteRoot() const;
    // The robots.txt of the base's site.
    std::string BaseRobots() const;

private:
    bool IsWebAddress(Curl_URL* handle, std::string_view text, unsigned int flags);
    bool Parse(Curl_URL* handle, std::string_view text, std::string& address);

    Curl_URL* m_url;
    Curl_URL* m_base;
    bool m_bHasBase = false;
    // The text as libcurl takes it, with a NUL at its end; kept to spare an allocation each.
    std::string m_text;
};
