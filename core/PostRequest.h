#pragma once

#include "core/BodyKind.h"
#include "core/Text.h"

#include <string>

class CSubmitHost;

// The content type of a form body.
constexpr char FormContentType[] = "application/x-www-form-urlencoded";

// One post as it goes on the wire: the address as the user wrote it, the body and its content
// type, and the kind of body, which says how the answer is judged. Background posts and the
// browser helper's window post the same request.
struct CPostRequest
{
    std::string m_strUrl;
    std::string m_strContentType = FormContentType;
    std::string m_body;
    BodyKind m_kind = BodyKind::Form;
};

// What the target posts: its URL, and its parameters as a body of its kind. False, with the
// reason, when the target cannot be posted as it stands; nothing is sent for it then.
bool PrepareRequest(const CSubmitHost& host, CPostRequest& request, CText& refusal);
