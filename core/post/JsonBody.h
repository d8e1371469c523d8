#pragma once

#include "core/text/Text.h"

#include <string>

class CSubmitHost;

// The content type a JSON body is sent as.
extern const char JsonContentType[];

// The target's parameters as one compact JSON object, a string member per parameter in list
// order. Names ending in "[]" gather their values into one array member named without the
// brackets, where the first of them stands. False, with the reason in refusal, when a name is
// given twice or a name or value is not UTF-8.
bool BuildJsonBody(const CSubmitHost& host, std::string& body, CText& refusal);
