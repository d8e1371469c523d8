#pragma once

#include "core/Text.h"

#include <string>

class CAddress;
class CSubmitHost;

// IndexNow takes a JSON body at an address whose path ends in "/indexnow", compared without
// case, trailing "/", the last segment's ";params" and percent-escapes: "/IndexNow",
// "/indexnow/" and "/index%6Eow" are such paths; query and fragment do not count.
bool IsIndexNowAddress(const CAddress& address);

// What IndexNow requires before a post: a "host" parameter that is a host name (a port may
// follow it), a "key" of 8 to 128 letters, digits or hyphens, and every address of
// "urlList[]" (or a plain "urlList") on that host, as libcurl reads both, ports aside. False,
// with the reason in refusal, when something is wrong.
bool CheckIndexNow(const CSubmitHost& host, CText& refusal);

// What IndexNow means by an answer's status; empty where it adds nothing.
CText IndexNowMeaning(long status);
