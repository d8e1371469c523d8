#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct Curl_URL;

// A page's address in the one spelling a service reads it by, so that two spellings of a page
// are one page to the duplicate check, the record and the post: the scheme and host in lower
// case, percent-escapes' hex in upper case, the default port dropped, dot segments resolved,
// an empty path as "/", an empty query and the fragment dropped (RFC 3986's normal form).
// Blanks around the text are no part of it.
//
// Only a whole http or https address that libcurl's URL parser takes is read. One that holds
// a user name or password (a service would publish it), or an escape that is not "%" and two
// hex digits, is refused: false, and normal empty.
bool NormalAddress(std::string_view text, std::string& normal);

// An address's length in characters (UTF-8 code points; a stray byte counts as one).
std::size_t AddressLength(std::string_view address);

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
    // it out: the source itself, which is fetched as the user wrote it, credentials and all.
    bool Read(std::string_view text, std::string& address);
    // A page or file a source names, as NormalAddress gives it; a relative address is taken
    // relative to the base without the base's user information, which is for fetching the
    // source only.
    bool Resolve(std::string_view text, std::string& address);
    // What relative addresses resolve against; false, and no base, if url is no web address.
    bool SetBase(const std::string& url);

    // The base is a site's root: its path is empty or "/", with no query.
    bool BaseIsSiteRoot() const;
    // The robots.txt of the base's site.
    std::string BaseRobots() const;

private:
    bool Parse(Curl_URL* handle, std::string_view text, std::string& address);

    Curl_URL* m_url;
    Curl_URL* m_base;
    bool m_bHasBase = false;
    // The text as libcurl takes it, with a NUL at its end; kept to spare an allocation each.
    std::string m_strText;
};
