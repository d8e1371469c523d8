#pragma once

#include "core/indexnow/KeyCheck.h"
#include "core/net/Address.h"
#include "core/text/Text.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

class CSubmitHost;

// IndexNow takes a JSON body at an address whose path ends in "/indexnow", compared without
// case, trailing "/", the last segment's ";params" and percent-escapes: "/IndexNow",
// "/indexnow/" and "/index%6Eow" are such paths; query and fragment do not count.
bool IsIndexNowAddress(const CAddress& address);
// A target that posts IndexNow's JSON body to such an address.
bool IsIndexNowTarget(const CSubmitHost& host);

// IndexNow takes at most this many addresses in one request.
constexpr std::size_t MaxIndexNowAddresses = 10000;
// A parameter that lists addresses: "urlList[]", or a plain "urlList".
bool IsUrlList(const std::string& name);

// IndexNow's "host" parameter as libcurl reads it: a host name, a port perhaps, and nothing
// else (no scheme, user, path or query); none when it is not one. The post's checks and the
// key file's address both go by this reading.
std::optional<CAddress> IndexNowHost(const std::string& host);

// A key IndexNow takes: 8 to 128 letters, digits or hyphens.
bool IsIndexNowKey(const std::string& key);

// What IndexNow requires before a post: a "host" parameter that is a host name (a port may
// follow it), a "key" of 8 to 128 letters, digits or hyphens, every address of "urlList[]"
// (or a plain "urlList") on that host, as libcurl reads both, ports aside, and a key file
// there (KeyFileOf), which keyFile receives. False, with the reason in refusal, when
// something is wrong. A run and --check-keys judge a target by this one function.
bool CheckIndexNow(const CSubmitHost& host, CKeyFile& keyFile, CText& refusal);

// What IndexNow means by an answer's status; empty where it adds nothing.
// After a key file that checked fine (keyCheckedAt), a 403 says the service may not have read
// it yet.
CText IndexNowMeaning(
    long status, std::optional<std::chrono::system_clock::time_point> keyCheckedAt = std::nullopt);
