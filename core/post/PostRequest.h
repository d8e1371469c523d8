#pragma once

#include "core/net/Address.h"
#include "core/target/BodyKind.h"
#include "core/text/Text.h"

#include <chrono>
#include <optional>
#include <string>

class CSubmitHost;

// The content type of a form body.
constexpr char FormContentType[] = "application/x-www-form-urlencoded";

// One post as it goes on the wire: the address as it was read once, the body and its content
// type, and what the target is, which says how the answer is judged. Background posts and
// the browser helper's window post the same request.
struct CPostRequest
{
    // A request whose address is not valid sends nothing.
    CAddress m_address;
    std::string m_strContentType = FormContentType;
    std::string m_strBody;
    BodyKind m_kind = BodyKind::Form;
    // A JSON post to IndexNow, whose statuses mean more than success or failure.
    bool m_bIndexNow = false;
    // When the IndexNow key file passed its check before this post, if it was checked: a
    // 403 after that says the service may not have read it yet.
    std::optional<std::chrono::system_clock::time_point> m_keyCheckedAt;
    // The caller wants the answer itself, which the result then carries (m_strAnswer).
    bool m_bKeepAnswer = false;
};

// What the target posts: its address read once, what it is, and its parameters as a body of
// its kind. False, with the reason, when the target cannot be posted as it stands (its
// address, its "Changes from" and an IndexNow target's key file among the reasons); nothing
// is sent for it then. Every post and --check-keys go by it.
bool PrepareRequest(const CSubmitHost& host, CPostRequest& request, CText& refusal);
