#pragma once

class CAddress;

// Whether an address's host is one no search engine or public service can reach, judged by
// its text alone, with no name looked up: localhost, a name under a suffix kept for private or
// test use (.local, .lan, .home.arpa, .internal, .test, .invalid, .example and .localhost), a
// name of one label, or a loopback, private, shared, link-local or unspecified IP address in
// any spelling libcurl reads ("127.1", "2130706433", "[::ffff:10.0.0.1]"). An address that is
// not valid has no host to judge: false.
bool IsPrivateHost(const CAddress& address);
