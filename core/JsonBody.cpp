#include "core/JsonBody.h"

#include "core/SubmitHost.h"
#include "core/Utf8.h"

#include <nlohmann/json.hpp>

#include <string_view>
#include <utility>

const char JsonContentType[] = "application/json; charset=utf-8";

namespace {

constexpr std::string_view ArraySuffix = "[]";
// Enough members for most targets.
constexpr std::size_t TypicalMembers = 8;

bool isArrayName(const std::string& name)
{
    return name.size() >= ArraySuffix.size()
        && name.compare(name.size() - ArraySuffix.size(), ArraySuffix.size(), ArraySuffix) == 0;
}

} // namespace

bool BuildJsonBody(const CSubmitHost& host, std::string& body, CText& refusal)
{
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    // Growing the member list one by one from nothing would cost more than filling it.
    object.get_ref<nlohmann::ordered_json::object_t&>().reserve(TypicalMembers);
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        if (!IsUtf8(param.m_strName) || !IsUtf8(param.m_strValue)) {
            refusal = CText(QT_TRANSLATE_NOOP("Quillpost",
                                "“%1” cannot be sent in a JSON body: it is not UTF-8 text"),
                {ShownUtf8(param.m_strName)});
            return false;
        }
        const bool gathered = isArrayName(param.m_strName);
        if (gathered)
            param.m_strName.resize(param.m_strName.size() - ArraySuffix.size());
        const auto member = object.find(param.m_strName);
        if (member == object.end()) {
            if (gathered)
                object.emplace(std::move(param.m_strName), nlohmann::ordered_json::array())
                    .first->push_back(std::move(param.m_strValue));
            else
                object.emplace(std::move(param.m_strName), std::move(param.m_strValue));
        } else if (gathered && member->is_array()) {
            member->push_back(std::move(param.m_strValue));
        } else {
            refusal = CText(QT_TRANSLATE_NOOP("Quillpost",
                                "“%1” is given more than once, which a JSON body cannot hold"),
                {param.m_strName});
            return false;
        }
    }
    // Every text was checked above; replacing rather than throwing keeps dump() from ever
    // throwing out of here all the same.
    body = object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    return true;
}
