#include "core/IndexNow.h"

#include "core/BodyKind.h"
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

struct UrlParts
{
    std::string_view m_host;
    std::string_view m_path;
};

UrlParts splitUrl(std::string_view url)
{
    constexpr std::string_view Blanks = " \t\r\n";
    const auto first = url.find_first_not_of(Blanks);
    url = first == std::string_view::npos
        ? std::string_view()
        : url.substr(first, url.find_last_not_of(Blanks) - first + 1);

    // A scheme is a letter, then letters, digits, "+", "-" or "."; only "://" ends one, so
    // "host:8080/path" keeps its host.
    const auto colon = url.find("://");
    if (colon != std::string_view::npos && colon > 0 && isAsciiLetter(url[0])) {
        bool scheme = true;
        for (const char c : url.substr(0, colon))
            scheme = scheme
                && (isAsciiLetter(c) || isAsciiDigit(c) || c == '+' || c == '-' || c == '.');
        if (scheme)
            url.remove_prefix(colon + 3);
    }
    const auto authorityEnd = url.find_first_of("/?#");
    std::string_view host = url.substr(0, authorityEnd);
    const auto at = host.rfind('@');
    if (at != std::string_view::npos)
        host.remove_prefix(at + 1);
    if (!host.empty() && host.front() == '[')
        host = host.substr(0, host.find(']') + 1);
    else
        host = host.substr(0, host.find(':'));

    UrlParts parts;
    parts.m_host = host;
    if (authorityEnd != std::string_view::npos && url[authorityEnd] == '/') {
        const std::string_view rest = url.substr(authorityEnd);
        parts.m_path = rest.substr(0, rest.find_first_of("?#"));
    }
    return parts;
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

bool IsIndexNowAddress(const std::string& url)
{
    const std::string_view path = splitUrl(url).m_path;
    return path.size() >= IndexNowPath.size()
        && path.substr(path.size() - IndexNowPath.size()) == IndexNowPath;
}

bool IsIndexNowTarget(const CSubmitHost& host)
{
    return BodyKindOf(host.m_strBodyKind) == BodyKind::Json && IsIndexNowAddress(host.m_strUrl);
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
            && !sameHost(splitUrl(param.m_strValue).m_host, *siteHost)) {
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
