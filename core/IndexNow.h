#pragma once

#include "core/Text.h"

#include <string>

class CAddress;
class CSubmitHost;

// IndexNow takes a JSON body at an address whose path ends in "/indexnow"; query and
// fragment do not count.
bool IsIndexNowAddress(const CAddress& address);

// What IndexNow requires before a post: a "host" and a "key" parameter, a key of 8 to 128
// letters, digits or hyphens, and every "urlList[]" address on that host. False, with the
// reason in refusal, when something is wrong.
bool CheckIndexNow(const CSubmitHost& host, CText& refusal);

// What IndexNow means by an answer's status; empty where it adds nothing.
CText IndexNowMeaning(long status);
