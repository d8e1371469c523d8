#pragma once

#include "core/text/Text.h"

class CSubmitHost;

// What the well-known services the window offers stand for the user's own site and IndexNow
// key with. They are there to be replaced: a target that still holds one is not posted.
constexpr char PlaceholderSite[] = "www.example.com";
constexpr char PlaceholderKey[] = "your-indexnow-key";

// False, with what to replace in refusal, when the address of the target's changes or a
// parameter's value holds a placeholder.
bool CheckPlaceholders(const CSubmitHost& host, CText& refusal);
