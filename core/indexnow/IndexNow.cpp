#include "core/indexnow/IndexNow.h"

#include "core/net/Address.h"
#include "core/target/BodyKind.h"
#include "core/target/SubmitHost.h"
#include "core/text/TimeText.h"
#include "core/text/Utf8.h"

#include <chrono>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view IndexNowSegment = "indexnow";
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

int hexValue(char c)
{
    if (isAsciiDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The segment with its escapes decoded and its ASCII letters in lower case; a "%" not
// followed by two hex digits stays as it is.
std::string comparable(std::string_view segment)
{
    std::string text;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        char c = segment[i];
        if (c == '%' && i + 2 < segment.size()) {
            const int high = hexValue(segment[i + 1]);
            const int low = hexValue(segment[i + 2]);
            if (high >= 0 && low >= 0) {
                c = static_cast<char>(high * 16 + low);
                i += 2;
            }
        }
        text += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

CText missingParam(const char* name)
{
    return CText(QT_TRANSLATE_NOOP("Quillpost", "IndexNow needs a “%1” parameter"), {name});
}

} // namespace

bool IsIndexNowKey(const std::string& key)
{
    if (key.size() < ShortestKey || key.size() > LongestKey)
        return false;
    for (const char c : key) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '-')
            return false;
    }
    return true;
}

bool IsIndexNowAddress(const CAddress& address)
{
    if (!address.IsValid())
        return false;
    std::string_view path = address.Path();
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return false;
    const std::string_view segment = path.substr(slash + 1);
    return comparable(segment.substr(0, segment.find(';'))) == IndexNowSegment;
}

bool IsUrlList(const std::string& name)
{
    return name == "urlList[]" || name == "urlList";
}

bool IsIndexNowTarget(const CSubmitHost& host)
{
    return BodyKindOf(host.m_strBodyKind) == BodyKind::Json
        && IsIndexNowAddress(CAddress::Read(host.m_strUrl));
}

std::optional<CAddress> IndexNowHost(const std::string& host)
{
    const std::string name = TrimBlanks(host);
    // What may follow a host in an address would make a path, a query or a user of it.
    if (name.empty() || name.find_first_of("/?#@") != std::string::npos)
        return std::nullopt;
    CAddress address = CAddress::Read("https://" + name);
    if (!address.IsValid())
        return std::nullopt;
    return address;
}

bool CheckIndexNow(const CSubmitHost& host, CKeyFile& keyFile, CText& refusal)
{
    const std::optional<std::string> siteHost = host.FirstValue("host");
    const std::optional<std::string> key = host.FirstValue("key");
    if (!siteHost) {
        refusal = missingParam("host");
        return false;
    }
    if (!key) {
        refusal = missingParam("key");
        return false;
    }
    if (TrimBlanks(*siteHost).empty()) {
        refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "The IndexNow “host” parameter is empty"));
        return false;
    }
    const std::optional<CAddress> site = IndexNowHost(*siteHost);
    if (!site) {
        refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "IndexNow host “%1” is not a host name"),
            {ShownUtf8(MaskPassword(*siteHost))});
        return false;
    }
    if (!IsIndexNowKey(*key)) {
        refusal = CText(QT_TRANSLATE_NOOP(
            "Quillpost", "The IndexNow key must be 8 to 128 letters, digits or hyphens"));
        return false;
    }
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        if (IsUrlList(param.m_strName) && !CAddress::Read(param.m_strValue).SameHost(*site)) {
            refusal = CText(QT_TRANSLATE_NOOP("Quillpost", "%1 is not on the host %2"),
                {ShownUtf8(MaskPassword(param.m_strValue)), ShownUtf8(*siteHost)});
            return false;
        }
    }
    return KeyFileOf(*siteHost, *key, host.FirstValue("keyLocation"), keyFile, refusal);
}

CText IndexNowMeaning(
    long status, std::optional<std::chrono::system_clock::time_point> keyCheckedAt)
{
    if (status == 403 && keyCheckedAt) {
        // The service reads the file on its own time: one that checked fine may be new to it.
        //: What IndexNow's 403 means after its key file was checked; %1 is when, as "14:02"
        return CText(QT_TRANSLATE_NOOP("Quillpost",
                         "key not valid (the key file checked fine at %1; the service may not "
                         "have read it yet)"),
            {LocalClock(*keyCheckedAt)});
    }
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
