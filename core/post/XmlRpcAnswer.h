#pragma once

#include "core/text/Text.h"

#include <string>
#include <string_view>

struct CXmlRpcVerdict
{
    bool m_bSuccess = false;
    // The answer is a fault; m_message says which.
    bool m_bFault = false;
    // The service's own words (verbatim) where it gave any, else the program's reason.
    CText m_message;
};

// Judges a whole XML-RPC answer body. Success is a methodResponse holding one params with one
// param and its value, whose result struct, if it has an "flerror" member, says false; a
// methodResponse holding anything else (no params nor fault, or more than one, or junk in
// their place) is no answer. A document type, and so any entity of the server's own, makes
// the body no answer at all: it is refused before anything in it is expanded.
//
// charset is what the answer's Content-Type names, if anything; the XML declaration's
// encoding comes first. Besides the encodings expat knows, any single-byte charset iconv knows
// is read (windows-1252, ISO-8859-15...).
CXmlRpcVerdict JudgeXmlRpcAnswer(std::string_view body, const std::string& charset = std::string());
