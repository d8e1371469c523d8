#pragma once

#include <string>

constexpr char HttpScheme[] = "http://";
constexpr char HttpsScheme[] = "https://";

// A target's URL read as users write it: blanks around it dropped, "http://" or "https://" in
// any case (none at all is http), user information, a server with an optional port, and the
// object after the first "/".
struct CAddress
{
    bool tls = false;
    // As written, with the port.
    std::string server;
    std::string object;
    bool credentials = false;
    std::string user;
    std::string password;

    static CAddress Read(const std::string& url);

    // The server without its port; "[::1]" has colons but no port.
    std::string Host() const;
    // The port as written; empty where there is none.
    std::string Port() const;
    // "/" and the object up to a query or a fragment.
    std::string Path() const;
};

// The server part of a URL (after a leading "http://" in any case, up to the first "/") into
// url, the rest after that "/" into object; object is untouched when there is no "/".
void SplitServerAndObject(std::string& url, std::string& object);

// Schemes and header names are case-insensitive: "HTTP://" and "Http://" are as good as
// "http://". The prefix is given in lower case.
bool StartsWithNoCase(const std::string& text, const char* prefix);

// Blanks and control characters around an address are not part of it (a browser drops
// them too); they come from pasting or hand-editing the data file.
std::string TrimBlanks(const std::string& text);
