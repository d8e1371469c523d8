#include "core/post/JsonBody.h"

#include "core/target/SubmitHost.h"
#include "core/text/Utf8.h"

#include <nlohmann/json.hpp>

#include <list>
#include <string_view>
#include <utility>

const char JsonContentType[] = "application/json; charset=utf-8";

namespace {

constexpr std::string_view ArraySuffix = "[]";
// Enough members for most targets.
constexpr std::size_t TypicalMembers = 8;
// What a member adds to its name and value at least: quotes, colon or brackets, comma.
constexpr std::size_t MemberMarks = 6;

bool isArrayName(const std::string& name)
{
    return name.size() >= ArraySuffix.size()
        && name.compare(name.size() - ArraySuffix.size(), ArraySuffix.size(), ArraySuffix) == 0;
}

// The first parameter up to last (all without it) whose name or value is not UTF-8.
const CPostParam* firstNotUtf8(
    const std::list<CPostParam>& params, const CPostParam* last = nullptr)
{
    for (const CPostParam& param : params) {
        if (!IsUtf8(param.m_strName) || !IsUtf8(param.m_strValue))
            return &param;
        if (&param == last)
            break;
    }
    return nullptr;
}

CText notUtf8(const CPostParam* param)
{
    return CText(
        QT_TRANSLATE_NOOP("Quillpost", "“%1” cannot be sent in a JSON body: it is not UTF-8 text"),
        {param ? ShownUtf8(param->m_strName) : std::string()});
}

} // namespace

bool BuildJsonBody(const CSubmitHost& host, std::string& body, CText& refusal)
{
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    // Growing the member list one by one from nothing would cost more than filling it.
    object.get_ref<nlohmann::ordered_json::object_t&>().reserve(TypicalMembers);
    // The body's length but for escapes.
    std::size_t length = 2;
    // The texts are read where they are, and whether they are UTF-8 is left to the writer,
    // which reads every byte anyway: a refusal then looks for the first parameter that is not.
    for (const CPostParam& param : host.Params()) {
        length += param.m_strName.size() + param.m_strValue.size() + MemberMarks;
        std::string name = param.m_strName;
        const bool gathered = isArrayName(name);
        if (gathered)
            name.resize(name.size() - ArraySuffix.size());
        const auto member = object.find(name);
        if (member == object.end()) {
            if (gathered)
                object.emplace(std::move(name), nlohmann::ordered_json::array())
                    .first->push_back(param.m_strValue);
            else
                object.emplace(std::move(name), param.m_strValue);
        } else if (gathered && member->is_array()) {
            member->push_back(param.m_strValue);
        } else if (const CPostParam* bad = firstNotUtf8(host.Params(), &param)) {
            // What a walk that checked each parameter as it came would have met first.
            refusal = notUtf8(bad);
            return false;
        } else {
            refusal = CText(QT_TRANSLATE_NOOP("Quillpost",
                                "“%1” is given more than once, which a JSON body cannot hold"),
                {name});
            return false;
        }
    }
    try {
        // What dump() does, but into a body of the length it will have rather than one that
        // grows from nothing, several times over.
        body.clear();
        body.reserve(length);
        nlohmann::detail::serializer<nlohmann::ordered_json> writer(
            nlohmann::detail::output_adapter<char>(body), ' ',
            nlohmann::ordered_json::error_handler_t::strict);
        writer.dump(object, false, false, 0);
    } catch (const nlohmann::ordered_json::type_error&) {
        // Nothing else of a tree of strings can fail to be written.
        refusal = notUtf8(firstNotUtf8(host.Params()));
        return false;
    }
    return true;
}
