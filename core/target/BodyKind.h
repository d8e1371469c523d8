#pragma once

#include <optional>
#include <string>

// How a target's parameters go on the wire. The data file keeps it in the optional "body"
// attribute of a "Host": absent (or "form") for a form, "xml-rpc" or "json". The attribute is
// kept as it was written. Any other value, the empty one included, is a kind this program
// does not know; such a target is not posted.
enum class BodyKind
{
    Form,
    XmlRpc,
    Json,
    Unknown,
};

// The kind an attribute names; no attribute is a form, as is "form".
BodyKind BodyKindOf(const std::optional<std::string>& attribute);
// The attribute a known kind is written as; none for a form.
std::optional<std::string> BodyAttributeOf(BodyKind kind);
