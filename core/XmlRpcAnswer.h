#pragma once

#include "core/Text.h"

#include <string_view>

struct XmlRpcVerdict
{
    bool m_bSuccess = false;
    // The service's own words (verbatim) where it gave any, else the program's reason.
    CText m_message;
};

// Judges a whole XML-RPC answer body read from a 2xx reply. Success is a methodResponse with
// no fault whose result struct, if it has an "flerror" member, says false. A document type,
// and so any entity of the server's own, makes the body no answer at all: it is refused
// before anything in it is expanded.
XmlRpcVerdict JudgeXmlRpcAnswer(std::string_view body);
