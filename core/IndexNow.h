#pragma once

#include "core/Text.h"

#include <string>

class CSubmitHost;

// IndexNow takes a JSON body at an address whose path ends in "/indexnow". The address is
// read as a post reads it (CAddress); query, fragment and blanks around it do not count.
bool IsIndexNowAddress(const std::string& url);
// A JSON target at such an address.
bool IsIndexNowTarget(const CSubmitHost& host);

// What IndexNow requires before a post: a "host" and a "key" parameter, a key of 8 to 128
// letters, digits or hyphens, and every "urlList[]" address on that host. False, with the
// reason in refusal, when something is wrong.
bool CheckIndexNow(const CSubmitHost& host, CText& refusal);

// What IndexNow means by an answer's status; empty where it adds nothing.
CText IndexNowMeaning(long status);
