#include "core/IndexNow.h"

#include "core/Address.h"
#include "core/SubmitHost.h"
#include "core/Utf8.h"

#include <optional>
#include <string_view>

namespace {

constexpr std::string_view IndexNowPath = "/indexnow";
constexpr std::size_t ShortestKey = 8;
constexpr std::size_t LongestKey = 128;

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameHost(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowered(a[i]) != lowered(b[i]))
            return false;
    }
    return true;
}

bool isKey(const std::string& key)
{
    if (key.size() < ShortestKey || key.size() > LongestKey)
        return false;
    for (const char c : key) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '-')
            return false;
    }
    return true;
}

CText missingParam(const char* name)
{
    return CText(QT_TRANSLATE_NOOP("Quillpost", "IndexNow needs a “%1” parameter"), {name});
}

} // namespace

bool IsIndexNowAddress(const CAddress& address)
{
    const std::string& path = address.Path();
    return address.IsValid() && path.size() >= IndexNowPath.size()
        && std::string_view(path).substr(path.size() - IndexNowPath.size()) == IndexNowPath;
}

bool CheckIndexNow(const CSubmitHost& host, CText& refusal)
{
    std::optional<std::string> siteHost;
    std::optional<std::string> key;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        if (param.m_strName == "host" && !siteHost)
            siteHost = param.m_strValue;
        else if (param.m_strName == "key" && !key)
            key = param.m_strValue;
    }
    if (!siteHost) {
        refusal = missingParam("host");
        return false;
    }
    if (!key) {
        refusal = missingParam("key");
        return false;
    }
    if (!isKey(*key)) {
        refusal = CText(QT_TRANSLATE_NOOP(
            "Quillpost", "The IndexNow key must be 8 to 128 letters, digits or hyphens"));
        return false;
    }
    // A second walk, since the host may follow the addresses in the list.
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        if (param.m_strName == "urlList[]"
            && !sameHost(CAddress::Read(param.m_strValue).Host(), *siteHost)) {
            refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "%1 is not on the host %2"),
                {ShownUtf8(param.m_strValue), ShownUtf8(*siteHost)});
            return false;
        }
    }
    return true;
}

CText IndexNowMeaning(long status)
{
    switch (status) {
    case 202:
        //: What IndexNow's status 202 means; shown after the status: "202 Accepted · ..."
        return CText(QT_TRANSLATE_NOOP("Quillpost", "key not yet verified"));
    case 400:
        //: What IndexNow's status 400 means: the request was malformed
        return CText(QT_TRANSLATE_NOOP("Quillpost", "bad format"));
    case 403:
        return CText(QT_TRANSLATE_NOOP(
            "Quillpost", "key not valid (key file missing, or the key not in it)"));
    case 422:
        return CText(
            QT_TRANSLATE_NOOP("Quillpost", "addresses not on the host, or key not matching"));
    case 429:
        return CText(QT_TRANSLATE_NOOP("Quillpost", "too many requests"));
    default:
        return CText();
    }
}
