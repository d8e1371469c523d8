#include "core/target/BodyKind.h"

namespace {

// A form needs no attribute, but one that names it is taken as written.
constexpr char FormAttribute[] = "form";
constexpr char XmlRpcAttribute[] = "xml-rpc";
constexpr char JsonAttribute[] = "json";

} // namespace

BodyKind BodyKindOf(const std::optional<std::string>& attribute)
{
    if (!attribute || *attribute == FormAttribute)
        return BodyKind::Form;
    if (*attribute == XmlRpcAttribute)
        return BodyKind::XmlRpc;
    if (*attribute == JsonAttribute)
        return BodyKind::Json;
    return BodyKind::Unknown;
}

std::optional<std::string> BodyAttributeOf(BodyKind kind)
{
    switch (kind) {
    case BodyKind::XmlRpc:
        return std::string(XmlRpcAttribute);
    case BodyKind::Json:
        return std::string(JsonAttribute);
    case BodyKind::Form:
    case BodyKind::Unknown:
        break;
    }
    return std::nullopt;
}
