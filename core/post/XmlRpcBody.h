#pragma once

#include "core/text/Text.h"

#include <string>

class CSubmitHost;

// The content type an XML-RPC body is sent as.
extern const char XmlRpcContentType[];

// The target's parameters as one XML-RPC call: the first parameter named "methodName" names
// the method (weblogUpdates.ping without one), every other value is a string param in list
// order and the names stay labels for the user. False, with the reason in refusal, when a
// value or the method name cannot go into the call.
bool BuildXmlRpcBody(const CSubmitHost& host, std::string& body, CText& refusal);
